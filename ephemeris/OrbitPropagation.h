// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "ephemeris/Orbit.h"

class PlanetTable;

enum class OrbitModel {
    TwoBody,    // the osculating ellipse of the epoch, for ever
    Perturbed,  // the Sun (with its relativistic term), the planets and the Moon, integrated
};

// Limits of the perturbed integration. A step never grows past kMaxStep, so that the planets'
// pull is sampled at least daily; when the error estimate asks for a step below kMinStep (the
// body passes too close to the Sun to be followed to the tolerance) or an orbit needs more than
// kMaxSteps steps in all, the orbit is given up and said so, rather than followed for ever.
inline constexpr double kMaxStep = 1.0;      // days
inline constexpr double kMinStep = 1e-7;     // days (8.6 ms)
inline constexpr long kMaxSteps = 10000000;  // accepted and rejected, forwards and backwards

// The tolerance of a step, relative to each component of the state where the step starts (with
// floors of 1e-13 au and 1e-15 au/day, scaled with it). It resolves a pass by the Earth: Apophis,
// 38,000 km from the Earth's centre in 2029, ends the year within a kilometre of where a
// tolerance a hundred times tighter puts it, where each kilometre before the pass becomes some
// ten thousand after it.
inline constexpr double kRelativeTolerance = 1e-12;

// States at each of a list of times, or why the orbit could not be followed to all of them.
struct Propagation {
    std::vector<StateVector> States;  // one per time when Failure is empty
    std::string Failure;              // "needs steps below 1e-07 days near JD 2459800.5"
};

// The body's heliocentric state at each of `times` (Julian days, TDB, ascending). The perturbed
// model integrates Cowell's equations of motion from the osculating state at the epoch,
// forwards and backwards: the Sun's attraction with its relativistic term, and for each planet
// and the Moon its direct pull less its pull on the Sun. It uses the embedded Runge-Kutta pair
// of Dormand and Prince (1980), order 5(4), relative tolerance kRelativeTolerance, with
// adaptive steps between kMinStep and kMaxStep landing on every output time. `planets` must
// cover the times and the epoch.
Propagation PropagateOrbit(const OrbitalElements& elements, const std::vector<double>& times,
                           OrbitModel model, const PlanetTable* planets);

// What pulls, one bit each: planet p (0 Mercury ... 7 Neptune, 2 the Earth's centre) at bit p,
// the Moon at bit 8; bit 9 adds the Sun's relativistic term.
inline constexpr unsigned kAllPlanets = 0xFF;
inline constexpr unsigned kMoonPull = 1u << 8;
inline constexpr unsigned kSunRelativity = 1u << 9;
inline constexpr unsigned kFullModel = kAllPlanets | kMoonPull | kSunRelativity;

// The perturbed motion from a heliocentric state at Julian day `epoch` (TDB) to each of `times`.
// Leaving a body out of `perturbers` lets its own orbit be followed; leaving out them all and
// the relativistic term leaves Newton's ellipse about the Sun. A tighter `relativeTolerance`
// shows how far the steps of the ordinary one are from the exact motion.
Propagation IntegrateOrbit(const StateVector& start, double epoch, const std::vector<double>& times,
                           const PlanetTable& planets, unsigned perturbers = kFullModel,
                           double relativeTolerance = kRelativeTolerance);

// Heliocentric acceleration (au/day^2) of a massless body at `position` (au) moving at
// `velocity` (au/day) at `days` days after Julian day `epoch` (TDB). The relativistic term is the
// first post-Newtonian acceleration of a test particle in the Sun's field, the Sun's share of
// the relativistic n-body equations of JPL's ephemerides and small-body integrations (the
// Schwarzschild term of the IERS Conventions 2010, chapter 10, with beta = gamma = 1):
// GM / (c^2 r^3) ((4 GM / r - v^2) r + 4 (r.v) v).
Vector3 PerturbedAcceleration(const Vector3& position, const Vector3& velocity, double epoch,
                              double days, const PlanetTable& planets,
                              unsigned perturbers = kFullModel);
