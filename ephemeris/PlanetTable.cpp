// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/PlanetTable.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "ephemeris/EarthTable.h"
#include "ephemeris/Orbit.h"
#include "ephemeris/ParallelFor.h"

namespace {

// Cubic Hermite basis on [0, 1] with the one-day step: the weights of the positions and the
// velocities at the two ends.
struct CubicBasis {
    double h00, h10, h01, h11;
    explicit CubicBasis(double s) {
        const double s2 = s * s;
        const double s3 = s2 * s;
        h00 = 2 * s3 - 3 * s2 + 1;
        h10 = s3 - 2 * s2 + s;
        h01 = -2 * s3 + 3 * s2;
        h11 = s3 - s2;
    }
};

// Hermite basis of degree 7 through the days -1, 0, 1 and 2 around s in [0, 1]: with l_j the
// Lagrange polynomials of the four days, position weights (1 - 2 l_j'(x_j) (s - x_j)) l_j(s)^2
// and velocity weights (s - x_j) l_j(s)^2.
struct SepticBasis {
    std::array<double, 4> position, velocity;
    explicit SepticBasis(double s) {
        const double before = s + 1;
        const double next = s - 1;
        const double after = s - 2;
        const std::array<double, 4> lagrange = {-s * next * after / 6, before * next * after / 2,
                                                -before * s * after / 2, before * s * next / 6};
        // l_j'(x_j), the sum of 1 / (x_j - x_k) over the other days.
        constexpr std::array<double, 4> slope = {-11.0 / 6, -0.5, 0.5, 11.0 / 6};
        for (std::size_t j = 0; j < 4; ++j) {
            const double from = s - (static_cast<double>(j) - 1);
            const double square = lagrange[j] * lagrange[j];
            position[j] = (1 - 2 * slope[j] * from) * square;
            velocity[j] = from * square;
        }
    }
};

// The geocentric Moon of eraMoon98 (GCRS axes, au and au/day) at date1 + date2 (TT). Its
// velocity is the derivative of the Moon's place in the mean ecliptic of date, turned to the
// GCRS without the turning of that ecliptic itself (up to 3 mm/s, as ERFA notes); the term is
// added here, (d rm/dt) rm' x with rm the rotation eraMoon98 uses, so that the velocities are
// the derivatives of the positions, as the Hermite curve takes them to be.
void GeocentricMoon(double date1, double date2, Vector3& position, Vector3& velocity) {
    double pv[2][3];
    eraMoon98(date1, date2, pv);
    const auto rotation = [&](double offset, double rm[3][3]) {
        double gamb = 0, phib = 0, psib = 0, epsa = 0;
        eraPfw06(date1, date2 + offset, &gamb, &phib, &psib, &epsa);
        eraIr(rm);
        eraRz(psib, rm);
        eraRx(-phib, rm);
        eraRz(-gamb, rm);
    };
    double before[3][3];
    double now[3][3];
    double after[3][3];
    rotation(-1.0, before);
    rotation(0.0, now);
    rotation(1.0, after);
    double ecliptic[3];
    eraTrxp(now, pv[0], ecliptic);
    for (std::size_t i = 0; i < 3; ++i) {
        double turning = 0;
        for (std::size_t j = 0; j < 3; ++j)
            turning += 0.5 * (after[i][j] - before[i][j]) * ecliptic[j];
        position[i] = pv[0][i];
        velocity[i] = pv[1][i] + turning;
    }
}

// The weights of the Hermite curve of degree 15 through the positions and velocities of eight
// samples one step apart (at -3 ... 4 steps), at the middle of the step from 0 to 1: for the
// position (of the positions, and of the velocities times the step) and for the velocity (of
// the positions over the step, and of the velocities).
struct MidpointWeights {
    std::array<double, 8> position, velocity, positionRate, velocityRate;
};

const MidpointWeights& Midpoint() {
    static const MidpointWeights weights = [] {
        MidpointWeights w{};
        constexpr double s = 0.5;
        for (std::size_t j = 0; j < 8; ++j) {
            const double at = static_cast<double>(j) - 3;
            double lagrange = 1;
            double slope = 0;  // l_j'(x_j)
            double rate = 0;   // l_j'(s) / l_j(s)
            for (std::size_t k = 0; k < 8; ++k) {
                if (k == j)
                    continue;
                const double other = static_cast<double>(k) - 3;
                lagrange *= (s - other) / (at - other);
                slope += 1 / (at - other);
                rate += 1 / (s - other);
            }
            const double from = s - at;
            const double square = lagrange * lagrange;
            w.position[j] = (1 - 2 * slope * from) * square;
            w.velocity[j] = from * square;
            w.positionRate[j] = -2 * slope * square + (1 - 2 * slope * from) * 2 * square * rate;
            w.velocityRate[j] = square + from * 2 * square * rate;
        }
        return w;
    }();
    return weights;
}

}  // namespace

