// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// Civil date and time <-> Julian day, after the method of J. Meeus, "Astronomical Algorithms"
// (chapter 7). Dates before 15 October 1582 are in the Julian calendar, dates from that day on
// in the Gregorian calendar; years are astronomical (the year before 1 is 0). Every conversion
// of a double to an integer truncates toward zero, every integer division too.
//
// A Julian day is a double in days: whole values fall at noon, values ending in .5 at the
// midnight that starts a civil day (2451545.0 is 1 January 2000, 12:00). Neither conversion
// keeps state or fails.

namespace CalendarConstants {
// Days per Julian year (exact).
inline constexpr double kJulianYear = 365.25;
// Month factor 30.6001, one unit in the last place below its nearest double
// (30.600099999999998, bits 0x403E99A027525460).
inline constexpr double kMonthFactor = 0x1.E99A027525460p+4;
// Offset 1524.5 days, one unit in the last place above it (1524.5000000000002,
// bits 0x4097D20000000001).
inline constexpr double kDayOffset = 0x1.7D20000000001p+10;
// Seconds per hour 3600, one unit in the last place above it (3600.0000000000005,
// bits 0x40AC200000000001).
inline constexpr double kSecondsPerHour = 0x1.C200000000001p+11;
// Gregorian century correction: Julian day of the epoch of the Julian-to-Gregorian leap-rule
// difference, and days per Gregorian century (both exact).
inline constexpr double kCenturyEpoch = 1867216.25;
inline constexpr double kGregorianCentury = 36524.25;
// Year offset 122.1 (the nearest double) of the day-to-date conversion.
inline constexpr double kYearOffset = 122.1;
// First whole day number (Julian day + 0.5, truncated) counted in the Gregorian calendar:
// 15 October 1582.
inline constexpr std::int32_t kGregorianSwitchDay = 2299161;
}  // namespace CalendarConstants

// Julian day (days, never negative) of a date and time. Month (1-12) and day (1-31) are taken
// as absolute values; hour (0-23), minute (0-59) and second (0 up to below 60) too. Any date
// from 5 to 14 October 1582, days that the reform removed, gives the day of 15 October 1582
// (2299160.5 at 00:00). A result that would be negative, or not a number, is 0.0.
double JulianDayFromDate(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                         std::int32_t minute, float second);

// Date and time of a Julian day (days). Every part is truncated, never rounded: a time a hair
// below a whole minute is delivered as the previous minute and a second just under 60. For a
// Julian day below 0 (or not a number) year, month and day are 0; hour, minute and second are
// still the time of day.
void DateFromJulianDay(double julianDay, std::int32_t& year, std::int32_t& month, std::int32_t& day,
                       std::int32_t& hour, std::int32_t& minute, float& second);
