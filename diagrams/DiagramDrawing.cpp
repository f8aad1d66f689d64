// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagrams/DiagramDrawing.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "drawing/Fonts.h"
#include "drawing/TextStamp.h"

namespace {
// Far beyond any image the program makes, small enough for every sum of two such values.
constexpr double kPixelLimit = 16777216.0;  // 2^24 pixels
}  // namespace

int TruncatedPixels(double pixels) {
    if (std::isnan(pixels)) {
        return 0;
    }
    return static_cast<int>(std::trunc(std::clamp(pixels, -kPixelLimit, kPixelLimit)));
}

void DrawBoxEllipse(QPainter& painter, const EllipseBox& box, QColor pen, int penWidth,
                    const QColor* fill) {
    const int left = std::min(box.Left, box.Right);
    const int right = std::max(box.Left, box.Right);
    const int top = std::min(box.Top, box.Bottom);
    const int bottom = std::max(box.Top, box.Bottom);
    // The pen is centred on the path; insetting the path by half the pen keeps the outline
    // within the box's columns left .. right - 1 and rows top .. bottom - 1.
    const double inset = penWidth / 2.0;
    const QRectF path(left + inset, top + inset, (right - left) - penWidth,
                      (bottom - top) - penWidth);
    painter.setPen(QPen(pen, penWidth, Qt::SolidLine));
    painter.setBrush(fill != nullptr ? QBrush(*fill) : QBrush(Qt::NoBrush));
    painter.drawEllipse(path);
}

void DrawLineTo(QPainter& painter, QPoint from, QPoint to, QColor colour) {
    if (from == to) {
        return;
    }
    // An aliased one-pixel line with a flat cap leaves out its end point, as a line drawn to a
    // point does.
    painter.setPen(QPen(colour, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to);
}

void DrawTextCell(QPainter& painter, const ProgramFont& font, QPoint origin, const QString& text,
                  QColor colour, const QColor* opaqueBackground) {
    // The charts' stamp of the text, so that a text looks the same in a diagram and in a chart.
    const std::shared_ptr<const TextStamp> stamp = StampText(font, text);
    if (opaqueBackground != nullptr)
        painter.fillRect(stamp->Cell.translated(origin), *opaqueBackground);
    const QRect ink = stamp->Ink;
    if (ink.isEmpty()) {
        return;
    }
    QImage coloured(ink.size(), QImage::Format_ARGB32_Premultiplied);
    if (coloured.isNull()) {
        return;
    }
    for (int y = 0; y < ink.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(coloured.scanLine(y));
        for (int x = 0; x < ink.width(); ++x) {
            const int coverage = stamp->At(ink.left() + x, ink.top() + y);
            line[x] = qPremultiply(qRgba(colour.red(), colour.green(), colour.blue(), coverage));
        }
    }
    painter.drawImage(origin + ink.topLeft(), coloured);
}
