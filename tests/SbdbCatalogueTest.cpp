// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>
#include <tuple>

#include <sys/stat.h>

#include "astro/OrbitalFormulas.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "sbdb/ElementBounds.h"
#include "sbdb/ProblemSummary.h"
#include "sbdb/SbdbReader.h"
#include "sbdb/ShippedExports.h"
#include "tests/support/TestData.h"
#include "writers/AtomicFile.h"
#include "writers/CatalogueFile.h"

using TestData::TempFolder;

namespace {

SbdbFile Read(const std::string& json, const std::string& name = "test.json") {
    return ReadSbdbJson(QByteArray::fromStdString(json), name);
}

const CatalogueStar* Find(const CatalogueContent& content, std::uint32_t id) {
    for (const CatalogueStar& star : content.Stars)
        if (star.SpkId == id)
            return &star;
    return nullptr;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr const char* kAsteroidFields =
    R"js("fields":["full_name","spkid","neo","pha","H","diameter","albedo","rot_per","epoch_mjd","e","a","q","i","om","w","ma","per_y","moid","class"])js";

}  // namespace

TEST(SbdbCatalogue, BothShippedExportsLoad) {
    const SbdbFile asteroids = Read(ReadShippedExport("asteroids.json"), "asteroids.json");
    const SbdbFile comets = Read(ReadShippedExport("comets.json"), "comets.json");
    ASSERT_EQ(asteroids.Error, "");
    ASSERT_EQ(comets.Error, "");
    EXPECT_EQ(asteroids.Bodies.size(), 7099u);
    EXPECT_EQ(comets.Bodies.size(), 3768u);
    EXPECT_EQ(comets.Bodies[0].FullName, "1P/Halley");
    EXPECT_DOUBLE_EQ(*comets.Bodies[0].Epoch.Number, 49400 + 2400000.5);
    EXPECT_EQ(comets.Bodies[0].Epoch.Quoted(), "epoch.mjd = 49400");
    EXPECT_DOUBLE_EQ(*comets.Bodies[0].PeriodDays.Number, 75.3158906863411 * 365.25);

    CatalogueReport report;
    const CatalogueContent content =
        BuildCatalogue({{"asteroids.json", asteroids}, {"comets.json", comets}}, report);
    EXPECT_EQ(content.Stars.size(), 3808u);  // every numbered asteroid; no comet has an SPK-ID here
    EXPECT_EQ(report.WithoutSpkId.size(), 7099u - 3808 + 3768);
    EXPECT_EQ(report.WithoutSpkId[0],
              "asteroids.json: (1927 LA): no SPK-ID (neither a spkid field nor an asteroid "
              "number); not loaded");
    EXPECT_TRUE(report.Refused.empty()) << report.Refused.front();
    EXPECT_TRUE(report.Notes.empty()) << report.Notes.front();

    const CatalogueStar* ceres = Find(content, 2000001);
    ASSERT_NE(ceres, nullptr);
    EXPECT_EQ(ceres->Name, "Ceres");
    EXPECT_EQ(ceres->FullName, "1 Ceres (A801 AA)");
    EXPECT_EQ(ceres->SbdbClass, "MBA");
    EXPECT_EQ(ceres->OrbiteType, 1);
    EXPECT_FALSE(ceres->Neo);
    EXPECT_DOUBLE_EQ(ceres->SemiMajorAxis, 2.766619044655007);
    EXPECT_DOUBLE_EQ(ceres->ApelionDistance, 2.766619044655007 * (1 + .07863575691875528));
    EXPECT_DOUBLE_EQ(ceres->OrbitalPeriod, 4.60184774356845 * 365.25);
    EXPECT_DOUBLE_EQ(ceres->MeanMotion, 0.0);
    EXPECT_DOUBLE_EQ(ceres->Epoch, 2459800.5);
    // M = 334.33 degrees: the nearest passage is the next one, (360 - M) / n after the epoch,
    // with Kepler's n.
    const double n = kGaussK / std::pow(2.766619044655007, 1.5) * 180 / M_PI;
    EXPECT_NEAR(ceres->TimePerihelionPassage, 2459800.5 + (360 - 334.3271698971151) / n, 1e-6);
    EXPECT_DOUBLE_EQ(ceres->GeometricAlbedo, 0.09);
    EXPECT_DOUBLE_EQ(ceres->RotationPeriod, 9.07417);

    const CatalogueStar* eros = Find(content, 2000433);
    ASSERT_NE(eros, nullptr);
    EXPECT_TRUE(eros->Neo);
    EXPECT_FALSE(eros->Pha);  // MOID 0.15 au
    EXPECT_EQ(eros->OrbiteType, 5);
    const CatalogueStar* unnamed = Find(content, 2000000 + 613858);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->Name, "613858 (2007 TA418)");

