#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The sample program folder: the catalogue of every body of the built-in SBDB exports, ephemerides
// 2000-2019 for a sample of well-known bodies across the orbit classes, the two background
// pictures, and an empty Images folder.

struct SampleStar {
    std::uint32_t SpkId;
    const char* Why;  // what the body shows
};
const std::vector<SampleStar>& SampleStars();

inline constexpr int kSampleFirstYear = 2000;
inline constexpr int kSampleLastYear = 2019;

struct SampleReport {
    int Stars = 0;         // rows of the catalogue
    int WithoutSpkId = 0;  // bodies left out for want of an SPK-ID
    int EphemerisFiles = 0;
    long long Records = 0;
    double EphemerisSeconds = 0;
    std::vector<std::string> Problems;  // bodies and stars left out for other reasons
};

bool BuildSampleFolder(const std::string& folder, SampleReport& report, std::string& error,
                       const std::function<void(const std::string&)>& progress);
