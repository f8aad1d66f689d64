// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/CatalogueStatements.h"
#include "sbdb/SbdbReader.h"

// An orbit class of the catalogue: its code in [Orbites].[Index], its name, the SBDB class.
struct OrbitClassEntry {
    int Index = 0;
    std::string Name;
    std::string SbdbCode;  // empty for the three classes with rules of their own
};

// Codes with a rule of their own in the viewer.
inline constexpr int kEveryStarClass = CatalogueStatements::kEveryStar;
inline constexpr int kNearEarthClass = CatalogueStatements::kNearEarthObjects;
inline constexpr int kHazardousClass = CatalogueStatements::kPotentiallyHazardous;

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
    double MeanMotion = 0;     // radians/year (SBDB's n in degrees/day converted); 0 when none
                               // is given, and the viewer derives it from a
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

// The kinds of problem a build reports, in the order they are printed.
enum class ProblemKind {
    FileError,     // a file that cannot be read as a whole
    Refused,       // a body left out for its elements or name
    WithoutSpkId,  // a body left out: no spkid and not numbered
    Note,          // a value left unknown (the body is loaded)
};

// Receives each problem as it is found: its line, which names the file and the body, and its
// reason without the body or the value ("e is not below 1 (an ellipse)"), shared by every body
// left out for the same reason.
using ProblemSink =
    std::function<void(ProblemKind kind, const std::string& line, const std::string& reason)>;

// The catalogue rows of bodies, one body at a time, with the orbit classes they use.
class CatalogueAssembler {
  public:
    explicit CatalogueAssembler(ProblemSink problems);

    // The row of `body`, read from the file `fileName`, or nothing when the body is left out (the
    // reason is reported). The row is a candidate: Keep or Drop says what became of it.
    std::optional<CatalogueStar> Admit(const std::string& fileName, const SbdbBody& body);
    // The row of the last Admit is in the catalogue: its notes are reported, its class counted.
    void Keep(const CatalogueStar& star);
    // It is not, as a star of its SPK-ID already is: the body is reported as left out.
    void Drop(const std::string& fileName, const SbdbBody& body, std::uint32_t spkId);

    // The classes of the kept rows: the three with rules of their own, then the known SBDB
    // classes in code order, then classes of codes given from 30 on.
    std::vector<OrbitClassEntry> Classes() const;

  private:
    ProblemSink problems_;
    std::map<std::string, int> codeOf_;  // every class code given, by SBDB class
    std::map<std::string, OrbitClassEntry> unknownClasses_;
    int nextCode_ = 30;  // classes SBDB may add later get codes of their own from here
    std::vector<int> usedCodes_;
    std::optional<OrbitClassEntry> pendingClass_;  // a class the candidate would add
    std::vector<std::pair<std::string, std::string>> pendingNotes_;  // line, reason
};

// The catalogue of every body of the files that has an SPK-ID, a name without control
// characters and elliptic elements within the bounds of ElementBounds.h. The mean anomaly
// derived from a time of perihelion uses Kepler's mean motion of the elements, so that the
// ephemeris passes perihelion at that time.
CatalogueContent BuildCatalogue(const std::vector<NamedSbdbFile>& files, CatalogueReport& report);

// Display name of a body from its SBDB full name: the name of a named asteroid ("1 Ceres
// (A801 AA)" -> "Ceres"), otherwise the full name itself. Never empty for a full name that is
// not.
std::string DisplayName(const std::string& fullName);
