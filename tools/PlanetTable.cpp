#include "tools/PlanetTable.h"

#include <erfa.h>

#include <algorithm>

#include "tools/Orbit.h"

PlanetTable::PlanetTable(double first, double last) {
    start_ = std::floor(first) - 2.0;
    days_ = static_cast<int>(std::ceil(last) + 2.0 - start_) + 1;
    grid_.resize(static_cast<std::size_t>(days_));
    for (int d = 0; d < days_; ++d) {
        for (int p = 0; p < kPlanets; ++p) {
            double pv[2][3];
            eraPlan94(start_ + d, 0.0, p + 1, pv);
            auto& entry = grid_[static_cast<std::size_t>(d)][static_cast<std::size_t>(p)];
            entry[0] = {pv[0][0], pv[0][1], pv[0][2]};
            entry[1] = {pv[1][0], pv[1][1], pv[1][2]};
        }
    }
}

Vector3 PlanetTable::Position(int planet, double jd) const {
    double offset = jd - start_;
    int day = static_cast<int>(std::floor(offset));
    day = std::clamp(day, 0, days_ - 2);
    const double s = offset - day;
    const auto& a = grid_[static_cast<std::size_t>(day)][static_cast<std::size_t>(planet)];
    const auto& b = grid_[static_cast<std::size_t>(day) + 1][static_cast<std::size_t>(planet)];
    // Cubic Hermite basis on [0, 1] with the one-day step.
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double h00 = 2 * s3 - 3 * s2 + 1;
    const double h10 = s3 - 2 * s2 + s;
    const double h01 = -2 * s3 + 3 * s2;
    const double h11 = s3 - s2;
    return h00 * a[0] + h10 * a[1] + h01 * b[0] + h11 * b[1];
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
