// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

// Reads of little-endian values at any byte address (no alignment assumed).
namespace LittleEndian {

template <typename T>
T Read(const std::byte* at) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, at, sizeof(T));
    if constexpr (std::endian::native == std::endian::big && sizeof(T) > 1) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) {
            std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
        }
        std::memcpy(&value, bytes, sizeof(T));
    }
    return value;
}

inline std::uint16_t U16(const std::byte* at) {
    return Read<std::uint16_t>(at);
}
inline std::uint32_t U32(const std::byte* at) {
    return Read<std::uint32_t>(at);
}
inline std::int32_t I32(const std::byte* at) {
    return Read<std::int32_t>(at);
}
inline std::uint64_t U64(const std::byte* at) {
    return Read<std::uint64_t>(at);
}
inline double F64(const std::byte* at) {
    return Read<double>(at);
}

}  // namespace LittleEndian
