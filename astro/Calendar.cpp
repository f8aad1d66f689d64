// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "astro/Calendar.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace CalendarConstants;

namespace {

// A double truncated toward zero to a 32-bit integer. A value outside the 32-bit range, or not
// a number, gives INT32_MIN, as the processor's own conversion does, instead of undefined
// behaviour.
std::int32_t Truncate(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

// Integer sums and differences wrap around on 32 bits instead of overflowing.
std::int32_t Wrap(std::int64_t value) {
    return static_cast<std::int32_t>(value);
}

std::int32_t Absolute(std::int32_t value) {
    return Wrap(std::llabs(value));
}

}  // namespace

double JulianDayFromDate(std::int32_t year, std::int32_t month, std::int32_t day, std::int32_t hour,
                         std::int32_t minute, float second) {
    month = Absolute(month);
    day = Absolute(day);
    if (month < 3) {
        year = Wrap(std::int64_t{year} - 1);
        month += 12;
    }
    const std::int32_t century = year / 100;
    std::int32_t gregorian = Wrap(std::int64_t{century / 4} - century + 2);
    if (year < 1582) {
        gregorian = 0;
    }
    if (year == 1582) {
        if (month < 10) {
            gregorian = 0;
        }
        if (month == 10 && day < 15) {
            gregorian = 0;
        }
        if (month == 10 && day >= 5 && day <= 14) {
            day = 5;
        }
    }
    const std::int32_t whole =
        Wrap(std::int64_t{Truncate(Wrap(std::int64_t{year} + 4716) * kJulianYear)} +
             Truncate(Wrap(std::int64_t{month} + 1) * kMonthFactor) + day + gregorian);
    const double julianDay = static_cast<double>(whole) - kDayOffset +
                             ((static_cast<double>(Absolute(minute)) / 60 + Absolute(hour)) +
                              std::fabs(static_cast<double>(second)) / kSecondsPerHour) /
                                 24;
    if (!(julianDay >= 0)) {
        return 0.0;
    }
    return julianDay;
}

void DateFromJulianDay(double julianDay, std::int32_t& year, std::int32_t& month, std::int32_t& day,
                       std::int32_t& hour, std::int32_t& minute, float& second) {
    const double shifted = julianDay + 0.5;
    double integral = 0;
    const double fraction = std::modf(shifted, &integral);
    const std::int32_t z = Truncate(integral);

    std::int32_t a = z;
    if (z >= kGregorianSwitchDay) {
        const std::int32_t alpha = Truncate((z - kCenturyEpoch) / kGregorianCentury);
        a = Wrap(std::int64_t{z} + alpha - alpha / 4 + 1);
    }
    const std::int32_t b = Wrap(std::int64_t{a} + 1524);
    const std::int32_t n = Truncate((b - kYearOffset) / kJulianYear);
    const std::int32_t d = Wrap(std::int64_t{b} - Truncate(n * kJulianYear));
    const std::int32_t e = Truncate(d / kMonthFactor);
    const double dayWithFraction =
        static_cast<double>(Wrap(std::int64_t{d} - Truncate(e * kMonthFactor))) + fraction;

    month = e < 14 ? Wrap(std::int64_t{e} - 1) : Wrap(std::int64_t{e} - 13);
    year = month > 2 ? Wrap(std::int64_t{n} - 4716) : Wrap(std::int64_t{n} - 4715);
    day = Truncate(dayWithFraction);
    double rest = (dayWithFraction - day) * 24;
    hour = Truncate(rest);
    rest = (rest - hour) * 60;
    minute = Truncate(rest);
    second = static_cast<float>((rest - minute) * 60);

    if (!(shifted >= 0.5)) {
        year = 0;
        month = 0;
        day = 0;
    }
}
