// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/PixelMapping.h"

double ViewVerticalScale(QSize mainClientSize) {
    if (mainClientSize.width() <= 0) {
        mainClientSize = QSize(1920, 1080);
    }
    const double aspect =
        static_cast<double>(mainClientSize.width()) / static_cast<double>(mainClientSize.height());
    return kViewPixelsPerDegree / aspect;
}
