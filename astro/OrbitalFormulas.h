// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Quantities of an elliptic orbit derived from the catalogue's orbital elements. Every function
// is pure and checks nothing: inputs outside an ellipse's range (e >= 1, a <= 0, T = 0) run
// through IEEE arithmetic and give infinities or NaN, never a crash. Expressions are evaluated
// exactly in the order written in each comment; pow(x, 2) is a call of std::pow, x * x a
// multiplication (the two can differ in the last place).
//
// Units: a, b, c, f, h, p and the distances in astronomical units (au); T in days; angles M,
// node, peri, E, Ta and LP in degrees; speeds in km/s; e without unit.

namespace OrbitalConstants {
// pi, one unit in the last place above the double nearest pi (3.1415926535897936,
// bits 0x400921FB54442D19).
inline constexpr double kPi = 0x1.921FB54442D19p+1;
// 2 pi, one unit in the last place above the double nearest 2 pi (6.283185307179587,
// bits 0x401921FB54442D19).
inline constexpr double kTwoPi = 0x1.921FB54442D19p+2;
// Radians per degree, 0.0174532925199433 (bits 0x3F91DF46A2529D3A), not the double nearest
// pi / 180: angles are converted to radians by multiplying by it, to degrees by dividing.
inline constexpr double kDegree = 0x1.1DF46A2529D3Ap-6;
// Kilometres per astronomical unit, as the orbital speeds use it.
inline constexpr double kKilometresPerAu = 149597870;
inline constexpr double kSecondsPerDay = 86400;
// Lengths of a 365.25-day year in days, hours, minutes and seconds.
inline constexpr double kDaysPerYear = 365.25;
inline constexpr double kHoursPerYear = 8766;
inline constexpr double kMinutesPerYear = 525960;
inline constexpr double kSecondsPerYear = 31557600;
inline constexpr double kOneThird = 1.0 / 3.0;
// Kepler's equation: at most this many Newton steps; from this eccentricity up the iteration
// starts at pi instead of the mean anomaly.
inline constexpr int kKeplerIterationLimit = 30;
inline constexpr double kKeplerStartSwitch = 0.8;
}  // namespace OrbitalConstants

// OBy: orbital period by Kepler's third law (years) of semi-major axis a (au):
// sqrt(a * (a * a)). The year is the one in which the law reads so, the Gaussian year of
// 2 pi / k = 365.2568983 days (k = 0.01720209895, the Gaussian gravitational constant): the
// period of a massless body at 1 au.
double KeplerPeriodYears(double a);

// n: mean motion (radians per Gaussian year) of semi-major axis a (au):
// 2 pi / KeplerPeriodYears(a).
double MeanMotionFromAxis(double a);

// The mean motion a star shows: the catalogue's own value (as stored, radians per Gaussian year
// as nivra-data writes it), or, where the catalogue gives exactly 0 (no value),
// MeanMotionFromAxis(a) (radians per Gaussian year).
double ShownMeanMotion(double catalogueMeanMotion, double a);

// K: Kepler's constant n^2 a^3 (rad^2 au^3 per Gaussian year^2), 4 pi^2 (39.4784176...) for every
// positive a up to rounding: pow(a, 3) * pow(MeanMotionFromAxis(a), 2).
double KeplerConstant(double a);

// DS: distance from the Sun (au) as the cube root of the square of Kepler's period, a up to
// rounding: pow(pow(KeplerPeriodYears(a), 2), 1/3).
double SunDistanceFromPeriod(double a);

// b: semi-minor axis (au): sqrt(1 - pow(e, 2)) * a.
double SemiMinorAxis(double a, double e);

// c: distance from the centre of the ellipse to the focus holding the Sun (au):
// sqrt(pow(a, 2) - pow(b, 2)).
double FocalDistance(double a, double e);

// h: distance from the focus to the directrix (au): (1 - pow(e, 2)) * a / e.
double FocusDirectrixDistance(double a, double e);

// f: distance from the centre of the ellipse to the directrix (au), a / e:
// FocusDirectrixDistance(a, e) / (1 - pow(e, 2)).
double CentreDirectrixDistance(double a, double e);

// p: parameter (semi-latus rectum) of the ellipse (au): pow(b, 2) / a.
double EllipseParameter(double a, double e);

// S: area of the ellipse (au^2): b * a * pi.
double EllipseArea(double a, double e);

// Pe: perimeter of the ellipse (au) by Ramanujan's first approximation (S. Ramanujan,
// "Modular equations and approximations to pi", 1914):
// (3 * (a + b) - sqrt((3 * b + a) * (3 * a + b))) * pi.
double EllipsePerimeter(double a, double e);

