// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "astro/InformationRows.h"
#include "tests/SubcommandRun.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct InfoCommandTest : ::testing::Test {
    TempFolder folder;
    QString path = QString::fromStdString(folder.Path());

    void SetUp() override {
        TestData::Star ceres;
        ceres.Id = 2000001;
        ceres.Name = "1 Ceres";
        TestData::Star circle;
        circle.Id = 2000002;
        circle.Eccentricity = 0;  // infinite directrix distances
        circle.MeanMotion = 0;    // mean motion from the axis
        TestData::MakeProgramFolder(folder.Path(), {{1, "Main Belt"}}, {ceres, circle}, {});
    }

    std::string ExpectedLines(SpkId id) {
        std::string catalogueError;
        const auto catalogue = Catalogue::Open(folder / "Nivra.db", catalogueError);
        std::string lines;
        for (const InformationRow& row : InformationRows(*catalogue, id)) {
            lines +=
                row.Name + '\t' + row.Value + '\t' + row.Informations + '\t' + row.Formulas + '\n';
        }
        return lines;
    }
};

TEST_F(InfoCommandTest, PrintsThePanelRowsWithoutADisplay) {
    for (const SpkId id : {2000001u, 2000002u}) {
        const SubcommandRun run =
            RunNivraWithoutDisplay({"info", "--folder", path, "--star", QString::number(id)});
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        EXPECT_EQ(run.Out.toStdString(), ExpectedLines(id));
        EXPECT_EQ(run.Out.count('\n'), 31);
    }
    const SubcommandRun run =
        RunNivraWithoutDisplay({"info", "--star=2000001", "--folder=" + path});
    const QList<QByteArray> lines = run.Out.split('\n');
    EXPECT_EQ(lines[0],
              "e\t0.078500000000000\tEccentricity\t(Not computed) : e = Sqrt(a\xc2\xb2 - "
              "b\xc2\xb2) \xc3\xb7 a");
    EXPECT_EQ(lines[13].split('\t')[1], "0.214200000000000");
    EXPECT_TRUE(RunNivraWithoutDisplay({"info", "--folder", path, "--star", "2000002"})
                    .Out.contains("\nh\tinf\t"));
}

TEST_F(InfoCommandTest, AStarWithoutACatalogueRowPrintsPlaceholders) {
    const SubcommandRun run =
        RunNivraWithoutDisplay({"info", "--folder", path, "--star", "4294967295"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out.count("\t0.00\t"), 31);
    EXPECT_EQ(run.Out.toStdString(), ExpectedLines(4294967295u));
}

TEST_F(InfoCommandTest, ACatalogueWithoutTheStarTableIsAFailureNotPlaceholders) {
    TempFolder empty;
    std::ofstream(empty / "Nivra.db").close();  // an empty database
    const SubcommandRun run = RunNivraWithoutDisplay(
        {"info", "--folder", QString::fromStdString(empty.Path()), "--star", "2000001"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.Err.contains("The values of star 2000001 cannot be read from "))
        << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("no such table")) << run.Err.toStdString();
}

TEST(ReadingCommands, CreateNothingAndNeedACatalogue) {
    // info and stars only read: on a folder without a catalogue they say so and leave the
    // folder as it was; export writes charts but never a catalogue.
    TempFolder folder;
    const QString path = QString::fromStdString(folder.Path());
    for (const QStringList& arguments :
         {QStringList{"info", "--folder", path, "--star", "2000001"},
          QStringList{"stars", "--folder", path},
          QStringList{"export", "--folder", path, "--star", "2000001"}}) {
        const SubcommandRun run = RunNivraWithoutDisplay(arguments);
        EXPECT_EQ(run.ExitCode, 1) << arguments[0].toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_TRUE(run.Err.contains("There is no catalogue " + path + "/Nivra.db"))
            << run.Err.toStdString();
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path())) << arguments[0].toStdString();
    }
}

TEST_F(InfoCommandTest, BadArgumentsExitWithTheUsage) {
    const QStringList bad[] = {
        {"info", "--folder", path},
        {"info", "--folder", path, "--star", "0"},
        {"info", "--folder", path, "--star", "-1"},
        {"info", "--folder", path, "--star", "4294967296"},
        {"info", "--folder", path, "--star", "12a"},
        {"info", "--folder", path, "--star", "2000001", "--star", "2000002"},
        {"info", "--folder", path, "--star", "2000001", "extra"},
        {"info", "--folder", path, "--star", "2000001", "--sort", "1"},
    };
    for (const QStringList& arguments : bad) {
        const SubcommandRun run = RunNivraWithoutDisplay(arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_TRUE(run.Err.startsWith("nivra info: ")) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.endsWith(" (see nivra info --help)\n")) << run.Err.toStdString();
    }
}

TEST_F(InfoCommandTest, ACatalogueThatCannotBeOpenedEndsStartUp) {
    TempFolder broken;
    std::filesystem::create_directory(broken / "Nivra.db");
    const SubcommandRun run = RunNivraWithoutDisplay(
        {"info", "--folder", QString::fromStdString(broken.Path()), "--star", "1"});
    EXPECT_EQ(static_cast<signed char>(run.ExitCode), -3);
    EXPECT_TRUE(run.Out.isEmpty());
    // SQLite's reason (opened read-only, a folder gives "disk I/O error"), then the path.
    EXPECT_TRUE(run.Err.contains(QString::fromStdString(" : " + broken / "Nivra.db\n")))
        << run.Err.toStdString();
    EXPECT_TRUE(run.Err.startsWith("Nivra says: ") || run.Err.contains("\nNivra says: "));
}

}  // namespace
