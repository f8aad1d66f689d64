// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/CatalogueStatements.h"

#include "data/TextFormat.h"

namespace CatalogueStatements {
namespace {

constexpr const char* kStarChoiceHead =
    "SELECT [SpkId],[Name],[OrbiteType],[OrbiteTypeNeo],[OrbiteTypePha],[DatasForIt] FROM "
    "[AllStars] ";

constexpr const char* kStarInfoSelect =
    "SELECT [Eccentricity],[SemiMajorAxis],[PerihelionDistance],[Inclination],"
    "[AscendingNodeLongitude],[ArgumentPerihelion],[MeanAnomaly],[OrbitalPeriod],[MeanMotion],"
    "[ApelionDistance],[EarthMOID],[AbsoluteMagnitude],[Diameter],[RotationPeriod],"
    "[GeometricAlbedo],[SpkId] ";

constexpr const char* kOrbitElementsSelect =
    "SELECT [SpkId],[Eccentricity],[SemiMajorAxis],[PerihelionDistance],[Inclination],"
    "[AscendingNodeLongitude],[ArgumentPerihelion],[MeanAnomaly],[ApelionDistance] ";

constexpr const char* kByKey = "FROM [AllStars] WHERE [SpkId] = %lu";

constexpr const char* kStarList =
    "SELECT [AllStars].[DatasForIt],\n"
    "  [Orbites].[Name] AS [Orbite],\n"
    "  [AllStars].[SpkId],\n"
    "  [AllStars].[Name],\n"
    "  [AllStars].[Eccentricity],\n"
    "  [AllStars].[SemiMajorAxis],\n"
    "  [AllStars].[PerihelionDistance],\n"
    "  [AllStars].[Inclination],\n"
    "  [AllStars].[AscendingNodeLongitude],\n"
    "  [AllStars].[ArgumentPerihelion],\n"
    "  [AllStars].[MeanAnomaly],\n"
    "  [AllStars].[OrbitalPeriod],\n"
    "  [AllStars].[MeanMotion],\n"
    "  [AllStars].[ApelionDistance],\n"
    "  [AllStars].[EarthMOID],\n"
    "  [AllStars].[AbsoluteMagnitude],\n"
    "  [AllStars].[Diameter],\n"
    "  [AllStars].[RotationPeriod],\n"
    "  [AllStars].[GeometricAlbedo]\n"
    "FROM [AllStars] INNER JOIN [Orbites] ON [AllStars].[OrbiteType] = [Orbites].[Index] WHERE "
    "[AllStars].[DatasForIt] = 1 ORDER BY [AllStars].[SpkId]\n";

// The select list joined with its "FROM ... WHERE [SpkId] = key" clause, formatted first.
std::string SelectByKey(const char* select, SpkId id) {
    const std::string from = FormatText(kByKey, static_cast<unsigned long>(id));
    return FormatText("%s%s", select, from.c_str());
}

}  // namespace

std::string OrbitClassQuery() {
    return "SELECT [Index],[Name] FROM [Orbites] ORDER BY [Name]";
}

std::string StarChoiceQuery(int orbitClassCode) {
    switch (orbitClassCode) {
        case kEveryStar:
            return kStarChoiceHead;
        case kNearEarthObjects:
            return FormatText("%s WHERE ([OrbiteTypeNeo] = 1) ORDER BY [SpkId]", kStarChoiceHead);
        case kPotentiallyHazardous:
            return FormatText("%s WHERE ([OrbiteTypePha] = 1) ORDER BY [SpkId]", kStarChoiceHead);
        default:
            return FormatText(
                "%s WHERE ([DatasForIt] = 1) AND ([OrbiteType] = %d) ORDER BY [SpkId]",
                kStarChoiceHead, orbitClassCode);
    }
}

std::string StarInfoQuery(SpkId id) {
    return SelectByKey(kStarInfoSelect, id);
}

std::string StarListQuery() {
    return kStarList;
}

std::string OrbitElementsQuery(SpkId id) {
    return SelectByKey(kOrbitElementsSelect, id);
}

std::string PerihelionQuery(SpkId id) {
    return FormatText(
        "SELECT [SpkId],[DatasForIt],[TimePerihelionPassage],[OrbitalPeriod] FROM [AllStars] "
        "WHERE [SpkId] = %lu AND [DatasForIt] = 1",
        static_cast<unsigned long>(id));
}

std::string FindListQuery(bool withFullNames) {
    return FormatText("SELECT [SpkId],%s,[Name],[OrbiteType] FROM [AllStars] ORDER BY [SpkId]",
                      withFullNames ? "[FullName]" : "NULL");
}

std::string FoundStarsQuery(const std::vector<SpkId>& ids, bool withFullNames) {
    std::string list;
    for (const SpkId id : ids) {
        if (!list.empty())
            list += ',';
        list += FormatText("%lu", static_cast<unsigned long>(id));
    }
    return FormatText("SELECT [SpkId],%s,[Name],[OrbiteType] FROM [AllStars] WHERE [SpkId] IN (%s)",
                      withFullNames ? "[FullName]" : "NULL", list.c_str());
}

std::string StarCountQuery() {
    return "SELECT count(*) FROM [AllStars]";
}

}  // namespace CatalogueStatements
