// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "astro/StarQuantities.h"

#include "astro/OrbitalFormulas.h"

StarQuantities SolveStarQuantities(const StarInfoRow& elements, double geometricAlbedo) {
    StarQuantities star{elements, geometricAlbedo};
    star.EccentricAnomaly = ::EccentricAnomaly(elements.Eccentricity, elements.MeanAnomaly);
    star.TrueAnomaly = ::TrueAnomaly(elements.Eccentricity, star.EccentricAnomaly);
    return star;
}

double QuantityValue(Quantity quantity, const StarQuantities& star) {
    const StarInfoRow& s = star.Elements;
    const double a = s.SemiMajorAxis;
    const double e = s.Eccentricity;
    const double T = s.OrbitalPeriod;
    switch (quantity) {
        case Quantity::Eccentricity:
            return e;
        case Quantity::SemiMajorAxis:
            return a;
        case Quantity::PerihelionDistance:
            return s.PerihelionDistance;
        case Quantity::ApelionDistance:
            return s.ApelionDistance;
        case Quantity::Inclination:
            return s.Inclination;
        case Quantity::AscendingNodeLongitude:
            return s.AscendingNodeLongitude;
        case Quantity::ArgumentPerihelion:
            return s.ArgumentPerihelion;
        case Quantity::MeanAnomaly:
            return s.MeanAnomaly;
        case Quantity::OrbitalPeriod:
            return T;
        case Quantity::EarthMOID:
            return s.EarthMOID;
        case Quantity::AbsoluteMagnitude:
            return s.AbsoluteMagnitude;
        case Quantity::Diameter:
            return s.Diameter;
        case Quantity::RotationPeriod:
            return s.RotationPeriod;
        case Quantity::GeometricAlbedo:
            return star.GeometricAlbedo;
        case Quantity::MeanMotion:
            return ShownMeanMotion(s.MeanMotion, a);
        case Quantity::SemiMinorAxis:
            return ::SemiMinorAxis(a, e);
        case Quantity::KeplerConstant:
            return ::KeplerConstant(a);
        case Quantity::PerihelionLongitude:
            return ::PerihelionLongitude(s.ArgumentPerihelion, s.AscendingNodeLongitude);
        case Quantity::EccentricAnomaly:
            return star.EccentricAnomaly;
        case Quantity::TrueAnomaly:
            return star.TrueAnomaly;
        case Quantity::KeplerPeriodYears:
            return ::KeplerPeriodYears(a);
        case Quantity::PeriodOver365:
            return T / 365;
        case Quantity::PlanetCycle:
            return ::PlanetCycle(T);
        case Quantity::SunDistanceFromPeriod:
            return ::SunDistanceFromPeriod(a);
        case Quantity::EllipseArea:
            return ::EllipseArea(a, e);
        case Quantity::EllipsePerimeter:
            return ::EllipsePerimeter(a, e);
        case Quantity::AphelionSpeed:
            return ::AphelionSpeed(a, e, T);
        case Quantity::PerihelionSpeed:
            return ::PerihelionSpeed(a, e, T);
        case Quantity::MeanOrbitalSpeed:
            return ::MeanOrbitalSpeed(a, T);
        case Quantity::DistancePerDay:
            return ::DistancePerDay(a, e);
        case Quantity::DistancePerHour:
            return ::DistancePerHour(a, e);
        case Quantity::DistancePerMinute:
            return ::DistancePerMinute(a, e);
        case Quantity::DistancePerSecond:
            return ::DistancePerSecond(a, e);
        case Quantity::FocalDistance:
            return ::FocalDistance(a, e);
        case Quantity::CentreDirectrixDistance:
            return ::CentreDirectrixDistance(a, e);
        case Quantity::FocusDirectrixDistance:
            return ::FocusDirectrixDistance(a, e);
        case Quantity::EllipseParameter:
            return ::EllipseParameter(a, e);
    }
    return 0;
}

