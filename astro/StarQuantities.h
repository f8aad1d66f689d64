// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>

#include "data/CatalogueQueries.h"

// Every quantity the information panel and the star list show for one star: its catalogue
// values and what the orbital formulas derive from them. Both take their values from
// QuantityValue, so a star's panel and its list row always agree.
enum class Quantity {
    // From the catalogue, as stored.
    Eccentricity,            // e
    SemiMajorAxis,           // a, au
    PerihelionDistance,      // q, au
    ApelionDistance,         // Q, au
    Inclination,             // i
    AscendingNodeLongitude,  // node
    ArgumentPerihelion,      // peri
    MeanAnomaly,             // M
    OrbitalPeriod,           // T, days
    EarthMOID,
    AbsoluteMagnitude,  // H
    Diameter,
    RotationPeriod,
    GeometricAlbedo,  // the star list's only
    // The catalogue's mean motion, or, where it is exactly 0, MeanMotionFromAxis(a).
    MeanMotion,
    // Derived by the orbital formulas.
    SemiMinorAxis,            // b, au
    KeplerConstant,           // K
    PerihelionLongitude,      // LP, degrees
    EccentricAnomaly,         // E, degrees
    TrueAnomaly,              // Ta, degrees
    KeplerPeriodYears,        // OBy, years
    PeriodOver365,            // OB: T / 365 (not 365.25), the star list's period in years
    PlanetCycle,              // PC, hours
    SunDistanceFromPeriod,    // DS, au
    EllipseArea,              // S, au^2
    EllipsePerimeter,         // Pe, au
    AphelionSpeed,            // Voa, km/s
    PerihelionSpeed,          // Vop, km/s
    MeanOrbitalSpeed,         // Vom, km/s
    DistancePerDay,           // DPJ, au
    DistancePerHour,          // DPH, au
    DistancePerMinute,        // DPM, au
    DistancePerSecond,        // DPS, au
    FocalDistance,            // c, au
    CentreDirectrixDistance,  // f, au
    FocusDirectrixDistance,   // h, au
    EllipseParameter,         // p, au
};

inline constexpr int kQuantityCount = static_cast<int>(Quantity::EllipseParameter) + 1;

// A star's catalogue values with its anomalies solved once: Kepler's equation is the one costly
// formula, and the true anomaly follows from its result.
struct StarQuantities {
    StarInfoRow Elements;
    double GeometricAlbedo = 0;   // read by the star list only; 0 for the information panel
    double EccentricAnomaly = 0;  // degrees
    double TrueAnomaly = 0;       // degrees
};

StarQuantities SolveStarQuantities(const StarInfoRow& elements, double geometricAlbedo = 0);

// The value of one quantity, in the unit its enumerator names.
double QuantityValue(Quantity quantity, const StarQuantities& star);

// The values of every quantity, by Quantity, each bit for bit what QuantityValue gives: what
// several quantities share (b, the perimeter, Kepler's period) is worked out once. For the star
// list, which shows nearly all of them on every row.
struct QuantityValues {
    std::array<double, kQuantityCount> Values;
    double operator[](Quantity quantity) const {
        return Values[static_cast<std::size_t>(quantity)];
    }
};
QuantityValues AllQuantityValues(const StarQuantities& star);
