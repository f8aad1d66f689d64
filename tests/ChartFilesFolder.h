// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "tests/support/TestData.h"

// A program folder for the Save and Export tests: Ceres (2000001) with daily records 2000-2002
// and its perihelion passage data, Pallas (2000002) with records for 2000 and [DatasForIt] 0,
// so no Perihelion row.
namespace ChartFilesFolder {

inline constexpr std::uint32_t kCeres = 2000001;
inline constexpr std::uint32_t kPallas = 2000002;
inline constexpr double kCeresPassage = 2458000.5;  // Julian day
inline constexpr double kCeresPeriod = 1681.6;      // days

inline void Make(const std::string& folder) {
    TestData::Star ceres;
    ceres.Id = kCeres;
    ceres.Name = "Ceres";
    ceres.TimePerihelionPassage = kCeresPassage;
    ceres.OrbitalPeriod = kCeresPeriod;
    TestData::Star pallas;
    pallas.Id = kPallas;
    pallas.Name = "Pallas";
    pallas.DatasForIt = 0;
    TestData::MakeProgramFolder(folder, {{1, "Main-belt Asteroid"}}, {ceres, pallas},
                                {TestData::NvrFile::Daily(kCeres, 2000, 2002),
                                 TestData::NvrFile::Daily(kPallas, 2000, 2000)});
}

}  // namespace ChartFilesFolder
