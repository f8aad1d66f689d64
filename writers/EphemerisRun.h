// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ephemeris/EphemerisComputation.h"
#include "writers/CatalogueLock.h"
#include "writers/EphemerisFile.h"
#include "writers/Shards.h"

// Which of the stars a run reads besides its SPK-IDs.
struct StarFilter {
    // Only the stars of this orbit class, by the viewer's codes: 0 every star, 19 the near-Earth
    // objects, 25 the potentially hazardous ones, any other code the stars of that class.
    std::optional<int> OrbitClass;
    std::optional<Shard> Part;  // only the stars of this shard
};

// Reads the stars (all of them, or those of `spkIds`) from a catalogue written by nivra-data,
// opened for reading only, keeping those `filter` lets through. Unknown SPK-IDs (of the shard,
// when there is one), rows whose elements lie outside the bounds of ElementBounds.h, and a class
// (or catalogue) without any star, in every shard alike, are named in `problems`. False, with
// `error`, when the catalogue cannot be read at all.
bool ReadEphemerisStars(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                        std::vector<EphemerisStar>& stars, std::vector<std::string>& problems,
                        std::string& error, const StarFilter& filter = {});

struct EphemerisRun {
    std::string CataloguePath;
    std::string OutFolder;
    int FirstYear = 2000;
    int LastYear = 2019;
    std::vector<std::uint32_t> SpkIds;  // empty: every star of the catalogue
    OrbitModel Model = OrbitModel::Perturbed;
    int Threads = 0;                // 0: one per core
    std::optional<int> OrbitClass;  // only the stars of this class (see StarFilter)
    // Only the stars of this shard, and only their files: the catalogue is opened for reading
    // alone (the tasks of a cluster job share it; `mark` sets the marks once they are done).
    std::optional<Shard> Part;
    // How the marking step meets another writer of the catalogue (see CatalogueLock).
    LockWaiting Waiting;
    // Told after each star, computed or not, how many of how many are done.
    std::function<void(std::size_t done, std::size_t total)> Advanced;
};

struct EphemerisRunReport {
    int FilesWritten = 0;
    long long Records = 0;
    double Seconds = 0;
    // One line per star without a file for its data (not in the catalogue, elements outside the
    // bounds, an orbit that cannot be followed), naming it and why.
    std::vector<std::string> Problems;
    // One line per file that could not be written (a full disk, a folder that cannot be written)
    // and for a catalogue that could not be marked: what the run could not store.
    std::vector<std::string> WriteFailures;
};

// Writes one file per star (each in one step, checked before it is renamed into place, never
// partly under its final name), then sets [DatasForIt] = 1 for those stars in the catalogue
// (also in one step, holding the catalogue's lock). A star that cannot be computed or written is
// named in the report and the others go on. Temporary files that killed runs left in the output
// folder and beside the catalogue are removed first. `progress` gets one line per star written.
// False, with `error`, when nothing could be done: the years or the catalogue cannot be used,
// no star is to be computed, or another writer holds the catalogue and `run.Waiting` says not
// to wait. Stars that cannot be computed are `report.Problems`; what could not be stored (files,
// the output folder, the marks) is `report.WriteFailures`.
//
// With `run.Part`, only the stars of that shard are computed, the catalogue is not marked, and
// the temporary files removed first are those of the shard's own stars, whatever process left
// them (another machine's, on a shared folder): no other run writes them. A shard without a
// star writes nothing and succeeds.
bool RunEphemeris(const EphemerisRun& run, EphemerisRunReport& report, std::string& error,
                  const std::function<void(const std::string&)>& progress);

// Computes and writes the file of each star in `run.OutFolder` (the part of RunEphemeris after
// the catalogue is read; the catalogue is not marked). Returns the SPK-IDs written, in order.
std::vector<std::uint32_t> WriteEphemerisFiles(
    const std::vector<EphemerisStar>& stars, const EphemerisRun& run, EphemerisRunReport& report,
    const std::function<void(const std::string&)>& progress);

// Sets [DatasForIt] = 1 for `spkIds`, taking the catalogue's lock as `waiting` says, and
// replacing the catalogue file in one step.
bool MarkStarsWithData(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                       const LockWaiting& waiting, std::string& error);
// Sets [DatasForIt] = 1 for `marked` and 0 for `unmarked`, replacing the catalogue file in one
// step (a copy changed in one transaction, then renamed over it). The caller holds `lock`, the
// catalogue's, since before it read what the marks come from.
bool SetDataMarks(const std::string& cataloguePath, const std::vector<std::uint32_t>& marked,
                  const std::vector<std::uint32_t>& unmarked, const CatalogueLock& lock,
                  std::string& error);
