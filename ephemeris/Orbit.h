// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ephemeris/Vector3.h"

// Heliocentric osculating elements of an elliptic orbit, referred to the ecliptic and equinox
// of J2000 (as SBDB gives them).
struct OrbitalElements {
    double PerihelionDistance = 0;  // q, au
    double Eccentricity = 0;        // e, 0 <= e < 1
    double Inclination = 0;         // i, degrees
    double AscendingNode = 0;       // longitude of the ascending node, degrees
    double ArgumentPerihelion = 0;  // degrees
    double MeanAnomaly = 0;         // M at the epoch, degrees
    double Epoch = 0;               // Julian day (TDB)
};

// Position (au) and velocity (au/day) in the ICRS-aligned heliocentric equatorial frame.
struct StateVector {
    Vector3 Position{};
    Vector3 Velocity{};
};

// Gaussian gravitational constant k (au^3/2 day^-1 solar-mass^-1/2): GM of the Sun = k^2.
inline constexpr double kGaussK = 0.01720209895;
inline constexpr double kSunGM = kGaussK * kGaussK;  // au^3/day^2

// Speed of light, au/day: 299,792,458 m/s and the astronomical unit of 149,597,870,700 m (IAU
// 2012 Resolution B2), ERFA's ERFA_CMPS and ERFA_DAU.
inline constexpr double kLightSpeed = 299792458.0 * 86400.0 / 149597870700.0;

// Obliquity of the J2000 ecliptic used by JPL for ecliptic elements: 84381.448 arcseconds.
inline constexpr double kObliquityJ2000 = 84381.448 / 3600.0 * M_PI / 180.0;  // radians

// Rotations between the J2000 ecliptic and the ICRS equator (the ICRS x axis is the equinox).
Vector3 EclipticToEquatorial(const Vector3& ecliptic);
Vector3 EquatorialToEcliptic(const Vector3& equatorial);

// Semi-major axis (au) and mean motion (radians/day) of the ellipse.
double SemiMajorAxis(const OrbitalElements& elements);
double MeanMotion(const OrbitalElements& elements);

// Eccentric anomaly E (radians) of Kepler's equation E - e sin E = M, by Newton's method.
double SolveKepler(double meanAnomaly, double eccentricity);

// Two-body heliocentric state at Julian day `jd` (TDB), equatorial (ICRS axes).
StateVector KeplerState(const OrbitalElements& elements, double jd);
