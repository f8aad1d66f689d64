// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/SkyPlace.h"

#include <erfa.h>

#include "ephemeris/Constellations.h"
#include "ephemeris/EarthTable.h"
#include "ephemeris/Orbit.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / M_PI;

SkyAngles Degrees(double longitude, double latitude) {
    double lon = eraAnp(longitude) * kDegreesPerRadian;
    if (lon >= 360.0)
        lon -= 360.0;
    return {lon, latitude * kDegreesPerRadian};
}

SkyAngles Degrees(const Spherical& place) {
    return Degrees(place.Longitude, place.Latitude);
}

Vector3 Unit(const Vector3& v) {
    return (1.0 / Norm(v)) * v;
}

}  // namespace

DayContext MakeDayContext(int year, int month, int day, const EarthTable* earth) {
    DayContext context;
    context.Year = year;
    context.Month = month;
    context.Day = day;
    const JulianDay civil = CivilJulianDay(year, month, day, 0.0);
    // Julian day number + 1.5, modulo 7, counts from Sunday.
    context.DayOfWeek =
        static_cast<int>(static_cast<long long>(std::floor(civil.Value() + 1.5)) % 7);
    context.TT = CivilToTT(year, month, day, 0.0);

    double pvh[2][3];
    double pvb[2][3];
    if (earth != nullptr)
        earth->At(context.TT.Value(), pvh, pvb);
    else
        eraEpv00(context.TT.Day1, context.TT.Day2, pvh, pvb);
    for (std::size_t i = 0; i < 3; ++i) {
        context.EarthHeliocentric[i] = pvh[0][i];
        context.EarthBarycentric[i] = pvb[0][i];
        context.EarthVelocity[i] = pvb[1][i];
        context.SunBarycentric[i] = pvb[0][i] - pvh[0][i];
        context.SunVelocity[i] = pvb[1][i] - pvh[1][i];
    }
    double rm[3][3];
    eraEcm06(context.TT.Day1, context.TT.Day2, rm);
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            context.IcrsToEclipticOfDate[i][j] = rm[i][j];
    double deps = 0;
    eraNut00b(context.TT.Day1, context.TT.Day2, &context.NutationInLongitude, &deps);
    return context;
}

SkyPlace ComputeSkyPlace(const DayContext& day,
                         const std::function<Vector3(double)>& heliocentricAt,
                         const ConstellationFinder& constellations) {
    const double t = day.TT.Value();
    // Light time: the star where it was when the light now arriving left it.
    double tau = 0;
    Vector3 emitted = heliocentricAt(t);
    Vector3 geocentric{};
    for (int i = 0; i < 8; ++i) {
        const Vector3 sunThen = day.SunBarycentric - tau * day.SunVelocity;
        geocentric = emitted + sunThen - day.EarthBarycentric;
        const double next = Norm(geocentric) / kLightSpeed;
        const bool settled = std::fabs(next - tau) < 1e-12;
        tau = next;
        emitted = heliocentricAt(t - tau);
        if (settled)
            break;
    }
    geocentric = emitted + (day.SunBarycentric - tau * day.SunVelocity) - day.EarthBarycentric;

    SkyPlace place;
    place.LightTime = tau;
    place.Distance = Norm(geocentric);

    const Spherical astrometric = ToSpherical(geocentric);
    place.Astrometric = Degrees(astrometric);

    double galacticLongitude = 0;
    double galacticLatitude = 0;
    eraIcrs2g(astrometric.Longitude, astrometric.Latitude, &galacticLongitude, &galacticLatitude);
    place.Galactic = Degrees(galacticLongitude, galacticLatitude);

    place.Geometric = Degrees(ToSpherical(EquatorialToEcliptic(emitted)));

    // Apparent direction: deflection by the Sun, then aberration.
    Vector3 direction = Unit(geocentric);
    Vector3 fromSun = Unit(emitted);
    const double sunDistance = Norm(day.EarthHeliocentric);
    Vector3 sunToEarth = Unit(day.EarthHeliocentric);
    Vector3 deflected{};
    eraLd(1.0, direction.data(), fromSun.data(), sunToEarth.data(), sunDistance, 1e-9,
          deflected.data());
    Vector3 velocity = (1.0 / kLightSpeed) * day.EarthVelocity;
    const double bm1 = std::sqrt(1.0 - Dot(velocity, velocity));
    Vector3 apparent{};
    eraAb(deflected.data(), velocity.data(), sunDistance, bm1, apparent.data());
    const Spherical ecliptic = ToSpherical(day.IcrsToEclipticOfDate * apparent);
    place.Earth = Degrees(ecliptic.Longitude + day.NutationInLongitude, ecliptic.Latitude);

    place.Constellation = constellations.NumberOfDirection(geocentric);
    return place;
}
