// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ephemeris/Vector3.h"

// The IAU constellation of a direction on the sky, by the method and table of Roman (1987),
// "Identification of a Constellation from a Position", PASP 99, 695 (CDS catalogue VI/42): the
// direction is precessed to the equinox of B1875.0, then the first boundary line of the table
// (in table order) with Dec low <= dec and RA low <= ra < RA high names its constellation.
// Constellations are numbered 1 to 88 in the alphabetical order of their Latin names, as the
// program's constellation table numbers them.
class ConstellationFinder {
  public:
    // The tables built into nivra-data (from astropy's copy of VI/42 and the IAU names list).
    static const ConstellationFinder& Builtin();

    // `romanTable`: lines "RA-low RA-high Dec-low Abbr" (hours, hours, degrees); `names`: lines
    // "Abbr Latin name" in number order. Lines starting with '#' are comments.
    ConstellationFinder(std::string_view romanTable, std::string_view names);

    // Abbreviation for a position of equinox B1875.0: right ascension in hours [0, 24), declination
    // in degrees [-90, 90]. Empty when the table has no line for it (a damaged table).
    std::string_view AbbreviationB1875(double raHours, double decDegrees) const;

    // Number 1-88 of an abbreviation; 0 when unknown.
    int Number(std::string_view abbreviation) const;
    std::string_view Name(int number) const;

    // Number 1-88 of the constellation holding an ICRS (J2000) direction (any length).
    int NumberOfDirection(const Vector3& icrsDirection) const;

  private:
    struct Boundary {
        double RaLow;
        double RaHigh;
        double DecLow;
        std::string Abbreviation;
        int Number;  // 1-88, 0 when the names list lacks the abbreviation
    };
    const Boundary* Find(double raHours, double decDegrees) const;
    std::vector<Boundary> boundaries_;
    bool decreasingDeclinations_ = false;  // each line's Dec low at most the one before
    std::vector<std::pair<std::string, std::string>> names_;  // abbreviation, Latin name
    Matrix3 toB1875_{};
};
