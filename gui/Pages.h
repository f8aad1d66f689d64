// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

// The twelve tab pages, in tab order: tab i holds page i.
struct PageDescription {
    const char* Caption;    // the tab's text
    const char* ClassName;  // the page widget's objectName
};

inline constexpr std::array<PageDescription, 12> kPages = {{
    {"Astrometric", "NVR_ASTRO"},
    {"Earth", "NVR_EARTH"},
    {"Galactic", "NVR_GALAC"},
    {"Geometric", "NVR_GEO"},
    {"Orbits", "NVR_ORBITES"},
    {"Star Orbite", "NVR_STAR_ORBIT"},
    {"Travel", "NVR_TRVL"},
    {"Constellations", "NVR_CNST"},
    {"Years", "NVR_Years"},
    {"Perihelion", "NVR_Peri"},
    {"Infos", "NVR_INFOS"},
    {"All Stars", "NVR_ALLSTARS"},
}};
