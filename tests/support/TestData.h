// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Tiny catalogues and ephemeris files written from a few lines of test code. The byte layout is
// written out here independently of the program's readers, so a reader's mistake shows.
namespace TestData {

struct OrbitClass {
    int Index = 0;
    std::string Name;
};

struct Star {
    std::uint32_t Id = 0;
    std::string Name;
    int OrbiteType = 1;
    int OrbiteTypeNeo = 0;
    int OrbiteTypePha = 0;
    int DatasForIt = 1;
    double Eccentricity = 0.0785;
    double SemiMajorAxis = 2.766;           // au
    double PerihelionDistance = 2.549;      // au
    double Inclination = 10.59;             // degrees
    double AscendingNodeLongitude = 80.27;  // degrees
    double ArgumentPerihelion = 73.64;      // degrees
    double MeanAnomaly = 291.4;             // degrees
    double OrbitalPeriod = 1680.5;          // days
    double MeanMotion = 0.2142;             // degrees per day
    double ApelionDistance = 2.983;         // au
    double EarthMOID = 1.58;                // au
    double AbsoluteMagnitude = 3.34;
    double Diameter = 939.4;       // km
    double RotationPeriod = 9.07;  // hours
    double GeometricAlbedo = 0.09;
    double TimePerihelionPassage = 2459999.5;  // Julian day
};

// Writes a catalogue with the [Orbites] and [AllStars] tables holding exactly these rows
// (the file is replaced if it exists).
void WriteCatalogue(const std::string& path, const std::vector<OrbitClass>& classes,
                    const std::vector<Star>& stars);

struct Angles {
    double First = 0;   // degrees
    double Second = 0;  // degrees
};

struct Record {
    std::uint32_t Tag = 1;
    int Year = 2000;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    std::int32_t Constellation = 1;
    Angles Astrometric;
    Angles Earth;
    Angles Galactic;
    Angles Geometric;
};

// A .Nvr file: the 176-byte header, the three link texts, the records, the terminating record.
struct NvrFile {
    std::uint32_t Id = 2000001;
    std::int32_t FirstYear = 2000;
    std::int32_t LastYear = 2000;
    std::string EphemerisLink = "https://ssd.jpl.nasa.gov/horizons/app.html#/?sstr=2000001";
    std::string OrbitDiagramLink =
        "https://ssd.jpl.nasa.gov/tools/sbdb_lookup.html#/?sstr=2000001&view=OPD";
    std::string PhysicalParameterLink =
        "https://ssd.jpl.nasa.gov/tools/sbdb_lookup.html#/?sstr=2000001&view=VOP";
    std::vector<Record> Records;
    bool Terminator = true;

    // Damage for robustness tests: replace the computed offsets, cut the file short, or drop the
    // zero after the last link text (the links then run to the end of the file).
    std::optional<std::int32_t> FirstRecordOffsetOverride;
    std::optional<std::uint64_t> EphemerisLinkOverride;
    std::optional<std::size_t> TruncateTo;

    // Daily records at 00:00:00 from 1 January of `fromYear` to 31 December of `toYear`; the
    // angles differ between frames and change from day to day.
    static NvrFile Daily(std::uint32_t id, int fromYear, int toYear);

    std::vector<std::byte> Bytes() const;
    void Write(const std::string& path) const;
    // Byte offset at which the first record is written (without an override).
    std::size_t NaturalFirstRecordOffset() const;
};

// Days in a month of the Gregorian calendar.
int DaysInMonth(int year, int month);

// A fresh, empty folder that is removed with its content when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// The bytes of the file at `path` (empty when it cannot be read).
std::string Slurp(const std::string& path);

// A program folder with a catalogue, a Datas folder and optional ephemeris files.
void MakeProgramFolder(const std::string& folder, const std::vector<OrbitClass>& classes,
                       const std::vector<Star>& stars, const std::vector<NvrFile>& files);

}  // namespace TestData
