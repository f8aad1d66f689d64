// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "writers/CatalogueLock.h"

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
    std::vector<std::string> Problems;       // bodies and stars left out for other reasons
    std::vector<std::string> WriteFailures;  // what could not be written
    bool Refused = false;  // the folder holds the user's own files: nothing was written
};

struct SampleOptions {
    bool Force = false;   // fill a folder that holds a catalogue, ephemeris files or pictures
    LockWaiting Waiting;  // how the catalogue's writers meet another one
};

// Makes the sample program folder in `folder`. Only a folder that holds no catalogue (the empty
// one the viewer leaves aside), no ephemeris file and no picture is filled, unless
// `options.Force`: otherwise nothing is written, `report.Refused` is set and `error` names what
// was found. Every file is written in one step, and a mark in the folder says the sample is
// unfinished until the last one is: a sample that was stopped is finished by the next, which
// takes what it finds then for its own. What could not be written is `report.WriteFailures`
// (then the sample stops, its mark staying). False, with `error`, when the folder holds the
// user's files, or when the catalogue's lock or its Datas folder cannot be had.
bool BuildSampleFolder(const std::string& folder, SampleReport& report, std::string& error,
                       const std::function<void(const std::string&)>& progress,
                       const SampleOptions& options = {});
