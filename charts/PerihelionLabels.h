// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <array>

#include "data/StarFile.h"

// One perihelion passage as the Perihelion chart marks it: the record dated at 00:00:00 of the
// passage's civil date gets a label with that date and the passage's own hour and minute.
struct PassageLabel {
    double Day = 0;         // Julian day of 00:00:00 of the passage's civil date
    int Hour = 0;           // of the passage instant, truncated
    int Minute = 0;         // of the passage instant, truncated
    const char* Name = "";  // "Prev", "Now" or "Next"
};

// The passages Prev = Tp - P, Now = Tp, Next = Tp + P, in that order, for a passage time `passage`
// (Julian day) and an orbital period `period` (days).
std::array<PassageLabel, 3> PassageLabels(double passage, double period);

// The Julian day of a record's date and time.
double RecordJulianDay(const RecordDate& date);

// "%d/%d/%d - %2.2d:%2.2d:00 (Now)": the record's year, month and day, the passage's hour and
// minute, seconds always written as 00 (cut to 255 bytes, as a 256-byte buffer holds it).
QString PassageLabelText(const RecordDate& date, const PassageLabel& passage);