    std::vector<std::string> classNames;
    for (const OrbitClassEntry& entry : content.Classes)
        classNames.push_back(std::to_string(entry.Index) + " " + entry.Name);
    EXPECT_EQ(classNames, (std::vector<std::string>{
                              "0 All stars", "19 Near-Earth Objects",
                              "25 Potentially Hazardous Asteroids", "1 Main-belt Asteroid",
                              "2 Inner Main-belt Asteroid", "3 Outer Main-belt Asteroid",
                              "4 Mars-crossing Asteroid", "5 Amor", "9 Jupiter Trojan",
                              "10 Centaur", "11 Trans-Neptunian Object", "12 Asteroid (other)"}));
}

// The n of an export is stored in the unit of the n the viewer derives from a where none is
// given: for the n SBDB computes from a with the Sun's GM, the two agree, so two bodies of one a
// show one n and one Kepler's constant n^2 a^3, whichever has an n in the catalogue.
TEST(SbdbCatalogue, AStoredMeanMotionIsTheOneTheViewerDerivesFromTheAxis) {
    const double axes[] = {0.64, 1.0, 2.7675, 5.2026, 17.83, 39.48, 512.0};  // au
    std::string json =
        R"js({"fields":["full_name","spkid","epoch.mjd","e","a","i","w","om","ma","n"],"data":[)js";
    for (std::size_t k = 0; k < std::size(axes); ++k) {
        // SBDB's n: Kepler's of a massless body, degrees per day, printed to the last digit.
        const double n = kGaussK / std::pow(axes[k], 1.5) * 180 / M_PI;
        char row[200];
        std::snprintf(row, sizeof row, R"js(%s["Body %zu",%zu,59800,0.1,%.17g,5,10,20,30,%.17g])js",
                      k == 0 ? "" : ",", k, 3000000 + k, axes[k], n);
        json += row;
    }
    json += "]}";
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue({{"n.json", Read(json)}}, report);
    ASSERT_EQ(content.Stars.size(), std::size(axes));
    for (const CatalogueStar& star : content.Stars) {
        const double a = star.SemiMajorAxis;
        const double derived = ShownMeanMotion(0, a);
        EXPECT_NEAR(ShownMeanMotion(star.MeanMotion, a) / derived, 1, 1e-12) << a;
        EXPECT_NEAR(std::pow(star.MeanMotion, 2) * std::pow(a, 3) / KeplerConstant(a), 1, 1e-12)
            << a;
    }
}

TEST(SbdbCatalogue, HazardRuleCometsAndValuesOfEveryKind) {
    const std::string json = std::string("{") + kAsteroidFields + R"js(,"data":[
      ["  99942 Apophis (2004 MN4)",null,"Y",null,"19.1",0.34,null,null,"59800","0.19",null,"0.746","3.34","203.9","126.6","142.9","0.89","0.0002","ATE"],
      ["  4179 Toutatis (1989 AC)",null,"Y",null,"15.1",null,null,null,59800,0.62,2.54,0.94,0.45,125.4,278.7,7.6,4.03,0.06,"APO"],
      ["  433 Eros (A898 PA)",null,"Y",null,"22.5",null,null,null,59800,0.22,1.45,1.13,10.8,304.3,178.9,310.5,1.76,0.04,"AMO"],
      ["  7 Iris",null,"N","Y","5.5",null,null,null,59800,0.2,2.4,null,5.5,259.5,145.3,10.0,3.68,1.0,"MBA"]
    ]})js";
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue({{"neo.json", Read(json)}}, report);
    ASSERT_EQ(content.Stars.size(), 4u);
    const CatalogueStar* apophis = Find(content, 2099942);
    EXPECT_TRUE(apophis->Neo);
    EXPECT_TRUE(apophis->Pha);  // MOID 0.0002 au, H 19.1
    EXPECT_EQ(apophis->OrbiteType, 7);
    EXPECT_DOUBLE_EQ(apophis->SemiMajorAxis, 0.746 / (1 - 0.19));  // a from q and e
    EXPECT_FALSE(Find(content, 2004179)->Pha);                     // MOID 0.06 > 0.05
    EXPECT_FALSE(Find(content, 2000433)->Pha);                     // H 22.5 > 22
    EXPECT_TRUE(Find(content, 2000007)->Pha);                      // the export's own flag wins
    EXPECT_DOUBLE_EQ(Find(content, 2000007)->PerihelionDistance, 2.4 * 0.8);  // q from a and e
    EXPECT_EQ(Find(content, 2000007)->Name, "Iris");

    const std::string comet =
        R"js({"fields":["full_name","spkid","epoch.mjd","q","e","i","w","om","tp","per.y","moid","class","n","ad"],
      "data":[["    2P/Encke","1000025",57296,".335949506931661",".8483394575302023","11.78","186.55","334.57","2457822.536683651896",3.29693440558782,".17","ETc","0.298","4.09"]]})js";
    const CatalogueContent comets = BuildCatalogue({{"comets.json", Read(comet)}}, report);
    ASSERT_EQ(comets.Stars.size(), 1u);
    const CatalogueStar& encke = comets.Stars[0];
    EXPECT_EQ(encke.SpkId, 1000025u);
    EXPECT_EQ(encke.Name, "2P/Encke");
    EXPECT_EQ(encke.OrbiteType, 18);
    EXPECT_DOUBLE_EQ(encke.TimePerihelionPassage, 2457822.536683651896);
    // Stored in the unit of the n the viewer derives from a: the two are in the ratio of the
    // export's n to Kepler's n of a.
    EXPECT_NEAR(encke.MeanMotion / MeanMotionFromAxis(encke.SemiMajorAxis),
                0.298 / (kGaussK / std::pow(encke.SemiMajorAxis, 1.5) * 180 / M_PI), 1e-12);
    EXPECT_DOUBLE_EQ(encke.ApelionDistance, 4.09);
    EXPECT_DOUBLE_EQ(encke.OrbitalPeriod, 3.29693440558782 * 365.25);
    // M at the epoch follows from the passage with Kepler's n: n (epoch - tp), on [0, 360).
    const double a = .335949506931661 / (1 - .8483394575302023);
    const double n = kGaussK / std::pow(a, 1.5) * 180 / M_PI;
    double m = std::fmod(n * (57296 + 2400000.5 - 2457822.536683651896), 360.0);
    if (m < 0)
        m += 360;
    EXPECT_NEAR(encke.MeanAnomaly, m, 1e-9);
}

