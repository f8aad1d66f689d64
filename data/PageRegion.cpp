// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/PageRegion.h"

#include <cstdlib>

std::optional<PageRegion> PageRegion::PageAllocate(std::int32_t size) {
    if (size <= 0) {
        return std::nullopt;
    }
    // calloc hands large blocks straight from the system's zero pages, without a second pass.
    auto* data = static_cast<std::byte*>(std::calloc(static_cast<std::size_t>(size), 1));
    if (data == nullptr) {
        return std::nullopt;
    }
    return PageRegion(data, static_cast<std::size_t>(size));
}

void PageRegion::PageRelease::operator()(std::byte* region) const {
    std::free(region);
}
