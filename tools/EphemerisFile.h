#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/SkyPlace.h"

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

// One daily record: civil date and time (UTC), constellation and the four frames.
struct EphemerisEntry {
    int Year = 0;
    int Month = 0;
    int DayOfWeek = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Constellation = 0;
    SkyAngles Astrometric;
    SkyAngles Earth;
    SkyAngles Galactic;
    SkyAngles Geometric;
};

// JPL's pages about a body, by SPK-ID.
std::string HorizonsLink(std::uint32_t spkId);
std::string OrbitDiagramLink(std::uint32_t spkId);
std::string PhysicalParameterLink(std::uint32_t spkId);

std::vector<std::byte> EncodeEphemerisFile(const EphemerisHeader& header,
                                           const std::vector<EphemerisEntry>& entries);

// Writes the file in one step (temporary file, then rename); false with `error` on failure.
bool WriteEphemerisFile(const std::string& path, const EphemerisHeader& header,
                        const std::vector<EphemerisEntry>& entries, std::string& error);

struct EphemerisFileContent {
    EphemerisHeader Header;
    std::uint32_t Version = 0;
    std::vector<EphemerisEntry> Entries;
};

// Reads a file written by nivra-data; nothing, with `error`, when it is not one (no magic, an
// unknown version, a damaged header or record run).
std::optional<EphemerisFileContent> ReadEphemerisFile(const std::string& path, std::string& error);
