#pragma once

#include <vector>

#include "tools/Orbit.h"

class PlanetTable;

enum class OrbitModel {
    TwoBody,    // the osculating ellipse of the epoch, for ever
    Perturbed,  // the Sun and the eight planets, integrated from the epoch
};

// The body's heliocentric state at each of `times` (Julian days, TDB, ascending). The perturbed
// model integrates Cowell's equations of motion (the Sun's attraction plus, for each planet, its
// direct pull less its pull on the Sun) from the osculating state at the epoch, forwards and
// backwards, with the embedded Runge-Kutta pair of Dormand and Prince (1980), order 5(4), with
// adaptive steps of at most one day landing on every output time. `planets` must cover the
// times and the epoch.
std::vector<StateVector> PropagateOrbit(const OrbitalElements& elements,
                                        const std::vector<double>& times, OrbitModel model,
                                        const PlanetTable* planets);

// The planets that pull: bit p for planet p (0 Mercury ... 7 Neptune).
inline constexpr unsigned kAllPlanets = 0xFF;

// The perturbed motion from a heliocentric state at Julian day `epoch` (TDB) to each of `times`.
// Leaving a planet out of `perturbers` lets a planet's own orbit be followed.
std::vector<StateVector> IntegrateOrbit(const StateVector& start, double epoch,
                                        const std::vector<double>& times,
                                        const PlanetTable& planets,
                                        unsigned perturbers = kAllPlanets);

// Heliocentric acceleration (au/day^2) of a massless body at `position` (au) at Julian day `jd`.
Vector3 PerturbedAcceleration(const Vector3& position, double jd, const PlanetTable& planets,
                              unsigned perturbers = kAllPlanets);