TEST(SbdbCatalogue, BadInputIsNamedAndTheRestStillLoads) {
    EXPECT_NE(Read("this is not json", "broken.json").Error.find("broken.json: not JSON"),
              std::string::npos);
    EXPECT_NE(Read(R"js({"rows":[]})js", "other.json").Error.find("other.json"), std::string::npos);

    const std::string json = std::string("{") + kAsteroidFields + R"js(,"data":[
      ["  1 Ceres (A801 AA)",null,"N",null,"3.3",null,null,null,"59800","0.0786","2.77","2.55","10.6","80.3","73.5","334.3","4.6","1.58","MBA"],
      ["  2 Pallas (A802 FA)",null,"N",null,"4.1",null,null,null,"59800",null,"2.77","2.13","34.9","172.9","310.8","315.1","4.6","1.23","MBA"],
      ["  3 Juno",null,"N",null,"5.1",null,null,null,"59800","1.2",null,"1.98","13.0","169.8","247.8","10.0",null,"1.0","MBA"],
      ["  4 Vesta",null,"N",null,"3.2",null,null,null,null,"0.09","2.36","2.15","7.1","103.8","151.3","61.2","3.6","1.1","MBA"],
      ["(2004 XX)",null,"N",null,"3.2",null,null,null,"59800","0.09","2.36","2.15","7.1","103.8","151.3","61.2","3.6","1.1","MBA"]
    ]})js";
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue(
        {{"mixed.json", Read(json)}, {"broken.json", Read("[", "broken.json")}}, report);
    ASSERT_EQ(content.Stars.size(), 1u);
    EXPECT_EQ(content.Stars[0].Name, "Ceres");
    ASSERT_EQ(report.WithoutSpkId.size(), 1u);
    EXPECT_EQ(report.WithoutSpkId[0].rfind("mixed.json: (2004 XX): no SPK-ID", 0), 0u);
    ASSERT_EQ(report.Refused.size(), 3u);
    EXPECT_EQ(report.Refused[0], "mixed.json: 2 Pallas (A802 FA): missing e; not loaded");
    EXPECT_EQ(report.Refused[1],
              "mixed.json: 3 Juno: e = 1.2 is not below 1 (an ellipse); not loaded");
    EXPECT_EQ(report.Refused[2], "mixed.json: 4 Vesta: missing epoch; not loaded");
    ASSERT_EQ(report.FileErrors.size(), 1u);
    EXPECT_EQ(report.FileErrors[0].rfind("broken.json: not JSON", 0), 0u);
}

