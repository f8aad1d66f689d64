// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <vector>

// The Earth's heliocentric and barycentric position and velocity from ERFA's eraEpv00 (the
// simplified VSOP2000 solution), sampled every kStep days of TT and interpolated by the
// Lagrange polynomial through the kPoints nearest samples. Over 1900-2100 the interpolation
// stays within 2e-10 au (30 m) and 2e-10 au/day of eraEpv00, a hundredth of eraEpv00's own
// error against JPL's DE405 (3.7 km RMS, 11.2 km at most), for half the cost of calling it for
// every day of a long series.
//
// The samples lie on one grid of Julian days (the even ones) for every table, so that a table
// can take over another's samples where their spans meet: eraEpv00 costs some 80 microseconds a
// call, and the days of a run and the planet table of its integration need the Earth over the
// same years. A table's values do not depend on the span it was made for.
class EarthTable {
  public:
    static constexpr double kStep = 2.0;  // days
    static constexpr int kPoints = 16;

    // Covers Julian days (TT) from `first` to `last`, sampled on `threads` threads; the samples
    // that `known` holds are copied from it rather than computed again.
    EarthTable(double first, double last, unsigned threads, const EarthTable* known = nullptr);

    // As eraEpv00 returns them at Julian day `tt` (TT): position (au) and velocity (au/day),
    // heliocentric and barycentric, ICRS axes. `tt` must lie within the span covered.
    void At(double tt, double heliocentric[2][3], double barycentric[2][3]) const;

  private:
    long first_ = 0;                               // the first sample, at Julian day first_ * kStep
    std::vector<std::array<double, 12>> samples_;  // heliocentric pv, then barycentric pv
};
