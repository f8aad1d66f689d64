// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browse/StarListModel.h"
#include "tests/SubcommandRun.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct StarsCommandTest : ::testing::Test {
    TempFolder folder;
    QString path = QString::fromStdString(folder.Path());

    void SetUp() override {
        std::vector<TestData::Star> stars;
        const double axes[] = {2.766, 1.458, 5.2, 0.9, 2.0};
        for (std::uint32_t i = 0; i < 5; ++i) {
            TestData::Star star;
            star.Id = 2000001 + i * 10;
            star.Name = i == 1 ? "\xf6pik" : "star " + std::to_string(5 - i);
            star.SemiMajorAxis = axes[i];
            star.MeanAnomaly = 300 - 40.0 * i;
            star.MeanMotion = i == 2 ? 0 : 0.2142;
            stars.push_back(star);
        }
        TestData::MakeProgramFolder(folder.Path(), {{1, "Main-belt Asteroid"}}, stars, {});
    }

    // The list's lines after the clicks, as the model gives them.
    std::string ExpectedLines(const std::vector<int>& clicks) {
        std::string error;
        const auto catalogue = Catalogue::Open(folder / "Nivra.db", error);
        StarListModel model;
        model.Load(*catalogue);
        for (const int column : clicks) {
            model.SortByColumn(column);
        }
        std::string lines;
        for (int row = 0; row < model.RowCount(); ++row) {
            model.AppendRowLine(lines, row);
        }
        return lines;
    }
};

TEST_F(StarsCommandTest, PrintsTheListWithoutADisplay) {
    const SubcommandRun run = RunNivraWithoutDisplay({"stars", "--folder", path});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out.toStdString(), ExpectedLines({}));
    const QList<QByteArray> lines = run.Out.split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[5].isEmpty());
    const QList<QByteArray> first = lines[0].split('\t');
    ASSERT_EQ(first.size(), 39);
    EXPECT_EQ(first[0], "2000001");
    EXPECT_EQ(first[1], "star 5");
    EXPECT_EQ(first[2], "Main-belt Asteroid");
    EXPECT_EQ(first[4], "2.766000000000000");
    EXPECT_EQ(first[13], "1.5800000000");
    EXPECT_EQ(first[17], "0.09000");
    EXPECT_EQ(lines[1].split('\t')[1], "\xc3\xb6pik");  // Windows-1252 in the catalogue
}

TEST_F(StarsCommandTest, AppliesTheHeaderClicksInTurn) {
    const SubcommandRun ascending =
        RunNivraWithoutDisplay({"stars", "--folder", path, "--sort", "4"});
    EXPECT_EQ(ascending.Out.toStdString(), ExpectedLines({4}));
    EXPECT_TRUE(ascending.Out.startsWith("2000031\t"));  // a = 0.9
    const SubcommandRun descending =
        RunNivraWithoutDisplay({"stars", "--folder", path, "--sort", "4,4"});
    EXPECT_EQ(descending.Out.toStdString(), ExpectedLines({4, 4}));
    EXPECT_TRUE(descending.Out.startsWith("2000021\t"));  // a = 5.2
    const SubcommandRun mixed =
        RunNivraWithoutDisplay({"stars", "--folder=" + path, "--sort=4,1,21,4"});
    EXPECT_EQ(mixed.ExitCode, 0);
    EXPECT_EQ(mixed.Out.toStdString(), ExpectedLines({4, 1, 21, 4}));
}

// Output longer than the megabyte written at a time, with a line longer than that on its own,
// comes out whole and in order, in the catalogue's order and sorted.
TEST_F(StarsCommandTest, LongOutputAndALineLongerThanAMegabyteComeOutWhole) {
    std::vector<TestData::Star> stars;
    for (std::uint32_t i = 0; i < 4000; ++i) {
        TestData::Star star;
        star.Id = 2000001 + i;
        // Windows-1252 in the catalogue: 400,000 euro signs of three bytes each in UTF-8.
        star.Name = i == 1000 ? std::string(400000, '\x80') : "star " + std::to_string(i);
        star.SemiMajorAxis = 1 + (i * 37 % 4000) * 0.001;
        stars.push_back(star);
    }
    TestData::MakeProgramFolder(folder.Path(), {{1, "Main-belt Asteroid"}}, stars, {});
    for (const std::vector<int>& clicks : {std::vector<int>{}, {4}, {1, 1}}) {
        QStringList arguments = {"stars", "--folder", path};
        if (!clicks.empty())
            arguments << "--sort" << (clicks.size() == 1 ? "4" : "1,1");
        const SubcommandRun run = RunNivraWithoutDisplay(arguments);
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        EXPECT_GT(run.Out.size(), 3 << 20);
        EXPECT_EQ(run.Out.count('\n'), 4000);
        EXPECT_EQ(run.Out.toStdString(), ExpectedLines(clicks))
            << arguments.join(' ').toStdString();
        QByteArray euros;
        for (int i = 0; i < 400000; ++i)
            euros += "\xe2\x82\xac";
        EXPECT_TRUE(run.Out.contains("\t" + euros + "\t"));
    }
}

