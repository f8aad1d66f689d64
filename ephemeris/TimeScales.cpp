// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/TimeScales.h"

#include <erfa.h>

#include <cmath>

namespace {

// Delta T = TT - UT (seconds) by Espenak and Meeus (2006), "Five Millennium Canon of Solar
// Eclipses", NASA TP-2006-214141, section 2.6, for decimal year y.
double DeltaTEspenakMeeus(double y) {
    if (y < 1860) {
        const double t = y - 1800;
        return 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * t * t * t -
               0.00037436 * std::pow(t, 4) + 0.0000121272 * std::pow(t, 5) -
               0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7);
    }
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * t * t * t -
               0.0004473624 * std::pow(t, 4) + std::pow(t, 5) / 233174;
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t -
               0.000197 * std::pow(t, 4);
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    const double t = y - 1975;
    return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
}

}  // namespace

JulianDay CivilJulianDay(int year, int month, int day, double dayFraction) {
    double djm0 = 0;
    double djm = 0;
    eraCal2jd(year, month, day, &djm0, &djm);
    return {djm0, djm + dayFraction};
}

double TTMinusUTC(int year, int month, int day) {
    constexpr double kTTMinusTAI = 32.184;  // seconds, by definition
    if (year >= 1972) {
        double taiMinusUtc = 0;
        eraDat(year, month, day, 0.0, &taiMinusUtc);  // past the table: its last value
        return taiMinusUtc + kTTMinusTAI;
    }
    const double decimalYear = year + (month - 0.5) / 12.0;
    return DeltaTEspenakMeeus(decimalYear);
}

JulianDay CivilToTT(int year, int month, int day, double dayFraction) {
    JulianDay jd = CivilJulianDay(year, month, day, dayFraction);
    jd.Day2 += TTMinusUTC(year, month, day) / 86400.0;
    return jd;
}
