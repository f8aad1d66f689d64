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

// What a build left out, one line each, naming the file and the body ("asteroids.json: 11
// Parthenope: e = 1.0000001 is not below 1 (an ellipse); not loaded").
struct CatalogueReport {
    std::vector<std::string> FileErrors;    // files that cannot be read as a whole
    std::vector<std::string> Refused;       // bodies left out for their elements or name
    std::vector<std::string> WithoutSpkId;  // bodies left out: no spkid and not numbered
    std::vector<std::string> Notes;         // values left unknown (the body is loaded)

    // Whether anything at all was left out.
    bool Complete() const {
        return FileErrors.empty() && Refused.empty() && WithoutSpkId.empty() && Notes.empty();
    }
};

struct NamedSbdbFile {
    std::string Name;
    SbdbFile File;
};

// The catalogue of every body of the files that has an SPK-ID, a name without control
// characters and elliptic elements within the bounds of ElementBounds.h. The mean anomaly
// derived from a time of perihelion uses Kepler's mean motion of the elements, so that the
// ephemeris passes perihelion at that time.
CatalogueContent BuildCatalogue(const std::vector<NamedSbdbFile>& files, CatalogueReport& report);

// Sets [DatasForIt] = 1 for the stars of `content` that have a complete ephemeris file of this
// tool in `datasFolder` (what a rebuilt catalogue keeps of the one it replaces).
void MarkStarsWithCompleteFiles(CatalogueContent& content, const std::string& datasFolder);

// Writes the catalogue at `path`, replacing any file there in one step; on failure the old file
// stays and `error` says why.
bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error);

// Display name of a body from its SBDB full name: the name of a named asteroid ("1 Ceres
// (A801 AA)" -> "Ceres"), otherwise the full name itself. Never empty for a full name that is
// not.
std::string DisplayName(const std::string& fullName);
