// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/PerihelionLabels.h"

#include <cstdio>

#include "astro/Calendar.h"

namespace {

PassageLabel LabelOf(double instant, const char* name) {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    float second = 0;
    DateFromJulianDay(instant, year, month, day, hour, minute, second);
    return PassageLabel{JulianDayFromDate(year, month, day, 0, 0, 0.0f), hour, minute, name};
}

}  // namespace

std::array<PassageLabel, 3> PassageLabels(double passage, double period) {
    return {LabelOf(passage - period, "Prev"), LabelOf(passage, "Now"),
            LabelOf(passage + period, "Next")};
}

double RecordJulianDay(const RecordDate& date) {
    return JulianDayFromDate(date.Year, date.Month, date.Day, date.Hour, date.Minute,
                             static_cast<float>(date.Second));
}

QString PassageLabelText(const RecordDate& date, const PassageLabel& passage) {
    char text[256];
    std::snprintf(text, sizeof text, "%d/%d/%d - %2.2d:%2.2d:00 (%s)", date.Year, date.Month,
                  date.Day, passage.Hour, passage.Minute, passage.Name);
    return QString::fromLatin1(text);
}
