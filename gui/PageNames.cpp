// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/PageNames.h"

#include <array>

namespace {

// By CoordinateFrame.
constexpr std::array<const char*, 4> kFrameSuffixes = {"_ASTRO", "_EARTH", "_GALAC", "_GEO"};

const char* FrameSuffix(CoordinateFrame frame) {
    return kFrameSuffixes[static_cast<std::size_t>(frame)];
}

}  // namespace

QString ViewPageClassName(CoordinateFrame frame) {
    return QString("NVR") + FrameSuffix(frame);
}

QString ChartPageClassName(ChartKind kind) {
    // By ChartKind: Constellations, Perihelion, Travel, View, Years.
    constexpr std::array<const char*, 5> kNames = {"NVR_CNST", "NVR_Peri", "NVR_TRVL", "",
                                                   "NVR_Years"};
    return kNames[static_cast<std::size_t>(kind)];
}

QString FramePaneClassName(ChartKind kind, CoordinateFrame frame) {
    return ChartPageClassName(kind) + FrameSuffix(frame);
}