// Found by fuzzing: a numbered body whose name part is blank got an empty display name.
TEST(SbdbCatalogue, EveryDisplayNameIsANameOrTheFullName) {
    EXPECT_EQ(DisplayName("1 Ceres (A801 AA)"), "Ceres");
    EXPECT_EQ(DisplayName("433 Eros"), "Eros");
    EXPECT_EQ(DisplayName("613858 (2007 TA418)"), "613858 (2007 TA418)");
    EXPECT_EQ(DisplayName("1P/Halley"), "1P/Halley");
    EXPECT_EQ(DisplayName("1  (x)"), "1  (x)");
    EXPECT_EQ(DisplayName("1    (2000 AB)"), "1    (2000 AB)");
    EXPECT_EQ(DisplayName("1   Ceres  (A801 AA)"), "Ceres");

    const std::string json = std::string("{") + kAsteroidFields + R"js(,"data":[
      ["  5  (A845 XA)",null,"N",null,"7.0",null,null,null,"59800","0.19","2.58","2.09","5.4","141.6","358.6","282.5","4.1","1.1","MBA"]
    ]})js";
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue({{"names.json", Read(json)}}, report);
    ASSERT_EQ(content.Stars.size(), 1u);
    EXPECT_EQ(content.Stars[0].SpkId, 2000005u);
    EXPECT_EQ(content.Stars[0].Name, "5  (A845 XA)");
}

TEST(SbdbCatalogue, TheWrittenCatalogueServesTheViewer) {
    TempFolder folder;
    const std::string path = folder / "Nivra.db";
    CatalogueReport report;
    const CatalogueContent content =
        BuildCatalogue({{"asteroids.json", Read(ReadShippedExport("asteroids.json"))}}, report);
    std::string error;
    ASSERT_TRUE(WriteCatalogueFile(path, content, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".part-" + std::to_string(getpid())));

    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(path, error);
    ASSERT_TRUE(catalogue);
    const auto classes = QueryOrbitClasses(*catalogue);
    ASSERT_TRUE(classes);
    EXPECT_EQ(classes->size(), content.Classes.size());
    const auto neos = QueryStarChoices(*catalogue, 19);
    ASSERT_TRUE(neos);
    ASSERT_EQ(neos->size(), 2u);
    EXPECT_EQ((*neos)[0].Name, "Eros");
    EXPECT_EQ((*neos)[1].Name, "Ganymed");
    EXPECT_EQ(QueryStarChoices(*catalogue, 0)->size(), 3808u);
    EXPECT_TRUE(QueryStarChoices(*catalogue, 1)->empty());  // no star has data yet
    const auto info = QueryStarInfo(*catalogue, 2000004);
    ASSERT_TRUE(info);
    EXPECT_NEAR(info->SemiMajorAxis, 2.36, 0.01);
    EXPECT_FALSE(QueryPerihelion(*catalogue, 2000004));  // [DatasForIt] = 0
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileAndSaysWhichAndWhy) {
    TempFolder folder;
    const std::string path = folder / "Nivra.db";
    std::ofstream(path) << "the old catalogue";
    std::string error;
    EXPECT_FALSE(ReplaceFileAtomically(
        path,
        [](const std::string& temporary, std::string& why) {
            std::ofstream(temporary) << "half a new cata";
            why = "disk full";
            return false;
        },
        error));
    EXPECT_EQ(error, "cannot write " + path + ": disk full");
    EXPECT_FALSE(ReplaceFileAtomically(
        path,
        [](const std::string& temporary, std::string&) -> bool {
            std::ofstream(temporary) << "half";
            throw std::runtime_error("interrupted");
        },
        error));
    EXPECT_EQ(error, "cannot write " + path + ": interrupted");
    // The temporary file cannot be made: its folder is not there.
    const char bytes[] = "new";
    const std::string nowhere = folder / "missing/Nivra.db";
    EXPECT_FALSE(ReplaceFileAtomically(
        nowhere,
        [&](const std::string& temporary, std::string& why) {
            return WriteWholeFile(temporary, bytes, sizeof bytes, why);
        },
        error));
    EXPECT_EQ(error, "cannot write " + nowhere + ": No such file or directory");
    EXPECT_EQ(Slurp(path), "the old catalogue");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    // Writing a catalogue where a folder stands fails and changes nothing.
    std::filesystem::create_directory(folder / "taken");
    EXPECT_FALSE(WriteCatalogueFile(folder / "taken", CatalogueContent{}, error));
    EXPECT_EQ(error, "cannot replace " + folder / "taken" + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));

    ASSERT_TRUE(ReplaceFileAtomically(
        path,
        [](const std::string& temporary, std::string&) {
            std::ofstream(temporary) << "the new catalogue";
            return true;
        },
        error));
    EXPECT_EQ(Slurp(path), "the new catalogue");
}

