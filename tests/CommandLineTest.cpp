// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "cli/Options.h"

TEST(CommandLine, ReadsTheFolderAndRefusesWhatItDoesNotKnow) {
    EXPECT_EQ(ParseCommandLine({}).Action, CommandLine::Mode::Viewer);
    EXPECT_FALSE(ParseCommandLine({}).Folder);

    CommandLine line = ParseCommandLine({"--folder", "/data/my stars"});
    EXPECT_EQ(line.Action, CommandLine::Mode::Viewer);
    EXPECT_EQ(line.Folder, QString("/data/my stars"));
    EXPECT_EQ(ParseCommandLine({"--folder=/x"}).Folder, QString("/x"));

    EXPECT_EQ(ParseCommandLine({"--folder"}).Action, CommandLine::Mode::Error);
    EXPECT_EQ(ParseCommandLine({"--folder="}).Action, CommandLine::Mode::Error);
    line = ParseCommandLine({"--colour", "red"});
    EXPECT_EQ(line.Action, CommandLine::Mode::Error);
    EXPECT_TRUE(line.Error.contains("--colour"));
    EXPECT_EQ(ParseCommandLine({"--help"}).Action, CommandLine::Mode::Help);
}

TEST(CommandLine, VerboseIsAFlagOfTheViewer) {
    EXPECT_TRUE(ParseCommandLine({"--verbose", "--folder", "x"}).Verbose);
    EXPECT_FALSE(ParseCommandLine({"--folder", "x"}).Verbose);
}

TEST(CommandLine, StarChoosesAStarAsTheWindowOpens) {
    EXPECT_EQ(ParseCommandLine({"--star", "2000001"}).Star, 2000001u);
    EXPECT_EQ(ParseCommandLine({"--star=4294967295"}).Star, 4294967295u);
    EXPECT_FALSE(ParseCommandLine({}).Star);
    for (const QStringList& bad :
         {QStringList{"--star"}, QStringList{"--star", "0"}, QStringList{"--star", "-1"},
          QStringList{"--star", "Ceres"}, QStringList{"--star", "1", "--star", "2"}})
        EXPECT_EQ(ParseCommandLine(bad).Action, CommandLine::Mode::Error)
            << bad.join(' ').toStdString();
}

TEST(SubcommandOptions, ValuesFlagsAndEveryKindOfMistake) {
    const std::vector<OptionRule> rules = {{"folder", true}, {"star", true}, {"all", false}};
    ParsedOptions options = ParseOptions({"--folder", "/a b", "--star=2000001", "--all"}, rules);
    EXPECT_TRUE(options.Error.isEmpty());
    EXPECT_EQ(options.Value("folder"), "/a b");
    EXPECT_EQ(options.Value("star"), "2000001");
    EXPECT_TRUE(options.Has("all"));
    EXPECT_FALSE(ParseOptions({}, rules).Has("all"));

    EXPECT_TRUE(ParseOptions({"--help"}, rules).Help);
    for (const QStringList& bad :
         {QStringList{"--colour", "red"}, QStringList{"--folder"}, QStringList{"--folder="},
          QStringList{"--all=1"}, QStringList{"stray"},
          QStringList{"--star", "1", "--star", "2"}}) {
        EXPECT_FALSE(ParseOptions(bad, rules).Error.isEmpty()) << bad.join(' ').toStdString();
    }
}
