#include "tools/OrbitPropagation.h"

#include <algorithm>

#include "tools/PlanetTable.h"

Vector3 PerturbedAcceleration(const Vector3& position, double jd, const PlanetTable& planets,
                              unsigned perturbers) {
    const double r = Norm(position);
    Vector3 acceleration = (-kSunGM / (r * r * r)) * position;
    const auto& gm = PlanetTable::GravitationalParameters();
    for (int p = 0; p < PlanetTable::kPlanets; ++p) {
        if ((perturbers & (1u << p)) == 0)
            continue;
        const Vector3 planet = planets.Position(p, jd);
        const Vector3 towards = planet - position;
        const double d = Norm(towards);
        const double rp = Norm(planet);
        acceleration += gm[static_cast<std::size_t>(p)] *
                        ((1.0 / (d * d * d)) * towards - (1.0 / (rp * rp * rp)) * planet);
    }
    return acceleration;
}

namespace {

using State = std::array<double, 6>;  // position (au), velocity (au/day)

struct Dynamics {
    const PlanetTable& planets;
    unsigned perturbers;
};

State Derivative(double jd, const State& y, const Dynamics& planets) {
    const Vector3 a =
        PerturbedAcceleration({y[0], y[1], y[2]}, jd, planets.planets, planets.perturbers);
    return {y[3], y[4], y[5], a[0], a[1], a[2]};
}

State Combine(const State& y, double h,
              std::initializer_list<std::pair<double, const State*>> terms) {
    State out = y;
    for (const auto& [weight, k] : terms) {
        if (weight == 0)
            continue;
        for (int i = 0; i < 6; ++i)
            out[static_cast<std::size_t>(i)] += h * weight * (*k)[static_cast<std::size_t>(i)];
    }
    return out;
}

// One Dormand-Prince 5(4) step of size h from (t, y); returns the fifth-order result and the
// scaled error estimate (<= 1 means accepted).
std::pair<State, double> DormandPrinceStep(double t, const State& y, double h,
                                           const Dynamics& planets) {
    const State k1 = Derivative(t, y, planets);
    const State k2 = Derivative(t + h / 5, Combine(y, h, {{1.0 / 5, &k1}}), planets);
    const State k3 =
        Derivative(t + 3 * h / 10, Combine(y, h, {{3.0 / 40, &k1}, {9.0 / 40, &k2}}), planets);
    const State k4 =
        Derivative(t + 4 * h / 5,
                   Combine(y, h, {{44.0 / 45, &k1}, {-56.0 / 15, &k2}, {32.0 / 9, &k3}}), planets);
    const State k5 = Derivative(t + 8 * h / 9,
                                Combine(y, h,
                                        {{19372.0 / 6561, &k1},
                                         {-25360.0 / 2187, &k2},
                                         {64448.0 / 6561, &k3},
                                         {-212.0 / 729, &k4}}),
                                planets);
    const State k6 = Derivative(t + h,
                                Combine(y, h,
                                        {{9017.0 / 3168, &k1},
                                         {-355.0 / 33, &k2},
                                         {46732.0 / 5247, &k3},
                                         {49.0 / 176, &k4},
                                         {-5103.0 / 18656, &k5}}),
                                planets);
    const State fifth = Combine(y, h,
                                {{35.0 / 384, &k1},
                                 {500.0 / 1113, &k3},
                                 {125.0 / 192, &k4},
                                 {-2187.0 / 6784, &k5},
                                 {11.0 / 84, &k6}});
    const State k7 = Derivative(t + h, fifth, planets);
    const State fourth = Combine(y, h,
                                 {{5179.0 / 57600, &k1},
                                  {7571.0 / 16695, &k3},
                                  {393.0 / 640, &k4},
                                  {-92097.0 / 339200, &k5},
                                  {187.0 / 2100, &k6},
                                  {1.0 / 40, &k7}});
    constexpr double kRelative = 1e-12;
    constexpr double kAbsolutePosition = 1e-13;  // au
    constexpr double kAbsoluteVelocity = 1e-15;  // au/day
    double error = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const double scale = (i < 3 ? kAbsolutePosition : kAbsoluteVelocity) +
                             kRelative * std::max(std::fabs(y[i]), std::fabs(fifth[i]));
        error = std::max(error, std::fabs(fifth[i] - fourth[i]) / scale);
    }
    return {fifth, error};
}

// Integrates from (t, y) through the output times in order (all on one side of t), storing the
// state at each.
void IntegrateThrough(double t, State y, const std::vector<double>& outputs,
                      const std::vector<std::size_t>& order, std::vector<StateVector>& states,
                      const Dynamics& planets) {
    constexpr double kMaxStep = 1.0;  // days
    double step = kMaxStep;
    for (std::size_t index : order) {
        const double target = outputs[index];
        while (t != target) {
            const double direction = target > t ? 1.0 : -1.0;
            double h = direction * std::min(step, std::fabs(target - t));
            for (;;) {
                auto [next, error] = DormandPrinceStep(t, y, h, planets);
                const double factor =
                    error == 0 ? 5.0 : std::clamp(0.9 * std::pow(error, -0.2), 0.2, 5.0);
                if (error <= 1.0) {
                    const bool landed = std::fabs(target - (t + h)) < 1e-12;
                    t = landed ? target : t + h;
                    y = next;
                    step = std::min(kMaxStep, std::fabs(h) * factor);
                    break;
                }
                h *= factor;
            }
        }
        states[index] = {{y[0], y[1], y[2]}, {y[3], y[4], y[5]}};
    }
}

}  // namespace

std::vector<StateVector> PropagateOrbit(const OrbitalElements& elements,
                                        const std::vector<double>& times, OrbitModel model,
                                        const PlanetTable* planets) {
    std::vector<StateVector> states(times.size());
    if (model == OrbitModel::TwoBody || planets == nullptr) {
        for (std::size_t i = 0; i < times.size(); ++i) {
            states[i] = KeplerState(elements, times[i]);
        }
        return states;
    }
    return IntegrateOrbit(KeplerState(elements, elements.Epoch), elements.Epoch, times, *planets);
}

std::vector<StateVector> IntegrateOrbit(const StateVector& start, double epoch,
                                        const std::vector<double>& times,
                                        const PlanetTable& planets, unsigned perturbers) {
    std::vector<StateVector> states(times.size());
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
    const Dynamics dynamics{planets, perturbers};
    IntegrateThrough(epoch, y0, times, forward, states, dynamics);
    IntegrateThrough(epoch, y0, times, backward, states, dynamics);
    return states;
}
