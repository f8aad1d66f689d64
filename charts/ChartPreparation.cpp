// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/ChartPreparation.h"

#include "charts/ChartCaptions.h"

void PrepareCharts(const CurrentStar& star, const ChartPreparationTargets& targets) {
    if (star.Star() == nullptr) {
        return;
    }
    const auto status = [&](const QString& text) {
        if (targets.ShowStatus)
            targets.ShowStatus(text);
    };
    status("Preparing Star Orbit");
    if (targets.RefreshOrbitsPane)
        targets.RefreshOrbitsPane();
    if (targets.RefreshStarOrbitPane)
        targets.RefreshStarOrbitPane();
    for (const FrameGroup& group : kFrameGroups) {
        status(group.StatusText);
        // The Cursor is read once per group; its five charts start from the same FramePoint.
        const FrameTrack track{star.Cursor(), group.Frame};
        if (!targets.RefreshChart)
            continue;
        for (ChartKind kind : kPreparationOrder)
            targets.RefreshChart(kind, track, ScreenCaption(kind, group.Frame));
    }
    status("Ready");
}
