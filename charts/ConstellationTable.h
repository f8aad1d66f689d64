// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// One entry of the constellation table. The ephemeris records name the constellation a star
// stands in by its position in this table (ConstellationNumber 1-88).
struct ConstellationEntry {
    std::int32_t Number;            // 1-88, the entry's position counted from 1
    std::string_view Name;          // the name drawn on the Constellations chart (UTF-8)
    std::string_view Abbreviation;  // the IAU three-letter abbreviation (not drawn)
};

inline constexpr std::size_t kConstellationCount = 88;

// The 88 IAU constellations in the alphabetical order of their Latin names, with the names as
// the charts draw them: "LeoMinor" without a blank, the southern fish (PsA) as "Piscis", and
// "Triangulum" twice (Tri and TrA), told apart only by the abbreviation.
extern const std::array<ConstellationEntry, kConstellationCount> kConstellationTable;

// The name of ConstellationNumber `number`, taken by position from the table; empty for a number
// outside 1-88 (the table is never read outside its entries).
std::string_view ConstellationName(std::int32_t number);
