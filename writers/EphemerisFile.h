// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/StarFileIndex.h"
#include "ephemeris/EphemerisComputation.h"

// The .Nvr ephemeris file as nivra-data writes it: the header the viewer reads, with a magic and
// a format version in bytes the viewer skips, the three JPL links, the daily records, and the
// terminating record.
namespace EphemerisFormat {
inline constexpr char kMagic[8] = {'N', 'i', 'v', 'r', 'a', 'E', 'p', 'h'};  // at byte 4
inline constexpr std::size_t kMagicOffset = 4;
inline constexpr std::size_t kVersionOffset = 12;      // uint32
inline constexpr std::size_t kRecordCountOffset = 16;  // uint32, without the terminator
inline constexpr std::size_t kModelOffset = 20;        // uint32: 0 two-body, 1 perturbed
inline constexpr std::size_t kEpochOffset = 24;        // double: the elements' epoch, JD (TDB)
inline constexpr std::uint32_t kVersion = 1;
}  // namespace EphemerisFormat

struct EphemerisHeader {
    std::uint32_t SpkId = 0;
    int FirstYear = 0;
    int LastYear = 0;
    std::string EphemerisLink;
    std::string OrbitDiagramLink;
    std::string PhysicalParameterLink;
    bool Perturbed = true;
    double ElementsEpoch = 0;  // Julian day (TDB)
};

// JPL's pages about a body, by SPK-ID.
std::string HorizonsLink(std::uint32_t spkId);
std::string OrbitDiagramLink(std::uint32_t spkId);
std::string PhysicalParameterLink(std::uint32_t spkId);

std::vector<std::byte> EncodeEphemerisFile(const EphemerisHeader& header,
                                           const std::vector<EphemerisEntry>& entries);

// The first record of `entries` that the viewer could not draw, described ("2020-03-01: the
// Earth longitude is nan"): a date outside the calendar, a constellation outside 1-88, or an
// angle that is not finite or lies outside [0, 360) (longitudes) or [-90, 90] (latitudes).
// Empty when every record is sound.
std::string FirstUnsoundRecord(const std::vector<EphemerisEntry>& entries);

// Writes the file in one step (temporary file, checked, synced, then renamed); false with
// `error` (naming `path`) when a record is unsound or the file cannot be written. Then any file
// that was at `path` is left as it was. The folder is not synced: the caller syncs it once for
// all the files it writes there (SyncFolder), before it counts on them.
bool WriteEphemerisFile(const std::string& path, const EphemerisHeader& header,
                        const std::vector<EphemerisEntry>& entries, std::string& error);

// Whether `path` holds a complete file of this tool for star `spkId`: its magic, version and
// SPK-ID, and exactly the records its header counts followed by the terminating record. Reads
// the header and the last two records only.
bool IsCompleteEphemerisFile(const std::string& path, std::uint32_t spkId);

// Whether star `spkId` has a complete file of this tool in `datasFolder`, whose listing is
// `files`: only the stars the listing names are opened, so a catalogue of millions of stars
// costs one listing and one look at each file there is.
bool HasCompleteEphemerisFile(const StarFileIndex& files, const std::string& datasFolder,
                              std::uint32_t spkId);

struct EphemerisFileContent {
    EphemerisHeader Header;
    std::uint32_t Version = 0;
    std::vector<EphemerisEntry> Entries;
};

// Reads a file written by nivra-data; nothing, with `error`, when it is not one (no magic, an
// unknown version, a damaged header or record run).
std::optional<EphemerisFileContent> ReadEphemerisFile(const std::string& path, std::string& error);
