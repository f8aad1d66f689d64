#pragma once

#include <array>
#include <vector>

// The Earth's heliocentric and barycentric position and velocity from ERFA's eraEpv00 (the
// simplified VSOP2000 solution), sampled every kStep days of TT and interpolated by the
// Lagrange polynomial through the kPoints nearest samples. Over 1900-2100 the interpolation
// stays within 2e-10 au (30 m) and 2e-10 au/day of eraEpv00, a hundredth of eraEpv00's own
// error against JPL's DE405 (3.7 km RMS, 11.2 km at most), for half the cost of calling it for
// every day of a long series.
class EarthTable {
  public:
    static constexpr double kStep = 2.0;  // days
    static constexpr int kPoints = 16;

    // Covers Julian days (TT) from `first` to `last`, sampled on `threads` threads.
    EarthTable(double first, double last, unsigned threads);

    // As eraEpv00 returns them at Julian day `tt` (TT): position (au) and velocity (au/day),
    // heliocentric and barycentric, ICRS axes. `tt` must lie within the span covered.
    void At(double tt, double heliocentric[2][3], double barycentric[2][3]) const;

  private:
    double start_ = 0;                             // Julian day (TT) of the first sample
    std::vector<std::array<double, 12>> samples_;  // heliocentric pv, then barycentric pv
};
