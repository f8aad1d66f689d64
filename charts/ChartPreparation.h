// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <functional>

#include "charts/ChartKind.h"
#include "data/CurrentStar.h"
#include "data/FrameTrack.h"

// Where chart preparation sends its work: the status text, the two diagrams and every chart
// pane. An empty target is skipped.
struct ChartPreparationTargets {
    // Writes part 0 of the status bar and shows it at once.
    std::function<void(const QString& text)> ShowStatus;
    std::function<void()> RefreshOrbitsPane;
    std::function<void()> RefreshStarOrbitPane;
    // Redraws the pane of one chart kind and frame from `track`, with `caption` in its title.
    std::function<void(ChartKind kind, const FrameTrack& track, const QString& caption)>
        RefreshChart;
};

// The frame groups in the order they are drawn, with their status texts.
struct FrameGroup {
    CoordinateFrame Frame;
    const char* StatusText;
};
inline constexpr FrameGroup kFrameGroups[] = {
    {CoordinateFrame::Astrometric, "Astrometric datas"},
    {CoordinateFrame::Earth, "Earth datas"},
    {CoordinateFrame::Galactic, "Galactic datas"},
    {CoordinateFrame::Geometric, "Geometric datas"},
};

// The chart kinds of a group in drawing order: View, Travel and Years share the PlotExtents,
// so this order decides what each of them sees.
inline constexpr ChartKind kPreparationOrder[] = {ChartKind::View, ChartKind::Travel,
                                                  ChartKind::Constellations, ChartKind::Years,
                                                  ChartKind::Perihelion};

// Redraws every chart for the current star from its Cursor: "Preparing Star Orbit" and the two
// diagrams, then for each frame group its status text and its five charts, then "Ready". With
// no star loaded it does nothing at all.
void PrepareCharts(const CurrentStar& star, const ChartPreparationTargets& targets);
