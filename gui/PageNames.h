// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include "charts/ChartKind.h"
#include "data/CoordinateFrame.h"

// The window class names of the chart pages, which are their object names (users and tests find
// them by these).

// NVR_ASTRO, NVR_EARTH, NVR_GALAC or NVR_GEO.
QString ViewPageClassName(CoordinateFrame frame);
// NVR_TRVL, NVR_CNST, NVR_Years or NVR_Peri for the four wide kinds; empty for the View.
QString ChartPageClassName(ChartKind kind);
// The page's name and the frame's: NVR_TRVL_ASTRO, NVR_CNST_EARTH, NVR_Years_GALAC, NVR_Peri_GEO...
QString FramePaneClassName(ChartKind kind, CoordinateFrame frame);
