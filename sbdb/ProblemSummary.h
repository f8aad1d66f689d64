// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sbdb/CatalogueRows.h"

// The problems of a catalogue build as they are printed: every file error, and of the bodies
// left out and the values left unknown the first kShownPerReason lines of each reason, then one
// line that counts the rest of that reason ("3763 more bodies left out for the same reason: no
// SPK-ID (...)"). What it keeps does not grow with the number of bodies: an export of a million
// comets without SPK-IDs gives six lines, not a million.
class ProblemSummary {
  public:
    static constexpr std::size_t kShownPerReason = 5;

    void Add(ProblemKind kind, const std::string& line, const std::string& reason);

    // The lines to print, by kind in the order of ProblemKind: the lines shown, in the order
    // they came, then the count lines of that kind.
    std::vector<std::string> Lines() const;

    // How many problems of that kind there were, shown or counted.
    std::size_t Count(ProblemKind kind) const;

  private:
    struct Reason {
        std::size_t Total = 0;
        std::size_t Order = 0;  // when the reason first came
    };
    static constexpr std::size_t kKinds = 4;
    std::vector<std::string> shown_[kKinds];
    std::map<std::string, Reason> reasons_[kKinds];
    std::size_t counts_[kKinds] = {};
};
