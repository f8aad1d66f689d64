// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "ephemeris/Orbit.h"

// The orbital elements nivra-data accepts: wide enough for every elliptic orbit SBDB lists, from
// the sungrazers to the Oort-cloud comets, narrow enough that every orbit inside them can be
// followed. The catalogue refuses a body outside them, and the ephemeris a catalogue row.

// Perihelion distance q, au: a forty-sixth of the Sun's radius (0.00465 au). SBDB's smallest is
// 0.0011 au (C/2007 M5 (SOHO), parabolic), its smallest elliptic one 0.0050 au (C/1963 R1).
inline constexpr double kMinPerihelionDistance = 1e-4;

// Semi-major axis a, au, at least a fifth of the smallest known, 2021 PH27 at 0.46 au (a period
// of 11.5 days): a smaller orbit, swung through a perihelion near the Sun many times a year,
// drifts from its own ellipse faster than the integration can follow it to the tolerance.
inline constexpr double kMinSemiMajorAxis = 0.1;

// Semi-major axis a, au, at most six times SBDB's largest, C/2004 R2 (ASAS) at 1.6e6 au (e =
// 0.99999993). Past it, rounding in Kepler's equation near perihelion (about a * 1e-16 au in
// a (cos E - e)) grows past 1e-9 au.
inline constexpr double kMaxSemiMajorAxis = 1e7;

// Longitude of the node, argument of perihelion and mean anomaly, degrees: SBDB gives them on
// [0, 360); one turn more either way is taken and reduced.
inline constexpr double kMinAngle = -360.0;
inline constexpr double kMaxAngle = 720.0;

// Epoch and time of perihelion, Julian days (TDB): from JD 0 (1 January 4713 BC) to 1 January
// 10000. SBDB's oldest elements are those of C/-146 P1 (JD 1667909.5).
inline constexpr double kFirstJulianDay = 0.0;
inline constexpr double kLastJulianDay = 5373484.5;

enum class ElementKind {
    Eccentricity,        // 0 <= e < 1
    PerihelionDistance,  // au
    SemiMajorAxis,       // au
    Inclination,         // degrees, 0 to 180
    Angle,               // degrees: node, argument of perihelion, mean anomaly
    JulianDay,           // epoch, time of perihelion
};

// Why `value` is not a plausible element of that kind, to follow the quoted value ("is not
// below 1 (an ellipse)"); empty when it is. Never empty for a value that is not finite.
std::string BoundProblem(ElementKind kind, double value);

// The first element of `elements` outside its bounds, quoted with the reason ("q = 1e-08 is
// below 0.0001 au"); the semi-major axis is q / (1 - e). Empty when all are inside.
std::string ElementsProblem(const OrbitalElements& elements);

// An angle in degrees reduced to [0, 360).
double Degrees360(double degrees);
