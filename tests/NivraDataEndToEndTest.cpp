// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "astro/OrbitalFormulas.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/StarFile.h"
#include "drawing/Imaging.h"
#include "ephemeris/Orbit.h"
#include "tests/support/TestData.h"
#include "writers/CatalogueFile.h"
#include "writers/EphemerisFile.h"

using TestData::TempFolder;

namespace {

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

ToolRun NivraData(const QStringList& arguments) {
    QProcess process;
    process.start(NIVRA_DATA_EXECUTABLE, arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

}  // namespace

TEST(NivraData, SampleBuildsACompleteProgramFolder) {
    TempFolder folder;
    const std::string sample = folder / "sample";
    const ToolRun run = NivraData({"sample", QString::fromStdString(sample)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("3808 stars in the catalogue, 40 ephemeris files"), std::string::npos)
        << run.out;

    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(sample + "/Datas")) {
        EXPECT_EQ(entry.path().extension(), ".Nvr");
        ++files;
    }
    EXPECT_EQ(files, 40);
    EXPECT_TRUE(std::filesystem::is_directory(sample + "/Images"));
    EXPECT_TRUE(std::filesystem::is_empty(sample + "/Images"));
    for (const char* picture : {"/Configuration/Background.jpg", "/Configuration/BckAbout.jpg"}) {
        Imaging::LoadedImage image;
        EXPECT_EQ(Imaging::LoadJpeg(QString::fromStdString(sample + picture), image), 0) << picture;
        EXPECT_GT(image.Width, 300);
    }

    std::string error;
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(sample + "/Nivra.db", error);
    ASSERT_TRUE(catalogue);
    const auto list = QueryStarList(*catalogue);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 40u);
    const auto trojans = QueryStarChoices(*catalogue, 9);
    ASSERT_TRUE(trojans);
    EXPECT_EQ(trojans->size(), 5u);
    std::optional<StarFile> ceres = LoadStarFile(StarFilePath(sample + "/Datas", 2000001));
    ASSERT_TRUE(ceres);
    EXPECT_EQ(ceres->Header().FirstYear, 2000);
    EXPECT_EQ(ceres->Header().LastYear, 2019);
    int records = 0;
    for (EphemerisRecord record : ceres->FirstRecord()) {
        (void)record;
        ++records;
    }
    EXPECT_EQ(records, 7305);
}

TEST(NivraData, CatalogueCommandNamesRefusedBodiesAndReplacesTheOldCatalogue) {
    TempFolder folder;
    const std::string out = folder / "Nivra.db";
    std::ofstream(folder / "good.json")
        << R"js({"fields":["full_name","e","q","i","om","w","ma","epoch_mjd","class"],
        "data":[["  1 Ceres (A801 AA)",".0786","2.549","10.59","80.27","73.53","334.33","59800","MBA"],
                ["  2 Pallas (A802 FA)",null,"2.13","34.9","172.9","310.8","315.1","59800","MBA"]]})js";
    std::ofstream(out) << "old";
    ToolRun run = NivraData({"catalogue", "--out", QString::fromStdString(out),
                             QString::fromStdString(folder / "good.json")});
    EXPECT_EQ(run.exitCode, 3) << run.err;  // written, with a body left out
    EXPECT_NE(run.err.find("good.json: 2 Pallas (A802 FA): missing e; not loaded"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("1 stars"), std::string::npos) << run.out;
    std::string error;
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(out, error);
    ASSERT_TRUE(catalogue);
    EXPECT_EQ(QueryStarChoices(*catalogue, 0)->size(), 1u);

    run = NivraData({"ephemeris", "--catalogue", QString::fromStdString(out), "--out",
                     QString::fromStdString(folder / "Datas"), "--from", "1800"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--from takes a year from 1900 to 2100"), std::string::npos);
    run = NivraData({"frobnicate"});
    EXPECT_EQ(run.exitCode, 2);
}

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitPartly = 3;
constexpr int kExitNotWritten = 4;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Runs nivra-data; a run still going after `guardSeconds` is killed and reported as hung. The
// guard only stops a hung run from stalling the suite: it is far above any normal duration.
struct GuardedRun {
    bool Hung = false;
    bool Crashed = false;  // ended by a signal
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

GuardedRun NivraDataGuarded(const QStringList& arguments, int guardSeconds = 600) {
    QProcess process;
    process.start(NIVRA_DATA_EXECUTABLE, arguments);
    GuardedRun run;
    if (!process.waitForFinished(guardSeconds * 1000)) {
        run.Hung = true;
        process.kill();
        process.waitForFinished();
    }
    run.Crashed = !run.Hung && process.exitStatus() == QProcess::CrashExit;
    run.ExitCode = process.exitCode();
    run.Out = process.readAllStandardOutput().toStdString();
    run.Err = process.readAllStandardError().toStdString();
    return run;
}

constexpr const char* kGoodExport =
    R"js({"fields":["full_name","e","q","i","om","w","ma","epoch_mjd","class"],
    "data":[["  1 Ceres (A801 AA)",".0786","2.549","10.59","80.27","73.53","334.33","59800","MBA"],
            ["  4 Vesta (A807 FA)",".0894","2.149","7.14","103.8","151.2","26.8","59800","MBA"]]})js";

// A catalogue row with the elements of Ceres, changed by the caller.
CatalogueStar CeresRow(std::uint32_t id) {
    CatalogueStar star;
    star.SpkId = id;
    star.Name = "Star " + std::to_string(id);
    star.FullName = star.Name;
    star.OrbiteType = 1;
    star.Eccentricity = 0.0786;
    star.PerihelionDistance = 2.549;
    star.SemiMajorAxis = 2.549 / (1 - 0.0786);
    star.Inclination = 10.59;
    star.AscendingNodeLongitude = 80.27;
    star.ArgumentPerihelion = 73.53;
    star.MeanAnomaly = 334.33;
    star.Epoch = 2459800.5;
    return star;
}

// A folder holding good.json and the catalogue Nivra.db built from it.
struct GoodFolder {
    TempFolder Folder;
    std::string Out = Folder / "Nivra.db";
    std::string Datas = Folder / "Datas";
    QStringList Catalogue = {"catalogue", "--out", Q(Out), Q(Folder / "good.json")};
    QStringList Ephemeris = {"ephemeris", "--catalogue", Q(Out), "--out", Q(Datas),
                             "--from",    "2020",        "--to", "2020"};
    GoodFolder() {
        std::ofstream(Folder / "good.json") << kGoodExport;
        EXPECT_EQ(NivraData(Catalogue).exitCode, 0);
    }
};

std::set<std::uint32_t> MarkedStars(const std::string& catalogue) {
    std::string error;
    std::unique_ptr<Catalogue> db = Catalogue::Open(catalogue, error);
    std::set<std::uint32_t> ids;
    if (!db)
        return ids;
    for (const auto& row : QueryStarList(*db).value_or(std::vector<StarListRow>{}))
        ids.insert(row.Id);
    return ids;
}

}  // namespace

