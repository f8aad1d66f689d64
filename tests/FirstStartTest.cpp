// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The first start: the sample sky only fills a folder that holds nothing of the user's, a first
// start stopped half-way is finished by the next, and the programs say in one line what stops
// them (no display, no home folder, a bad command line).
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <map>

#include "gui/Launcher.h"
#include "tests/SubcommandRun.h"
#include "tests/support/TestData.h"

using TestData::Slurp;
using TestData::TempFolder;
namespace fs = std::filesystem;

namespace {

// Every file below `folder` with its bytes (a link as "-> TARGET").
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_symlink())
            contents[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            contents[name] = Slurp(entry.path().string());
    }
    return contents;
}

std::size_t StarFiles(const fs::path& folder) {
    if (!fs::is_directory(folder / "Datas"))
        return 0;
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder / "Datas"), fs::directory_iterator()));
}

// Without a display of any kind, and without Qt's offscreen platform.
const std::map<QString, std::optional<QString>> kNoDisplay = {
    {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};

SubcommandRun Launcher(const QStringList& arguments,
                       const std::map<QString, std::optional<QString>>& environment = kNoDisplay) {
    return RunProgram(NIVRA_LAUNCHER_EXECUTABLE, arguments, environment);
}

// A sample folder made once for the tests of this file.
struct FirstStartTest : ::testing::Test {
    static inline TempFolder* shared = nullptr;
    static void SetUpTestSuite() {
        shared = new TempFolder;
        ASSERT_EQ(RunProgram(NIVRA_DATA_EXECUTABLE, {"sample", Q(*shared / "sample")}).ExitCode,
                  0);
    }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
    }
    TempFolder folder;
};

}  // namespace

TEST_F(FirstStartTest, TheSampleFillsOnlyAFolderThatHoldsNothingOfTheUsers) {
    const fs::path sample = *shared / "sample";
    struct Says {
        int ExitCode;
        const char* Found;  // what it names; empty: the folder is filled
    };
    struct Case {
        const char* What;
        std::function<void(const fs::path&)> Make;
        Says Sample;
        Says Launcher;  // --prepare-only
    };
    const std::vector<Case> cases = {
        {"nothing", [](const fs::path&) {}, {0, ""}, {0, ""}},
        {"the empty catalogue the viewer leaves",
         [](const fs::path& f) {
             fs::create_directories(f / "Images");
             std::ofstream(f / "Nivra.db").close();
         },
         {0, ""},
         {0, ""}},
        {"a catalogue of the user's and a picture",
         [&](const fs::path& f) {
             fs::create_directories(f / "Configuration");
             TestData::WriteCatalogue(f / "Nivra.db", {{0, "All"}}, {TestData::Star{1000001, "Mine"}});
             std::ofstream(f / "Configuration/Background.jpg") << "my own picture";
         },
         {1, "holds a catalogue (Nivra.db), Configuration/Background.jpg; the sample fills only"},
         {0, "\n"}},  // a catalogue is there: the viewer opens on it, nothing said
        {"the user's ephemeris file beside an empty catalogue",
         [&](const fs::path& f) {
             fs::create_directories(f / "Datas");
             std::ofstream(f / "Nivra.db").close();
             fs::copy_file(sample / "Datas/2000001.Nvr", f / "Datas/2000001.Nvr");
             std::ofstream(f / "Datas/2000001.Nvr", std::ios::app) << "mine";
         },
         {1, "holds 1 ephemeris file (Datas); the sample fills only"},
         {0, "holds 1 ephemeris file (Datas) but no catalogue: Nivra did not make its sample"}},
        {"a link to a catalogue on a disk that is not mounted",
         [](const fs::path& f) {
             fs::create_directories(f);
             fs::create_symlink("/nonexistent/disk/Nivra.db", f / "Nivra.db");
         },
         {1, "holds a link Nivra.db to a file that is not there"},
         {1, "leads to /nonexistent/disk/Nivra.db, which is not there"}},
    };
    for (const Case& one : cases) {
        for (const bool viaLauncher : {false, true}) {
            const std::string what = std::string(one.What) + (viaLauncher ? ", launcher" : "");
            const fs::path target = folder / what;
            one.Make(target);
            const auto before = fs::exists(target) ? Contents(target)
                                                   : std::map<std::string, std::string>{};
            const SubcommandRun run =
                viaLauncher ? Launcher({"--folder", Q(target), "--prepare-only"})
                            : RunProgram(NIVRA_DATA_EXECUTABLE, {"sample", Q(target)});
            const Says& expected = viaLauncher ? one.Launcher : one.Sample;
            const std::string said = run.Err.toStdString();
            EXPECT_EQ(run.ExitCode, expected.ExitCode) << what << "\n" << said;
            if (*expected.Found == '\0') {
                EXPECT_EQ(StarFiles(target), 40u) << what;
                EXPECT_FALSE(fs::exists(target / ".nivra-sample-unfinished")) << what;
                continue;
            }
            if (std::string_view(expected.Found) != "\n") {
                EXPECT_NE(said.find(expected.Found), std::string::npos) << what << "\n" << said;
            }
            EXPECT_EQ(Contents(target), before) << what;
        }
    }
    // Told to, sample fills a folder with the user's files all the same.
    const fs::path forced = folder / "a catalogue of the user's and a picture";
    EXPECT_EQ(RunProgram(NIVRA_DATA_EXECUTABLE, {"sample", Q(forced), "--force"}).ExitCode, 0);
    EXPECT_EQ(StarFiles(forced), 40u);
    EXPECT_NE(Slurp((forced / "Configuration/Background.jpg").string()), "my own picture");
}

