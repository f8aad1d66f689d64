// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>

#include "ephemeris/TimeScales.h"
#include "ephemeris/Vector3.h"

class ConstellationFinder;
class EarthTable;

// What every star's record of one civil day shares: the date, its TT, the Earth and the Sun,
// and the orientation of the ecliptic of date.
struct DayContext {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int DayOfWeek = 0;               // 0 Sunday ... 6 Saturday
    JulianDay TT;                    // of 00:00:00 UTC
    Vector3 EarthHeliocentric{};     // au, ICRS axes (ERFA eraEpv00)
    Vector3 EarthBarycentric{};      // au
    Vector3 EarthVelocity{};         // barycentric, au/day
    Vector3 SunBarycentric{};        // au
    Vector3 SunVelocity{};           // barycentric, au/day
    Matrix3 IcrsToEclipticOfDate{};  // mean ecliptic and equinox of date (IAU 2006)
    double NutationInLongitude = 0;  // radians (IAU 2000B)
    // The table the Earth was read from when the day is one of a run's (MakeDays): the planet
    // table of the run takes over its samples of eraEpv00. Empty for a day made alone.
    std::shared_ptr<const EarthTable> EarthSamples;
};

// The day context of 00:00:00 UTC of a civil date (years 1900-2100, ERFA's Earth ephemeris).
// The nutation in longitude is IAU 2000B (eraNut00b, 77 luni-solar terms), which stays within
// 3 mas of IAU 2006/2000A (eraNut06a) over 1900-2100 at a twentieth of its cost; the Earth
// frame's longitudes need milliarcseconds, not microarcseconds. The Earth comes from eraEpv00,
// or from `earth` when given (which must cover the day).
DayContext MakeDayContext(int year, int month, int day, const EarthTable* earth = nullptr);

// A place in one frame, in degrees: longitude in [0, 360) and latitude in [-90, 90].
struct SkyAngles {
    double Longitude = 0;
    double Latitude = 0;
};

// The star seen from the Earth's centre at the day's instant, in the four frames of a record.
struct SkyPlace {
    SkyAngles Astrometric;  // ICRS right ascension and declination, light time corrected
    SkyAngles Earth;        // apparent ecliptic longitude and latitude of date (true equinox)
    SkyAngles Galactic;     // galactic longitude and latitude of the astrometric direction
    SkyAngles Geometric;    // heliocentric J2000 ecliptic longitude and latitude at emission
    int Constellation = 0;  // 1-88, of the astrometric direction
    double LightTime = 0;   // days
    double Distance = 0;    // geocentric, au
};

// `heliocentricAt(tdb)`: the star's heliocentric position (au, ICRS axes) at a Julian day (TDB,
// taken equal to TT) near the day's instant. The light time is iterated to convergence. The
// apparent place adds the Sun's light deflection (eraLd) and the annual aberration (eraAb).
SkyPlace ComputeSkyPlace(const DayContext& day,
                         const std::function<Vector3(double)>& heliocentricAt,
                         const ConstellationFinder& constellations);
