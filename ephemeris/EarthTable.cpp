// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/EarthTable.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>

#include "ephemeris/ParallelFor.h"

EarthTable::EarthTable(double first, double last, unsigned threads, const EarthTable* known) {
    // Enough samples on each side for the polynomial of any instant in [first, last].
    constexpr long kMargin = kPoints / 2 + 1;
    first_ = static_cast<long>(std::floor(first / kStep)) - kMargin;
    const long lastSample = static_cast<long>(std::ceil(last / kStep)) + kMargin;
    const auto count = static_cast<std::size_t>(lastSample - first_ + 1);
    samples_.resize(count);
    constexpr std::size_t kSamplesPerTask = 128;
    ParallelFor((count + kSamplesPerTask - 1) / kSamplesPerTask, threads, [&](std::size_t task) {
        const std::size_t end = std::min(count, (task + 1) * kSamplesPerTask);
        for (std::size_t i = task * kSamplesPerTask; i < end; ++i) {
            const long sample = first_ + static_cast<long>(i);
            if (known != nullptr && sample >= known->first_ &&
                sample < known->first_ + static_cast<long>(known->samples_.size())) {
                samples_[i] = known->samples_[static_cast<std::size_t>(sample - known->first_)];
                continue;
            }
            double pvh[2][3];
            double pvb[2][3];
            eraEpv00(static_cast<double>(sample) * kStep, 0.0, pvh, pvb);
            for (std::size_t j = 0; j < 6; ++j) {
                samples_[i][j] = pvh[j / 3][j % 3];
                samples_[i][6 + j] = pvb[j / 3][j % 3];
            }
        }
    });
}

void EarthTable::At(double tt, double heliocentric[2][3], double barycentric[2][3]) const {
    // The instant in samples from the first, and the first of the kPoints samples around it.
    const double x = (tt - static_cast<double>(first_) * kStep) / kStep;
    const int last = static_cast<int>(samples_.size()) - kPoints;
    const int first = std::clamp(static_cast<int>(std::floor(x)) - (kPoints / 2 - 1), 0, last);
    const double s = x - first;
    std::array<double, kPoints> weight;
    for (int m = 0; m < kPoints; ++m) {
        double w = 1;
        for (int q = 0; q < kPoints; ++q) {
            if (q != m)
                w *= (s - q) / (m - q);
        }
        weight[static_cast<std::size_t>(m)] = w;
    }
    std::array<double, 12> value{};
    for (int m = 0; m < kPoints; ++m) {
        const auto& sample = samples_[static_cast<std::size_t>(first + m)];
        for (std::size_t j = 0; j < 12; ++j)
            value[j] += weight[static_cast<std::size_t>(m)] * sample[j];
    }
    for (std::size_t j = 0; j < 6; ++j) {
        heliocentric[j / 3][j % 3] = value[j];
        barycentric[j / 3][j % 3] = value[6 + j];
    }
}
