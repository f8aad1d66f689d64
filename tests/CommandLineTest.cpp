#include <gtest/gtest.h>

#include "app/CommandLine.h"

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
