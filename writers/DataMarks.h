// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "writers/CatalogueLock.h"

// What `nivra-data mark` found and did.
struct DataMarkReport {
    std::size_t Stars = 0;             // rows of the catalogue
    std::size_t Marked = 0;            // stars with a complete file: [DatasForIt] = 1 now
    std::size_t NewlyMarked = 0;       // of those, marked by this run
    std::size_t Missing = 0;           // marks taken back: the file is missing
    std::vector<std::string> Damaged;  // one line per file present but not complete
    std::size_t DamagedUnmarked = 0;   // marks taken back: the file is damaged
    bool Changed = false;              // the catalogue was replaced
    bool CannotWrite = false;          // it had to be, but could not be written
};

// Sets [DatasForIt] of every star of the catalogue from the ephemeris files in `datasFolder`: 1
// for a star whose file is complete (the checks a catalogue rebuild makes: the tool's magic and
// version, the star's SPK-ID, every record its header counts and the terminating record), 0 for
// a marked star whose file is missing or damaged. The catalogue is replaced in one step, and only
// when a mark changes, so a second run changes nothing. The catalogue's lock is held from before
// the marks are read until the catalogue is replaced, taken as `waiting` says. False, with
// `error`, when `datasFolder` is no folder or cannot be listed whole, the lock is not taken, or
// the catalogue cannot be read or replaced.
// `advanced` is told, from any thread, how many stars of how many have been looked at.
bool MarkFromDisk(const std::string& cataloguePath, const std::string& datasFolder,
                  DataMarkReport& report, std::string& error, unsigned threads = 0,
                  const LockWaiting& waiting = {},
                  const std::function<void(std::size_t done, std::size_t total)>& advanced = {});
