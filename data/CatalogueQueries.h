// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Catalogue.h"
#include "data/StarFile.h"

// Typed reads of the catalogue, one per statement. A list query gives nothing when its text
// could not be prepared (a missing table or column) and an empty list when no row matched; a
// lookup gives nothing in both cases. Texts are the stored bytes, undecoded.

struct OrbitClassRow {
    int Index = 0;     // orbit-class code
    std::string Name;  // shown in the orbit-class selector
};

struct StarChoiceRow {
    SpkId Id = 0;
    std::string Name;
};

// Values of the information panel, in the statement's column order. Distances in au, the
// period in days, angles as stored.
struct StarInfoRow {
    double Eccentricity = 0;
    double SemiMajorAxis = 0;
    double PerihelionDistance = 0;
    double Inclination = 0;
    double AscendingNodeLongitude = 0;
    double ArgumentPerihelion = 0;
    double MeanAnomaly = 0;
    double OrbitalPeriod = 0;
    double MeanMotion = 0;  // 0: none given
    double ApelionDistance = 0;
    double EarthMOID = 0;
    double AbsoluteMagnitude = 0;
    double Diameter = 0;
    double RotationPeriod = 0;
};

// A row of the star list: the star, its class name, the information panel's values and the
// albedo, in the statement's column order.
struct StarListRow {
    std::string Orbite;  // the class name
    SpkId Id = 0;
    std::string Name;
    StarInfoRow Values;
    double GeometricAlbedo = 0;
};

struct OrbitElementsRow {
    SpkId Id = 0;
    double Eccentricity = 0;
    double SemiMajorAxis = 0;  // au
    double PerihelionDistance = 0;
    double Inclination = 0;
    double AscendingNodeLongitude = 0;
    double ArgumentPerihelion = 0;
    double MeanAnomaly = 0;
    double ApelionDistance = 0;
};

struct PerihelionRow {
    double TimePerihelionPassage = 0;  // Julian day
    double OrbitalPeriod = 0;          // days
};

// A star list row as the statement hands it over, its texts not copied: valid only while it is
// handed to the caller.
struct StarListRowView {
    std::string_view Orbite;
    SpkId Id = 0;
    std::string_view Name;
    StarInfoRow Values;
    double GeometricAlbedo = 0;
};

struct StarChoiceRowView {
    SpkId Id = 0;
    std::string_view Name;
};

std::optional<std::vector<OrbitClassRow>> QueryOrbitClasses(const Catalogue& catalogue);
std::optional<std::vector<StarChoiceRow>> QueryStarChoices(const Catalogue& catalogue, int code);
std::optional<StarInfoRow> QueryStarInfo(const Catalogue& catalogue, SpkId id);
std::optional<std::vector<StarListRow>> QueryStarList(const Catalogue& catalogue);
// The same two lists row by row, for catalogues of millions of stars: each row is handed to
// `onRow` as it is read, nothing is kept. The number of rows handed over, or nothing when the
// statement cannot be prepared.
std::optional<int> ForEachStarChoice(const Catalogue& catalogue, int code,
                                     const std::function<void(const StarChoiceRowView&)>& onRow);
std::optional<int> ForEachStarListRow(const Catalogue& catalogue,
                                      const std::function<void(const StarListRowView&)>& onRow);
// Whether the star list's statement can be prepared on the catalogue, its tables and columns
// all there; no row is read. False, with the catalogue's ErrorText() saying why ("no such
// table: AllStars"), for the empty catalogue made for a folder without one, say.
bool StarListReadable(const Catalogue& catalogue);
std::optional<OrbitElementsRow> QueryOrbitElements(const Catalogue& catalogue, SpkId id);
std::optional<PerihelionRow> QueryPerihelion(const Catalogue& catalogue, SpkId id);

// A body as the find index reads it, its text not copied (valid only while it is handed over):
// its SBDB full name ("433 Eros (A898 PA)"), or its name where the catalogue holds no full name
// (a catalogue older than the column, or an empty or NULL value).
struct FindRowView {
    SpkId Id = 0;
    std::string_view FullName;
    int OrbiteType = 0;
};
struct FoundStarRow {
    SpkId Id = 0;
    std::string FullName;  // as in FindRowView, copied
    int OrbiteType = 0;
};
// Every body of [AllStars], whatever its data mark, in SPK-ID order, row by row; the number of
// rows handed over, or nothing when the statement cannot be prepared.
std::optional<int> ForEachFindRow(const Catalogue& catalogue,
                                  const std::function<void(const FindRowView&)>& onRow);
// The bodies `ids` the same way, in one statement, in no order; a body the catalogue does not
// hold has no row. Nothing when the statement cannot be prepared.
std::optional<std::vector<FoundStarRow>> QueryFoundStars(const Catalogue& catalogue,
                                                         const std::vector<SpkId>& ids);
// The number of rows of [AllStars] (read from its smallest index, without reading the rows).
std::optional<std::int64_t> QueryStarCount(const Catalogue& catalogue);
