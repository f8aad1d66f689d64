// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris/Constellations.h"

namespace {

Vector3 Direction(double raDegrees, double decDegrees) {
    const double ra = raDegrees * M_PI / 180;
    const double dec = decDegrees * M_PI / 180;
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

}  // namespace

TEST(Constellations, NumbersFollowTheProgramsTable) {
    const ConstellationFinder& finder = ConstellationFinder::Builtin();
    EXPECT_EQ(finder.Number("And"), 1);
    EXPECT_EQ(finder.Number("Boo"), 9);
    EXPECT_EQ(finder.Number("CVn"), 13);
    EXPECT_EQ(finder.Number("Gem"), 38);
    EXPECT_EQ(finder.Number("LMi"), 47);
    EXPECT_EQ(finder.Number("Psc"), 66);
    EXPECT_EQ(finder.Number("PsA"), 67);
    EXPECT_EQ(finder.Number("Tri"), 80);
    EXPECT_EQ(finder.Number("TrA"), 81);
    EXPECT_EQ(finder.Number("Vul"), 88);
    EXPECT_EQ(finder.Number("Xyz"), 0);
    EXPECT_EQ(finder.Name(38), "Gemini");
    EXPECT_EQ(finder.Name(0), "");
    EXPECT_EQ(finder.Name(89), "");
}

TEST(Constellations, RomanTableLookupsIncludingBoundariesAndPoles) {
    const ConstellationFinder& finder = ConstellationFinder::Builtin();
    EXPECT_EQ(finder.AbbreviationB1875(0.0, 90.0), "UMi");
    EXPECT_EQ(finder.AbbreviationB1875(12.0, 88.5), "UMi");
    EXPECT_EQ(finder.AbbreviationB1875(6.0, -90.0), "Oct");
    EXPECT_EQ(finder.AbbreviationB1875(23.99, -89.5), "Oct");
    // The line "17.5000 18.0000 80.0000 UMi": its lower edge and its RA edges.
    EXPECT_EQ(finder.AbbreviationB1875(17.6, 80.0), "UMi");
    EXPECT_EQ(finder.AbbreviationB1875(17.6, 79.99), "Dra");
    EXPECT_EQ(finder.AbbreviationB1875(18.0, 80.5), "Dra");  // RA high is exclusive
    EXPECT_EQ(finder.AbbreviationB1875(17.5, 80.5), "UMi");  // RA low is inclusive
}

TEST(Constellations, DirectionsArePrecessedToB1875First) {
    const ConstellationFinder& finder = ConstellationFinder::Builtin();
    EXPECT_EQ(finder.NumberOfDirection(Direction(88.7929, 7.4071)),
              finder.Number("Ori"));  // Betelgeuse
    EXPECT_EQ(finder.NumberOfDirection(Direction(101.2872, -16.7161)),
              finder.Number("CMa"));  // Sirius
    EXPECT_EQ(finder.NumberOfDirection(Direction(37.9546, 89.2641)),
              finder.Number("UMi"));  // Polaris
    EXPECT_EQ(finder.NumberOfDirection(Direction(279.2347, 38.7837)),
              finder.Number("Lyr"));  // Vega
    EXPECT_EQ(finder.NumberOfDirection(Direction(219.9021, -60.8340)),
              finder.Number("Cen"));                                          // alpha Centauri
    EXPECT_EQ(finder.NumberOfDirection(Direction(101.73343, 26.78554)), 38);  // Ceres, 2022-06-10
    // Close to a boundary the equinox matters: RA 4h 30m, Dec +15 lies in Taurus in J2000.
    EXPECT_EQ(finder.NumberOfDirection(Direction(67.5, 15.0)), finder.Number("Tau"));
    EXPECT_EQ(finder.NumberOfDirection(Direction(0, 90)), finder.Number("UMi"));
    EXPECT_EQ(finder.NumberOfDirection(Direction(0, -90)), finder.Number("Oct"));
}