TEST(SbdbCatalogue, EveryRealEllipticOrbitPassesTheBounds) {
    // SBDB's comets, from the Kreutz sungrazers to the Oort-cloud comets, given SPK-IDs.
    SbdbFile comets = Read(ReadShippedExport("comets.json"), "comets.json");
    std::size_t elliptic = 0;
    for (std::size_t i = 0; i < comets.Bodies.size(); ++i) {
        comets.Bodies[i].SpkId = 1000001 + static_cast<std::uint32_t>(i);
        elliptic += *comets.Bodies[i].Eccentricity.Number < 1;
    }
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue({{"comets.json", comets}}, report);
    EXPECT_EQ(content.Stars.size(), elliptic);
    EXPECT_EQ(elliptic, 1566u);
    for (const std::string& line : report.Refused)
        EXPECT_NE(line.find(": e = "), std::string::npos) << line;
    std::set<std::string> names;
    for (const CatalogueStar& star : content.Stars)
        names.insert(star.Name);
    for (const char* extreme : {"C/2004 R2 (ASAS)", "C/1963 R1 (Pereyra)", "C/1680 V1",
                                "C/2014 UN271 (Bernardinelli-Bernstein)", "1P/Halley"}) {
        EXPECT_TRUE(names.count(extreme)) << extreme;
    }
}

TEST(SbdbCatalogue, UnusableValuesAreNamedAndLeftUnknown) {
    const std::string json = std::string("{") + kAsteroidFields + R"js(,"data":[
      ["  1 Ceres (A801 AA)","1.5","N",null,"nan","inf",null,null,"59800","0.0786","2.77","2.55","10.6","80.3","73.5","334.3","1e-300","1.58","MBA"],
      [null,null,"N",null,"3.3",null,null,null,"59800","0.0786","2.77","2.55","10.6","80.3","73.5","334.3","4.6","1.58","MBA"],
      ["  4 Vesta",2000004,"N",null,"3.2",null,null,null,"59800",0.09,2.36,2.15,7.1,-256.2,1.5e2,61.2,3.6,1.1,"MBA"]
    ]})js";
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue({{"x.json", Read(json)}}, report);
    ASSERT_EQ(content.Stars.size(), 1u);
    EXPECT_EQ(content.Stars[0].Name, "Vesta");
    EXPECT_DOUBLE_EQ(content.Stars[0].AscendingNodeLongitude, 360 - 256.2);  // one turn back
    EXPECT_EQ(report.Refused, (std::vector<std::string>{
                                  "x.json: 1 Ceres (A801 AA): spkid = 1.5 is not an SPK-ID (a "
                                  "whole number from 1 to 4294967295); not loaded",
                                  "x.json: row 2: no full_name; not loaded"}));

    // The same Ceres with a usable SPK-ID: loaded, its unusable values left unknown.
    const std::string ceres = std::string("{") + kAsteroidFields + R"js(,"data":[
      ["  1 Ceres (A801 AA)",null,"N",null,"nan","inf",null,null,"59800","0.0786","2.77","2.55","10.6","80.3","73.5","334.3","1e-300","1.58","MBA"]]})js";
    report = {};
    const CatalogueContent loaded = BuildCatalogue({{"x.json", Read(ceres)}}, report);
    ASSERT_EQ(loaded.Stars.size(), 1u);
    EXPECT_EQ(loaded.Stars[0].Diameter, 0.0);
    EXPECT_EQ(loaded.Stars[0].AbsoluteMagnitude, 0.0);
    EXPECT_NEAR(loaded.Stars[0].OrbitalPeriod, 4.61 * 365.25, 5.0);  // Kepler's, from a
    ASSERT_EQ(report.Notes.size(), 3u);
    EXPECT_EQ(
        report.Notes[0].rfind("x.json: 1 Ceres (A801 AA): per_y = 1e-300 is not the period", 0),
        0u);
    EXPECT_EQ(report.Notes[1],
              "x.json: 1 Ceres (A801 AA): H = nan is not a finite number; left unknown");
    EXPECT_EQ(report.Notes[2],
              "x.json: 1 Ceres (A801 AA): diameter = inf is not a finite number; left unknown");
}

