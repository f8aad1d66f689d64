// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <QTabBar>
#include <QWidget>
#include <filesystem>

#include "charts/ChartPreparation.h"
#include "data/Catalogue.h"
#include "data/CurrentStar.h"
#include "drawing/MessageService.h"
#include "gui/ChartBoard.h"
#include "gui/ChartPane.h"
#include "gui/FramePane.h"
#include "gui/ViewPane.h"
#include "tests/ChartTracks.h"
#include "tests/support/RecordedMessages.h"

using ChartTracks::Fonts;
using ChartTracks::RedPixels;
using TestData::TempFolder;

namespace {

constexpr ChartKind kWideKinds[] = {ChartKind::Travel, ChartKind::Constellations, ChartKind::Years,
                                    ChartKind::Perihelion};

// A program folder with two stars: 2000001 with perihelion data, 2000002 without
// ([DatasForIt] 0), and a window holding the eight chart pages of a board.
struct ChartPanesTest : ::testing::Test {
    TempFolder folder;
    std::unique_ptr<Catalogue> catalogue;
    CurrentStar star{folder / "Datas"};
    RecordedMessages messages;
    ChartTitleInputs title{std::string("Ceres"), 0};
    QSize client{1920, 1080};
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    std::unique_ptr<ChartBoard> board;

    void SetUp() override {
        TestData::Star ceres;
        ceres.Id = 2000001;
        ceres.Name = "Ceres";
        ceres.TimePerihelionPassage = 2452000.5;
        TestData::Star pallas;
        pallas.Id = 2000002;
        pallas.Name = "Pallas";
        pallas.DatasForIt = 0;
        TestData::MakeProgramFolder(folder.Path(), {{0, "All"}}, {ceres, pallas},
                                    {TestData::NvrFile::Daily(2000001, 2001, 2002),
                                     TestData::NvrFile::Daily(2000002, 2001, 2002)});
        std::string error;
        catalogue = Catalogue::Open(folder / "Nivra.db", error);
        ASSERT_TRUE(catalogue) << error;

        ChartBoardProviders providers;
        providers.TitleInputs = [this] { return title; };
        providers.MainClientSize = [this] { return client; };
        providers.Star = &star;
        providers.Database = catalogue.get();
        providers.Messages = &messages;
        board = std::make_unique<ChartBoard>(Fonts(), providers);
        for (CoordinateFrame frame : kAllFrames)
            board->CreateViewPage(frame, window.get())->setGeometry(0, 0, 720, 600);
        for (ChartKind kind : kWideKinds)
            board->CreateChartPage(kind, window.get())->setGeometry(0, 0, 720, 600);
        window->resize(720, 600);
    }

