// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "astro/Calendar.h"

namespace {

struct DateTime {
    std::int32_t Year = -1, Month = -1, Day = -1, Hour = -1, Minute = -1;
    float Second = -1;
};

DateTime FromJulianDay(double julianDay) {
    DateTime d;
    DateFromJulianDay(julianDay, d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second);
    return d;
}

void ExpectDate(const DateTime& d, int year, int month, int day, int hour, int minute,
                float second) {
    EXPECT_EQ(d.Year, year);
    EXPECT_EQ(d.Month, month);
    EXPECT_EQ(d.Day, day);
    EXPECT_EQ(d.Hour, hour);
    EXPECT_EQ(d.Minute, minute);
    EXPECT_EQ(d.Second, second);
}

TEST(CalendarTest, ConstantsHaveTheirExactBitPatterns) {
    using namespace CalendarConstants;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kMonthFactor), 0x403E99A027525460u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kDayOffset), 0x4097D20000000001u);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(kSecondsPerHour), 0x40AC200000000001u);
    EXPECT_EQ(kYearOffset, 122.1);
    EXPECT_EQ(kJulianYear, 365.25);
    EXPECT_EQ(kCenturyEpoch, 1867216.25);
    EXPECT_EQ(kGregorianCentury, 36524.25);
}

TEST(CalendarTest, GregorianReformBothWays) {
    EXPECT_EQ(JulianDayFromDate(1582, 10, 4, 0, 0, 0), 2299159.5);
    EXPECT_EQ(JulianDayFromDate(1582, 10, 15, 0, 0, 0), 2299160.5);
    for (int day = 5; day <= 14; ++day) {
        EXPECT_EQ(JulianDayFromDate(1582, 10, day, 0, 0, 0), 2299160.5) << day;
    }
    EXPECT_EQ(JulianDayFromDate(1582, 10, 16, 0, 0, 0), 2299161.5);

    ExpectDate(FromJulianDay(2299160.5), 1582, 10, 15, 0, 0, 0);
    ExpectDate(FromJulianDay(2299159.5), 1582, 10, 4, 0, 0, 0);
    ExpectDate(FromJulianDay(2299160.0), 1582, 10, 4, 12, 0, 0);
}

TEST(CalendarTest, YearsAroundTheReformKeepTheirCalendar) {
    // January and February 1583 count as months 13 and 14 of 1582 and stay Gregorian.
    EXPECT_EQ(JulianDayFromDate(1583, 1, 1, 0, 0, 0), 2299238.5);
    EXPECT_EQ(JulianDayFromDate(1582, 12, 31, 0, 0, 0), 2299237.5);
    EXPECT_EQ(JulianDayFromDate(1582, 2, 1, 0, 0, 0), 2298914.5);
    EXPECT_EQ(JulianDayFromDate(333, 1, 27, 12, 0, 0), 1842713.0);
    ExpectDate(FromJulianDay(1842713.0), 333, 1, 27, 12, 0, 0);
}

TEST(CalendarTest, KnownInstants) {
    EXPECT_EQ(JulianDayFromDate(2000, 1, 1, 12, 0, 0), 2451545.0);
    ExpectDate(FromJulianDay(2451545.0), 2000, 1, 1, 12, 0, 0);

    EXPECT_NEAR(JulianDayFromDate(1957, 10, 4, 19, 26, 24), 2436116.31, 1e-9);
    const DateTime sputnik = FromJulianDay(JulianDayFromDate(1957, 10, 4, 19, 26, 24));
    EXPECT_EQ(sputnik.Year, 1957);
    EXPECT_EQ(sputnik.Month, 10);
    EXPECT_EQ(sputnik.Day, 4);
    EXPECT_EQ(sputnik.Hour, 19);
    EXPECT_EQ(sputnik.Minute, 26);
    EXPECT_NEAR(sputnik.Second, 24.0000057f, 2e-6f);
}

TEST(CalendarTest, NegativePartsAreTakenAsAbsoluteValues) {
    EXPECT_EQ(JulianDayFromDate(2010, -3, 7, 0, 0, 0), JulianDayFromDate(2010, 3, 7, 0, 0, 0));
    EXPECT_EQ(JulianDayFromDate(2010, 3, -7, 0, 0, 0), JulianDayFromDate(2010, 3, 7, 0, 0, 0));
    EXPECT_EQ(JulianDayFromDate(2010, 3, 7, -6, -30, -15.0f),
              JulianDayFromDate(2010, 3, 7, 6, 30, 15.0f));
}

