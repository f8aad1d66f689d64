// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>

#include "tests/SubcommandRun.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct ProcessRun {
    int exitCode;
    QString out;
    QString err;
};

ProcessRun Nivra(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(NIVRA_EXECUTABLE, arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

}  // namespace

TEST(Nivra, ACatalogueThatCannotBeOpenedExitsWithMinusThreeAndSaysWhy) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "Nivra.db");
    const ProcessRun run = Nivra({"--folder", QString::fromStdString(folder.Path())});
    EXPECT_EQ(static_cast<signed char>(run.exitCode), -3);
    EXPECT_TRUE(run.err.contains(QString::fromStdString(
        "Nivra says: unable to open database file : " + folder.Path() + "/Nivra.db\n")))
        << run.err.toStdString();
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Images"));
}

TEST(Nivra, EveryProgramReadsItsCommandLineBeforeItNeedsADisplay) {
    // --help: the usage on standard output, exit 0; a bad command line: the usage on standard
    // error, exit 2. No display of any kind is there, as on a headless machine.
    SubcommandRun run = RunNivraWithoutDisplay({"--help"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Out.contains("--folder DIR"));
    run = RunNivraWithoutDisplay({"--frobnicate"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, "nivra: unknown option \"--frobnicate\" (see nivra --help)\n");
    // A bad command line is one line that says what is wrong and where the usage is.
    for (const QStringList& bad :
         {QStringList{"--folder"}, QStringList{"--folder="},
          QStringList{"--folder", "a", "--folder", "b"}, QStringList{"--verbose", "--verbose"}}) {
        run = RunNivraWithoutDisplay(bad);
        EXPECT_EQ(run.ExitCode, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(run.Err.count('\n'), 1) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.endsWith(" (see nivra --help)\n")) << bad.join(' ').toStdString();
    }
    for (const char* command : {"info", "stars", "export"}) {
        EXPECT_EQ(RunNivraWithoutDisplay({command, "--help"}).ExitCode, 0) << command;
        EXPECT_EQ(RunNivraWithoutDisplay({command, "--folder", "a", "--folder", "b"}).ExitCode, 2)
            << command;
    }

    const auto nivraData = [](const QStringList& arguments) {
        QProcess process;
        process.start(NIVRA_DATA_EXECUTABLE, arguments);
        process.waitForFinished(30000);
        return std::pair{process.exitCode(),
                         QString::fromLocal8Bit(process.readAllStandardOutput() +
                                                process.readAllStandardError())};
    };
    for (const QStringList& help : {QStringList{"--help"}, QStringList{"catalogue", "--help"},
                                    QStringList{"ephemeris", "-h"}}) {
        EXPECT_EQ(nivraData(help).first, 0) << help.join(' ').toStdString();
        EXPECT_TRUE(nivraData(help).second.contains("Usage:")) << help.join(' ').toStdString();
    }
    for (const QStringList& bad :
         {QStringList{},
          QStringList{"ephemeris", "--catalogue", "c", "--out", "d", "--from", "2019", "--to",
                      "2000"},
          QStringList{"ephemeris", "--catalogue", "c", "--out", "d", "--out", "e"},
          QStringList{"frobnicate"},
          // Blanks around a number are refused on either side alike.
          QStringList{"ephemeris", "--catalogue", "c", "--out", "d", "--class", " 1"},
          QStringList{"ephemeris", "--catalogue", "c", "--out", "d", "--class", "1 "}}) {
        const auto [code, text] = nivraData(bad);
        EXPECT_EQ(code, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(text.count('\n'), 1) << text.toStdString();
        EXPECT_TRUE(text.endsWith(" (see nivra-data --help)\n")) << text.toStdString();
    }
}

TEST(Nivra, OneVersionAndOneStyleOfCommandLineInEveryProgram) {
    // The three programs answer --version with the build's one version.
    for (const auto& [program, name] :
         {std::pair{NIVRA_EXECUTABLE, "nivra"}, std::pair{NIVRA_DATA_EXECUTABLE, "nivra-data"},
          std::pair{NIVRA_LAUNCHER_EXECUTABLE, "nivra-launcher"}}) {
        const SubcommandRun run = RunProgram(program, {"--version"}, {}, 30);
        EXPECT_EQ(run.ExitCode, 0) << name;
        EXPECT_EQ(run.Out.toStdString(), std::string(name) + " " + NIVRA_VERSION + "\n");
    }
    // One form and one message for the same thing: an SPK-ID of 0 is refused alike, an
    // option's value may follow "=", an unknown option is named alike.
    const std::string star = "takes an SPK-ID, a whole number from 1 to 4294967295, not \"0\"";
    struct Case {
        const char* Program;
        QStringList Arguments;
        std::string Said;  // in the one line of the bad command line
    };
    const std::vector<Case> cases = {
        {NIVRA_EXECUTABLE, {"--star", "0"}, "nivra: --star " + star},
        {NIVRA_EXECUTABLE, {"info", "--star=0"}, "nivra info: --star " + star},
        {NIVRA_EXECUTABLE, {"export", "--star", "0"}, "nivra export: --star " + star},
        {NIVRA_DATA_EXECUTABLE, {"drift", "--catalogue=c", "--spk", "0"}, "nivra-data: --spk " + star},
        {NIVRA_EXECUTABLE, {"--bogus"}, "nivra: unknown option \"--bogus\""},
        {NIVRA_EXECUTABLE, {"stars", "--bogus"}, "nivra stars: unknown option \"--bogus\""},
        {NIVRA_DATA_EXECUTABLE, {"mark", "--bogus"}, "nivra-data: unknown option \"--bogus\""},
        {NIVRA_LAUNCHER_EXECUTABLE, {"--bogus"}, "nivra-launcher: unknown option \"--bogus\""},
        {NIVRA_DATA_EXECUTABLE, {"mark", "--two-body=yes"}, "nivra-data: --two-body takes no value"},
        // An option a command would not heed is refused, not left unheeded.
        {NIVRA_DATA_EXECUTABLE, {"drift", "--catalogue", "c", "--spk", "1", "--threads", "2"},
         "nivra-data: drift takes no --threads"},
        {NIVRA_DATA_EXECUTABLE, {"sample", "d", "--two-body"}, "nivra-data: sample takes no --two-body"},
    };
    for (const Case& one : cases) {
        const SubcommandRun run =
            RunProgram(one.Program, one.Arguments, {{"QT_QPA_PLATFORM", "offscreen"}}, 30);
        const std::string given = one.Arguments.join(' ').toStdString();
        EXPECT_EQ(run.ExitCode, 2) << given;
        EXPECT_EQ(run.Err.count('\n'), 1) << given << ": " << run.Err.toStdString();
        EXPECT_EQ(run.Err.toStdString().rfind(one.Said, 0), 0u)
            << given << ": " << run.Err.toStdString();
    }
    // Every option a command takes is in its usage, with the exit codes.
    const QString data = RunProgram(NIVRA_DATA_EXECUTABLE, {"--help"}, {}, 30).Out;
    for (const char* shown : {"mark --catalogue FILE --datas DIR [--threads N]",
                              "--verbose", "--no-wait", "--force", "Exit codes:"})
        EXPECT_TRUE(data.contains(shown)) << shown;
    for (const char* command : {"info", "stars", "export"}) {
        EXPECT_TRUE(RunNivraWithoutDisplay({command, "--help"}).Out.contains("Exit 0"))
            << command;
    }
    EXPECT_TRUE(RunNivraWithoutDisplay({"--help"}).Out.contains("Exit codes:"));
}

TEST(NivraLauncher, MakesTheSampleOnTheFirstStartThenTheViewerChoosesAStarFromTheCommandLine) {
    TempFolder folder;
    const QString sample = QString::fromStdString(folder / "sky");
    QProcess launcher;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    launcher.setProcessEnvironment(environment);
    // The viewer was started on the folder first: it left the empty catalogue SQLite makes.
    std::filesystem::create_directory(folder / "sky");
    std::ofstream(folder / "sky/Nivra.db").close();
    for (int start = 0; start < 2; ++start) {
        launcher.start(NIVRA_LAUNCHER_EXECUTABLE, {"--folder", sample, "--prepare-only"});
        ASSERT_TRUE(launcher.waitForFinished(120000));
        EXPECT_EQ(launcher.exitCode(), 0) << launcher.readAllStandardError().toStdString();
        EXPECT_TRUE(std::filesystem::exists(folder / "sky/Nivra.db"));
    }
    const auto stars = std::distance(std::filesystem::directory_iterator(folder / "sky/Datas"),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(stars, 40);

    // nivra --star: the star is chosen as the window opens, "Wait..." to "Ready".
    // With a folder named, the user's default folder is neither used nor created.
    QProcessEnvironment viewerEnvironment = environment;
    viewerEnvironment.insert("HOME", QString::fromStdString(folder / "home"));
    viewerEnvironment.remove("XDG_DATA_HOME");
    QProcess viewer;
    viewer.setProcessEnvironment(viewerEnvironment);
    viewer.start(NIVRA_EXECUTABLE, {"--folder", sample, "--star", "2000433", "--verbose"});
    QString seen;
    for (int i = 0; i < 600 && !seen.contains(QRegularExpression("status 0 \\+\\d+ Ready\n"));
         ++i) {
        viewer.waitForReadyRead(100);
        seen += QString::fromLocal8Bit(viewer.readAllStandardError());
    }
    viewer.kill();
    viewer.waitForFinished();
    EXPECT_TRUE(seen.contains(QRegularExpression("status 0 \\+\\d+ Wait...\n")))
        << seen.toStdString();
    EXPECT_TRUE(seen.contains(QRegularExpression("status 0 \\+\\d+ Ready\n")))
        << seen.toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder / "home/.local/share/nivra"));
}