TEST(ElementBounds, EachBoundHoldsAtItsEdge) {
    struct Case {
        ElementKind Kind;
        double Value;
        bool Plausible;
    };
    const Case cases[] = {
        {ElementKind::Eccentricity, 0.0, true},
        {ElementKind::Eccentricity, 0.99999999, true},
        {ElementKind::Eccentricity, 1.0, false},
        {ElementKind::Eccentricity, -1e-9, false},
        {ElementKind::PerihelionDistance, kMinPerihelionDistance, true},
        {ElementKind::PerihelionDistance, 0.99 * kMinPerihelionDistance, false},
        {ElementKind::SemiMajorAxis, kMinSemiMajorAxis, true},
        {ElementKind::SemiMajorAxis, 0.99 * kMinSemiMajorAxis, false},
        {ElementKind::SemiMajorAxis, kMaxSemiMajorAxis, true},
        {ElementKind::SemiMajorAxis, 1.01 * kMaxSemiMajorAxis, false},
        {ElementKind::Inclination, 0.0, true},
        {ElementKind::Inclination, 180.0, true},
        {ElementKind::Inclination, 180.001, false},
        {ElementKind::Inclination, -0.001, false},
        {ElementKind::Angle, -360.0, true},
        {ElementKind::Angle, 720.0, true},
        {ElementKind::Angle, 720.5, false},
        {ElementKind::JulianDay, 0.0, true},
        {ElementKind::JulianDay, 5373484.5, true},
        {ElementKind::JulianDay, 2459800.5 + 1e9, false},
        {ElementKind::Angle, NAN, false},
        {ElementKind::JulianDay, INFINITY, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BoundProblem(c.Kind, c.Value).empty(), c.Plausible)
            << static_cast<int>(c.Kind) << " " << c.Value;
    }
    // A catalogue row is checked on the semi-major axis it implies, too.
    EXPECT_EQ(ElementsProblem({2.55, 0.0786, 10.6, 80.3, 73.5, 334.3, 2459800.5}), "");
    EXPECT_EQ(ElementsProblem({1.0, 0.99999999999, 10.6, 80.3, 73.5, 334.3, 2459800.5})
                  .rfind("a = q / (1 - e) = ", 0),
              0u);
    EXPECT_EQ(ElementsProblem({1e-8, 0.999, 5.6, 125.5, 136.1, 359.9999, 2459800.5}),
              "q = 1e-08 is below 0.0001 au");
}

namespace {

// The bodies of an export read from a file as nivra-data reads it, in pieces.
SbdbFile ReadFile(const std::string& path, const std::string& name) {
    SbdbFile file;
    file.Error =
        ReadSbdbFile(path, name, [&](const SbdbBody& body) { file.Bodies.push_back(body); });
    return file;
}

std::string Describe(const SbdbFile& file) {
    std::string text = file.Error + "\n";
    for (const SbdbBody& body : file.Bodies) {
        text += std::to_string(body.Row) + "|" + body.FullName + "|" + body.SpkIdText + "|" +
                body.OrbitClass + "|" + (body.Neo ? "neo" : "") + "|" +
                (body.Pha ? (*body.Pha ? "pha" : "not pha") : "") + "|";
        for (const SbdbValue* value : {&body.Eccentricity, &body.Inclination, &body.Epoch,
                                       &body.PeriodDays, &body.MeanMotion, &body.Diameter}) {
            text += value->Quoted();
            if (value->Number) {
                text += '=';
                text += std::to_string(*value->Number);
            }
            text += "|";
        }
        text += "\n";
    }
    return text;
}

}  // namespace

