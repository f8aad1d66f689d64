// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <cstdint>

// A Windows-style colour value 0x00BBGGRR as a QColor.
constexpr QRgb RgbFromColorRef(std::uint32_t colorRef) {
    return qRgb(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                static_cast<int>((colorRef >> 16) & 0xFF));
}

// Background and text colours of a render: the screen and Save use black and white, Export
// white and black. Every track point is pure red whatever the colours.
struct ChartColours {
    std::uint32_t Background = 0x000000;  // 0x00BBGGRR
    std::uint32_t Text = 0xFFFFFF;        // 0x00BBGGRR
};
inline constexpr ChartColours kScreenColours{0x000000, 0xFFFFFF};
inline constexpr ChartColours kExportColours{0xFFFFFF, 0x000000};
