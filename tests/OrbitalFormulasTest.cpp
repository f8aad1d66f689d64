// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "astro/OrbitalFormulas.h"

namespace {

using namespace OrbitalConstants;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(OrbitalFormulasTest, ConstantsHaveTheirExactBitPatterns) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kPi), 0x400921FB54442D19u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kTwoPi), 0x401921FB54442D19u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kDegree), 0x3F91DF46A2529D3Au);
    EXPECT_EQ(kOneThird, 0.3333333333333333);
    EXPECT_EQ(kHoursPerYear, kDaysPerYear * 24);
    EXPECT_EQ(kMinutesPerYear, kDaysPerYear * 24 * 60);
    EXPECT_EQ(kSecondsPerYear, kDaysPerYear * 24 * 3600);
}

TEST(OrbitalFormulasTest, CircleOfOneAu) {
    EXPECT_EQ(SemiMinorAxis(1, 0), 1.0);
    EXPECT_EQ(FocalDistance(1, 0), 0.0);
    EXPECT_EQ(EllipseParameter(1, 0), 1.0);
    EXPECT_EQ(EllipsePerimeter(1, 0), kTwoPi);
    EXPECT_EQ(EllipseArea(1, 0), kPi);
    EXPECT_NEAR(DistancePerDay(1, 0), 0.01720242, 1e-8);
    EXPECT_NEAR(DistancePerHour(1, 0), 0.00071677, 1e-8);
    EXPECT_NEAR(DistancePerMinute(1, 0), 1.1946128e-5, 1e-12);
    EXPECT_NEAR(DistancePerSecond(1, 0), 1.9910213e-7, 1e-14);
    // The directrix of a circle lies at infinity.
    EXPECT_EQ(FocusDirectrixDistance(1, 0), kInfinity);
    EXPECT_EQ(CentreDirectrixDistance(1, 0), kInfinity);
}

TEST(OrbitalFormulasTest, EllipseDistances) {
    EXPECT_NEAR(SemiMinorAxis(1, 0.6), 0.8, 1e-15);
    EXPECT_NEAR(FocalDistance(1, 0.6), 0.6, 1e-15);
    EXPECT_NEAR(EllipseParameter(1, 0.6), 0.64, 1e-15);
    EXPECT_NEAR(FocusDirectrixDistance(1, 0.6), 1.0666667, 1e-7);
    EXPECT_NEAR(CentreDirectrixDistance(1, 0.6), 1.6666667, 1e-7);
    EXPECT_NEAR(EllipsePerimeter(2, 0.6), 11.344667, 1e-6);
    EXPECT_NEAR(EllipseArea(2, 0.6), 10.053096, 1e-6);
    // The diagrams draw with b; it scales with a.
    EXPECT_NEAR(SemiMinorAxis(2.766, 0.0785), 2.766 * std::sqrt(1 - 0.0785 * 0.0785), 1e-15);
}

TEST(OrbitalFormulasTest, KeplersLaws) {
    EXPECT_EQ(KeplerPeriodYears(1), 1.0);
    EXPECT_EQ(MeanMotionFromAxis(1), kTwoPi);
    EXPECT_NEAR(SunDistanceFromPeriod(2.5), 2.5, 1e-15);
    for (double a : {1.0, 2.5, 5.2}) {
        EXPECT_NEAR(KeplerConstant(a), 39.4784176, 1e-7) << a;
    }
    std::mt19937_64 random(8);
    std::uniform_real_distribution<double> axes(0.01, 1000);
    for (int i = 0; i < 200; ++i) {
        const double a = axes(random);
        EXPECT_NEAR(KeplerConstant(a) / (4 * kPi * kPi), 1.0, 1e-13) << a;
        EXPECT_NEAR(SunDistanceFromPeriod(a) / a, 1.0, 1e-14) << a;
    }
    EXPECT_EQ(MeanMotionFromAxis(0), kInfinity);
    EXPECT_TRUE(std::isnan(KeplerConstant(0)));
}

TEST(OrbitalFormulasTest, ShownMeanMotionFallsBackOnlyOnZero) {
    EXPECT_EQ(ShownMeanMotion(0.2142, 2.766), 0.2142);
    EXPECT_EQ(ShownMeanMotion(-0.5, 2.766), -0.5);
    EXPECT_EQ(ShownMeanMotion(0, 2.766), kTwoPi / std::sqrt(2.766 * (2.766 * 2.766)));
}

