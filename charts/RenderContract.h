// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "charts/ChartKind.h"
#include "data/FrameTrack.h"
#include "data/StarFile.h"
#include "drawing/ChartColours.h"

class MessageService;
struct FontTable;

// The toolbar's read-outs at the moment of the render.
struct ChartTitleInputs {
    // The text of the star selector's selection (UTF-8); nothing when no star is selected.
    std::optional<std::string> SelectedStarName;
    // -1 nothing selected, 0 "(All years)" (or the 1900 item), else the chosen first year.
    int SelectedYear = -1;
};

// Shared by the View, Travel and Years plots for the whole run; both start at 0. The View
// render overwrites them, Travel and Years only extend them, and Years crops to them.
struct PlotExtents {
    double MaxX = 0;  // pixels
    double MaxY = 0;  // pixels
};

// Everything a chart render reads. Renders are pure functions of these inputs (and of the
// PlotExtents they update); they never touch a widget.
struct RenderInputs {
    const FontTable* Fonts = nullptr;
    ChartTitleInputs Title;
    const StarFileHeader* Header = nullptr;  // SpkId, FirstYear, LastYear of the loaded file
    ChartColours Colours = kScreenColours;
    QString Caption;   // "Travel Astrometric", "Cnst Earth", ...
    FrameTrack Track;  // from the Cursor to the terminating record
    PlotExtents* Extents = nullptr;
    // Where "Nivra cannot draw these datas!" goes when a render fails (null: nowhere).
    MessageService* Messages = nullptr;
    // The main window's client size; the View chart's vertical scale depends on it.
    QSize MainClientSize{1920, 1080};
};

// What a render shows when it cannot make its image (caption "Nivra says", error icon).
inline constexpr const char* kRenderFailureText = "Nivra cannot draw these datas!";

// The Perihelion chart's extra inputs, from the catalogue's PerihelionQuery.
struct PerihelionPassage {
    double Time = 0;    // TimePerihelionPassage, Julian day
    double Period = 0;  // OrbitalPeriod, days
};

// How a render reaches its pixels. Fast draws only the part of the canvas that ends up in the
// image, found from the marks; Reference draws the whole canvas and then crops it by scanning,
// as the imaging module would. Both give the same image, pixel for pixel. FullCanvas gives the
// whole canvas before any crop (to look at where things land).
enum class RenderPath { Fast, Reference, FullCanvas };

// The render of `kind`: the chart image (owned by the caller), or nothing when no star or no year
// is selected, or the drawing failed (then the message has been shown). `passage` is read by the
// Perihelion chart only.
std::optional<QImage> RenderChart(ChartKind kind, const RenderInputs& inputs,
                                  const PerihelionPassage& passage = {},
                                  RenderPath path = RenderPath::Fast);

// The View chart (RenderChart of ChartKind::View).
std::optional<QImage> RenderViewChart(const RenderInputs& inputs);
// The Perihelion chart of a passage time `passage` (Julian day) and an orbital period `period`
// (days).
std::optional<QImage> RenderPerihelionChart(const RenderInputs& inputs, double passage,
                                            double period);

// The title line of every chart, "{%lu} - %s - %s - Years from %d to %d" (SpkId, selected star
// name, caption, start year, last year) cut to 255 bytes as a 256-byte buffer holds it. The start
// year is the selected year, or the header's FirstYear when "(All years)" (0) is selected.
// Nothing when no star or no year is selected or no file is loaded.
std::optional<QString> FormatChartTitle(const ChartTitleInputs& title, const StarFileHeader* header,
                                        const QString& caption);
