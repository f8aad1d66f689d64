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
