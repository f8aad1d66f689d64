// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the fuzz targets share.

// Stops the run with `what` on standard error when a property a target checks does not hold;
// libFuzzer then reports the input as a crash and keeps it.
void FuzzCheck(bool holds, const char* what);

// Starts the one QGuiApplication of the process on the offscreen platform (unless
// QT_QPA_PLATFORM names another), for the fonts and the text drawing of the renders.
void StartGuiApplication();

// A folder of its own under $TMPDIR (or /dev/shm, or /tmp), made at once and removed with
// everything in it when the object goes (at the end of the run).
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// Writes `size` bytes at `data` as the whole file `path`, replacing what was there.
void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size);
