// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "data/StarFile.h"

// Where `id` is, or would be, in `ids` (ascending): the first position whose SpkId is not below
// it. For SpkIds asked in ascending order, as the catalogue lists them, each search goes on
// from `from`, the position after the last one found: it gallops ahead in steps that double,
// then searches the last step, so a run of n searches over ids costs O(n log(gap)) rather than
// O(n log(size)). When `id` is not above the SpkId before `from` (the asking is not ascending),
// the search starts again at 0.
inline std::size_t SearchAscending(const std::vector<SpkId>& ids, SpkId id, std::size_t from) {
    if (from > ids.size() || (from > 0 && ids[from - 1] >= id))
        from = 0;
    std::size_t step = 1;
    std::size_t low = from;
    while (low + step < ids.size() && ids[low + step] < id) {
        low += step;
        step *= 2;
    }
    const auto end =
        ids.begin() + static_cast<std::ptrdiff_t>(std::min(ids.size(), low + step + 1));
    return static_cast<std::size_t>(
        std::lower_bound(ids.begin() + static_cast<std::ptrdiff_t>(low), end, id) - ids.begin());
}