TEST_F(StarsCommandTest, ARowAgreesWithNivraInfo) {
    const QList<QByteArray> row =
        RunNivraWithoutDisplay({"stars", "--folder", path}).Out.split('\n')[2].split('\t');
    const QByteArray info =
        RunNivraWithoutDisplay({"info", "--folder", path, "--star", QString(row[0])}).Out;
    // Panel symbol -> list column.
    const std::pair<const char*, int> pairs[] = {
        {"e", 3},    {"a", 4},    {"q", 5},    {"i", 6},    {"Node", 7}, {"Peri", 8},
        {"M", 9},    {"T", 10},   {"n", 11},   {"Q", 12},   {"b", 18},   {"K", 19},
        {"E", 20},   {"Ta", 21},  {"DS", 24},  {"PC", 25},  {"S", 26},   {"Pe", 27},
        {"c", 28},   {"f", 29},   {"h", 30},   {"p", 31},   {"Voa", 32}, {"Vop", 33},
        {"Vom", 34}, {"DPJ", 35}, {"DPH", 36}, {"DPM", 37}, {"DPS", 38}};
    for (const auto& [symbol, column] : pairs) {
        EXPECT_TRUE(info.contains("\n" + QByteArray(symbol) + "\t" + row[column] + "\t") ||
                    info.startsWith(QByteArray(symbol) + "\t" + row[column] + "\t"))
            << symbol << " " << row[column].toStdString();
    }
}

TEST_F(StarsCommandTest, BadArgumentsExitWithTheUsage) {
    const QStringList bad[] = {
        {"stars", "--folder", path, "--sort", "39"},
        {"stars", "--folder", path, "--sort", "-1"},
        {"stars", "--folder", path, "--sort", "4,"},
        {"stars", "--folder", path, "--sort", "4,,4"},
        {"stars", "--folder", path, "--sort", "+4"},
        {"stars", "--folder", path, "--sort", "a"},
        {"stars", "--folder", path, "--star", "1"},
        {"stars", "--folder", path, "4"},
    };
    for (const QStringList& arguments : bad) {
        const SubcommandRun run = RunNivraWithoutDisplay(arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_TRUE(run.Err.startsWith("nivra stars: ")) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.endsWith(" (see nivra stars --help)\n")) << run.Err.toStdString();
    }
}

TEST_F(StarsCommandTest, ControlCharactersInNamesNeverSplitALine) {
    TestData::Star star;
    star.Id = 2000001;
    star.Name = "Ve\tsta\nx\x1b[31m";
    TestData::WriteCatalogue(folder / "Nivra.db", {{1, "Main\rbelt"}}, {star});
    const SubcommandRun run = RunNivraWithoutDisplay({"stars", "--folder", path});
    EXPECT_EQ(run.ExitCode, 0);
    const QList<QByteArray> lines = run.Out.split('\n');
    ASSERT_EQ(lines.size(), 2);  // one line, then nothing after its line feed
    const QList<QByteArray> texts = lines[0].split('\t');
    ASSERT_EQ(texts.size(), 39);
    EXPECT_EQ(texts[1], "Ve sta x [31m");
    EXPECT_EQ(texts[2], "Main belt");
}

TEST_F(StarsCommandTest, AnEmptyOrBrokenCatalogue) {
    // An empty catalogue has no list to read: said, exit 1.
    TempFolder empty;
    std::ofstream(empty / "Nivra.db").close();
    const SubcommandRun none =
        RunNivraWithoutDisplay({"stars", "--folder", QString::fromStdString(empty.Path())});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_TRUE(none.Out.isEmpty());
    EXPECT_TRUE(none.Err.contains("The star list cannot be read from")) << none.Err.toStdString();
    EXPECT_TRUE(none.Err.contains("no such table")) << none.Err.toStdString();

    TempFolder garbage;
    { std::ofstream(garbage / "Nivra.db", std::ios::binary) << std::string(4096, 'x'); }
    const SubcommandRun notDatabase =
        RunNivraWithoutDisplay({"stars", "--folder", QString::fromStdString(garbage.Path())});
    EXPECT_EQ(static_cast<signed char>(notDatabase.ExitCode), -3);
    EXPECT_TRUE(notDatabase.Err.contains("file is not a database : "))
        << notDatabase.Err.toStdString();

    TempFolder broken;
    std::filesystem::create_directory(broken / "Nivra.db");
    const SubcommandRun run =
        RunNivraWithoutDisplay({"stars", "--folder", QString::fromStdString(broken.Path())});
    EXPECT_EQ(static_cast<signed char>(run.ExitCode), -3);
    EXPECT_TRUE(run.Out.isEmpty());
}

}  // namespace
