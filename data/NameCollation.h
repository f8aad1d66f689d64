// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>
#include <vector>

// The collation ranks of many names at once, in the order NameCollationLocale() gives them (what
// QCollator with that locale compares), for lists of millions of names: each name's sort key is
// made once, all keys in one block of memory, and the names are ordered by their keys' first 16
// bytes, the rest of a key compared only between names that share them.
enum class NameCase {
    Sensitive,    // "ceres" and "Ceres" differ (QCollator's default)
    Insensitive,  // they are equal (Qt::CaseInsensitive)
};

// The rank of each of `count` names (UTF-8; `name(i)` gives name i) from 0 up: names that collate
// equal share a rank, and a name of a higher rank comes later. Only the first `maxUnits` UTF-16
// code units of each name count, as with QString::left(maxUnits).
std::vector<std::uint32_t> CollationRanks(
    std::size_t count, const std::function<std::string_view(std::size_t)>& name, NameCase nameCase,
    std::size_t maxUnits = std::numeric_limits<std::size_t>::max());

// The positions 0 to ranks.size() - 1 in the order of their ranks (ascending, or descending),
// positions of one rank in increasing order: a counting sort, in time linear in the count.
std::vector<std::uint32_t> PositionsByRank(const std::vector<std::uint32_t>& ranks,
                                           bool ascending = true);
