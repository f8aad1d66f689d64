// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/OrbitPropagation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "ephemeris/NumberText.h"
#include "ephemeris/PlanetTable.h"

Vector3 PerturbedAcceleration(const Vector3& position, const Vector3& velocity, double epoch,
                              double days, const PlanetTable& planets, unsigned perturbers) {
    const double r = Norm(position);
    const double r3 = r * r * r;
    Vector3 acceleration = (-kSunGM / r3) * position;
    if ((perturbers & kSunRelativity) != 0) {
        const double c2 = kLightSpeed * kLightSpeed;
        const double v2 = Dot(velocity, velocity);
        acceleration += (kSunGM / (c2 * r3) * (4.0 * kSunGM / r - v2)) * position;
        acceleration += (4.0 * kSunGM / (c2 * r3) * Dot(position, velocity)) * velocity;
    }
    if ((perturbers & (kAllPlanets | kMoonPull)) == 0)
        return acceleration;
    const auto& gm = PlanetTable::GravitationalParameters();
    PlanetTable::Positions at;
    Vector3 sunAcceleration;
    planets.PositionsAt(epoch, days, at, sunAcceleration);
    // Each body's direct pull less its pull on the Sun (the latter tabulated for all nine).
    const bool all = (perturbers & (kAllPlanets | kMoonPull)) == (kAllPlanets | kMoonPull);
    if (all)
        acceleration += -1.0 * sunAcceleration;
    for (std::size_t b = 0; b < PlanetTable::kBodies; ++b) {
        if ((perturbers & (1u << b)) == 0)
            continue;
        const Vector3& body = at[b];
        const Vector3 towards = body - position;
        const double d = Norm(towards);
        acceleration += (gm[b] / (d * d * d)) * towards;
        if (!all) {
            const double rb = Norm(body);
            acceleration += (-gm[b] / (rb * rb * rb)) * body;
        }
    }
    return acceleration;
}

namespace {

using State = std::array<double, 6>;  // position (au), velocity (au/day)

// Absolute floors of the tolerance of one step, at the relative tolerance kRelativeTolerance.
constexpr double kAbsolutePosition = 1e-13;  // au
constexpr double kAbsoluteVelocity = 1e-15;  // au/day

// A step grows at most fivefold, which any error below (0.9 / 5)^5 asks for.
constexpr double kLargestGrowth = 5.0;
constexpr double kLargestGrowthError = 0.18 * 0.18 * 0.18 * 0.18 * 0.18;

// The Dormand-Prince 5(4) pair (Dormand and Prince 1980, Table 2): nodes, stage weights,
// fifth-order weights and the differences fifth minus fourth order.
constexpr double kC[7] = {0, 1.0 / 5, 3.0 / 10, 4.0 / 5, 8.0 / 9, 1, 1};
constexpr double kA[7][6] = {
    {},
    {1.0 / 5},
    {3.0 / 40, 9.0 / 40},
    {44.0 / 45, -56.0 / 15, 32.0 / 9},
    {19372.0 / 6561, -25360.0 / 2187, 64448.0 / 6561, -212.0 / 729},
    {9017.0 / 3168, -355.0 / 33, 46732.0 / 5247, 49.0 / 176, -5103.0 / 18656},
    {35.0 / 384, 0, 500.0 / 1113, 125.0 / 192, -2187.0 / 6784, 11.0 / 84},
};
constexpr double kErrorWeights[7] = {35.0 / 384 - 5179.0 / 57600,
                                     0,
                                     500.0 / 1113 - 7571.0 / 16695,
                                     125.0 / 192 - 393.0 / 640,
                                     -2187.0 / 6784 + 92097.0 / 339200,
                                     11.0 / 84 - 187.0 / 2100,
                                     -1.0 / 40};

// The motion of one body under the Sun and the chosen bodies, in days from the epoch.
class Integrator {
  public:
    Integrator(double epoch, const PlanetTable& planets, unsigned perturbers, double tolerance)
        : epoch_(epoch),
          planets_(planets),
          perturbers_(perturbers),
          relative_(tolerance),
          absolutePosition_(kAbsolutePosition * tolerance / kRelativeTolerance),
          absoluteVelocity_(kAbsoluteVelocity * tolerance / kRelativeTolerance) {}

    // Follows the orbit from (t, y) (days from the epoch) through `outputs` in `order` (all
    // on one side of t), storing the state at each; false, with `failure`, when it gives up.
    bool Through(double t, State y, const std::vector<double>& outputs,
                 const std::vector<std::size_t>& order, std::vector<StateVector>& states,
                 std::string& failure);

  private:
    State Derivative(double t, const State& y) const {
        // The instant stays in two parts: epoch_ + t would round it to 40 microseconds.
        const Vector3 a = PerturbedAcceleration({y[0], y[1], y[2]}, {y[3], y[4], y[5]}, epoch_, t,
                                                planets_, perturbers_);
        return {y[3], y[4], y[5], a[0], a[1], a[2]};
    }

