// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <QAction>
#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <filesystem>

#include "cli/Startup.h"
#include "gui/MainWindow.h"
#include "gui/StatusBar.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct MainWindowTest : ::testing::Test {
    std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    std::unique_ptr<Session> session;

    void SetUp() override {
        TestData::MakeProgramFolder(folder.Path(), {{0, "All"}, {2, "Main-belt Asteroid"}}, {}, {});
        session = Startup(folder.Path(), messages).session;
        ASSERT_TRUE(session);
    }
    void TearDown() override { std::filesystem::current_path(working); }

    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    static std::vector<int> VisiblePages(const MainWindow& window) {
        std::vector<int> visible;
        for (int i = 0; i < MainWindow::kPageCount; ++i)
            if (window.Page(i)->isVisible())
                visible.push_back(i);
        return visible;
    }
    static void ExpectLaidOut(const MainWindow& window) {
        const QWidget* client = window.centralWidget();
        const int width = client->width();
        const int height = client->height();
        EXPECT_EQ(window.Tabs()->geometry(), QRect(0, 0, width, 24));
        EXPECT_EQ(window.Toolbar()->geometry(), QRect(0, 24, width, 32));
        for (int i = 0; i < MainWindow::kPageCount; ++i) {
            EXPECT_EQ(window.Page(i)->geometry(), QRect(0, 56, width, height - 56)) << "page " << i;
        }
        // The pages end where the status bar begins.
        const QWidget* page = window.Page(0);
        EXPECT_EQ(page->mapTo(&window, QPoint(0, page->height())).y(),
                  window.Status()->geometry().top());
    }
};

}  // namespace

TEST_F(MainWindowTest, StartsWithTwelveTabsTheFirstPageAndWelcome) {
    MainWindow window(*session, messages);
    window.show();
    Settle();
    EXPECT_EQ(window.objectName(), "NivraClass");
    EXPECT_EQ(window.windowTitle(), "Nivra - Tarnlight");

    const char* captions[] = {"Astrometric", "Earth",       "Galactic", "Geometric",
                              "Orbits",      "Star Orbite", "Travel",   "Constellations",
                              "Years",       "Perihelion",  "Infos",    "All Stars"};
    const char* classes[] = {"NVR_ASTRO",   "NVR_EARTH",      "NVR_GALAC", "NVR_GEO",
                             "NVR_ORBITES", "NVR_STAR_ORBIT", "NVR_TRVL",  "NVR_CNST",
                             "NVR_Years",   "NVR_Peri",       "NVR_INFOS", "NVR_ALLSTARS"};
    ASSERT_EQ(window.Tabs()->count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(window.Tabs()->tabText(i), captions[i]);
        EXPECT_EQ(window.Page(i)->objectName(), classes[i]);
    }
    EXPECT_EQ(window.Tabs()->currentIndex(), 0);
    EXPECT_EQ(VisiblePages(window), std::vector<int>{0});
    EXPECT_EQ(window.Toolbar()->objectName(), "NVR_TOOLBAR");

    EXPECT_EQ(window.Status()->Text(0), "Welcome");
    EXPECT_EQ(window.Status()->Text(1), "2 orbites added");
    EXPECT_EQ(window.Status()->Text(2), "0 stars added");
    for (int part = 3; part < 6; ++part)
        EXPECT_EQ(window.Status()->Text(part), "");
    window.SetStatusText(2, "3 stars added");
    EXPECT_EQ(window.Status()->Text(2), "3 stars added");
    window.SetStatusText(6, "nowhere");  // ignored
}

// A catalogue whose stars cannot be listed fills no list; the status bar says why, in full in
// its tooltip. A catalogue that can be listed, even without a star, says nothing.
TEST_F(MainWindowTest, ACatalogueWithoutItsStarTableSaysSoInTheStatusBar) {
    {
        MainWindow window(*session, messages);
        EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), "");
    }
    session.reset();
    const std::pair<const char*, const char*> cases[] = {
        {"DROP TABLE [AllStars]", "no such table: AllStars"},
        {"DROP TABLE [Orbites]", "no such table: Orbites"},
        {"ALTER TABLE [AllStars] DROP COLUMN [EarthMOID]", "no such column: AllStars.EarthMOID"},
        {nullptr, "no such table: AllStars"},  // the empty catalogue made for a bare folder
    };
    for (const auto& [change, reason] : cases) {
        TempFolder program;
        if (change != nullptr) {
            TestData::MakeProgramFolder(program.Path(), {{0, "All"}}, {}, {});
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open((program / "Nivra.db").c_str(), &db), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(db, change, nullptr, nullptr, nullptr), SQLITE_OK) << change;
            sqlite3_close(db);
        }
        std::unique_ptr<Session> started = Startup(program.Path(), messages).session;
        ASSERT_TRUE(started);
        MainWindow window(*started, messages);
        const QString expected = QString::fromStdString(std::string("Stars cannot be listed: ") +
                                                        reason + " in " + program / "Nivra.db");
        EXPECT_EQ(window.Status()->Text(MainWindow::kProblemPart), expected);
        const QList<QLabel*> parts = window.Status()->findChildren<QLabel*>();
        EXPECT_EQ(std::count_if(parts.begin(), parts.end(),
                                [&](const QLabel* part) {
                                    return part->text() == expected && part->toolTip() == expected;
                                }),
                  1);
        EXPECT_EQ(window.Status()->Text(0), "Welcome");
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(MainWindowTest, LaysOutTabsToolbarAndPagesOnEveryResize) {
    MainWindow window(*session, messages);
    window.show();
    window.resize(1000, 700);
    Settle();
    ExpectLaidOut(window);

    // A page hidden during a resize shows at the new size when its tab is chosen.
    window.resize(1200, 640);
    Settle();
    window.Tabs()->setCurrentIndex(7);
    Settle();
    EXPECT_EQ(VisiblePages(window), std::vector<int>{7});
    ExpectLaidOut(window);
    window.Tabs()->setCurrentIndex(11);
    EXPECT_EQ(VisiblePages(window), std::vector<int>{11});
}