// The export is read as a stream of values: what a whole-file JSON reader gave, value for value,
// from memory, from a file read in pieces and from a pipe read once.
TEST(SbdbReader, ReadsEveryValueAsWrittenFromMemoryFilesAndPipes) {
    TempFolder folder;
    const std::string bigger = [] {
        // Rows past the reader's 64 KiB pieces.
        std::string rows;
        for (int i = 0; i < 3000; ++i) {
            rows += R"js(,["  )js" + std::to_string(10 + i) +
                    R"js( Body","N",0.1,"10","59800","4.6",null,"12.5"])js";
        }
        return rows;
    }();
    const std::string json =
        R"js({"signature":{"version":"1.0","n":[1e300,-0.0]},
        "fields":["Full_Name","neo","e","i","epoch.mjd","per.y","n","diameter","full_name"],
        "data":[["\u00a0\u2003 1 Ceres (A801 AA)\t","y",-0,"+10.5"," 59800 ","4.6","0.214"," 1e5 ","x"],
                ["2 Pallas","TRUE",0.5e-320,"1e-400","59800","inf",true,"0x10"],
                [5,"1",1E2,[1,2],{"a":1},"-nan","nan","1,5"],
                ["\u0000x","no","1.",".5","+-1","1e","",null])js" +
        bigger + "]}";
    const SbdbFile memory = Read(json, "x.json");
    ASSERT_EQ(memory.Error, "");
    ASSERT_EQ(memory.Bodies.size(), 3004u);
    const SbdbBody& ceres = memory.Bodies[0];
    EXPECT_EQ(ceres.FullName, "1 Ceres (A801 AA)");  // Unicode blanks trimmed, first column wins
    EXPECT_TRUE(ceres.Neo);
    EXPECT_EQ(ceres.Eccentricity.Quoted(), "e = 0");  // the integer -0 has no sign
    EXPECT_EQ(ceres.Inclination.Text, "+10.5");
    EXPECT_EQ(*ceres.Inclination.Number, 10.5);
    EXPECT_EQ(*ceres.Epoch.Number, 59800 + 2400000.5);
    EXPECT_EQ(ceres.Diameter.Text, "1e5");
    const SbdbBody& pallas = memory.Bodies[1];
    EXPECT_TRUE(pallas.Neo);
    EXPECT_EQ(pallas.Eccentricity.Quoted(), "e = 5e-321");  // a subnormal is a number
    EXPECT_FALSE(pallas.Inclination.Number);                // 1e-400 is none: underflow
    EXPECT_EQ(pallas.MeanMotion.Text, "true");
    EXPECT_FALSE(pallas.MeanMotion.Number);
    EXPECT_FALSE(pallas.Diameter.Number);  // no hexadecimal
    EXPECT_EQ(memory.Bodies[2].FullName, "5");
    EXPECT_EQ(memory.Bodies[2].Eccentricity.Quoted(), "e = 100");
    EXPECT_FALSE(memory.Bodies[2].Inclination.Given());  // an array is no value
    EXPECT_FALSE(memory.Bodies[2].Diameter.Number);
    EXPECT_EQ(memory.Bodies[3].FullName, std::string("\0x", 2));
    EXPECT_EQ(*memory.Bodies[3].Eccentricity.Number, 1.0);
    EXPECT_EQ(*memory.Bodies[3].Inclination.Number, 0.5);
    EXPECT_FALSE(memory.Bodies[3].AscendingNode.Number);
    EXPECT_EQ(memory.Bodies[3003].Row, 3004);

    std::ofstream(folder / "x.json") << json;
    EXPECT_EQ(Describe(ReadFile(folder / "x.json", "x.json")), Describe(memory));
    const std::string fifo = folder / "pipe.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo) << json; });
    const SbdbFile piped = ReadFile(fifo, "pipe.json");
    writer.join();
    EXPECT_EQ(Describe(piped), Describe(memory));

    // What makes a file unreadable as a whole, from memory and from a file alike.
    const std::pair<std::string, std::string> broken[] = {
        {R"js({"fields":["full_name"],"data":[[1e400]]})js", "not JSON (number too big"},
        {R"js({"fields":["full_name"],"data":[[1e-400]]})js",
         "not JSON (a number too large or too small"},
        {R"js({"fields":["full_name"],"data":[["\ud800"]]})js", "not JSON ("},
        // A low surrogate without its high one, in a value, a field name or a key.
        {R"js({"fields":["full_name"],"data":[["\udc00"]]})js",
         "not JSON (the surrogate pair in string is invalid"},
        {R"js({"fields":["full_name"],"data":[["Ceres \uDFFF x"]]})js",
         "not JSON (the surrogate pair in string is invalid"},
        {R"js({"fields":["full_name","\udc00"],"data":[["a"]]})js",
         "not JSON (the surrogate pair in string is invalid"},
        {R"js({"fields":["full_name"],"data":[["a"]],"\udbff\udfff\udc00":1})js",
         "not JSON (the surrogate pair in string is invalid"},
        {"{\"fields\":[\"full_name\"],\"data\":[[\"\xff\"]]}", "not JSON ("},
        {R"js({"fields":["full_name"],"data":[[1]]} x)js", "not JSON ("},
        {"", "not JSON ("},
        {"[1,2]", "not an SBDB Query API export"},
        {"12", "not an SBDB Query API export"},
        {R"js({"fields":["full_name"],"data":[[1]],"data":{}})js", "not an SBDB Query API export"},
        {R"js({"fields":["e"],"data":[[1]],"fields":["x"]})js", "the export has no full_name"},
        {R"js({"fields":["full_name"],"data":[["a"],3,[]]})js", "row 2 of \"data\" is not"},
    };
    for (const auto& [text, error] : broken) {
        const SbdbFile read = Read(text, "b.json");
        EXPECT_EQ(read.Error.rfind("b.json: " + error, 0), 0u) << text << ": " << read.Error;
        EXPECT_TRUE(read.Bodies.empty()) << text;
        std::ofstream(folder / "b.json", std::ios::trunc) << text;
        const SbdbFile fromFile = ReadFile(folder / "b.json", "b.json");
        EXPECT_EQ(fromFile.Error, read.Error) << text;
        EXPECT_TRUE(fromFile.Bodies.empty()) << text;
    }
    // A surrogate pair is one character.
    const SbdbFile paired =
        Read(R"js({"fields":["full_name"],"data":[["\ud83c\udf1f \u00e9"]]})js");
    ASSERT_EQ(paired.Error, "");
    EXPECT_EQ(paired.Bodies[0].FullName, "\xF0\x9F\x8C\x9F \xC3\xA9");
    // Of a key given twice, the last value counts.
    const SbdbFile twice =
        Read(R"js({"fields":["e"],"data":[["a"]],"fields":["full_name"],"data":[["b"],["c"]]})js");
    ASSERT_EQ(twice.Bodies.size(), 2u);
    EXPECT_EQ(twice.Bodies[0].FullName, "b");
    EXPECT_EQ(ReadFile(folder / "missing.json", "missing.json").Error,
              "missing.json: cannot read (No such file or directory)");
    EXPECT_EQ(ReadFile(folder.Path(), "folder").Error, "folder: cannot read (Is a directory)");
}

