// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QSize>

// A new RGB32 image of `size` pixels for a chart, its pixels undefined; a null image when the
// memory cannot be had. Chart images are large and come and go by the dozen with every star
// choice, so the memory of an image that is released is kept and handed to the next one of a
// similar size: a new chart is then written into memory already in use instead of fresh pages
// that the system must first find and clear. Large blocks ask the system for large pages.
QImage NewChartImage(QSize size);
