// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

// One line of progress on a terminal, rewritten in place a few times a second: "ephemeris: 120
// of 940 stars, 115 per second, 7 s left". Made only when the output is a terminal; in a log or
// a pipe a run prints its lines as they come, which scripts and job logs read.
class ProgressLine {
  public:
    enum class Unit { Stars, Bytes };

    ProgressLine(std::FILE* out, std::string what, Unit unit);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Whether `out` is a terminal (and not a dumb one).
    static bool OnTerminal(std::FILE* out);

    // `done` of `total` (0: not known); shown at most five times a second. From any thread.
    void Update(std::uint64_t done, std::uint64_t total);

    // Takes the line away, so that what follows starts on a clean line.
    void Clear();

  private:
    std::string Text(std::uint64_t done, std::uint64_t total, double seconds) const;

    std::FILE* out_;
    std::string what_;
    Unit unit_;
    std::mutex lock_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_{};
    std::size_t width_ = 0;  // of the line shown
};