PlanetTable::PlanetTable(double first, double last, unsigned threads, const EarthTable* known) {
    if (!(last - first >= 0 && last - first <= kMaxSpan)) {
        throw std::invalid_argument("the planets are tabulated over at most 150000 days");
    }
    start_ = std::floor(first) - 2.0;
    days_ = static_cast<int>(std::ceil(last) + 2.0 - start_) + 1;
    grid_.resize(static_cast<std::size_t>(days_));
    const EarthTable earth(start_, start_ + (days_ - 1), threads, known);
    constexpr std::size_t kDaysPerTask = 256;
    const std::size_t tasks = (grid_.size() + kDaysPerTask - 1) / kDaysPerTask;

    // The Moon is sampled every other day, from eight days before the grid to eight after it
    // (eraMoon98 costs as much as the seven planets together); the days between take the Hermite
    // curve of degree 15 through the eight samples around them, within 3 m of eraMoon98.
    constexpr int kMoonMargin = 8;
    constexpr double kMoonStep = 2.0;
    std::vector<std::array<Vector3, 2>> moon(static_cast<std::size_t>((days_ + 15) / 2 + 1));
    ParallelFor((moon.size() + kDaysPerTask - 1) / kDaysPerTask, threads, [&](std::size_t task) {
        const std::size_t end = std::min(moon.size(), (task + 1) * kDaysPerTask);
        for (std::size_t k = task * kDaysPerTask; k < end; ++k) {
            GeocentricMoon(start_, static_cast<double>(k) * kMoonStep - kMoonMargin, moon[k][0],
                           moon[k][1]);
        }
    });
    const MidpointWeights& midpoint = Midpoint();
    const auto moonOn = [&](std::size_t d) -> std::array<Vector3, 2> {
        const std::size_t x = d + kMoonMargin;
        if (x % 2 == 0)
            return moon[x / 2];
        std::array<Vector3, 2> value{};
        for (std::size_t j = 0; j < 8; ++j) {
            const auto& sample = moon[(x - 1) / 2 + j - 3];
            value[0] += midpoint.position[j] * sample[0];
            value[0] += (midpoint.velocity[j] * kMoonStep) * sample[1];
            value[1] += (midpoint.positionRate[j] / kMoonStep) * sample[0];
            value[1] += midpoint.velocityRate[j] * sample[1];
        }
        return value;
    };

    ParallelFor(tasks, threads, [&](std::size_t task) {
        const std::size_t end = std::min(grid_.size(), (task + 1) * kDaysPerTask);
        const auto& gm = GravitationalParameters();
        for (std::size_t d = task * kDaysPerTask; d < end; ++d) {
            const double day = static_cast<double>(d);
            auto& node = grid_[d];
            for (std::size_t p = 0; p < kPlanets; ++p) {
                if (p == kEarth)
                    continue;
                double pv[2][3];
                eraPlan94(start_, day, static_cast<int>(p) + 1, pv);
                node[p] = {Vector3{pv[0][0], pv[0][1], pv[0][2]},
                           Vector3{pv[1][0], pv[1][1], pv[1][2]}};
            }
            double heliocentric[2][3];
            double barycentric[2][3];
            earth.At(start_ + day, heliocentric, barycentric);
            node[kEarth] = {Vector3{heliocentric[0][0], heliocentric[0][1], heliocentric[0][2]},
                            Vector3{heliocentric[1][0], heliocentric[1][1], heliocentric[1][2]}};
            const std::array<Vector3, 2> geocentric = moonOn(d);
            node[kMoon] = {node[kEarth][0] + geocentric[0], node[kEarth][1] + geocentric[1]};
            // The Sun's acceleration, sum of GM r / |r|^3, and its rate, the sum of
            // GM (v / |r|^3 - 3 r (r.v) / |r|^5).
            Vector3 sun{};
            Vector3 sunRate{};
            for (std::size_t b = 0; b < kBodies; ++b) {
                const Vector3& r = node[b][0];
                const Vector3& v = node[b][1];
                const double distance = Norm(r);
                const double cube = distance * distance * distance;
                sun += (gm[b] / cube) * r;
                sunRate += (gm[b] / cube) * v;
                sunRate += (-3.0 * gm[b] * Dot(r, v) / (cube * distance * distance)) * r;
            }
            node[kBodies] = {sun, sunRate};
        }
    });
}

