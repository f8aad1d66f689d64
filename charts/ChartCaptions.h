// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include "charts/ChartKind.h"
#include "data/CoordinateFrame.h"

// The caption in a chart's title line names its kind and frame.

// On the screen: "View Astrometric", "Constellations Earth", "Travel Galactic"...
QString ScreenCaption(ChartKind kind, CoordinateFrame frame);

// In a saved or exported file: the same, but a Constellations chart is "Cnst": "Cnst
// Astrometric", "Perihelion Earth", "Years Geometric"...
QString SaveCaption(ChartKind kind, CoordinateFrame frame);