TEST(NivraDataCatalogue, ABadExportNeverReplacesAGoodCatalogue) {
    const GoodFolder good;
    const TempFolder& folder = good.Folder;
    const std::string& out = good.Out;
    const std::string before = Slurp(out);

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"truncated.json", R"js({"fields":[)js"},
        {"empty.json", ""},
        {"array.json", "[1,2,3]"},
        {"html.json", "<html>not found</html>"},
        {"noname.json", R"js({"fields":["e","q"],"data":[[0.1,2.0]]})js"},
        {"rows.json", R"js({"fields":["full_name","e"],"data":[1,2]})js"},
    };
    for (const auto& [name, text] : bad) {
        std::ofstream(folder / name) << text;
        for (const QStringList& files : {QStringList{Q(folder / name)},
                                         QStringList{Q(folder / "good.json"), Q(folder / name)}}) {
            const ToolRun run = NivraData(QStringList{"catalogue", "--out", Q(out)} + files);
            EXPECT_EQ(run.exitCode, kExitFailed) << name << "\n" << run.err;
            EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
            EXPECT_TRUE(Slurp(out) == before) << name << " changed the catalogue";
        }
    }
    EXPECT_EQ(NivraData({"catalogue", "--out", Q(out), Q(folder / "missing.json")}).exitCode,
              kExitFailed);
    EXPECT_TRUE(Slurp(out) == before);
    // An export whose every body is refused.
    std::ofstream(folder / "refused.json")
        << R"js({"fields":["full_name","e","q","i","om","w","ma","epoch_mjd"],
        "data":[["  2 Pallas (A802 FA)",null,"2.13","34.9","172.9","310.8","315.1","59800"]]})js";
    const ToolRun refused = NivraData({"catalogue", "--out", Q(out), Q(folder / "refused.json")});
    EXPECT_EQ(refused.exitCode, kExitFailed) << refused.err;
    EXPECT_NE(refused.err.find("no body could be loaded"), std::string::npos) << refused.err;
    EXPECT_TRUE(Slurp(out) == before);
}