TEST_F(FirstStartTest, AFirstStartStoppedHalfWayIsFinishedByTheNext) {
    // The sample's tool is stopped dead (as a logout stops the launcher's process group) after
    // the catalogue and some ephemeris records were written.
    const fs::path sky = folder / "sky";
    QProcess stopped;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("NIVRA_DATA_DIE_AFTER_RECORDS", "20000");
    stopped.setProcessEnvironment(environment);
    stopped.start(NIVRA_DATA_FAULTS_EXECUTABLE, {"sample", Q(sky)});
    ASSERT_TRUE(stopped.waitForFinished(120000));
    ASSERT_EQ(stopped.exitStatus(), QProcess::CrashExit);
    ASSERT_GT(fs::file_size(sky / "Nivra.db"), 0u);
    ASSERT_LT(StarFiles(sky), 40u);
    EXPECT_TRUE(fs::exists(sky / ".nivra-sample-unfinished"));

    // The next start finishes it, and the one after finds nothing to do.
    for (int start = 0; start < 2; ++start) {
        const SubcommandRun run = Launcher({"--folder", Q(sky), "--prepare-only"});
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        EXPECT_EQ(StarFiles(sky), 40u);
        EXPECT_FALSE(fs::exists(sky / ".nivra-sample-unfinished"));
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((sky / "Nivra.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    int marked = 0;
    sqlite3_exec(
        db, "SELECT count(*) FROM [AllStars] WHERE [DatasForIt] = 1",
        [](void* out, int, char** values, char**) {
            *static_cast<int*>(out) = std::stoi(values[0]);
            return 0;
        },
        &marked, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(marked, 40);
}

TEST_F(FirstStartTest, WithoutADisplayOrAHomeEachProgramSaysWhyInOneLine) {
    const QString sample = Q(*shared / "sample");
    const std::string noDisplay =
        ": no display: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen\n";
    const SubcommandRun viewer = RunProgram(NIVRA_EXECUTABLE, {"--folder", sample}, kNoDisplay);
    EXPECT_EQ(viewer.ExitCode, 1);
    EXPECT_EQ(viewer.Err.toStdString(), "nivra" + noDisplay);
    const SubcommandRun launcher = Launcher({"--folder", sample});
    EXPECT_EQ(launcher.ExitCode, 1);
    EXPECT_EQ(launcher.Err.toStdString(), "nivra-launcher" + noDisplay);
    // Preparing needs no display.
    const SubcommandRun prepared = Launcher({"--folder", Q(folder / "new"), "--prepare-only"});
    EXPECT_EQ(prepared.ExitCode, 0) << prepared.Err.toStdString();
    EXPECT_EQ(StarFiles(folder / "new"), 40u);

    // Without a folder named, the default one needs an absolute HOME (or XDG_DATA_HOME).
    for (const std::optional<QString>& home :
         {std::optional<QString>(), std::optional<QString>(""), std::optional<QString>("rel")}) {
        std::map<QString, std::optional<QString>> environment = {
            {"HOME", home}, {"XDG_DATA_HOME", std::nullopt}, {"QT_QPA_PLATFORM", "offscreen"}};
        const QString which = home ? QString("\"%1\"").arg(*home) : QString("unset");
        for (const char* program : {NIVRA_EXECUTABLE, NIVRA_LAUNCHER_EXECUTABLE}) {
            const SubcommandRun run = RunProgram(program, {}, environment, 60);
            EXPECT_EQ(run.ExitCode, 2) << program << ", HOME " << which.toStdString();
            EXPECT_TRUE(run.Err.contains("no folder for Nivra's data: neither XDG_DATA_HOME nor "
                                         "HOME is an absolute path"))
                << run.Err.toStdString();
        }
    }
}

TEST(Launcher, ReadsItsCommandLineAsTheViewerReadsItsOwn) {
    using Mode = LauncherCommandLine::Mode;
    struct Case {
        QStringList Arguments;
        Mode Action;
        std::optional<QString> Folder;
        bool PrepareOnly;
    };
    const std::vector<Case> cases = {
        {{}, Mode::Run, std::nullopt, false},
        {{"--folder", "/sky", "--prepare-only"}, Mode::Run, "/sky", true},
        {{"--folder=/my sky"}, Mode::Run, "/my sky", false},
        {{"--folder=-odd"}, Mode::Run, "-odd", false},
        {{"--help", "--bogus"}, Mode::Help, std::nullopt, false},
        {{"--folder", "--star", "1"}, Mode::Error, std::nullopt, false},
        {{"--folder"}, Mode::Error, std::nullopt, false},
        {{"--folder="}, Mode::Error, std::nullopt, false},
        {{"--folder", ""}, Mode::Error, std::nullopt, false},
        {{"--folder", "a", "--folder=b"}, Mode::Error, std::nullopt, false},
        {{"--prepare-only", "--prepare-only"}, Mode::Error, std::nullopt, false},
        {{"--star", "2000001"}, Mode::Error, std::nullopt, false},
    };
    for (const Case& one : cases) {
        const LauncherCommandLine line = ParseLauncherArguments(one.Arguments);
        const std::string given = one.Arguments.join(' ').toStdString();
        EXPECT_EQ(line.Action, one.Action) << given;
        if (one.Action == Mode::Run) {
            EXPECT_EQ(line.Folder, one.Folder) << given;
            EXPECT_EQ(line.PrepareOnly, one.PrepareOnly) << given;
        }
        if (one.Action == Mode::Error) {
            EXPECT_FALSE(line.Error.isEmpty()) << given;
        }
    }
}

TEST_F(FirstStartTest, TheSubcommandsReadTheFolderTheViewerTakesWithoutOne) {
    // The user's own folder, $XDG_DATA_HOME/nivra, holds the sample: info, stars and export find
    // it as the viewer does.
    fs::create_directories(folder / "data");
    fs::copy(*shared / "sample", folder / "data/nivra", fs::copy_options::recursive);
    std::map<QString, std::optional<QString>> environment = {
        {"XDG_DATA_HOME", Q(folder / "data")}, {"QT_QPA_PLATFORM", "offscreen"}};
    const SubcommandRun info = RunProgram(NIVRA_EXECUTABLE, {"info", "--star", "2000001"},
                                          environment, 60);
    EXPECT_EQ(info.ExitCode, 0) << info.Err.toStdString();
    EXPECT_EQ(info.Out.count('\n'), 31);
    const SubcommandRun stars = RunProgram(NIVRA_EXECUTABLE, {"stars"}, environment, 60);
    EXPECT_EQ(stars.Out.count('\n'), 40);
    const SubcommandRun exported = RunProgram(
        NIVRA_EXECUTABLE, {"export", "--star", "2000001", "--kind", "view", "--frame", "earth",
                           "--look", "save"},
        environment, 60);
    EXPECT_EQ(exported.ExitCode, 0) << exported.Err.toStdString();
    EXPECT_TRUE(fs::exists(folder / "data/nivra/Images/View - Earth.jpg"));
    // --folder still wins; without a folder of the user's, nothing is made and it is said.
    EXPECT_EQ(RunProgram(NIVRA_EXECUTABLE, {"stars", "--folder", Q(*shared / "sample")},
                         {{"XDG_DATA_HOME", Q(folder / "none")}}, 60)
                  .Out.count('\n'),
              40);
    environment["XDG_DATA_HOME"] = Q(folder / "none");
    const SubcommandRun missing =
        RunProgram(NIVRA_EXECUTABLE, {"info", "--star", "2000001"}, environment, 60);
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_TRUE(missing.Err.contains("There is no catalogue")) << missing.Err.toStdString();
    EXPECT_FALSE(fs::exists(folder / "none"));
    // Nor does Qt's word on a missing runtime folder reach the user.
    environment["XDG_RUNTIME_DIR"] = std::nullopt;
    EXPECT_FALSE(RunProgram(NIVRA_EXECUTABLE, {"info", "--star", "2000001"}, environment, 60)
                     .Err.contains("XDG_RUNTIME_DIR"));
}
