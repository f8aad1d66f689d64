// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "data/StarFile.h"

// The complete set of statements the program runs on the catalogue, composed as plain text
// with their values formatted in (an SpkId with "%lu", an orbit-class code with "%d").
namespace CatalogueStatements {

// Orbit-class codes with a rule of their own in StarChoiceQuery.
inline constexpr int kEveryStar = 0;
inline constexpr int kNearEarthObjects = 19;
inline constexpr int kPotentiallyHazardous = 25;

// Orbit classes for the orbit-class selector: [Index], [Name].
std::string OrbitClassQuery();
// The stars of one orbit class for the star selector: [SpkId], [Name], then four unread columns.
std::string StarChoiceQuery(int orbitClassCode);
// One star's values for the information panel: 14 doubles, then two unread columns.
std::string StarInfoQuery(SpkId id);
// Every star with ephemeris data for the star list, with its class name, ordered by SpkId.
std::string StarListQuery();
// One star's orbital elements for the diagrams: [SpkId], then 8 doubles.
std::string OrbitElementsQuery(SpkId id);
// One star's perihelion passage and period, only when [DatasForIt] = 1.
std::string PerihelionQuery(SpkId id);
// Every body for the find index, ordered by SpkId: [SpkId], [FullName], [Name], [OrbiteType]. A
// catalogue without the full-name column is read with NULL in its place (`withFullNames` false).
std::string FindListQuery(bool withFullNames);
// The same columns for the bodies `ids`, in no order.
std::string FoundStarsQuery(const std::vector<SpkId>& ids, bool withFullNames);
// The number of rows of [AllStars].
std::string StarCountQuery();

}  // namespace CatalogueStatements