TEST_F(MainWindowTest, StatusBarPartsEndAtTheirRightEdges) {
    MainWindow window(*session, messages);
    window.show();
    window.resize(1280, 720);
    Settle();
    const int edges[] = {150, 300, 400, 800, 860};
    for (int part = 0; part < 5; ++part) {
        const QRect rect = window.Status()->PartRect(part);
        EXPECT_EQ(rect.left() + rect.width(), edges[part]) << "part " << part;
    }
    const QRect last = window.Status()->PartRect(5);
    EXPECT_EQ(last.left(), 860);
    EXPECT_EQ(last.left() + last.width(), window.Status()->width());
}

TEST(StatusBar, ANarrowBarKeepsThePartEdgesAndCutsThemAtItsEnd) {
    StatusBar bar;
    bar.resize(500, 22);
    bar.show();
    QApplication::processEvents();
    const int lefts[] = {0, 150, 300, 400, 800, 860};
    const int rights[] = {150, 300, 400, 800, 860, 860};
    for (int part = 0; part < 6; ++part) {
        const QRect rect = bar.PartRect(part);
        EXPECT_EQ(rect.left(), lefts[part]) << "part " << part;
        EXPECT_EQ(rect.left() + rect.width(), rights[part]) << "part " << part;
    }
}

TEST_F(MainWindowTest, OpensOverTheWorkAreaAndKeepsItsSize) {
    MainWindow window(*session, messages);
    window.ShowOverWorkArea();
    Settle();
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.frameGeometry(), window.screen()->availableGeometry());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(MainWindowTest, FontsHaveTheirCellHeightsAndAngles) {
    MainWindow window(*session, messages);
    const FontTable& fonts = window.Fonts();
    struct Expected {
        const ProgramFont& font;
        int cell, escapement, weight;
    } expected[] = {{fonts.LabelFont, 14, 2400, 200},
                    {fonts.UiFont, 14, 0, 100},
                    {fonts.TitleFont, 20, 0, 100},
                    {fonts.AltLabelFont, 14, 300, 200}};
    for (const Expected& e : expected) {
        EXPECT_EQ(e.font.CellHeight, e.cell);
        EXPECT_EQ(e.font.Escapement, e.escapement);
        EXPECT_EQ(e.font.Weight, e.weight);
        EXPECT_EQ(e.font.Font.pixelSize(), std::lround(EmForCellHeight(e.font.Font, e.cell)));
    }
    EXPECT_DOUBLE_EQ(fonts.LabelFont.RotationDegrees(), -240.0);
    EXPECT_DOUBLE_EQ(fonts.AltLabelFont.RotationDegrees(), -30.0);
    if (std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf")) {
        EXPECT_EQ(fonts.UiFont.Font.family(), "Tahoma");
        // Tahoma: usWinAscent 2049 + usWinDescent 423 over 2048 units per em.
        EXPECT_NEAR(CellHeightInEms(fonts.UiFont.Font), 2472.0 / 2048.0, 1e-12);
        EXPECT_NEAR(EmForCellHeight(fonts.UiFont.Font, 14), 11.598, 0.001);
        EXPECT_NEAR(EmForCellHeight(fonts.TitleFont.Font, 20), 16.570, 0.001);
        EXPECT_EQ(fonts.LabelFont.Font.pixelSize(), 12);
        EXPECT_EQ(fonts.UiFont.Font.pixelSize(), 12);
        EXPECT_EQ(fonts.AltLabelFont.Font.pixelSize(), 12);
        EXPECT_EQ(fonts.TitleFont.Font.pixelSize(), 17);
    }
}

TEST_F(MainWindowTest, MenuItemsCarryTheirCommandsToTheDispatcher) {
    MainWindow window(*session, messages);
    std::vector<int> seen;
    window.Actions().SaveChart = [&](const ChartCommand& c) { seen.push_back(c.Command); };
    window.Actions().OpenWebPage = [&](int id) { seen.push_back(id); };
    window.Actions().ShowAbout = [&] { seen.push_back(7001); };

    QStringList top;
    for (QAction* action : window.menuBar()->actions())
        top << action->text();
    EXPECT_EQ(top, (QStringList{"Save", "Export", "JPL", "&Help"}));

    std::map<int, QAction*> byCommand;
    std::function<void(const QList<QAction*>&)> collect = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (action->menu())
                collect(action->menu()->actions());
            else if (action->data().toInt() != 0)
                byCommand[action->data().toInt()] = action;
        }
    };
    collect(window.menuBar()->actions());
    EXPECT_EQ(byCommand.size(), 50u);
    ASSERT_TRUE(byCommand.count(5020));
    EXPECT_EQ(byCommand[5020]->text(), "Geometric");
    EXPECT_EQ(byCommand[6008]->text(), "Ultimate Packer for eXecutables");
    EXPECT_EQ(byCommand[7001]->text(), "About Nivra - Tarnlight");

    byCommand[4013]->trigger();
    byCommand[5020]->trigger();
    byCommand[6002]->trigger();
    byCommand[7001]->trigger();
    window.Command(9999);  // unknown: nothing happens
    EXPECT_EQ(seen, (std::vector<int>{4013, 5020, 6002, 7001}));
}