TEST(NivraDataCatalogue, EveryRefusedBodyIsNamedWithItsValueAsWritten) {
    TempFolder folder;
    const std::string out = folder / "Nivra.db";
    // Rows 2 on each break one bound; the last two have no usable SPK-ID or a NUL in the name.
    std::ofstream(folder / "hostile.json")
        << R"js({"fields":["full_name","e","a","q","i","om","w","ma","epoch_mjd","diameter"],
      "data":[["  1 Ceres (A801 AA)",".0786",null,"2.549","10.59","80.27","73.53","334.33","59800","inf"],
              ["  11 Parthenope","1.0000001",null,"2.2","4.6","125.5","195.8","10.2","59800",null],
              ["  12 Victoria",1.0000001,null,"2.2","4.6","125.5","195.8","10.2","59800",null],
              ["  13 Egeria","0.08",null,"2.3","180.5","43.2","80.3","55.1","59800",null],
              ["  14 Irene","0.16",null,"2.1","9.1","nan","98.1","77.4","59800",null],
              ["  15 Eunomia","0.19",null,"2.1","11.8","292.9","1e5","16.1","59800",null],
              ["  16 Psyche","0.13","1e200",null,"3.1","150.0","229.1","143.1","59800",null],
              ["  17 Thetis","0.999",null,"1e-8","5.6","125.5","136.1","359.9999","59800",null],
              ["  18 Melpomene","0.22",null,"1.8","10.1","150.4","228.1","80.2","1000000000",null],
              ["(2004 XX)","0.09",null,"2.15","7.1","103.8","151.3","61.2","59800",null],
              ["  19 Fortu\u0000na","0.16",null,"2.0","1.6","211.1","182.1","33.1","59800",null]]})js";
    const ToolRun run = NivraData({"catalogue", "--out", Q(out), Q(folder / "hostile.json")});
    EXPECT_EQ(run.exitCode, kExitPartly) << run.err;
    for (const char* expected :
         {"11 Parthenope: e = 1.0000001", "12 Victoria: e = 1.0000001", "13 Egeria: i = 180.5",
          "14 Irene: om = nan", "15 Eunomia: w = 1e5", "16 Psyche: a = 1e200",
          "17 Thetis: q = 1e-8", "18 Melpomene: epoch_mjd = 1000000000", "(2004 XX): no SPK-ID",
          "19 Fortu\\u0000na", "1 Ceres (A801 AA): diameter = inf"}) {
        EXPECT_NE(run.err.find(expected), std::string::npos) << expected << "\n" << run.err;
    }
    std::string error;
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(out, error);
    ASSERT_TRUE(catalogue) << error;
    const auto stars = QueryStarChoices(*catalogue, 0);
    ASSERT_TRUE(stars);
    ASSERT_EQ(stars->size(), 1u);
    EXPECT_EQ((*stars)[0].Name, "Ceres");
    const auto ceres = QueryStarInfo(*catalogue, 2000001);
    ASSERT_TRUE(ceres);
    EXPECT_EQ(ceres->Diameter, 0.0);  // "inf" is not a diameter: unknown
}

