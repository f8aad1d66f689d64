// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datatool/DriftReport.h"

#include <cmath>

double SeparationArcseconds(const SkyAngles& a, const SkyAngles& b) {
    constexpr double kRadian = M_PI / 180.0;
    const auto unit = [&](const SkyAngles& s) {
        return Vector3{std::cos(s.Latitude * kRadian) * std::cos(s.Longitude * kRadian),
                       std::cos(s.Latitude * kRadian) * std::sin(s.Longitude * kRadian),
                       std::sin(s.Latitude * kRadian)};
    };
    const Vector3 u = unit(a);
    const Vector3 v = unit(b);
    const Vector3 cross = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                           u[0] * v[1] - u[1] * v[0]};
    return std::atan2(Norm(cross), Dot(u, v)) / kRadian * 3600.0;
}

std::vector<YearDrift> MeasureDrift(const EphemerisStar& star, int firstYear, int lastYear,
                                    std::string& failure) {
    const EphemerisComputation twoBodyRun =
        ComputeEphemeris(star, firstYear, lastYear, OrbitModel::TwoBody);
    const EphemerisComputation perturbedRun =
        ComputeEphemeris(star, firstYear, lastYear, OrbitModel::Perturbed);
    failure = !twoBodyRun.Failure.empty() ? twoBodyRun.Failure : perturbedRun.Failure;
    if (!failure.empty())
        return {};
    const std::vector<EphemerisEntry>& twoBody = twoBodyRun.Entries;
    const std::vector<EphemerisEntry>& perturbed = perturbedRun.Entries;
    std::vector<YearDrift> drift;
    for (std::size_t i = 0; i < twoBody.size(); ++i) {
        if (drift.empty() || drift.back().Year != twoBody[i].Year)
            drift.push_back({twoBody[i].Year, 0});
        drift.back().MaxArcseconds =
            std::max(drift.back().MaxArcseconds,
                     SeparationArcseconds(twoBody[i].Astrometric, perturbed[i].Astrometric));
    }
    return drift;
}
