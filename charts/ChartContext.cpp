// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/ChartContext.h"

#include "data/CurrentStar.h"

RenderInputs MakeRenderInputs(const ChartContext& context, const FrameTrack& track,
                              const QString& caption, ChartColours colours) {
    RenderInputs inputs;
    inputs.Fonts = context.Fonts;
    inputs.Title = context.Title;
    inputs.Header = context.Star != nullptr && context.Star->Star() != nullptr
                        ? &context.Star->Star()->Header()
                        : nullptr;
    inputs.Colours = colours;
    inputs.Caption = caption;
    inputs.Track = track;
    inputs.Extents = context.Extents;
    inputs.Messages = context.Messages;
    inputs.MainClientSize =
        context.MainClientSize.width() > 0 ? context.MainClientSize : QSize(1920, 1080);
    return inputs;
}
