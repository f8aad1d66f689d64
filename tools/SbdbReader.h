#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One body of an SBDB Query API export, with the fields the catalogue uses, as found by name.
// Units as SBDB gives them, converted where noted.
struct SbdbBody {
    std::string FullName;                 // trimmed
    std::optional<std::uint32_t> SpkId;   // the export's spkid, when it has one
    std::optional<std::uint32_t> Number;  // number of a numbered asteroid, from the name
    std::string OrbitClass;               // SBDB class code (MBA, APO, JFc, ...)
    bool Neo = false;
    std::optional<bool> Pha;  // the export's pha flag, when it has one
    std::optional<double> Eccentricity;
    std::optional<double> SemiMajorAxis;       // au
    std::optional<double> PerihelionDistance;  // au
    std::optional<double> AphelionDistance;    // au
    std::optional<double> Inclination;         // degrees
    std::optional<double> AscendingNode;       // degrees
    std::optional<double> ArgumentPerihelion;  // degrees
    std::optional<double> MeanAnomaly;         // degrees
    std::optional<double> MeanMotion;          // degrees/day
    std::optional<double> PerihelionTime;      // Julian day (TDB)
    std::optional<double> Epoch;               // Julian day (TDB)
    std::optional<double> PeriodDays;          // days
    std::optional<double> EarthMoid;           // au
    std::optional<double> AbsoluteMagnitude;
    std::optional<double> Diameter;        // km
    std::optional<double> RotationPeriod;  // hours
    std::optional<double> Albedo;
};

struct SbdbFile {
    std::vector<SbdbBody> Bodies;
    std::string Error;  // set when the file as a whole cannot be read
};

// Reads an SBDB Query API JSON object ({"fields": [...], "data": [[...], ...]}). Values may be
// numbers, numeric strings or null; field names are matched with '.' and '_' alike ("per.y",
// "per_y"). `fileName` names the file in the error text.
SbdbFile ReadSbdbJson(const QByteArray& bytes, const std::string& fileName);
