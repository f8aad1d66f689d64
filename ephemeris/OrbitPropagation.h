#pragma once

#include <string>
#include <vector>

#include "ephemeris/Orbit.h"

class PlanetTable;

enum class OrbitModel {
    TwoBody,    // the osculating ellipse of the epoch, for ever
    Perturbed,  // the Sun and the eight planets, integrated from the epoch
};

// Limits of the perturbed integration. A step never grows past kMaxStep, so that the planets'
// pull is sampled at least daily; when the error estimate asks for a step below kMinStep (the
// body passes too close to the Sun to be followed to the tolerance) or an orbit needs more than
// kMaxSteps steps in all, the orbit is given up and said so, rather than followed for ever.
inline constexpr double kMaxStep = 1.0;      // days
inline constexpr double kMinStep = 1e-7;     // days (8.6 ms)
inline constexpr long kMaxSteps = 10000000;  // accepted and rejected, forwards and backwards

// States at each of a list of times, or why the orbit could not be followed to all of them.
struct Propagation {
    std::vector<StateVector> States;  // one per time when Failure is empty
    std::string Failure;              // "needs steps below 1e-07 days near JD 2459800.5"
};

// The body's heliocentric state at each of `times` (Julian days, TDB, ascending). The perturbed
// model integrates Cowell's equations of motion (the Sun's attraction plus, for each planet, its
// direct pull less its pull on the Sun) from the osculating state at the epoch, forwards and
// backwards, with the embedded Runge-Kutta pair of Dormand and Prince (1980), order 5(4),
// relative tolerance 1e-12, with adaptive steps between kMinStep and kMaxStep landing on every
// output time. `planets` must cover the times and the epoch.
Propagation PropagateOrbit(const OrbitalElements& elements, const std::vector<double>& times,
                           OrbitModel model, const PlanetTable* planets);

// The planets that pull: bit p for planet p (0 Mercury ... 7 Neptune).
inline constexpr unsigned kAllPlanets = 0xFF;

// The perturbed motion from a heliocentric state at Julian day `epoch` (TDB) to each of `times`.
// Leaving a planet out of `perturbers` lets a planet's own orbit be followed.
Propagation IntegrateOrbit(const StateVector& start, double epoch, const std::vector<double>& times,
                           const PlanetTable& planets, unsigned perturbers = kAllPlanets);

// Heliocentric acceleration (au/day^2) of a massless body at `position` (au) at Julian day `jd`.
Vector3 PerturbedAcceleration(const Vector3& position, double jd, const PlanetTable& planets,
                              unsigned perturbers = kAllPlanets);
