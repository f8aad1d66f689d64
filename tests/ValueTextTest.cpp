#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "astro/ValueText.h"

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