// DPJ, DPH, DPM, DPS: the perimeter (au) divided by the days, hours, minutes or seconds of a
// 365.25-day year, whatever the star's own period.
double DistancePerDay(double a, double e);
double DistancePerHour(double a, double e);
double DistancePerMinute(double a, double e);
double DistancePerSecond(double a, double e);

// Voa: orbital speed at aphelion (km/s) for a (au), e and the period T (days):
// a * sqrt(1 - e * e) * 149597870 * 2 pi / ((e + 1) * T) / 86400.
double AphelionSpeed(double a, double e, double T);

// Vop: orbital speed at perihelion (km/s):
// a * sqrt(1 - e * e) * 149597870 * 2 pi / ((1 - e) * T) / 86400.
double PerihelionSpeed(double a, double e, double T);

// Vom: mean orbital speed (km/s): a * 149597870 * 2 pi / T / 86400.
double MeanOrbitalSpeed(double a, double T);

// LP: longitude of the perihelion (degrees), peri + node (degrees), brought down by whole turns
// only while above 360: a sum of exactly 360 stays 360, a negative sum stays negative. Below
// 2^56 each subtraction of 360 is exact, so the turns are taken off in one exact step (the
// remainder, 360 in place of 0); larger sums, which turn by turn would never come down, get the
// same exact remainder, and an infinite sum gives NaN.
double PerihelionLongitude(double peri, double node);

// E: eccentric anomaly (degrees, in [0, 360) for e < 1, rounded to 15 decimals with ties to
// even) for eccentricity e and mean anomaly M (degrees): Kepler's equation E - e sin E = M
// solved by Newton's method from M reduced to [0, 2 pi), or from pi when e >= 0.8, until the
// residual is at most 1e-15 or after 30 steps (the last estimate is returned either way).
double EccentricAnomaly(double e, double M);

// Ta: true anomaly (degrees, about (-180, 180], rounded to 15 decimals with ties to even) for
// eccentricity e and eccentric anomaly E (degrees):
// atan2(sqrt(1 - e * e) * sin(E), cos(E) - e). Not reduced to [0, 360): E above 180 gives a
// negative true anomaly.
double TrueAnomaly(double e, double E);

// PC: planet cycle (hours), the orbital period T (days) in hours: T * 24.
double PlanetCycle(double T);

// The same formulas from the parts several of them share, for working out every quantity of an
// orbit at once (the star list shows them all on every row, and pow is the costly part). Each
// is the expression of the function above with the part put in, so that it gives bit for bit
// the same result when the part is the one named:
//   OneMinusESquared(e)                    1 - pow(e, 2)
//   SquareOf(b)                            pow(b, 2)
//   SemiMinorAxisOf(a, 1 - pow(e, 2))      SemiMinorAxis(a, e)
//   FocalDistanceOf(a, pow(b, 2))          FocalDistance(a, e)
//   FocusDirectrixDistanceOf(a, e, 1 - pow(e, 2))      FocusDirectrixDistance(a, e)
//   CentreDirectrixDistanceOf(h, 1 - pow(e, 2))        CentreDirectrixDistance(a, e)
//   EllipseParameterOf(a, pow(b, 2))       EllipseParameter(a, e)
//   EllipseAreaOf(a, b)                    EllipseArea(a, e)
//   EllipsePerimeterOf(a, b)               EllipsePerimeter(a, e)
//   DistancesPerTimeOf(Pe)                 DistancePerDay, ...Hour, ...Minute, ...Second(a, e)
//   ApsisSpeedsOf(a, e, T)                 AphelionSpeed(a, e, T), PerihelionSpeed(a, e, T)
//   KeplerConstantOf(a, MeanMotionFromAxis(a))         KeplerConstant(a)
//   SunDistanceOf(KeplerPeriodYears(a))    SunDistanceFromPeriod(a)
double OneMinusESquared(double e);
double SquareOf(double b);
double SemiMinorAxisOf(double a, double oneMinusESquared);
double FocalDistanceOf(double a, double bSquared);
double FocusDirectrixDistanceOf(double a, double e, double oneMinusESquared);
double CentreDirectrixDistanceOf(double h, double oneMinusESquared);
double EllipseParameterOf(double a, double bSquared);
double EllipseAreaOf(double a, double b);
double EllipsePerimeterOf(double a, double b);
struct DistancesPerTime {
    double PerDay, PerHour, PerMinute, PerSecond;
};
DistancesPerTime DistancesPerTimeOf(double perimeter);
struct ApsisSpeeds {
    double Aphelion, Perihelion;
};
ApsisSpeeds ApsisSpeedsOf(double a, double e, double T);
double KeplerConstantOf(double a, double meanMotionFromAxis);
double SunDistanceOf(double keplerPeriodYears);
