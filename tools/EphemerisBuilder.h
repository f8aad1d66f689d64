#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/EphemerisFile.h"
#include "tools/Orbit.h"
#include "tools/OrbitPropagation.h"

// A star of the catalogue with what its ephemeris needs.
struct EphemerisStar {
    std::uint32_t SpkId = 0;
    std::string Name;
    OrbitalElements Elements;
};

// Years the Earth's ephemeris (ERFA eraEpv00) is made for.
inline constexpr int kFirstEphemerisYear = 1900;
inline constexpr int kLastEphemerisYear = 2100;

// Reads the stars (all of them, or those of `spkIds`) from a catalogue written by nivra-data.
// Unknown SPK-IDs and unusable rows are named in `problems`. False, with `error`, when the
// catalogue cannot be read at all.
bool ReadEphemerisStars(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                        std::vector<EphemerisStar>& stars, std::vector<std::string>& problems,
                        std::string& error);

// Daily records at 00:00:00 UTC from 1 January of `firstYear` to 31 December of `lastYear`.
std::vector<EphemerisEntry> ComputeEphemeris(const EphemerisStar& star, int firstYear, int lastYear,
                                             OrbitModel model);

struct EphemerisRun {
    std::string CataloguePath;
    std::string OutFolder;
    int FirstYear = 2000;
    int LastYear = 2019;
    std::vector<std::uint32_t> SpkIds;  // empty: every star of the catalogue
    OrbitModel Model = OrbitModel::Perturbed;
    int Threads = 0;  // 0: one per core
};

struct EphemerisRunReport {
    int FilesWritten = 0;
    long long Records = 0;
    double Seconds = 0;
    std::vector<std::string> Problems;
};

// Writes one file per star (each in one step, never partly under its final name), then sets
// [DatasForIt] = 1 for those stars in the catalogue (also in one step). `progress` gets one line
// per star. False, with `error`, when nothing could be done.
bool RunEphemeris(const EphemerisRun& run, EphemerisRunReport& report, std::string& error,
                  const std::function<void(const std::string&)>& progress);

// Sets [DatasForIt] = 1 for `spkIds`, replacing the catalogue file in one step.
bool MarkStarsWithData(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                       std::string& error);