    ChartPreparationTargets Targets() {
        ChartPreparationTargets targets;
        targets.RefreshChart = [this](ChartKind kind, const FrameTrack& track,
                                      const QString& caption) {
            board->RefreshChart(kind, track, caption);
        };
        return targets;
    }
    FramePane* Pane(ChartKind kind, CoordinateFrame frame) {
        return board->ChartPage(kind)->Pane(frame);
    }
    // Shows only `page` in the window and lets it paint.
    void ShowOnly(QWidget* page) {
        for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            child->setVisible(child == page);
        window->show();
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(ChartPanesTest, PagesCarryTheirClassNamesTabsAndFramePanes) {
    const char* views[] = {"NVR_ASTRO", "NVR_EARTH", "NVR_GALAC", "NVR_GEO"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(board->ViewPage(kAllFrames[i])->objectName(), views[i]);
    EXPECT_EQ(board->CreateChartPage(ChartKind::View, window.get()), nullptr);

    const char* pages[] = {"NVR_TRVL", "NVR_CNST", "NVR_Years", "NVR_Peri"};
    const char* suffixes[] = {"_ASTRO", "_EARTH", "_GALAC", "_GEO"};
    for (std::size_t k = 0; k < 4; ++k) {
        ChartPane* page = board->ChartPage(kWideKinds[k]);
        EXPECT_EQ(page->objectName(), pages[k]);
        ASSERT_EQ(page->Tabs()->count(), 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(page->Tabs()->tabText(i),
                      QString::fromLatin1(FrameName(kAllFrames[i]).data()));
            EXPECT_EQ(page->Pane(kAllFrames[static_cast<std::size_t>(i)])->objectName(),
                      QString(pages[k]) + suffixes[i]);
        }
        EXPECT_EQ(page->Tabs()->font(), Fonts().UiFont.Font);
    }
}

TEST_F(ChartPanesTest, OnlyTheSelectedFramesPaneIsShownUnderTheTabStrip) {
    ChartPane* page = board->ChartPage(ChartKind::Constellations);
    ShowOnly(page);
    page->resize(800, 500);
    EXPECT_EQ(page->Tabs()->geometry(), QRect(0, 0, 800, 24));
    const auto visible = [&] {
        std::vector<CoordinateFrame> shown;
        for (CoordinateFrame frame : kAllFrames) {
            EXPECT_EQ(page->Pane(frame)->geometry(), QRect(0, 24, 800, 476));
            if (page->Pane(frame)->isVisible())
                shown.push_back(frame);
        }
        return shown;
    };
    EXPECT_EQ(visible(), std::vector<CoordinateFrame>{CoordinateFrame::Astrometric});
    page->Tabs()->setCurrentIndex(2);
    EXPECT_EQ(visible(), std::vector<CoordinateFrame>{CoordinateFrame::Galactic});
    page->Tabs()->setCurrentIndex(3);
    EXPECT_EQ(visible(), std::vector<CoordinateFrame>{CoordinateFrame::Geometric});
}

TEST_F(ChartPanesTest, PreparationFillsEverySixteenPanesWithTheStarsCharts) {
    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    PrepareCharts(star, Targets());
    for (ChartKind kind : kWideKinds) {
        for (CoordinateFrame frame : kAllFrames) {
            const FramePane* pane = Pane(kind, frame);
            EXPECT_FALSE(pane->Chart().isNull()) << pane->objectName().toStdString();
            EXPECT_EQ(pane->ChartStar(), 2000001u);
        }
    }
    EXPECT_TRUE(messages.messages.empty());
    // The last group is Geometric; its Travel chart is the same render the pane shows.
    RenderInputs inputs =
        MakeRenderInputs(board->Context(), FrameTrack{star.Cursor(), CoordinateFrame::Geometric},
                         "Travel Geometric");
    const std::optional<QImage> travel = RenderChart(ChartKind::Travel, inputs);
    ASSERT_TRUE(travel);
    EXPECT_EQ(ChartTracks::FirstDifference(
                  *travel, Pane(ChartKind::Travel, CoordinateFrame::Geometric)->Chart()),
              "");
}

TEST_F(ChartPanesTest, AFailedOrSkippedRenderKeepsThePreviousChart) {
    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    PrepareCharts(star, Targets());
    const QImage before = Pane(ChartKind::Travel, CoordinateFrame::Earth)->Chart();
    const QImage years = Pane(ChartKind::Years, CoordinateFrame::Earth)->Chart();

    // No star selected in the toolbar: nothing is drawn, silently.
    title.SelectedStarName.reset();
    board->RefreshChart(ChartKind::Travel, FrameTrack{star.Cursor(), CoordinateFrame::Earth},
                        "Travel Earth");
    EXPECT_EQ(Pane(ChartKind::Travel, CoordinateFrame::Earth)->Chart(), before);
    EXPECT_TRUE(messages.messages.empty());

    // A Years chart cut to nothing fails with its message; the pane keeps its chart.
    title.SelectedStarName = "Ceres";
    board->Extents() = {};
    board->RefreshChart(ChartKind::Years, FrameTrack{RecordWalk(), CoordinateFrame::Earth},
                        "Years Earth");
    EXPECT_EQ(Pane(ChartKind::Years, CoordinateFrame::Earth)->Chart(), years);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].Text, "Nivra cannot draw these datas!");
    EXPECT_EQ(messages.messages[0].Owner, nullptr);  // the Years chart's box has no owner
}

TEST_F(ChartPanesTest, PerihelionChartsNeedTheCataloguesPassageData) {
    ASSERT_NE(star.MakeCurrentStar(2000002), nullptr);  // [DatasForIt] 0
    PrepareCharts(star, Targets());
    for (CoordinateFrame frame : kAllFrames) {
        EXPECT_TRUE(Pane(ChartKind::Perihelion, frame)->Chart().isNull());
        EXPECT_FALSE(Pane(ChartKind::Travel, frame)->Chart().isNull());
    }
    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    PrepareCharts(star, Targets());
    EXPECT_FALSE(Pane(ChartKind::Perihelion, CoordinateFrame::Galactic)->Chart().isNull());
    // The next star without passage data empties the panes: no chart of another star stays.
    ASSERT_NE(star.MakeCurrentStar(2000002), nullptr);
    PrepareCharts(star, Targets());
    for (CoordinateFrame frame : kAllFrames) {
        EXPECT_TRUE(Pane(ChartKind::Perihelion, frame)->Chart().isNull());
        EXPECT_EQ(Pane(ChartKind::Perihelion, frame)->ChartStar(), 2000002u);
    }
}

TEST_F(ChartPanesTest, ViewPagesPaintTheChartAcrossTheirWidthOnlyWithAStar) {
    ViewPane* page = board->ViewPage(CoordinateFrame::Astrometric);
    ShowOnly(page);
    const QImage empty = page->grab().toImage();
    EXPECT_EQ(empty.pixel(10, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(empty.pixel(700, 590) & 0xFFFFFF, 0u);

    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    const QImage painted = page->grab().toImage();
    const QRect picture = ViewPane::PictureRect(720, QSize(1440, 760));
    EXPECT_EQ(picture, QRect(0, 0, 720, 380));
    // The track shows in the picture, and the pane is black below it.
    bool red = false;
    for (const QPoint& point : RedPixels(painted))
        red = red || picture.contains(point);
    EXPECT_TRUE(red);
    for (int y = picture.bottom() + 1; y < painted.height(); y += 7)
        for (int x = 0; x < painted.width(); x += 13)
            ASSERT_EQ(painted.pixel(x, y) & 0xFFFFFF, 0u) << x << ", " << y;
    EXPECT_EQ(ViewPane::PictureRect(100, QSize(50, 0)), QRect(0, 0, 100, 100));
}

TEST_F(ChartPanesTest, TheViewRefreshSetsTheExtentsEvenWhenItsPageIsHidden) {
    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    ShowOnly(board->ChartPage(ChartKind::Travel));
    board->Extents() = {12345, 6789};
    RenderInputs inputs = MakeRenderInputs(
        board->Context(), FrameTrack{star.Cursor(), CoordinateFrame::Galactic}, "View Galactic");
    PlotExtents expected;
    inputs.Extents = &expected;
    ASSERT_TRUE(RenderViewChart(inputs));
    board->RefreshChart(ChartKind::View, FrameTrack{star.Cursor(), CoordinateFrame::Galactic},
                        "View Galactic");
    EXPECT_EQ(board->Extents().MaxX, expected.MaxX);
    EXPECT_EQ(board->Extents().MaxY, expected.MaxY);
    EXPECT_NE(expected.MaxX, 0);
}

TEST_F(ChartPanesTest, WithoutAStarNothingIsDrawn) {
    PrepareCharts(star, Targets());
    board->RefreshChart(ChartKind::Travel, FrameTrack{star.Cursor(), CoordinateFrame::Earth},
                        "Travel Earth");
    for (ChartKind kind : kWideKinds)
        for (CoordinateFrame frame : kAllFrames)
            EXPECT_TRUE(Pane(kind, frame)->Chart().isNull());
    EXPECT_TRUE(messages.messages.empty());
}
