// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "cli/Startup.h"
#include "gui/MainWindow.h"
#include "gui/StatusBar.h"
#include "gui/WebBrowser.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::NvrFile;
using TestData::TempFolder;
using namespace WebBrowser;

namespace {

QStringList All(const Launch& launch) {
    return QStringList{launch.Program} + launch.Arguments;
}

// A folder with applications/<id> holding `exec` as its Exec key.
struct DesktopEntries {
    TempFolder folder;
    void Put(const std::string& id, const std::string& exec) {
        std::filesystem::create_directories(folder / "applications");
        std::ofstream(folder / ("applications/" + id))
            << "[Desktop Entry]\nName=Fake\nExec[de]=wrong %u\nType=Application\nExec=" << exec
            << "\n[Desktop Action New]\nExec=also wrong\n";
    }
    BrowserLookup Lookup(const QString& id) const {
        return {[id] { return id; }, {QString::fromStdString(folder.Path())}};
    }
};

}  // namespace

TEST(WebBrowser, ThePlaceholderRewriteTouchesOnlyTheFirstPercent) {
    EXPECT_EQ(RewritePlaceholder("firefox %s"), "firefox %s");
    EXPECT_EQ(RewritePlaceholder("\"C:\\b.exe\" -url \"%1\""), "\"C:\\b.exe\" -url \"%s\"");
    EXPECT_EQ(RewritePlaceholder("firefox %u %U"), "firefox %s %U");
    EXPECT_EQ(RewritePlaceholder("browser"), "browser");
    EXPECT_EQ(RewritePlaceholder("browser 100%"), "browser 100%");  // nothing follows it
    EXPECT_EQ(RewritePlaceholder("a %% b"), "a %s b");
}

TEST(WebBrowser, TheAddressIsAlwaysExactlyOneArgument) {
    const QString hostile = "http://x/?q=\"a b\";$(touch pwned)`id`'x'\\ %u";
    std::optional<Launch> launch = MakeLaunch("firefox --new-tab %s", hostile);
    ASSERT_TRUE(launch);
    EXPECT_EQ(All(*launch), QStringList({"firefox", "--new-tab", hostile}));

    // Field codes left after the placeholder vanish; %% is a percent sign.
    launch = MakeLaunch("\"/opt/my browser/run\" %s %i --title=100%% %c", "http://a");
    ASSERT_TRUE(launch);
    EXPECT_EQ(All(*launch), QStringList({"/opt/my browser/run", "http://a", "--title=100%"}));
    launch = MakeLaunch("browser --url=%s", "http://a b");
    EXPECT_EQ(All(*launch), QStringList({"browser", "--url=http://a b"}));

    // Without a placeholder the browser starts without the address.
    launch = MakeLaunch("browser --home", "http://a");
    EXPECT_EQ(All(*launch), QStringList({"browser", "--home"}));

    // A placeholder inside quotes is read by whatever reads that argument: refused.
    EXPECT_FALSE(MakeLaunch("sh -c \"firefox %s\"", "http://a"));
    EXPECT_FALSE(MakeLaunch("browser \"unbalanced %s", "http://a"));
    EXPECT_FALSE(MakeLaunch("", "http://a"));
    EXPECT_FALSE(MakeLaunch("%s", "http://a"));  // the address would be the program
}

TEST(WebBrowser, TheCommandLineStaysWithin1023Characters) {
    const QString address = "http://a/" + QString(2000, 'x');
    const std::optional<Launch> launch = MakeLaunch("browser %s --tail", address);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->Arguments.size(), 2);
    EXPECT_EQ(launch->Arguments[0], address.left(1023 - 15));  // "browser  --tail" is 15
    EXPECT_EQ(launch->Arguments[1], "--tail");
}

