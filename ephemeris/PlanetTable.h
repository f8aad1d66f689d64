#pragma once

#include <array>
#include <vector>

#include "ephemeris/Vector3.h"

// Heliocentric positions of the eight planets (Mercury to Neptune; the Earth-Moon barycentre for
// the Earth) on a one-day grid, from ERFA's eraPlan94 (Simon et al. 1994), equatorial J2000, au.
// Between grid points a cubic Hermite curve through positions and velocities gives the place
// to a few 1e-8 au, far below what the perturbations need. The table also holds the Sun's
// acceleration towards the eight planets, which every body's heliocentric motion shares.
class PlanetTable {
  public:
    static constexpr int kPlanets = 8;
    using Positions = std::array<Vector3, kPlanets>;

    // The longest span a table covers, days: a little more than the 146,512 days from 1800 to
    // 2200, the years the perturbed model takes the elements' epochs from (about 60 MB).
    static constexpr double kMaxSpan = 150000.0;

    // Covers Julian days (TDB) from `first` to `last`, with a margin of two days on each side,
    // computed on `threads` threads. `last` - `first` must lie within [0, kMaxSpan], else
    // std::invalid_argument.
    PlanetTable(double first, double last, unsigned threads = 1);

    bool Covers(double jd) const { return jd >= start_ && jd <= start_ + (days_ - 1); }
    // Heliocentric position (au) of planet p (0 Mercury ... 7 Neptune) at Julian day `jd` (TDB).
    Vector3 Position(int planet, double jd) const;
    // All eight at once, and the Sun's acceleration towards them (au/day^2).
    void PositionsAt(double jd, Positions& positions, Vector3& sunAcceleration) const;

    // GM of each planet (with its satellites), au^3/day^2, from the Sun-to-planet mass ratios of
    // the IAU 2009 system of astronomical constants (Luzum et al. 2011).
    static const std::array<double, kPlanets>& GravitationalParameters();

  private:
    double start_ = 0;
    int days_ = 0;
    // [day][planet]: position then velocity (au, au/day); [day][kPlanets]: the Sun's
    // acceleration and its rate (au/day^2, au/day^3)
    std::vector<std::array<std::array<Vector3, 2>, kPlanets + 1>> grid_;
};