TEST(OrbitalFormulasTest, OrbitalSpeeds) {
    EXPECT_NEAR(MeanOrbitalSpeed(1, 365.25), 29.785254, 1e-6);
    EXPECT_NEAR(AphelionSpeed(1, 0.0167, 365.25), 29.291925, 1e-6);
    EXPECT_NEAR(PerihelionSpeed(1, 0.0167, 365.25), 30.286892, 1e-6);
    EXPECT_EQ(AphelionSpeed(1, 1, 365.25), 0.0);
    EXPECT_TRUE(std::isnan(PerihelionSpeed(1, 1, 365.25)));
    EXPECT_EQ(AphelionSpeed(1, 0.5, 0), kInfinity);
    EXPECT_EQ(PerihelionSpeed(1, 0.5, 0), kInfinity);
    EXPECT_EQ(MeanOrbitalSpeed(1, 0), kInfinity);
}

TEST(OrbitalFormulasTest, PerihelionLongitudeComesDownOnlyFromAbove360) {
    EXPECT_EQ(PerihelionLongitude(350, 20), 10.0);
    EXPECT_EQ(PerihelionLongitude(360, 0), 360.0);
    EXPECT_EQ(PerihelionLongitude(200, 520), 360.0);
    EXPECT_EQ(PerihelionLongitude(-10, 5), -5.0);
    EXPECT_EQ(PerihelionLongitude(-1000, 5), -995.0);
    EXPECT_TRUE(std::isnan(PerihelionLongitude(std::nan(""), 5)));
    // No number of turns brings these down; they must still return.
    EXPECT_TRUE(std::isnan(PerihelionLongitude(kInfinity, 5)));
    EXPECT_EQ(PerihelionLongitude(1e300, 0), 360.0);  // a whole number of turns
    EXPECT_EQ(PerihelionLongitude(1e17 + 8, 0), std::fmod(1e17 + 8, 360.0));

    // Turn by turn and in one step agree on every sum a loop can finish.
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> angles(0, 40000);
    for (int i = 0; i < 2000; ++i) {
        const double peri = angles(random);
        const double node = i % 10 == 0 ? 360.0 * (i % 70) - peri : angles(random);
        double expected = peri + node;
        while (expected > 360) {
            expected -= 360;
        }
        ASSERT_EQ(PerihelionLongitude(peri, node), expected) << peri << " " << node;
    }
}

TEST(OrbitalFormulasTest, EccentricAnomalyKnownValues) {
    EXPECT_NEAR(EccentricAnomaly(0, 123.4), 123.4, 1e-12);
    EXPECT_NEAR(EccentricAnomaly(0.5, 90), 115.79362, 1e-5);
    EXPECT_EQ(EccentricAnomaly(0.5, 450), EccentricAnomaly(0.5, 90));
    EXPECT_NEAR(EccentricAnomaly(0.5, -90), 244.20638, 1e-5);
    EXPECT_NEAR(EccentricAnomaly(0.9, 10), 48.797983, 1e-6);
    EXPECT_NEAR(EccentricAnomaly(0.99, 1), 24.725822, 1e-6);
    EXPECT_EQ(EccentricAnomaly(0.3, 0), 0.0);
}

TEST(OrbitalFormulasTest, EccentricAnomalySolvesKeplersEquation) {
    std::mt19937_64 random(10);
    std::uniform_real_distribution<double> eccentricities(0, 0.97);
    std::uniform_real_distribution<double> anomalies(-720, 720);
    for (int i = 0; i < 500; ++i) {
        const double e = eccentricities(random);
        const double M = anomalies(random);
        const double E = EccentricAnomaly(e, M);
        ASSERT_GE(E, 0.0);
        ASSERT_LT(E, 360.0 + 1e-9);
        const double radians = E * kDegree;
        const double m = (radians - e * std::sin(radians)) / kDegree;
        const double turns = (m - M) / 360;
        EXPECT_NEAR(turns, std::round(turns), 1e-11) << e << " " << M;
    }
}