TEST(NivraDataEphemeris, HostileRowsNeverKillHangOrMarkAndTheOthersAreWritten) {
    TempFolder folder;
    const std::string catalogue = folder / "Nivra.db";
    CatalogueContent content;
    content.Classes = {{0, "All stars", ""}, {1, "Main-belt Asteroid", "MBA"}};
    content.Stars.push_back(CeresRow(2000001));
    CatalogueStar farEpoch = CeresRow(2000002);
    farEpoch.Epoch += 1e9;
    CatalogueStar grazer = CeresRow(2000003);
    grazer.Eccentricity = 0.999;
    grazer.PerihelionDistance = 1e-8;
    grazer.MeanAnomaly = 359.9999;
    CatalogueStar huge = CeresRow(2000004);
    huge.Eccentricity = 0.1;
    huge.PerihelionDistance = 0.9e200;
    content.Stars.push_back(farEpoch);
    content.Stars.push_back(grazer);
    content.Stars.push_back(huge);
    std::string error;
    ASSERT_TRUE(WriteCatalogueFile(catalogue, content, error)) << error;

    const std::string datas = folder / "Datas";
    for (const char* model : {"", "--two-body"}) {
        QStringList arguments = {"ephemeris", "--catalogue", Q(catalogue), "--out", Q(datas),
                                 "--from",    "2020",        "--to",       "2020"};
        if (*model != '\0')
            arguments << model;
        const GuardedRun run = NivraDataGuarded(arguments);
        ASSERT_FALSE(run.Hung) << model;
        ASSERT_FALSE(run.Crashed) << model << "\n" << run.Err;
        EXPECT_EQ(run.ExitCode, kExitPartly) << model << "\n" << run.Err;
        for (const char* named :
             {"2000002 Star 2000002", "2000003 Star 2000003", "2000004 Star 2000004"}) {
            EXPECT_NE(run.Err.find(named), std::string::npos) << model << "\n" << run.Err;
        }
        EXPECT_TRUE(ReadEphemerisFile(StarFilePath(datas, 2000001), error)) << error;
        for (std::uint32_t id : {2000002u, 2000003u, 2000004u})
            EXPECT_FALSE(std::filesystem::exists(StarFilePath(datas, id))) << id;
        EXPECT_EQ(MarkedStars(catalogue), std::set<std::uint32_t>{2000001});
    }
}

