#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/SbdbReader.h"

// An orbit class of the catalogue: its code in [Orbites].[Index], its name, the SBDB class.
struct OrbitClassEntry {
    int Index = 0;
    std::string Name;
    std::string SbdbCode;  // empty for the three classes with rules of their own
};

// Codes with a rule of their own in the viewer.
inline constexpr int kEveryStarClass = 0;
inline constexpr int kNearEarthClass = 19;
inline constexpr int kHazardousClass = 25;

// The fixed codes of the SBDB classes (stable from one build of the catalogue to the next).
const std::vector<OrbitClassEntry>& KnownOrbitClasses();

// One row of [AllStars]. Distances in au, angles in degrees, times in Julian days (TDB).
struct CatalogueStar {
    std::uint32_t SpkId = 0;
    std::string Name;       // display name: "Ceres", "613858 (2007 TA418)", "1P/Halley"
    std::string FullName;   // SBDB full name: "1 Ceres (A801 AA)"
    std::string SbdbClass;  // "MBA"
    int OrbiteType = 0;
    bool Neo = false;
    bool Pha = false;
    int DatasForIt = 0;
    double Eccentricity = 0;
    double SemiMajorAxis = 0;
    double PerihelionDistance = 0;
    double Inclination = 0;
    double AscendingNodeLongitude = 0;
    double ArgumentPerihelion = 0;
    double MeanAnomaly = 0;    // at the epoch
    double OrbitalPeriod = 0;  // days
    double MeanMotion = 0;     // degrees/day as given by the source; 0 when it gives none
    double ApelionDistance = 0;
    double EarthMOID = 0;
    double AbsoluteMagnitude = 0;
    double Diameter = 0;        // km
    double RotationPeriod = 0;  // hours
    double GeometricAlbedo = 0;
    double TimePerihelionPassage = 0;
    double Epoch = 0;
};

struct CatalogueContent {
    std::vector<OrbitClassEntry> Classes;
    std::vector<CatalogueStar> Stars;  // in SpkId order
};

struct CatalogueReport {
    int WithoutSpkId = 0;               // bodies skipped: no spkid and not numbered
    std::vector<std::string> Problems;  // one line per file or body refused, naming both
};

struct NamedSbdbFile {
    std::string Name;
    SbdbFile File;
};

// The catalogue of every body of the files that has an SPK-ID and a usable elliptic orbit.
CatalogueContent BuildCatalogue(const std::vector<NamedSbdbFile>& files, CatalogueReport& report);

// Writes the catalogue at `path`, replacing any file there in one step; on failure the old file
// stays and `error` says why.
bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error);

// Display name of a body from its SBDB full name.
std::string DisplayName(const std::string& fullName);
