#include "diagrams/DiagramDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/Fonts.h"

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
    // One step back from `to` along the line: its last pixel is not drawn.
    const QPoint last(to.x() - (to.x() > from.x()) + (to.x() < from.x()),
                      to.y() - (to.y() > from.y()) + (to.y() < from.y()));
    painter.setPen(QPen(colour, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, last);
}

void DrawTextCell(QPainter& painter, const ProgramFont& font, QPoint origin, const QString& text,
                  QColor colour) {
    painter.save();
    painter.translate(origin);
    painter.rotate(font.RotationDegrees());
    painter.setFont(font.Font);
    painter.setPen(colour);
    painter.drawText(QPointF(0, QFontMetricsF(font.Font, painter.device()).ascent()), text);
    painter.restore();
}
