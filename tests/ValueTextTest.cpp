// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "astro/ValueText.h"
#include "browse/StarListModel.h"

namespace {

std::string Printed(double value, int decimals) {
    char text[2048];
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::string(text, static_cast<std::size_t>(length));
}

TEST(ValueTextTest, FixedTextIsWhatPrintfGives) {
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> mantissas(-10, 10);
    std::uniform_int_distribution<int> exponents(-40, 310);
    for (int i = 0; i < 20000; ++i) {
        const double value = mantissas(random) * std::pow(10.0, exponents(random) - 20);
        for (int decimals : {5, 10, 15}) {
            ASSERT_EQ(FixedText(value, decimals), Printed(value, decimals)) << value;
        }
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Exact ties round to even, and to the nearest otherwise.
    for (double value : {0.0, -0.0, 0.015625, 0.046875, -0.015625, 2.5, 0.5, 1e-300,
                         std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::denorm_min(), inf, -inf, nan, -nan}) {
        for (int decimals : {0, 1, 5, 10, 15}) {
            EXPECT_EQ(FixedText(value, decimals), Printed(value, decimals)) << value;
        }
    }
    EXPECT_EQ(FixedText(0.015625, 5), "0.01562");
    EXPECT_EQ(FixedText(-nan, 15), "-nan");
    EXPECT_EQ(FixedText(std::numeric_limits<double>::max(), 15).size(), kLongestFixedText - 1);
    EXPECT_EQ(FixedText(-std::numeric_limits<double>::max(), 15).size(), kLongestFixedText);
}

// The texts of the star list and the information panel for two million doubles of every kind,
// against the standard formatted printing: "%.15f", "%.10f", "%.5f", and the "%025.15f" text a
// numeric column is sorted by, made from the "%.15f" cell text (which must read back as the
// same text, padding aside).
TEST(ValueTextTest, EveryKindOfDoublePrintsAsPrintfPrintsIt) {
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> exponent(-60, 40);
    const int decimals[] = {15, 10, 5};
    const auto next = [&]() -> double {
        switch (kind(random)) {
            case 0:  // any bit pattern: subnormals, infinities and NaNs of every sign included
                return std::bit_cast<double>(random());
            case 1: {  // an exact tie at the last decimal printed: odd / 2^(d + 1)
                const int d = decimals[random() % 3];
                const double odd = static_cast<double>((random() >> 11) | 1);
                return std::ldexp(odd, -(d + 1)) * (random() % 2 ? 1 : -1);
            }
            case 2: {  // next to such a tie
                const double tie = std::ldexp(static_cast<double>((random() >> 11) | 1), -16);
                return std::nextafter(tie, random() % 2 ? INFINITY : -INFINITY);
            }
            case 3:  // the magnitudes of orbital elements and their derived quantities
                return std::ldexp(static_cast<double>(random() >> 11), exponent(random) - 52) *
                       (random() % 2 ? 1 : -1);
            case 4:  // short decimals, as catalogues write them
                return static_cast<double>(static_cast<std::int64_t>(random() % 20000000) -
                                           10000000) /
                       std::pow(10.0, static_cast<double>(random() % 9));
            default:
                return std::ldexp(1.0, static_cast<int>(random() % 2100) - 1075);
        }
    };
    std::vector<double> values = {0.0,
                                  -0.0,
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(),
                                  1e308,
                                  -1e308,
                                  1e-308,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN(),
                                  0.5e-15,
                                  1.5e-15,
                                  999999999.9999999,
                                  -99999999.99999999};
    for (int i = 0; i < 2000000; ++i)
        values.push_back(next());
    char expected[2048];
    char sortExpected[2048];
    std::size_t checked = 0;
    for (const double value : values) {
        for (const int d : decimals) {
            const int length = std::snprintf(expected, sizeof expected, "%.*f", d, value);
            const std::string text = FixedText(value, d);
            ASSERT_EQ(text, std::string_view(expected, static_cast<std::size_t>(length))) << value;
            ++checked;
        }
        const std::string cell = FixedText(value, 15);
        if (cell.size() > kStarListSortTextLength)
            continue;  // cut to 255 characters before it is read back
        const int length = std::snprintf(sortExpected, sizeof sortExpected, "%025.15f", value);
        ASSERT_EQ(
            StarListSortText(cell),
            std::string_view(sortExpected, std::min<std::size_t>(static_cast<std::size_t>(length),
                                                                 kStarListSortTextLength)))
            << value;
    }
    EXPECT_GT(checked, 6000000u);
}

// Every number of decimals from 0 to 15, at the edges where the text is made differently: the
// value times 10^decimals passing 2^64, values next to 2^52 and 2^53, exact ties at every
// decimal, values far below the last decimal and the subnormals.
TEST(ValueTextTest, EveryDecimalCountIsWhatPrintfGivesAtTheEdges) {
    std::vector<double> values = {0.5,
                                  1.5,
                                  2.5,
                                  0.05,
                                  0.25,
                                  9.5,
                                  99.5,
                                  0.9999999999999999,
                                  std::ldexp(1.0, 52),
                                  std::ldexp(1.0, 53),
                                  std::ldexp(1.0, 64),
                                  std::nextafter(std::ldexp(1.0, 52), 0.0),
                                  std::nextafter(std::ldexp(1.0, 52), INFINITY),
                                  std::ldexp(3.0, 50) + 0.5,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::min(),
                                  1e-300};
    std::mt19937_64 random(20261211);
    for (int d = 0; d <= 15; ++d) {
        // Where value * 10^d passes 2^64, and one unit either side.
        const double edge = std::ldexp(1.0, 64) / std::pow(10.0, d);
        values.insert(values.end(),
                      {edge, std::nextafter(edge, 0.0), std::nextafter(edge, INFINITY)});
        // Half a unit of the last decimal, and next to it.
        const double half = 0.5 / std::pow(10.0, d);
        values.insert(values.end(), {half, std::nextafter(half, 0.0), std::nextafter(half, 1.0)});
        for (int i = 0; i < 200; ++i) {
            // Exact ties at decimal d: an odd number of 2^-(d + 1), and the doubles beside them.
            const double tie =
                std::ldexp(static_cast<double>((random() >> (12 + random() % 40)) | 1), -(d + 1));
            values.insert(values.end(),
                          {tie, std::nextafter(tie, 0.0), std::nextafter(tie, INFINITY)});
            // Any magnitude below 2^60.
            values.push_back(std::ldexp(static_cast<double>(random() >> 11),
                                        static_cast<int>(random() % 1200) - 1140));
        }
    }
    for (const double magnitude : values) {
        for (const double value : {magnitude, -magnitude}) {
            for (int d = 0; d <= 15; ++d)
                ASSERT_EQ(FixedText(value, d), Printed(value, d)) << value << " with " << d;
        }
    }
}

TEST(ValueTextTest, BoundedTextKeepsFixedNotationWhileItFits) {
    EXPECT_EQ(BoundedFixedText(0.5, 15, 255), "0.500000000000000");
    const std::string big = BoundedFixedText(1e200, 15, 255);
    EXPECT_EQ(big, Printed(1e200, 15));
    EXPECT_EQ(big.size(), 216u);  // 1e200 is the double just below 10^200
    // 10^239 still fits in 255 characters, 10^240 does not.
    EXPECT_EQ(BoundedFixedText(1e239, 15, 255).size(), 255u);
    EXPECT_EQ(BoundedFixedText(1e240, 15, 255), "1.000000000000000e+240");
    EXPECT_EQ(BoundedFixedText(-1e300, 15, 255), "-1.000000000000000e+300");
    EXPECT_EQ(BoundedFixedText(-std::numeric_limits<double>::max(), 15, 255),
              "-1.797693134862316e+308");
    EXPECT_EQ(BoundedFixedText(-std::numeric_limits<double>::infinity(), 15, 255), "-inf");
}

}  // namespace
