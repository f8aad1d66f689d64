// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// A catalogue of `count` stars, every one with [DatasForIt] = 1, written to `path` (replaced if
// it exists) as nivra-data writes catalogues ([SpkId] the primary key, an index on the class).
// The stars are real orbits: star i repeats row i % 7,098 of the shipped asteroid export as
// `nivra-data catalogue` reads it (the same elements, class and values; the one body it leaves out
// is left out here too) under the SPK-ID kStarListFixtureFirstId + i, the number i + 1 and a name
// of its own (FixtureBodyName). 28 % of the stars are main-belt asteroids (class 1), 58 %
// trans-Neptunian objects (class 11). No ephemeris file is needed for the star list.
void WriteStarListFixture(const std::string& path, int count);

// Gives every star of such a catalogue an ephemeris file in `datasFolder`: a small file (a header,
// its links and one year of records), the same bytes for all, as hard links to a few copies (a
// file takes at most 60,000 links, below ext4's limit of 65,000), so that a catalogue of 1.4
// million stars has its files in seconds and a few megabytes. Where the file system has no hard
// links, each star gets a copy. Returns the number of files.
int WriteStarListFixtureFiles(const std::string& datasFolder, int count);

// The SBDB full name of the body that repeats the body `fullName` of the shipped export for the
// `round`th time (0 for the first) under the number `number`: its own number is replaced, and
// from the second round on the name or, for an unnamed body, the designation carries the round
// ("     1 Ceres (A801 AA)", 1, 7100 -> "7100 Ceres-1 (A801 AA)"; "(2022 OU15)", 2, 14198 ->
// "14198 (2022 OU15-2)"), so that every name is unique.
std::string FixtureBodyName(const std::string& fullName, int round, unsigned number);

// The first SpkId of the stars, the next ones following without gaps.
inline constexpr unsigned kStarListFixtureFirstId = 2000001;
