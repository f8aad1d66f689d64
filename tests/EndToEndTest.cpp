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
    EXPECT_TRUE(run.Err.contains("unknown argument \"--frobnicate\"")) << run.Err.toStdString();
    for (const QStringList& bad :
         {QStringList{"--folder"}, QStringList{"--folder="},
          QStringList{"--folder", "a", "--folder", "b"}, QStringList{"--verbose", "--verbose"}}) {
        run = RunNivraWithoutDisplay(bad);
        EXPECT_EQ(run.ExitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains("Usage: nivra")) << bad.join(' ').toStdString();
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
        EXPECT_TRUE(text.contains("Usage:")) << bad.join(' ').toStdString();
    }
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
