// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "charts/ChartContext.h"
#include "charts/ChartKind.h"
#include "charts/RenderContract.h"
#include "data/CoordinateFrame.h"
#include "data/FrameTrack.h"

class Catalogue;
class ChartPane;
class CurrentStar;
class MessageService;
class QWidget;
class ViewPane;
struct FontTable;

// What the chart panes read from the rest of the program, at the moment they draw.
struct ChartBoardProviders {
    // The toolbar's read-outs: the selected star's name and the selected year.
    std::function<ChartTitleInputs()> TitleInputs;
    // The main window's client size in pixels (the View chart's vertical scale); an empty size,
    // or no provider, counts as 1920 x 1080.
    std::function<QSize()> MainClientSize;
    // The star whose charts are drawn: its header, and the Cursor the View pages paint from.
    const CurrentStar* Star = nullptr;
    // For the Perihelion charts' passage time and period; without it they are never redrawn.
    const Catalogue* Database = nullptr;
    // Where "Nivra cannot draw these datas!" goes.
    MessageService* Messages = nullptr;
};

// The sky-chart pages of the main window and what draws them: the four View pages and the four
// ChartPanes with their sixteen FramePanes, and the PlotExtents they share for the whole run.
// Chart preparation hands it every chart through RefreshChart.
class ChartBoard {
  public:
    // `fonts` must outlive the board (the main window's fonts).
    ChartBoard(const FontTable& fonts, ChartBoardProviders providers);

    // The View page of `frame` (NVR_ASTRO, NVR_EARTH, NVR_GALAC, NVR_GEO), a child of `parent`.
    QWidget* CreateViewPage(CoordinateFrame frame, QWidget* parent);
    // The ChartPane of a wide kind (NVR_TRVL, NVR_CNST, NVR_Years, NVR_Peri), a child of
    // `parent`; null for ChartKind::View.
    QWidget* CreateChartPage(ChartKind kind, QWidget* parent);

    // Draws one chart for the screen from `track`, with `caption` in its title: the View page
    // of the track's frame is painted at once when it is visible (and its render sets the
    // PlotExtents either way); a wide chart replaces its FramePane's image when the render gives
    // one, else the pane keeps what it showed. The Perihelion chart is drawn only when the
    // catalogue gives the star's passage time and period.
    void RefreshChart(ChartKind kind, const FrameTrack& track, const QString& caption);

    // What every render for the screen reads now; its Extents point at the board's PlotExtents.
    ChartContext Context();

    PlotExtents& Extents() { return extents_; }
    ViewPane* ViewPage(CoordinateFrame frame) const;
    ChartPane* ChartPage(ChartKind kind) const;

  private:
    std::optional<QImage> RenderViewForPaint(CoordinateFrame frame);
    // The window that owns a render's failure message: the main window for a View chart, the
    // ChartPane of a Constellations, Perihelion or Travel chart, none for a Years chart.
    QObject* FailureOwner(ChartKind kind, CoordinateFrame frame) const;
    const StarFileHeader* Header() const;

    const FontTable& fonts_;
    ChartBoardProviders providers_;
    PlotExtents extents_;
    std::array<QPointer<ViewPane>, 4> viewPages_;    // Astrometric, Earth, Galactic, Geometric
    std::array<QPointer<ChartPane>, 5> chartPages_;  // by ChartKind
};
