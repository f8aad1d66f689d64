// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "writers/EphemerisRun.h"

// How far the two-body ellipse of the epoch drifts from the perturbed orbit: for each year, the
// largest angle (arcseconds) between the two models' astrometric directions on the daily
// records of that year.
struct YearDrift {
    int Year = 0;
    double MaxArcseconds = 0;
};

// Nothing, with `failure`, when either model cannot follow the orbit.
std::vector<YearDrift> MeasureDrift(const EphemerisStar& star, int firstYear, int lastYear,
                                    std::string& failure);

// Angle between two directions given as longitude and latitude in degrees; arcseconds.
double SeparationArcseconds(const SkyAngles& a, const SkyAngles& b);
