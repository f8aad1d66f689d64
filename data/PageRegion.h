// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

// A zero-filled block of memory of exactly the size asked for, obtained in one call and
// released as a whole when its owner lets it go. Holds a whole ephemeris file.
class PageRegion {
  public:
    // Nothing when `size` is not positive or the memory cannot be had. The size is a signed
    // 32-bit count, so no region reaches 2 GiB.
    static std::optional<PageRegion> PageAllocate(std::int32_t size);

    std::byte* Data() { return data_.get(); }
    const std::byte* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }

  private:
    struct PageRelease {
        void operator()(std::byte* region) const;
    };
    PageRegion(std::byte* data, std::size_t size) : data_(data), size_(size) {}

    std::unique_ptr<std::byte, PageRelease> data_;
    std::size_t size_ = 0;
};