TEST(CalendarTest, NegativeOrUndefinedJulianDaysBecomeZero) {
    EXPECT_EQ(JulianDayFromDate(-4712, 1, 1, 12, 0, 0), 0.0);
    EXPECT_EQ(JulianDayFromDate(-5000, 6, 1, 0, 0, 0), 0.0);
    EXPECT_EQ(JulianDayFromDate(2000, 1, 1, 0, 0, std::numeric_limits<float>::quiet_NaN()), 0.0);
    // The day offset lies one unit in the last place above 1524.5, so the next day falls a hair
    // short of 1.0.
    EXPECT_NEAR(JulianDayFromDate(-4712, 1, 2, 12, 0, 0), 1.0, 1e-9);
    EXPECT_LT(JulianDayFromDate(-4712, 1, 2, 12, 0, 0), 1.0);
}

TEST(CalendarTest, NegativeJulianDayGivesNoDateButTheTimeOfDay) {
    ExpectDate(FromJulianDay(-1.0), 0, 0, 0, 12, 0, 0);
    const DateTime night = FromJulianDay(-10.25);
    EXPECT_EQ(night.Year, 0);
    EXPECT_EQ(night.Month, 0);
    EXPECT_EQ(night.Day, 0);
    const DateTime undefined = FromJulianDay(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(undefined.Year, 0);
    EXPECT_EQ(undefined.Month, 0);
    EXPECT_EQ(undefined.Day, 0);
}

TEST(CalendarTest, PartsAreTruncatedNotRounded) {
    const DateTime minute = FromJulianDay(JulianDayFromDate(2020, 1, 1, 0, 1, 0));
    EXPECT_EQ(minute.Year, 2020);
    EXPECT_EQ(minute.Month, 1);
    EXPECT_EQ(minute.Day, 1);
    EXPECT_EQ(minute.Hour, 0);
    EXPECT_EQ(minute.Minute, 0);
    EXPECT_NEAR(minute.Second, 59.999996f, 2e-6f);
    EXPECT_LT(minute.Second, 60.0f);

    ExpectDate(FromJulianDay(JulianDayFromDate(2020, 1, 1, 0, 0, 0)), 2020, 1, 1, 0, 0, 0);
    ExpectDate(FromJulianDay(JulianDayFromDate(2020, 1, 1, 12, 0, 0)), 2020, 1, 1, 12, 0, 0);
}

TEST(CalendarTest, EveryMidnightComesBackAsItsDate) {
    // Every day from 1 January 1500 to 31 December 2100 except the ten removed in 1582: the day
    // numbers follow each other and each converts back to its own date.
    const int daysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    double expected = JulianDayFromDate(1500, 1, 1, 0, 0, 0);
    for (int year = 1500; year <= 2100; ++year) {
        const bool gregorian = year > 1582;
        const bool leap =
            gregorian ? (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) : year % 4 == 0;
        for (int month = 1; month <= 12; ++month) {
            const int days = daysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
            for (int day = 1; day <= days; ++day) {
                if (year == 1582 && month == 10 && day >= 5 && day <= 14) {
                    continue;
                }
                const double julianDay = JulianDayFromDate(year, month, day, 0, 0, 0);
                ASSERT_EQ(julianDay, expected) << year << "-" << month << "-" << day;
                const DateTime back = FromJulianDay(julianDay);
                ASSERT_EQ(back.Year, year);
                ASSERT_EQ(back.Month, month);
                ASSERT_EQ(back.Day, day);
                ASSERT_EQ(back.Hour, 0);
                ASSERT_EQ(back.Minute, 0);
                expected += 1;
            }
        }
    }
}

TEST(CalendarTest, StartOfCivilDayOfAnInstant) {
    const DateTime d = FromJulianDay(2459000.9);
    EXPECT_EQ(JulianDayFromDate(d.Year, d.Month, d.Day, 0, 0, 0), 2459000.5);
    const DateTime e = FromJulianDay(2459000.3);
    EXPECT_EQ(JulianDayFromDate(e.Year, e.Month, e.Day, 0, 0, 0), 2458999.5);
}

TEST(CalendarTest, ExtremeInputsDoNotCrash) {
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    const std::int32_t small = std::numeric_limits<std::int32_t>::min();
    for (std::int32_t v : {big, small}) {
        EXPECT_GE(JulianDayFromDate(v, v, v, v, v, 1e30f), 0.0);
    }
    for (double jd : {1e300, -1e300, std::numeric_limits<double>::infinity()}) {
        FromJulianDay(jd);
    }
}

}  // namespace