    // One step of size h from (t, y), with k[0] the derivative at (t, y); the fifth-order
    // result and the scaled error (<= 1: accepted), k[6] the derivative at the result.
    double Step(double t, const State& y, double h, std::array<State, 7>& k, State& next) const;

    double epoch_;
    const PlanetTable& planets_;
    unsigned perturbers_;
    double relative_;
    double absolutePosition_;  // au
    double absoluteVelocity_;  // au/day
    long steps_ = 0;
};

double Integrator::Step(double t, const State& y, double h, std::array<State, 7>& k,
                        State& next) const {
    for (int s = 1; s < 7; ++s) {
        State stage = y;
        for (int j = 0; j < s; ++j) {
            const double weight = h * kA[s][j];
            if (weight == 0)
                continue;
            for (std::size_t i = 0; i < 6; ++i)
                stage[i] += weight * k[static_cast<std::size_t>(j)][i];
        }
        if (s == 6)
            next = stage;
        k[static_cast<std::size_t>(s)] = Derivative(t + kC[s] * h, stage);
    }
    // Each component's error is measured against that component where the step starts: a
    // wild step that lands far away cannot loosen its own tolerance.
    double error = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        double difference = 0;
        for (std::size_t s = 0; s < 7; ++s)
            difference += kErrorWeights[s] * k[s][i];
        const double scale =
            (i < 3 ? absolutePosition_ : absoluteVelocity_) + relative_ * std::fabs(y[i]);
        error = std::max(error, std::fabs(h * difference) / scale);
    }
    return std::isfinite(error) ? error : HUGE_VAL;
}

bool Integrator::Through(double t, State y, const std::vector<double>& outputs,
                         const std::vector<std::size_t>& order, std::vector<StateVector>& states,
                         std::string& failure) {
    std::array<State, 7> k{};
    k[0] = Derivative(t, y);
    double step = kMaxStep;
    for (std::size_t index : order) {
        const double target = outputs[index] - epoch_;
        while (t != target) {
            const double direction = target > t ? 1.0 : -1.0;
            const double left = std::fabs(target - t);
            double size = std::min(step, left);
            for (;;) {
                if (++steps_ > kMaxSteps) {
                    failure = "needs more than " + std::to_string(kMaxSteps) +
                              " integration steps (by JD " + NumberText(epoch_ + t) + ")";
                    return false;
                }
                State next{};
                const double error = Step(t, y, direction * size, k, next);
                // The next step: 0.9 error^(-1/5) of this one, within a fifth and five times.
                const double factor = error <= kLargestGrowthError
                                          ? kLargestGrowth
                                          : std::clamp(0.9 * std::pow(error, -0.2), 0.2, 5.0);
                if (error <= 1.0) {
                    t = size == left ? target : t + direction * size;
                    y = next;
                    k[0] = k[6];  // the last stage is the next step's first
                    step = std::clamp(size * factor, kMinStep, kMaxStep);
                    break;
                }
                if (size <= kMinStep) {
                    failure = "needs steps below " + NumberText(kMinStep) + " days near JD " +
                              NumberText(epoch_ + t) + " (perihelion too close to the Sun)";
                    return false;
                }
                size = std::max(size * factor, std::min(kMinStep, left));
            }
        }
        states[index] = {{y[0], y[1], y[2]}, {y[3], y[4], y[5]}};
    }
    return true;
}

}  // namespace

Propagation PropagateOrbit(const OrbitalElements& elements, const std::vector<double>& times,
                           OrbitModel model, const PlanetTable* planets) {
    if (model == OrbitModel::TwoBody || planets == nullptr) {
        Propagation result;
        result.States.resize(times.size());
        for (std::size_t i = 0; i < times.size(); ++i)
            result.States[i] = KeplerState(elements, times[i]);
        return result;
    }
    return IntegrateOrbit(KeplerState(elements, elements.Epoch), elements.Epoch, times, *planets);
}

Propagation IntegrateOrbit(const StateVector& start, double epoch, const std::vector<double>& times,
                           const PlanetTable& planets, unsigned perturbers,
                           double relativeTolerance) {
    Propagation result;
    result.States.resize(times.size());
    const State y0 = {start.Position[0], start.Position[1], start.Position[2],
                      start.Velocity[0], start.Velocity[1], start.Velocity[2]};
    std::vector<std::size_t> forward;
    std::vector<std::size_t> backward;
    for (std::size_t i = 0; i < times.size(); ++i) {
        (times[i] >= epoch ? forward : backward).push_back(i);
    }
    std::sort(forward.begin(), forward.end(), [&](auto a, auto b) { return times[a] < times[b]; });
    std::sort(backward.begin(), backward.end(),
              [&](auto a, auto b) { return times[a] > times[b]; });
    Integrator integrator(epoch, planets, perturbers, relativeTolerance);
    if (!integrator.Through(0.0, y0, times, forward, result.States, result.Failure) ||
        !integrator.Through(0.0, y0, times, backward, result.States, result.Failure)) {
        result.States.clear();
    }
    return result;
}
