#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

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

TEST(Nivra, ExplainsItsCommandLine) {
    ProcessRun run = Nivra({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("--folder DIR"));
    run = Nivra({"--frobnicate"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("unknown argument \"--frobnicate\""));
}
