// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/ChartCaptions.h"

#include "drawing/TextBytes.h"

QString ScreenCaption(ChartKind kind, CoordinateFrame frame) {
    return Latin1Text(ChartKindName(kind)) + ' ' + Latin1Text(FrameName(frame));
}

QString SaveCaption(ChartKind kind, CoordinateFrame frame) {
    const QString name = kind == ChartKind::Constellations ? QStringLiteral("Cnst")
                                                           : Latin1Text(ChartKindName(kind));
    return name + ' ' + Latin1Text(FrameName(frame));
}