Vector3 PlanetTable::Position(int body, double jd) const {
    Positions all;
    Vector3 sun;
    PositionsAt(jd, 0.0, all, sun);
    return all[static_cast<std::size_t>(body)];
}

void PlanetTable::PositionsAt(double epoch, double days, Positions& positions,
                              Vector3& sunAcceleration) const {
    // The grid starts on a whole day within the 400 years of the table, so the difference of
    // the two Julian days is exact.
    const double offset = (epoch - start_) + days;
    const int day = std::clamp(static_cast<int>(std::floor(offset)), 1, days_ - 3);
    const double s = offset - day;
    const CubicBasis cubic(s);
    const auto& a = grid_[static_cast<std::size_t>(day)];
    const auto& b = grid_[static_cast<std::size_t>(day) + 1];
    for (std::size_t p = 0; p <= kBodies; ++p) {
        if (p == kEarth || p == kMoon)
            continue;
        Vector3& value = p < kBodies ? positions[p] : sunAcceleration;
        for (std::size_t c = 0; c < 3; ++c) {
            value[c] = cubic.h00 * a[p][0][c] + cubic.h10 * a[p][1][c] + cubic.h01 * b[p][0][c] +
                       cubic.h11 * b[p][1][c];
        }
    }
    const SepticBasis septic(s);
    for (std::size_t p : {std::size_t{kEarth}, std::size_t{kMoon}}) {
        Vector3 value{};
        for (std::size_t j = 0; j < 4; ++j) {
            const auto& node = grid_[static_cast<std::size_t>(day) - 1 + j][p];
            for (std::size_t c = 0; c < 3; ++c)
                value[c] += septic.position[j] * node[0][c] + septic.velocity[j] * node[1][c];
        }
        positions[p] = value;
    }
}

const std::array<double, PlanetTable::kBodies>& PlanetTable::GravitationalParameters() {
    static const std::array<double, kBodies> gm = [] {
        // Sun / planet mass ratios (each planet with its satellites; the Earth with the Moon).
        constexpr std::array<double, kPlanets> ratios = {6023597.400, 408523.719,  328900.5596,
                                                         3098703.59,  1047.348644, 3497.9018,
                                                         22902.98,    19412.26};
        constexpr double kMoonToEarth = 0.0123000371;
        std::array<double, kBodies> values{};
        for (int p = 0; p < kPlanets; ++p) {
            values[static_cast<std::size_t>(p)] = kSunGM / ratios[static_cast<std::size_t>(p)];
        }
        const double earthAndMoon = values[kEarth];
        values[kEarth] = earthAndMoon / (1.0 + kMoonToEarth);
        values[kMoon] = earthAndMoon * kMoonToEarth / (1.0 + kMoonToEarth);
        return values;
    }();
    return gm;
}