TEST(WebBrowser, FindsTheDefaultBrowsersCommandInItsDesktopEntry) {
    DesktopEntries entries;
    entries.Put("fake.desktop", "fake-browser --new %u");
    EXPECT_EQ(DefaultBrowserCommand(entries.Lookup("fake.desktop")), "fake-browser --new %s");
    // An id with a dash may name a file in a subfolder.
    std::filesystem::create_directories(entries.folder / "applications/vendor");
    std::ofstream(entries.folder / "applications/vendor/web.desktop")
        << "[Desktop Entry]\nExec=vendor-web \\s%U\n";
    EXPECT_EQ(DefaultBrowserCommand(entries.Lookup("vendor-web.desktop")), "vendor-web  %s");

    EXPECT_FALSE(DefaultBrowserCommand(entries.Lookup("")));
    EXPECT_FALSE(DefaultBrowserCommand(entries.Lookup("missing.desktop")));
    EXPECT_FALSE(DefaultBrowserCommand(entries.Lookup("../escape.desktop")));

    // 255 bytes are read; a longer command is "not found".
    entries.Put("long.desktop", "b " + std::string(253, 'x'));
    EXPECT_TRUE(DefaultBrowserCommand(entries.Lookup("long.desktop")));
    entries.Put("long.desktop", "b " + std::string(254, 'x'));
    EXPECT_FALSE(DefaultBrowserCommand(entries.Lookup("long.desktop")));
}

namespace {

struct WebCommandTest : ::testing::Test {
    std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    TempFolder scratch;
    RecordedMessages messages;
    std::unique_ptr<Session> session;
    NvrFile file = NvrFile::Daily(2000001, 2001, 2001);

    void SetUp() override {
        file.EphemerisLink = "https://x.test/a?b=\"c d\";$(touch " + scratch.Path() +
                             "/pwned)`touch " + scratch.Path() + "/pwned2`'e'";
        TestData::Star star;
        star.Id = 2000001;
        star.Name = "Ceres";
        star.OrbiteType = 2;
        TestData::MakeProgramFolder(folder.Path(), {{2, "Main-belt Asteroid"}}, {star}, {file});
        session = Startup(folder.Path(), messages).session;
        ASSERT_TRUE(session);
    }
    void TearDown() override { std::filesystem::current_path(working); }