QuantityValues AllQuantityValues(const StarQuantities& star) {
    const StarInfoRow& s = star.Elements;
    const double a = s.SemiMajorAxis;
    const double e = s.Eccentricity;
    const double T = s.OrbitalPeriod;
    const double oneMinusESquared = ::OneMinusESquared(e);
    const double b = ::SemiMinorAxisOf(a, oneMinusESquared);
    const double bSquared = ::SquareOf(b);
    const double h = ::FocusDirectrixDistanceOf(a, e, oneMinusESquared);
    const double perimeter = ::EllipsePerimeterOf(a, b);
    const DistancesPerTime distances = ::DistancesPerTimeOf(perimeter);
    const ApsisSpeeds speeds = ::ApsisSpeedsOf(a, e, T);
    const double periodYears = ::KeplerPeriodYears(a);
    const double meanMotionFromAxis = ::MeanMotionFromAxis(a);

    QuantityValues all;
    const auto set = [&all](Quantity quantity, double value) {
        all.Values[static_cast<std::size_t>(quantity)] = value;
    };
    set(Quantity::Eccentricity, e);
    set(Quantity::SemiMajorAxis, a);
    set(Quantity::PerihelionDistance, s.PerihelionDistance);
    set(Quantity::ApelionDistance, s.ApelionDistance);
    set(Quantity::Inclination, s.Inclination);
    set(Quantity::AscendingNodeLongitude, s.AscendingNodeLongitude);
    set(Quantity::ArgumentPerihelion, s.ArgumentPerihelion);
    set(Quantity::MeanAnomaly, s.MeanAnomaly);
    set(Quantity::OrbitalPeriod, T);
    set(Quantity::EarthMOID, s.EarthMOID);
    set(Quantity::AbsoluteMagnitude, s.AbsoluteMagnitude);
    set(Quantity::Diameter, s.Diameter);
    set(Quantity::RotationPeriod, s.RotationPeriod);
    set(Quantity::GeometricAlbedo, star.GeometricAlbedo);
    // ShownMeanMotion, with the mean motion of the axis already at hand.
    set(Quantity::MeanMotion, s.MeanMotion == 0 ? meanMotionFromAxis : s.MeanMotion);
    set(Quantity::SemiMinorAxis, b);
    set(Quantity::KeplerConstant, ::KeplerConstantOf(a, meanMotionFromAxis));
    set(Quantity::PerihelionLongitude,
        ::PerihelionLongitude(s.ArgumentPerihelion, s.AscendingNodeLongitude));
    set(Quantity::EccentricAnomaly, star.EccentricAnomaly);
    set(Quantity::TrueAnomaly, star.TrueAnomaly);
    set(Quantity::KeplerPeriodYears, periodYears);
    set(Quantity::PeriodOver365, T / 365);
    set(Quantity::PlanetCycle, ::PlanetCycle(T));
    set(Quantity::SunDistanceFromPeriod, ::SunDistanceOf(periodYears));
    set(Quantity::EllipseArea, ::EllipseAreaOf(a, b));
    set(Quantity::EllipsePerimeter, perimeter);
    set(Quantity::AphelionSpeed, speeds.Aphelion);
    set(Quantity::PerihelionSpeed, speeds.Perihelion);
    set(Quantity::MeanOrbitalSpeed, ::MeanOrbitalSpeed(a, T));
    set(Quantity::DistancePerDay, distances.PerDay);
    set(Quantity::DistancePerHour, distances.PerHour);
    set(Quantity::DistancePerMinute, distances.PerMinute);
    set(Quantity::DistancePerSecond, distances.PerSecond);
    set(Quantity::FocalDistance, ::FocalDistanceOf(a, bSquared));
    set(Quantity::CentreDirectrixDistance, ::CentreDirectrixDistanceOf(h, oneMinusESquared));
    set(Quantity::FocusDirectrixDistance, h);
    set(Quantity::EllipseParameter, ::EllipseParameterOf(a, bSquared));
    return all;
}