TEST(OrbitalFormulasTest, OutOfRangeInputsStillReturn) {
    // A residual that is not a number ends the iteration at once: the reduced mean anomaly.
    EXPECT_NEAR(EccentricAnomaly(std::nan(""), 370), 10.0, 1e-12);
    EXPECT_TRUE(std::isnan(EccentricAnomaly(0.5, kInfinity)));
    EXPECT_TRUE(std::isfinite(EccentricAnomaly(1.5, 10)) || std::isnan(EccentricAnomaly(1.5, 10)));
    EXPECT_TRUE(std::isnan(TrueAnomaly(2, 30)));
    EXPECT_TRUE(std::isnan(SemiMinorAxis(1, 2)));
}

TEST(OrbitalFormulasTest, TrueAnomalyKnownValues) {
    // The Degree constant is not the double nearest pi / 180, so 120 is missed by a few units in
    // the last place.
    const double ta = TrueAnomaly(0.5, 90);
    EXPECT_NE(ta, 120.0);
    EXPECT_NEAR(ta, 120.0, 1e-12);
    EXPECT_NEAR(TrueAnomaly(0.5, 115.79362), 140.17761, 1e-5);
    EXPECT_NEAR(TrueAnomaly(0.5, 244.20638), -140.17761, 1e-5);
    EXPECT_DOUBLE_EQ(TrueAnomaly(0, 123.4), 123.4);
    EXPECT_DOUBLE_EQ(TrueAnomaly(0, 4.2), 4.2);
}

TEST(OrbitalFormulasTest, AnomaliesAreRoundedTo15Decimals) {
    // Below about 4.5 degrees the 15th decimal is the last one kept.
    const double small = TrueAnomaly(0, 1.0000000000000004441);
    EXPECT_EQ(small * 1e15, std::nearbyint(small * 1e15));
    const double e = EccentricAnomaly(0, 0.1234567890123456789);
    EXPECT_EQ(e, 0.123456789012346);
}

TEST(OrbitalFormulasTest, TrueAndEccentricAnomaliesShareTheirHalfPlane) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> eccentricities(0, 0.99);
    std::uniform_real_distribution<double> anomalies(0.5, 359.5);
    for (int i = 0; i < 500; ++i) {
        const double e = eccentricities(random);
        const double E = anomalies(random);
        const double ta = TrueAnomaly(e, E);
        ASSERT_GT(ta, -180.0);
        ASSERT_LE(ta, 180.0);
        // E in (0, 180) lies above the apse line, as does Ta in (0, 180).
        EXPECT_EQ(E<180, ta> 0) << e << " " << E;
    }
}

TEST(OrbitalFormulasTest, PlanetCycleIsThePeriodInHours) {
    EXPECT_EQ(PlanetCycle(365.25), 8766.0);
    EXPECT_EQ(PlanetCycle(0), 0.0);
}

}  // namespace

TEST(OrbitalFormulasTest, SquaresAreCallsOfThePowerFunctionNotMultiplications) {
    // Called through a pointer the compiler cannot see through: the library's pow itself.
    double (*volatile power)(double, double) = [](double x, double y) { return std::pow(x, y); };
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> axis(0.5, 40.0);
    std::uniform_real_distribution<double> eccentricity(0.0, 0.99);
    int differFromMultiplying = 0;
    for (int i = 0; i < 200000; ++i) {
        const double a = axis(random);
        const double e = eccentricity(random);
        const double b = std::sqrt(1 - power(e, 2)) * a;
        ASSERT_EQ(SemiMinorAxis(a, e), b) << a << ' ' << e;
        ASSERT_EQ(FocalDistance(a, e), std::sqrt(power(a, 2) - power(b, 2))) << a << ' ' << e;
        ASSERT_EQ(EllipseParameter(a, e), power(b, 2) / a) << a << ' ' << e;
        ASSERT_EQ(KeplerConstant(a), power(a, 3) * power(MeanMotionFromAxis(a), 2)) << a;
        differFromMultiplying += std::sqrt(1 - e * e) * a != b ? 1 : 0;
    }
    // The distinction is real: for some of these the multiplication gives another last bit.
    EXPECT_GT(differFromMultiplying, 0);
}
