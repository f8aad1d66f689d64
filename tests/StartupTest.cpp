// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "cli/ProgramFolders.h"
#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "gui/Viewer.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct StartupTest : ::testing::Test {
    std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    ~StartupTest() override { std::filesystem::current_path(working); }
};

}  // namespace

TEST(ProgramFolders, DerivesEveryPathWithASlashAndTheName) {
    const ProgramFolders folders =
        ProgramFolders::From("/home/ann/My Stars/Nivra \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(folders.ProgramFolder, "/home/ann/My Stars/Nivra \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(folders.ConfigurationFolder,
              "/home/ann/My Stars/Nivra \xC3\xA9t\xC3\xA9/Configuration");
    EXPECT_EQ(folders.ImagesFolder, "/home/ann/My Stars/Nivra \xC3\xA9t\xC3\xA9/Images");
    EXPECT_EQ(folders.DatasFolder, "/home/ann/My Stars/Nivra \xC3\xA9t\xC3\xA9/Datas");
    EXPECT_EQ(folders.DatabasePath, "/home/ann/My Stars/Nivra \xC3\xA9t\xC3\xA9/Nivra.db");
    EXPECT_EQ(ProgramFolders::From("C:\\Program Files\\Nivra").DatasFolder,
              "C:\\Program Files\\Nivra/Datas");
    // A trailing slash or "/." names the same folder: one slash before each name.
    for (const char* given : {"/data/stars/", "/data/stars//", "/data/stars/.", "/data/stars/./"}) {
        EXPECT_EQ(ProgramFolders::From(given).ProgramFolder, "/data/stars") << given;
        EXPECT_EQ(ProgramFolders::From(given).DatasFolder, "/data/stars/Datas") << given;
    }
    EXPECT_EQ(ProgramFolders::From("/").DatabasePath, "/Nivra.db");
}

TEST(ProgramFolders, WithoutAFolderNamedTheProgramsOwnWhenItHoldsACatalogueElseTheUsers) {
    TempFolder program;
    TempFolder data;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.Path()));
    const QString own = QString::fromStdString(program.Path());
    // An installed program's folder (/usr/bin) holds no catalogue: the user's folder, created.
    EXPECT_EQ(DefaultProgramFolder(own), QString::fromStdString(data / "nivra"));
    EXPECT_TRUE(std::filesystem::is_directory(data / "nivra"));
    // A relative or empty $XDG_DATA_HOME is ignored, as the base directory rules say.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(data.Path()));
    for (const char* ignored : {"relative/share", ""}) {
        qputenv("XDG_DATA_HOME", ignored);
        EXPECT_EQ(DefaultProgramFolder(own), QString::fromStdString(data / ".local/share/nivra"))
            << ignored;
    }
    qputenv("HOME", home);
    std::ofstream(program / "Nivra.db").close();
    EXPECT_EQ(DefaultProgramFolder(own), own);
    if (before.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
}

TEST_F(StartupTest, BringsUpTheSessionAndCreatesTheImagesFolder) {
    const std::string program = folder / "Star \xC3\xA9 folder";
    std::filesystem::create_directory(program);
    StartupResult started = Startup(program, messages);
    ASSERT_TRUE(started.session);
    EXPECT_EQ(started.exitCode, 0);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(std::filesystem::is_directory(program + "/Images"));
    EXPECT_TRUE(std::filesystem::exists(program + "/Nivra.db"));  // created empty
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(program));
    EXPECT_EQ(started.session->Folders().DatabasePath, program + "/Nivra.db");
    EXPECT_EQ(started.session->ChartImageSaveParams().Quality, 100);
    EXPECT_TRUE(started.session->ChartImageSaveParams().Progressive);
    EXPECT_TRUE(started.session->ChartImageSaveParams().OptimizedHuffman);
    started.session.reset();

    // An existing Images folder is fine, and what it holds stays.
    std::filesystem::create_directories(program + "/Images/kept");
    started = Startup(program, messages);
    EXPECT_TRUE(started.session);
    EXPECT_TRUE(std::filesystem::is_directory(program + "/Images/kept"));
}

TEST_F(StartupTest, ARelativeFolderIsTakenFromTheDirectoryStartedIn) {
    TestData::MakeProgramFolder(folder / "sample", {{0, "All"}}, {}, {});
    std::filesystem::current_path(folder.Path());
    StartupResult started = Startup("sample", messages);
    ASSERT_TRUE(started.session) << messages.messages[0].Text.toStdString();
    EXPECT_EQ(started.session->Folders().DatabasePath, folder / "sample/Nivra.db");
    EXPECT_TRUE(QueryOrbitClasses(started.session->Database()));
    EXPECT_FALSE(std::filesystem::exists(folder / "sample/sample"));
}

TEST_F(StartupTest, ACatalogueThatCannotBeOpenedEndsWithMinusThree) {
    std::filesystem::create_directory(folder / "Nivra.db");
    StartupResult started = Startup(folder.Path(), messages);
    EXPECT_FALSE(started.session);
    EXPECT_EQ(started.exitCode, -3);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(
        messages.messages[0].Text,
        QString::fromStdString("unable to open database file : " + folder.Path() + "/Nivra.db"));
    EXPECT_EQ(messages.messages[0].Icon, MessageIcon::Error);
}

// The viewer's program folder that is missing or no folder is named as such, with the exit code
// of a catalogue that cannot be opened, and nothing is created.
TEST_F(StartupTest, AProgramFolderThatIsMissingOrNoFolderIsNamed) {
    std::ofstream(folder / "file") << "x";
    const std::string missing = folder / "missing";
    const std::string file = folder / "file";
    const std::pair<std::string, std::string> cases[] = {
        {missing, "The folder " + missing + " does not exist"},
        {missing + "/below", "The folder " + missing + "/below does not exist"},
        {file + "/below", "The folder " + file + "/below does not exist"},
        {file, file + " is not a folder"},
    };
    for (const auto& [program, text] : cases) {
        messages.messages.clear();
        const StartupResult started = Startup(program, messages);
        EXPECT_FALSE(started.session) << program;
        EXPECT_EQ(started.exitCode, ExitCode::kCatalogueOpen) << program;
        ASSERT_EQ(messages.messages.size(), 1u) << program;
        EXPECT_EQ(messages.messages[0].Text.toStdString(), text);
        EXPECT_EQ(messages.messages[0].Icon, MessageIcon::Error);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(StartupTest, ClosingTheMainWindowEndsTheRunWithZero) {
    TestData::MakeProgramFolder(folder.Path(), {{0, "All"}}, {}, {});
    QTimer::singleShot(50, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "NivraClass")
                widget->close();
        }
    });
    EXPECT_EQ(RunViewer(folder.Path(), messages), 0);
    EXPECT_TRUE(messages.messages.empty());
}
