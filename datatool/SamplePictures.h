// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <vector>

#include "ephemeris/Orbit.h"

// Pictures of the sample program folder, drawn here rather than shipped.

// A deep-sky star field with a faint band of the Milky Way: the backdrop of the toolbar strip and
// the information page (stretched over both), dark enough for any text on it.
QImage MakeStarField(int width, int height);

// The inner solar system seen from above the ecliptic: the planets' orbits to Jupiter's and the
// orbits of `bodies`, behind the About box's white text (kept dark at the top).
QImage MakeOrbitsPicture(int width, int height, const std::vector<OrbitalElements>& bodies);
