// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "astro/OrbitalFormulas.h"

#include <cmath>

using namespace OrbitalConstants;

namespace {

// Degrees rounded to 15 decimals, ties to even (the default rounding mode). From about 4.5
// degrees up the scaled value is already whole and comes back unchanged.
double RoundTo15Decimals(double degrees) {
    return std::nearbyint(degrees * std::pow(10.0, 15)) / std::pow(10.0, 15);
}

}  // namespace

double KeplerPeriodYears(double a) {
    return std::sqrt(a * (a * a));
}

double MeanMotionFromAxis(double a) {
    return kTwoPi / KeplerPeriodYears(a);
}

double ShownMeanMotion(double catalogueMeanMotion, double a) {
    return catalogueMeanMotion == 0 ? MeanMotionFromAxis(a) : catalogueMeanMotion;
}

double KeplerConstant(double a) {
    return KeplerConstantOf(a, MeanMotionFromAxis(a));
}

double KeplerConstantOf(double a, double meanMotionFromAxis) {
    return std::pow(a, 3) * std::pow(meanMotionFromAxis, 2);
}

double SunDistanceFromPeriod(double a) {
    return SunDistanceOf(KeplerPeriodYears(a));
}

double SunDistanceOf(double keplerPeriodYears) {
    return std::pow(std::pow(keplerPeriodYears, 2), kOneThird);
}

double OneMinusESquared(double e) {
    return 1 - std::pow(e, 2);
}

double SemiMinorAxis(double a, double e) {
    return SemiMinorAxisOf(a, OneMinusESquared(e));
}

double SemiMinorAxisOf(double a, double oneMinusESquared) {
    return std::sqrt(oneMinusESquared) * a;
}

double SquareOf(double b) {
    return std::pow(b, 2);
}

double FocalDistance(double a, double e) {
    return FocalDistanceOf(a, SquareOf(SemiMinorAxis(a, e)));
}

double FocalDistanceOf(double a, double bSquared) {
    return std::sqrt(std::pow(a, 2) - bSquared);
}

double FocusDirectrixDistance(double a, double e) {
    return FocusDirectrixDistanceOf(a, e, OneMinusESquared(e));
}

double FocusDirectrixDistanceOf(double a, double e, double oneMinusESquared) {
    return oneMinusESquared * a / e;
}

double CentreDirectrixDistance(double a, double e) {
    return CentreDirectrixDistanceOf(FocusDirectrixDistance(a, e), OneMinusESquared(e));
}

double CentreDirectrixDistanceOf(double h, double oneMinusESquared) {
    return h / oneMinusESquared;
}

double EllipseParameter(double a, double e) {
    return EllipseParameterOf(a, SquareOf(SemiMinorAxis(a, e)));
}

double EllipseParameterOf(double a, double bSquared) {
    return bSquared / a;
}

double EllipseArea(double a, double e) {
    return EllipseAreaOf(a, SemiMinorAxis(a, e));
}

double EllipseAreaOf(double a, double b) {
    return b * a * kPi;
}

double EllipsePerimeter(double a, double e) {
    return EllipsePerimeterOf(a, SemiMinorAxis(a, e));
}

double EllipsePerimeterOf(double a, double b) {
    const double sum = 3 * (a + b);
    const double root = std::sqrt((3 * b + a) * (3 * a + b));
    return (sum - root) * kPi;
}

double DistancePerDay(double a, double e) {
    return DistancesPerTimeOf(EllipsePerimeter(a, e)).PerDay;
}

double DistancePerHour(double a, double e) {
    return DistancesPerTimeOf(EllipsePerimeter(a, e)).PerHour;
}

double DistancePerMinute(double a, double e) {
    return DistancesPerTimeOf(EllipsePerimeter(a, e)).PerMinute;
}

double DistancePerSecond(double a, double e) {
    return DistancesPerTimeOf(EllipsePerimeter(a, e)).PerSecond;
}

DistancesPerTime DistancesPerTimeOf(double perimeter) {
    return {perimeter / kDaysPerYear, perimeter / kHoursPerYear, perimeter / kMinutesPerYear,
            perimeter / kSecondsPerYear};
}

double AphelionSpeed(double a, double e, double T) {
    return ApsisSpeedsOf(a, e, T).Aphelion;
}

double PerihelionSpeed(double a, double e, double T) {
    return ApsisSpeedsOf(a, e, T).Perihelion;
}

ApsisSpeeds ApsisSpeedsOf(double a, double e, double T) {
    // 2 pi b in kilometres, the numerator both speeds share.
    const double twoPiB = a * std::sqrt(1 - e * e) * kKilometresPerAu * kTwoPi;
    return {twoPiB / ((e + 1) * T) / kSecondsPerDay, twoPiB / ((1 - e) * T) / kSecondsPerDay};
}

double MeanOrbitalSpeed(double a, double T) {
    return a * kKilometresPerAu * kTwoPi / T / kSecondsPerDay;
}

double PerihelionLongitude(double peri, double node) {
    const double sum = peri + node;
    if (!(sum > 360)) {
        return sum;
    }
    // Subtracting 360 again and again stops at the first value in (0, 360]; below 2^56 every
    // subtraction is exact, so that value is the exact remainder, with 360 in place of 0.
    const double reduced = std::fmod(sum, 360.0);
    return reduced == 0 ? 360.0 : reduced;
}

double EccentricAnomaly(double e, double M) {
    const double tolerance = std::pow(10.0, -15);
    const double m = ((M / 360 - std::floor(M / 360)) * kPi) * 2;
    double E = e >= kKeplerStartSwitch ? kPi : m;
    double residual = E - e * std::sin(E) - m;
    for (int step = 0; std::fabs(residual) > tolerance && step < kKeplerIterationLimit; ++step) {
        E = E - residual / (1 - e * std::cos(E));
        residual = E - e * std::sin(E) - m;
    }
    return RoundTo15Decimals(E / kDegree);
}

double TrueAnomaly(double e, double E) {
    const double r = E * kDegree;
    const double nu = std::atan2(std::sqrt(1 - e * e) * std::sin(r), std::cos(r) - e);
    return RoundTo15Decimals(nu / kDegree);
}

double PlanetCycle(double T) {
    return T * 24;
}
