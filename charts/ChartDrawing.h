// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "charts/RenderContract.h"
#include "drawing/TextStamp.h"

// What a chart draws on its canvas, in drawing order: red track pixels and text stamps (the title
// last). Nothing is drawn until the pixels of some part of the canvas are asked for, so a chart
// needs no memory for the parts of its canvas that stay background.
//
// Drawing rules, the same for every part asked for: the canvas starts in the background colour;
// a track point sets its pixel to pure red; a stamp blends the text colour over what lies below,
// in proportion to its coverage; nothing lands outside the canvas.
class ChartDrawing {
  public:
    // `canvas`: at most 65535 x 65535 pixels.
    ChartDrawing(QSize canvas, ChartColours colours);
    ~ChartDrawing();
    ChartDrawing(const ChartDrawing&) = delete;
    ChartDrawing& operator=(const ChartDrawing&) = delete;

    QSize Canvas() const { return canvas_; }
    QRect CanvasRect() const { return QRect(QPoint(0, 0), canvas_); }

    // A red pixel at column `x`, row `y` (drawn only when it lies on the canvas).
    void AddPoint(std::int64_t x, std::int64_t y) {
        if (x >= 0 && y >= 0 && x < canvas_.width() && y < canvas_.height()) {
            points_.push_back(Point{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)});
        }
    }
    // `stamp` put down with its text origin at column `x`, row `y`. An opaque text (what the
    // Windows text call draws in its default background mode) first fills its level cell with
    // the background colour, hiding the points drawn before it there.
    void AddText(std::int64_t x, std::int64_t y, std::shared_ptr<const TextStamp> stamp,
                 bool opaque = false);

    // Whether the chart's pixels differ from the background exactly where the marks fall, which
    // holds for the screen and Export colour pairs: then InkBounds is the auto-crop rectangle.
    bool InkIsVisible() const;
    // The smallest rectangle of the canvas holding every pixel that a mark changes (a point on
    // the canvas, a stamp pixel with some coverage); empty when no mark lands on the canvas.
    QRect InkBounds() const;

    // The canvas pixels inside `window` (a rectangle of the canvas) after every mark was drawn:
    // the same pixels as a copy of that part of the whole canvas. Nothing when the image cannot
    // be made.
    std::optional<QImage> Paint(const QRect& window) const;

    struct Point {
        std::uint16_t X;
        std::uint16_t Y;
    };

  private:
    struct Text {
        std::size_t AfterPoints;  // drawn after this many points of points_
        std::int64_t X;
        std::int64_t Y;
        const TextStamp* Stamp;
        bool Opaque;
    };

    // Whether the point of index `index` is hidden by the opaque cell of a later text.
    bool Hidden(std::size_t index) const;

    QSize canvas_;
    ChartColours colours_;
    std::vector<Point> points_;  // the points on the canvas, in drawing order
    std::vector<Text> texts_;
    std::vector<std::shared_ptr<const TextStamp>> stamps_;  // keeps the stamps of texts_
};