TEST(NivraDataCatalogue, ARebuildKeepsTheMarksOfValidFilesAndTheFileMode) {
    const GoodFolder good;
    const std::string& out = good.Out;
    const std::string& datas = good.Datas;
    const QStringList& catalogue = good.Catalogue;
    ASSERT_EQ(NivraData(good.Ephemeris).exitCode, 0);
    ASSERT_EQ(MarkedStars(out), (std::set<std::uint32_t>{2000001, 2000004}));

    // Vesta's file loses its end; the catalogue is made private to its owner.
    const std::string vesta = StarFilePath(datas, 2000004);
    std::filesystem::resize_file(vesta, std::filesystem::file_size(vesta) / 2);
    namespace fs = std::filesystem;
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    ASSERT_EQ(NivraData(catalogue).exitCode, 0);
    EXPECT_EQ(MarkedStars(out), std::set<std::uint32_t>{2000001});
    EXPECT_EQ(fs::status(out).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST(NivraDataEphemeris, StaleTemporaryFilesOfKilledRunsAreRemoved) {
    const GoodFolder good;
    const TempFolder& folder = good.Folder;
    const std::string& out = good.Out;
    const std::string& datas = good.Datas;
    QProcess finished;  // its process id is free once it has ended
    finished.start("true", QStringList{});
    ASSERT_TRUE(finished.waitForStarted());
    const std::string dead = std::to_string(finished.processId());
    finished.waitForFinished();
    const std::string alive = std::to_string(getpid());
    std::filesystem::create_directories(datas);
    const std::vector<std::string> stale = {datas + "/2000001.Nvr.part-" + dead,
                                            datas + "/2000004.Nvr.part-" + dead,
                                            out + ".part-" + dead};
    const std::vector<std::string> kept = {datas + "/2000001.Nvr.part-" + alive,
                                           datas + "/notes.txt.part-" + dead,
                                           folder / ("other.db.part-" + dead)};
    for (const std::string& path : stale)
        std::ofstream(path) << "half a file";
    for (const std::string& path : kept)
        std::ofstream(path) << "not ours to remove";
    const ToolRun run = NivraData({"ephemeris", "--catalogue", Q(out), "--out", Q(datas), "--from",
                                   "2020", "--to", "2020", "--spk", "2000001"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& path : stale)
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    for (const std::string& path : kept)
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

TEST(NivraDataCatalogue, OnlyAFileIsReplacedAndALinkStillLeadsWhereItDid) {
    namespace fs = std::filesystem;
    const GoodFolder good;
    const TempFolder& folder = good.Folder;
    const std::string json = folder / "good.json";
    const std::string exported = Slurp(json);

    // The export named as the catalogue too: refused before anything is written.
    ToolRun run = NivraData({"catalogue", "--out", Q(json), Q(json)});
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(Slurp(json), exported);

    // A pipe or a folder under the catalogue's name is not replaced.
    ASSERT_EQ(::mkfifo((folder / "pipe.db").c_str(), 0644), 0);
    fs::create_directory(folder / "folder.db");
    for (const auto& [name, why] : {std::pair{"pipe.db", "not a regular file"},
                                    std::pair{"folder.db", "Is a directory"}}) {
        run = NivraData({"catalogue", "--out", Q(folder / name), Q(json)});
        EXPECT_EQ(run.exitCode, kExitNotWritten) << name;
        EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
    }
    EXPECT_EQ(fs::status(folder / "pipe.db").type(), fs::file_type::fifo);

    // The catalogue named through a symbolic link: the file it leads to is rebuilt, and a mark
    // set through the link reaches it too. A link under a star's name in the ephemeris folder
    // (which others may write into) is replaced itself: it never leads the write elsewhere.
    fs::create_directory(folder / "store");
    fs::rename(good.Out, folder / "store/Nivra.db");
    fs::create_symlink("store/Nivra.db", good.Out);
    fs::create_directories(good.Datas);
    std::ofstream(folder / "elsewhere") << "not a star's";
    fs::create_symlink(folder / "elsewhere", StarFilePath(good.Datas, 2000001));
    ASSERT_EQ(NivraData(good.Catalogue).exitCode, 0);
    ASSERT_EQ(NivraData(good.Ephemeris).exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(good.Out));
    EXPECT_EQ(MarkedStars(folder / "store/Nivra.db"), (std::set<std::uint32_t>{2000001, 2000004}));
    EXPECT_FALSE(fs::is_symlink(StarFilePath(good.Datas, 2000001)));
    EXPECT_EQ(Slurp(folder / "elsewhere"), "not a star's");
}

TEST(NivraDataCatalogue, MessagesNameTheFileAskedForAndTheSystemsReason) {
    TempFolder folder;
    std::ofstream(folder / "good.json") << kGoodExport;
    // A folder that is not there is made; one that cannot be (a file in the way) is named with
    // the system's reason.
    const std::string made = folder / "missing/Nivra.db";
    EXPECT_EQ(NivraData({"catalogue", "--out", Q(made), Q(folder / "good.json")}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(made));
    std::ofstream(folder / "file") << "in the way";
    const std::string out = folder / "file/Nivra.db";
    const ToolRun run = NivraData({"catalogue", "--out", Q(out), Q(folder / "good.json")});
    EXPECT_EQ(run.exitCode, kExitNotWritten);
    EXPECT_NE(run.err.find("cannot create " + folder / "file: "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(".part-"), std::string::npos) << run.err;
}

namespace {

// Every .Nvr file of `datas` reads completely, the catalogue opens, and every star it marks has
// a complete file.
void ExpectCompleteFilesAndConsistentMarks(const std::string& catalogue, const std::string& datas,
                                           const std::string& when) {
    std::string error;
    if (std::filesystem::is_directory(datas)) {
        for (const auto& entry : std::filesystem::directory_iterator(datas)) {
            if (entry.path().extension() != ".Nvr")
                continue;
            EXPECT_TRUE(ReadEphemerisFile(entry.path().string(), error)) << when << ": " << error;
        }
    }
    std::unique_ptr<Catalogue> db = Catalogue::Open(catalogue, error);
    ASSERT_TRUE(db) << when << ": " << error;
    ASSERT_TRUE(QueryStarChoices(*db, 0)) << when;
    EXPECT_EQ(QueryStarChoices(*db, 0)->size(), 2u) << when;
    for (std::uint32_t id : MarkedStars(catalogue))
        EXPECT_TRUE(ReadEphemerisFile(StarFilePath(datas, id), error)) << when << ": " << error;
}

// Runs nivra-data with the rename killer preloaded; true when the run was killed.
bool KilledAtRename(const QStringList& arguments, const char* variable, int call) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", NIVRA_KILL_AT_RENAME_LIBRARY);
    // Under AddressSanitizer a preloaded library comes before the sanitizer's runtime; that is
    // intended here.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") +
                                           ":verify_asan_link_order=0");
    environment.insert(variable, QString::number(call));
    process.setProcessEnvironment(environment);
    process.start(NIVRA_DATA_EXECUTABLE, arguments);
    process.waitForFinished(600000);
    return process.exitStatus() == QProcess::CrashExit;
}

// Runs the tests' build of nivra-data told to stop dead after `count` rows or records; true when
// it did stop.
bool StoppedAfter(const QStringList& arguments, const char* variable, int count) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(variable, QString::number(count));
    process.setProcessEnvironment(environment);
    process.start(NIVRA_DATA_FAULTS_EXECUTABLE, arguments);
    process.waitForFinished(600000);
    return process.exitStatus() == QProcess::CrashExit;
}

}  // namespace

TEST(NivraDataEphemeris, AKillAtAnyMomentLeavesCompleteFilesAndAConsistentCatalogue) {
    const GoodFolder good;
    const TempFolder& folder = good.Folder;
    const std::string& out = good.Out;
    const std::string& datas = good.Datas;
    const QStringList& catalogue = good.Catalogue;
    const QStringList& ephemeris = good.Ephemeris;

    // A run renames each star's file into place, then the marked catalogue.
    for (int call = 1; call <= 3; ++call) {
        for (const char* variable : {"NIVRA_KILL_BEFORE_RENAME", "NIVRA_KILL_AT_RENAME"}) {
            const std::string when = std::string(variable) + "=" + std::to_string(call);
            EXPECT_TRUE(KilledAtRename(ephemeris, variable, call)) << when;
            ExpectCompleteFilesAndConsistentMarks(out, datas, when);
        }
    }
    for (const char* variable : {"NIVRA_KILL_BEFORE_RENAME", "NIVRA_KILL_AT_RENAME"}) {
        EXPECT_TRUE(KilledAtRename(catalogue, variable, 1)) << variable;
        ExpectCompleteFilesAndConsistentMarks(out, datas, std::string("catalogue ") + variable);
    }
    // Stops in the middle of writing: after any record of either file (a year is 366 records
    // for each star), and after any catalogue row (each of the two stars marked).
    for (int records : {1, 2, 200, 366, 367, 500, 731, 732}) {
        const std::string when = "stopped after record " + std::to_string(records);
        EXPECT_TRUE(StoppedAfter(ephemeris, "NIVRA_DATA_DIE_AFTER_RECORDS", records)) << when;
        ExpectCompleteFilesAndConsistentMarks(out, datas, when);
    }
    for (int rows : {1, 2}) {
        const std::string when = "stopped after row " + std::to_string(rows);
        EXPECT_TRUE(StoppedAfter(ephemeris, "NIVRA_DATA_DIE_AFTER_ROWS", rows)) << when;
        ExpectCompleteFilesAndConsistentMarks(out, datas, when);
        // A catalogue rebuilt and stopped after one of its rows is not touched at all.
        const std::string before = Slurp(out);
        EXPECT_TRUE(StoppedAfter(catalogue, "NIVRA_DATA_DIE_AFTER_ROWS", rows)) << when;
        EXPECT_EQ(Slurp(out), before) << when;
        ExpectCompleteFilesAndConsistentMarks(out, datas, "catalogue " + when);
    }

    // The next whole run completes and leaves no temporary file behind.
    const ToolRun run = NivraData(ephemeris);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(MarkedStars(out), (std::set<std::uint32_t>{2000001, 2000004}));
    for (const std::string& where : {folder.Path(), datas}) {
        for (const auto& entry : std::filesystem::directory_iterator(where))
            EXPECT_EQ(entry.path().string().find(".part-"), std::string::npos) << entry.path();
    }
}

TEST(NivraDataCatalogue, ManyBodiesLeftOutForOneReasonAreCountedAndNIsInRadiansPerYear) {
    TempFolder folder;
    std::string rows =
        R"js(["  1 Ceres (A801 AA)",".0786","2.549","10.59","80.27","73.53","334.33","59800","0.2141"])js";
    for (int i = 0; i < 8; ++i) {
        rows += R"js(,["(2004 X)js" + std::to_string(i) +
                R"js()",".0786","2.549","10.59","80.27","73.53","334.33","59800",null])js";
    }
    std::ofstream(folder / "many.json")
        << R"js({"fields":["full_name","e","q","i","om","w","ma","epoch_mjd","n"],"data":[)js"
        << rows << "]}";
    const std::string out = folder / "Nivra.db";
    const ToolRun run = NivraData({"catalogue", "--out", Q(out), Q(folder / "many.json")});
    EXPECT_EQ(run.exitCode, kExitPartly) << run.err;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(run.err.find("(2004 X" + std::to_string(i) + "): no SPK-ID") != std::string::npos,
                  i < 5)
            << i << "\n"
            << run.err;
    }
    EXPECT_NE(run.err.find("\n3 more bodies left out for the same reason: no SPK-ID (neither a "
                           "spkid field nor an asteroid number)\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("8 bodies left out, 0 values left unknown"), std::string::npos);
    std::string error;
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(out, error);
    ASSERT_TRUE(catalogue) << error;
    const auto ceres = QueryStarInfo(*catalogue, 2000001);
    ASSERT_TRUE(ceres);
    // SBDB's degrees per day, stored in the unit of the n the viewer derives from a: the two are
    // in the ratio of the export's n to Kepler's n of a.
    const double a = ceres->SemiMajorAxis;
    EXPECT_NEAR(ceres->MeanMotion / MeanMotionFromAxis(a),
                0.2141 / (kGaussK / std::pow(a, 1.5) * 180 / M_PI), 1e-12);
}
