// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <vector>

#include "ephemeris/Vector3.h"

class EarthTable;

// Heliocentric positions of the bodies that pull a small body, on a one-day grid, equatorial
// J2000 (ICRS axes), au:
// - Mercury, Venus and Mars to Neptune from ERFA's eraPlan94 (Simon et al. 1994), each with its
//   satellites;
// - the Earth's centre from ERFA's eraEpv00 (through the EarthTable) and the Moon from ERFA's
//   eraMoon98 (Meeus 1998): two bodies rather than one at the Earth-Moon barycentre, so that a
//   body passing the Earth feels each where it is.
// Between grid points the planets follow a cubic Hermite curve through eraPlan94's positions
// and velocities. Its velocities are not quite the derivatives of its positions, so the curve
// strays from eraPlan94 by up to 20-30 km (Mercury to Mars) and 200 km (Saturn) within a day,
// with no mean over the day: a thousandth of eraPlan94's own errors. The Earth and the Moon,
// which turn about each other 13 degrees a day, follow the Hermite curve of degree 7 through
// the positions and velocities of the four nearest days: the Earth within the EarthTable's
// 30 m of eraEpv00, the Moon about it within 3 m of eraMoon98, which is called every other
// day (a cubic curve on the same grid misses the Moon by 5 km, and needs a quarter-day grid,
// eight times the calls of eraMoon98, for 20 m). The table also holds the Sun's acceleration
// towards all nine, which every body's heliocentric motion shares.
class PlanetTable {
  public:
    static constexpr int kPlanets = 8;  // Mercury ... Neptune, the Earth's centre third
    static constexpr int kEarth = 2;
    static constexpr int kMoon = 8;
    static constexpr int kBodies = 9;
    using Positions = std::array<Vector3, kBodies>;

    // The longest span a table covers, days: a little more than the 146,512 days from 1800 to
    // 2200, the years the perturbed model takes the elements' epochs from (about 72 MB).
    static constexpr double kMaxSpan = 150000.0;

    // Covers Julian days (TDB) from `first` to `last`, with a margin of two days on each side,
    // computed on `threads` threads, the Earth with the samples of `earth` where it has them.
    // `last` - `first` must lie within [0, kMaxSpan], else std::invalid_argument.
    PlanetTable(double first, double last, unsigned threads = 1, const EarthTable* earth = nullptr);

    bool Covers(double jd) const { return jd >= start_ + 1 && jd <= start_ + (days_ - 2); }
    // Heliocentric position (au) of body b (0 Mercury ... 7 Neptune, 8 the Moon) at Julian day
    // `jd` (TDB).
    Vector3 Position(int body, double jd) const;
    // All nine at `days` days after Julian day `epoch` (TDB), and the Sun's acceleration towards
    // them (au/day^2). The instant is taken in two parts so that it keeps a precision of
    // microseconds: a Julian day alone is rounded to 40 microseconds, in which the Earth moves a
    // metre, and a metre of the Earth at a close approach is kilometres after it.
    void PositionsAt(double epoch, double days, Positions& positions,
                     Vector3& sunAcceleration) const;

    // GM of each body, au^3/day^2, from the mass ratios of the IAU 2009 system of astronomical
    // constants (Luzum et al. 2011, Celest. Mech. Dyn. Astr. 110, 293): the Sun to each planet
    // with its satellites, the Sun to the Earth and Moon together (328900.5596), and the Moon
    // to the Earth (0.0123000371), which parts the latter between the Earth and the Moon.
    static const std::array<double, kBodies>& GravitationalParameters();

  private:
    double start_ = 0;
    int days_ = 0;
    // [day][body]: position then velocity (au, au/day); [day][kBodies]: the Sun's acceleration
    // and its rate (au/day^2, au/day^3)
    std::vector<std::array<std::array<Vector3, 2>, kBodies + 1>> grid_;
};