    // A fake browser that writes each argument it gets on a line of its own.
    BrowserLookup FakeBrowser() {
        const std::string script = scratch / "browser.sh";
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                              << scratch / "args.tmp"
                              << " && mv " << scratch / "args.tmp" << ' ' << scratch / "args"
                              << "\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        entries.Put("fake.desktop", script + " --new %u");
        return entries.Lookup("fake.desktop");
    }
    QStringList ArgumentsSeen() {
        QElapsedTimer clock;
        clock.start();
        while (!std::filesystem::exists(scratch / "args") && clock.elapsed() < 10000)
            QThread::msleep(20);
        QFile args(QString::fromStdString(scratch / "args"));
        if (!args.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(args.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    DesktopEntries entries;
};

}  // namespace

TEST_F(WebCommandTest, AHostileLinkTextReachesTheBrowserAsOneArgument) {
    MainWindow window(*session, messages);
    window.SetBrowserLookup(FakeBrowser());
    ASSERT_NE(window.Star().MakeCurrentStar(2000001), nullptr);
    window.Command(MenuCommand::kEphemeris);
    EXPECT_EQ(ArgumentsSeen(), QStringList({"--new", QString::fromStdString(file.EphemerisLink)}));
    EXPECT_FALSE(std::filesystem::exists(scratch / "pwned"));
    EXPECT_FALSE(std::filesystem::exists(scratch / "pwned2"));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(WebCommandTest, StarPagesNeedAStarAndEveryPageNeedsABrowser) {
    MainWindow window(*session, messages);
    int lookups = 0;
    window.SetBrowserLookup({[&] {
                                 ++lookups;
                                 return QString();
                             },
                             {}});
    for (int command :
         {MenuCommand::kEphemeris, MenuCommand::kOrbitDiagram, MenuCommand::kPhysicalParameter}) {
        window.Command(command);
    }
    ASSERT_EQ(messages.messages.size(), 3u);
    for (const auto& message : messages.messages)
        EXPECT_EQ(message.Text, "Select a star!");
    EXPECT_EQ(lookups, 0);  // the browser is not even looked for

    window.Command(MenuCommand::kSqLite);
    ASSERT_EQ(messages.messages.size(), 4u);
    EXPECT_EQ(messages.messages.back().Text, "Cannot find the default web browser!");
    EXPECT_EQ(lookups, 1);
}

TEST_F(WebCommandTest, FixedPagesHaveTheirTransportsAndPaths) {
    EXPECT_TRUE(FixedPageAddress(6004).startsWith("http://"));
    EXPECT_TRUE(FixedPageAddress(6004).endsWith(".com/"));
    EXPECT_TRUE(FixedPageAddress(6005).startsWith("https://"));
    EXPECT_EQ(FixedPageAddress(6005).count('/'), 2);  // no path
    EXPECT_TRUE(FixedPageAddress(6006).endsWith("/pellesc/"));
    EXPECT_TRUE(FixedPageAddress(6007).startsWith("http://"));
    EXPECT_EQ(FixedPageAddress(6007).count('/'), 2);
    EXPECT_EQ(FixedPageAddress(6008).count('/'), 2);
    EXPECT_TRUE(FixedPageAddress(6009).endsWith("/index.php"));
    EXPECT_TRUE(FixedPageAddress(6010).isEmpty());

    MainWindow window(*session, messages);
    window.SetBrowserLookup(FakeBrowser());
    window.Command(6007);  // with no star loaded
    EXPECT_EQ(ArgumentsSeen(), QStringList({"--new", FixedPageAddress(6007)}));
}

TEST_F(WebCommandTest, OnlyWebAddressesAreOpened) {
    for (const char* address : {"http://x.test/", "HTTPS://x.test/a b", "hTtP://x"})
        EXPECT_TRUE(IsWebAddress(address)) << address;
    for (const char* address :
         {"--gpu-launcher=/tmp/x -x", "file:///etc/passwd", "x.test", "", " http://x.test/",
          "https://x.test/\nid", "http://x\x7f", "https://x.test/\xc2\x85"})
        EXPECT_FALSE(IsWebAddress(QString::fromUtf8(address))) << address;

    // A star file whose links are an option and a line break opens nothing, and says why.
    file.EphemerisLink = "--gpu-launcher=/tmp/x -x";
    file.OrbitDiagramLink = "https://x.test/\r\nid";
    file.PhysicalParameterLink = "HTTPS://x.test/ok";
    file.Write(StarFilePath(session->Folders().DatasFolder, file.Id));
    MainWindow window(*session, messages);
    window.SetBrowserLookup(FakeBrowser());
    ASSERT_NE(window.Star().MakeCurrentStar(2000001), nullptr);
    for (int command : {MenuCommand::kEphemeris, MenuCommand::kOrbitDiagram}) {
        window.SetStatusText(MainWindow::kProblemPart, "");
        window.Command(command);
        EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart),
                  "The star's link is no web address (http or https)");
    }
    QThread::msleep(300);
    EXPECT_FALSE(std::filesystem::exists(scratch / "args"));
    window.Command(MenuCommand::kPhysicalParameter);
    EXPECT_EQ(ArgumentsSeen(), QStringList({"--new", "HTTPS://x.test/ok"}));
    EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), "");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(WebCommandTest, ALinkInWindows1252ReachesTheBrowserWithItsCharacters) {
    file.OrbitDiagramLink = "https://x.test/caf\xe9";  // "café" in Windows-1252
    file.Write(StarFilePath(session->Folders().DatasFolder, file.Id));
    MainWindow window(*session, messages);
    window.SetBrowserLookup(FakeBrowser());
    ASSERT_NE(window.Star().MakeCurrentStar(2000001), nullptr);
    window.Command(MenuCommand::kOrbitDiagram);
    EXPECT_EQ(ArgumentsSeen(),
              QStringList({"--new", QString::fromUtf8("https://x.test/caf\xc3\xa9")}));
}