// Names and values lose exactly the blanks QString::trimmed() would take off.
TEST(SbdbReader, TrimsTheBlanksOfEveryKind) {
    for (char16_t code = 1; code < 0x3100; ++code) {
        if (code >= 0xD800 && code < 0xE000)
            continue;  // a lone surrogate is no text
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(code));
        const SbdbFile file = Read(std::string(R"js({"fields":["full_name"],"data":[[")js") +
                                   escaped + "Ceres" + escaped + R"js("]]})js");
        ASSERT_EQ(file.Error, "") << static_cast<unsigned>(code);
        const QString blank(QChar(static_cast<ushort>(code)));
        EXPECT_EQ(QString::fromStdString(file.Bodies[0].FullName),
                  (blank + "Ceres" + blank).trimmed())
            << static_cast<unsigned>(code);
    }
}

// A catalogue built from files streams each row into the database; problems shared by many
// bodies are summed up, and what is built equals the catalogue built in memory.
TEST(SbdbCatalogue, ExportsStreamIntoTheSameCatalogueWithProblemsSummedUp) {
    TempFolder folder;
    const std::string asteroids = folder / "asteroids.json";
    const std::string comets = folder / "comets.json";
    std::ofstream(asteroids) << ReadShippedExport("asteroids.json");
    std::ofstream(comets) << ReadShippedExport("comets.json");
    std::vector<std::tuple<ProblemKind, std::string, std::string>> problems;
    const CatalogueFileOutcome built = WriteCatalogueFromExports(
        folder / "Nivra.db", {asteroids, comets}, folder / "Datas",
        [&](ProblemKind kind, const std::string& line, const std::string& reason) {
            problems.emplace_back(kind, line, reason);
        });
    ASSERT_EQ(built.Outcome, CatalogueFileOutcome::Result::Written) << built.Error;
    EXPECT_EQ(built.Stars, 3808u);
    EXPECT_EQ(built.StarsWithFiles, 0u);

    CatalogueReport report;
    const CatalogueContent content =
        BuildCatalogue({{asteroids, Read(ReadShippedExport("asteroids.json"), asteroids)},
                        {comets, Read(ReadShippedExport("comets.json"), comets)}},
                       report);
    EXPECT_EQ(built.Classes, content.Classes.size());
    ASSERT_EQ(problems.size(), report.WithoutSpkId.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
        EXPECT_EQ(std::get<0>(problems[i]), ProblemKind::WithoutSpkId);
        EXPECT_EQ(std::get<1>(problems[i]), report.WithoutSpkId[i]);
    }
    std::string error;
    const std::string path = folder / "Nivra.db";
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(path, error);
    ASSERT_TRUE(catalogue) << error;
    const auto rows = QueryStarChoices(*catalogue, 0);
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), content.Stars.size());
    for (std::size_t i = 0; i < rows->size(); ++i) {
        EXPECT_EQ((*rows)[i].Id, content.Stars[i].SpkId);
        EXPECT_EQ((*rows)[i].Name, content.Stars[i].Name);
    }

    ProblemSummary summary;
    for (const auto& [kind, line, reason] : problems)
        summary.Add(kind, line, reason);
    // Three bodies refused for their e, and two copies of one SPK-ID.
    summary.Add(ProblemKind::Refused, "x: 1 A: e = 2 is not below 1 (an ellipse); not loaded",
                "e is not below 1 (an ellipse)");
    summary.Add(ProblemKind::Note, "x: 1 A: H = nan is not a finite number; left unknown",
                "H is not a finite number; left unknown");
    const std::vector<std::string> lines = summary.Lines();
    ASSERT_EQ(lines.size(), 2u + ProblemSummary::kShownPerReason + 1);
    EXPECT_EQ(lines[0], "x: 1 A: e = 2 is not below 1 (an ellipse); not loaded");
    for (std::size_t i = 0; i < ProblemSummary::kShownPerReason; ++i)
        EXPECT_EQ(lines[1 + i], report.WithoutSpkId[i]);
    EXPECT_EQ(lines[1 + ProblemSummary::kShownPerReason],
              std::to_string(report.WithoutSpkId.size() - ProblemSummary::kShownPerReason) +
                  " more bodies left out for the same reason: no SPK-ID (neither a spkid field "
                  "nor an asteroid number)");
    EXPECT_EQ(lines.back(), "x: 1 A: H = nan is not a finite number; left unknown");
    EXPECT_EQ(summary.Count(ProblemKind::WithoutSpkId), report.WithoutSpkId.size());
}
