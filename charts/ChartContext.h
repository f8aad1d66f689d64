// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <QString>

#include "charts/RenderContract.h"
#include "data/FrameTrack.h"

class CurrentStar;
class MessageService;
struct FontTable;

// What every chart render of the loaded star reads besides its track, caption and colours. The
// chart pages, Save and Export, and nivra export each fill one and make their renders' inputs
// from it with MakeRenderInputs.
struct ChartContext {
    const FontTable* Fonts = nullptr;
    ChartTitleInputs Title;             // the toolbar's read-outs
    const CurrentStar* Star = nullptr;  // the loaded file; no header without one
    PlotExtents* Extents = nullptr;     // the extents the run shares (null: the render's own)
    // Where "Nivra cannot draw these datas!" goes (null: nowhere).
    MessageService* Messages = nullptr;
    // The main window's client area (pixels), which sets the View chart's vertical scale; an
    // empty size counts as 1920 x 1080, as without a window.
    QSize MainClientSize;
};

// The inputs of a render of `track` with `caption` in its title and in `colours`.
RenderInputs MakeRenderInputs(const ChartContext& context, const FrameTrack& track,
                              const QString& caption, ChartColours colours = kScreenColours);
