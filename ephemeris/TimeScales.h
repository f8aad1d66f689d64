// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Time scales of the ephemeris. Records are dated in civil time (UTC, 00:00:00 each day); the
// planets and the body move in TT (TDB is taken equal to TT: they differ by less than 2 ms).

// A Julian day held in two parts for precision (their sum is the Julian day).
struct JulianDay {
    double Day1 = 0;
    double Day2 = 0;
    double Value() const { return Day1 + Day2; }
};

// Julian day of a civil date and time of day (days from 0:00), in the same time scale.
JulianDay CivilJulianDay(int year, int month, int day, double dayFraction);

// TT - UTC in seconds for a civil date. From 1972, when UTC began to step by whole leap seconds,
// it is TAI - UTC from ERFA's leap-second table plus 32.184 s (the last known value after the
// table's end). Before 1972 the record time is taken as UT and TT - UT is Delta T from the
// polynomials of Espenak and Meeus (2006), which follow the historical record within a second
// over 1800-1972.
double TTMinusUTC(int year, int month, int day);

// TT of a civil date and time (UTC).
JulianDay CivilToTT(int year, int month, int day, double dayFraction);
