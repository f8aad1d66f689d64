// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string_view>

// The five kinds of sky chart, in the order of the Save and Export menus.
enum class ChartKind { Constellations, Perihelion, Travel, View, Years };

inline constexpr std::array<ChartKind, 5> kAllChartKinds = {
    ChartKind::Constellations, ChartKind::Perihelion, ChartKind::Travel, ChartKind::View,
    ChartKind::Years};

constexpr std::string_view ChartKindName(ChartKind kind) {
    switch (kind) {
        case ChartKind::Constellations:
            return "Constellations";
        case ChartKind::Perihelion:
            return "Perihelion";
        case ChartKind::Travel:
            return "Travel";
        case ChartKind::View:
            return "View";
        case ChartKind::Years:
            return "Years";
    }
    return "";
}
