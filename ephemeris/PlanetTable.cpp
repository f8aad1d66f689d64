#include "ephemeris/PlanetTable.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "ephemeris/Orbit.h"
#include "ephemeris/ParallelFor.h"

namespace {

// Cubic Hermite basis on [0, 1] with the one-day step.
struct HermiteBasis {
    double h00, h10, h01, h11;
    explicit HermiteBasis(double s) {
        const double s2 = s * s;
        const double s3 = s2 * s;
        h00 = 2 * s3 - 3 * s2 + 1;
        h10 = s3 - 2 * s2 + s;
        h01 = -2 * s3 + 3 * s2;
        h11 = s3 - s2;
    }
};

}  // namespace

PlanetTable::PlanetTable(double first, double last, unsigned threads) {
    if (!(last - first >= 0 && last - first <= kMaxSpan)) {
        throw std::invalid_argument("the planets are tabulated over at most 150000 days");
    }
    start_ = std::floor(first) - 2.0;
    days_ = static_cast<int>(std::ceil(last) + 2.0 - start_) + 1;
    grid_.resize(static_cast<std::size_t>(days_));
    constexpr std::size_t kDaysPerTask = 256;
    const std::size_t tasks = (grid_.size() + kDaysPerTask - 1) / kDaysPerTask;
    ParallelFor(tasks, threads, [&](std::size_t task) {
        const std::size_t end = std::min(grid_.size(), (task + 1) * kDaysPerTask);
        const auto& gm = GravitationalParameters();
        for (std::size_t d = task * kDaysPerTask; d < end; ++d) {
            Vector3 sun{};
            Vector3 sunRate{};
            for (std::size_t p = 0; p < kPlanets; ++p) {
                double pv[2][3];
                eraPlan94(start_ + static_cast<double>(d), 0.0, static_cast<int>(p) + 1, pv);
                const Vector3 r = {pv[0][0], pv[0][1], pv[0][2]};
                const Vector3 v = {pv[1][0], pv[1][1], pv[1][2]};
                grid_[d][p] = {r, v};
                // GM r / |r|^3 and its derivative GM (v / |r|^3 - 3 r (r.v) / |r|^5).
                const double distance = Norm(r);
                const double cube = distance * distance * distance;
                sun += (gm[p] / cube) * r;
                sunRate += (gm[p] / cube) * v;
                sunRate += (-3.0 * gm[p] * Dot(r, v) / (cube * distance * distance)) * r;
            }
            grid_[d][kPlanets] = {sun, sunRate};
        }
    });
}

Vector3 PlanetTable::Position(int planet, double jd) const {
    Positions all;
    Vector3 sun;
    PositionsAt(jd, all, sun);
    return all[static_cast<std::size_t>(planet)];
}

void PlanetTable::PositionsAt(double jd, Positions& positions, Vector3& sunAcceleration) const {
    const double offset = jd - start_;
    const int day = std::clamp(static_cast<int>(std::floor(offset)), 0, days_ - 2);
    const HermiteBasis basis(offset - day);
    const auto& a = grid_[static_cast<std::size_t>(day)];
    const auto& b = grid_[static_cast<std::size_t>(day) + 1];
    for (std::size_t p = 0; p <= kPlanets; ++p) {
        Vector3& value = p < kPlanets ? positions[p] : sunAcceleration;
        for (std::size_t c = 0; c < 3; ++c) {
            value[c] = basis.h00 * a[p][0][c] + basis.h10 * a[p][1][c] + basis.h01 * b[p][0][c] +
                       basis.h11 * b[p][1][c];
        }
    }
}

const std::array<double, PlanetTable::kPlanets>& PlanetTable::GravitationalParameters() {
    static const std::array<double, kPlanets> gm = [] {
        // Sun / planet mass ratios (planet with its satellites; Earth with the Moon).
        constexpr std::array<double, kPlanets> ratios = {6023597.400, 408523.719,  328900.5596,
                                                         3098703.59,  1047.348644, 3497.9018,
                                                         22902.98,    19412.26};
        std::array<double, kPlanets> values{};
        for (int p = 0; p < kPlanets; ++p) {
            values[static_cast<std::size_t>(p)] = kSunGM / ratios[static_cast<std::size_t>(p)];
        }
        return values;
    }();
    return gm;
}
