// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Pictures of the chart pages for the README, drawn offscreen exactly as the window draws them:
//
//   nivra_chart_screenshots --folder DIR --star SPKID --out DIR
//
// writes view-astrometric.png (the Astrometric View page), travel.png and constellations.png
// (the Travel and Constellations pages on their Astrometric tab), star-orbite-page.png (the Star
// Orbite page scrolled to the Sun) and orbits-page.png (the Orbits page), each 1280 x 720 pixels.
#include <QApplication>
#include <QScrollBar>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "charts/ChartPreparation.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
#include "diagrams/DiagramInputs.h"
#include "diagrams/StarOrbitDiagram.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"
#include "gui/ChartBoard.h"
#include "gui/ChartPane.h"
#include "gui/DiagramPages.h"
#include "gui/ViewPane.h"

namespace {

const char* Argument(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return argv[i + 1];
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const char* folder = Argument(argc, argv, "--folder");
    const char* star = Argument(argc, argv, "--star");
    const char* out = Argument(argc, argv, "--out");
    if (folder == nullptr || star == nullptr || out == nullptr) {
        std::fprintf(stderr, "usage: %s --folder DIR --star SPKID --out DIR\n", argv[0]);
        return 2;
    }
    const auto id = static_cast<SpkId>(std::strtoul(star, nullptr, 10));
    std::string error;
    std::unique_ptr<Catalogue> catalogue =
        Catalogue::Open(std::string(folder) + "/Nivra.db", error);
    CurrentStar current(std::string(folder) + "/Datas");
    if (!catalogue || current.MakeCurrentStar(id) == nullptr) {
        std::fprintf(stderr, "cannot open star %s in %s\n", star, folder);
        return 1;
    }
    std::string name;
    if (const auto rows = QueryStarChoices(*catalogue, 0)) {
        for (const StarChoiceRow& row : *rows) {
            if (row.Id == id) {
                name = row.Name;
            }
        }
    }

    const FontTable fonts = CreateFontTable();
    StandardErrorMessages messages;
    QWidget window;
    window.resize(1280, 720);
    ChartBoardProviders providers;
    providers.TitleInputs = [name] { return ChartTitleInputs{name, 0}; };
    providers.MainClientSize = [] { return QSize(1280, 800); };
    providers.Star = &current;
    providers.Database = catalogue.get();
    providers.Messages = &messages;
    ChartBoard board(fonts, providers);
    QWidget* view = board.CreateViewPage(CoordinateFrame::Astrometric, &window);
    QWidget* travel = board.CreateChartPage(ChartKind::Travel, &window);
    QWidget* constellations = board.CreateChartPage(ChartKind::Constellations, &window);
    DiagramPage* starOrbit = CreateStarOrbitPage(&window);
    DiagramPage* orbits = CreateOrbitsPage(&window);
    DiagramInputs diagramInputs;
    diagramInputs.Fonts = &fonts;
    diagramInputs.Database = catalogue.get();
    diagramInputs.Header = &current.Star()->Header();
    diagramInputs.Title = ChartTitleInputs{name, 0};
    ChartPreparationTargets targets;
    targets.RefreshOrbitsPane = [&] { RefreshOrbitsPane(*orbits, diagramInputs); };
    targets.RefreshStarOrbitPane = [&] { RefreshStarOrbitPane(*starOrbit, diagramInputs); };
    targets.RefreshChart = [&board](ChartKind kind, const FrameTrack& track,
                                    const QString& caption) {
        board.RefreshChart(kind, track, caption);
    };
    PrepareCharts(current, targets);

    int failures = 0;
    for (auto [page, file] :
         {std::pair{view, "view-astrometric.png"}, std::pair{travel, "travel.png"},
          std::pair{constellations, "constellations.png"},
          std::pair{static_cast<QWidget*>(starOrbit), "star-orbite-page.png"},
          std::pair{static_cast<QWidget*>(orbits), "orbits-page.png"}}) {
        page->setGeometry(0, 0, 1280, 720);
        if (page == starOrbit) {
            const QPoint sun = StarOrbitCentre();
            starOrbit->horizontalScrollBar()->setValue(sun.x() - 640);
            starOrbit->verticalScrollBar()->setValue(sun.y() - 360);
        }
        const QString path = QString::fromLocal8Bit(out) + "/" + file;
        if (!page->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
