// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagrams/OrbitsDiagram.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "astro/OrbitalFormulas.h"
#include "drawing/Fonts.h"
#include "drawing/Imaging.h"

namespace {

using namespace OrbitsDiagram;

bool IsEllipse(double eccentricity, double semiMajorAxis) {
    return std::isfinite(semiMajorAxis) && std::isfinite(eccentricity) &&
           std::abs(eccentricity) < 1;
}

bool ScaledDown(double pixelsPerAu) {
    return pixelsPerAu < kPixelsPerAu;
}

// The orbit's image width, trunc(|a| px); exactly kMaxOrbitWidth at a reduced scale.
int OrbitWidth(double a, double pixelsPerAu) {
    return ScaledDown(pixelsPerAu) ? kMaxOrbitWidth : TruncatedPixels(std::abs(a) * pixelsPerAu);
}

EllipseBox DiscAround(int x, int y, int radius) {
    return {x - radius, y - radius, x + radius, y + radius};
}

QRect Normalised(const EllipseBox& box) {
    return QRect(QPoint(std::min(box.Left, box.Right), std::min(box.Top, box.Bottom)),
                 QPoint(std::max(box.Left, box.Right), std::max(box.Top, box.Bottom)));
}

}  // namespace

double OrbitsPixelsPerAu(double a) {
    const double magnitude = std::abs(a);
    if (!(magnitude * kPixelsPerAu > kMaxOrbitWidth)) {
        return kPixelsPerAu;
    }
    return std::isfinite(magnitude) ? kMaxOrbitWidth / magnitude : kPixelsPerAu;
}

std::optional<OrbitsDrawing> DrawOrbit(const OrbitElementsRow& row, double pixelsPerAu) {
    const double e = row.Eccentricity;
    const double a = std::abs(row.SemiMajorAxis);
    if (!IsEllipse(e, a)) {
        return std::nullopt;
    }
    const double b = SemiMinorAxis(a, e);
    const int w = OrbitWidth(a, pixelsPerAu);
    const int h = TruncatedPixels(b * pixelsPerAu);
    const int x = w / 2;
    const int m = (h - 40) / 2;
    const int xs = TruncatedPixels(row.PerihelionDistance * pixelsPerAu / 2);
    const int xq = w - TruncatedPixels(row.ApelionDistance * pixelsPerAu / 2);
    return OrbitsDrawing{{0, 40, w, h},
                         QLine(x, 40, x, h),
                         QLine(0, m + 40, w, m + 40),
                         DiscAround(xs, m + 40, 20),
                         DiscAround(xq, m + 40, 15)};
}

std::optional<OrbitsScene> DescribeOrbits(const DiagramInputs& inputs) {
    std::optional<QString> title = DiagramTitle(inputs, "Orbites");
    if (!title || inputs.Fonts == nullptr || inputs.Database == nullptr) {
        return std::nullopt;
    }
    const SpkId id = inputs.Header->Id;
    const std::optional<OrbitElementsRow> row = QueryOrbitElements(*inputs.Database, id);
    if (!row) {
        return std::nullopt;
    }
    const double a = row->SemiMajorAxis;  // as stored: a negative value makes the canvas narrow
    const double pixelsPerAu = OrbitsPixelsPerAu(a);
    if (ScaledDown(pixelsPerAu)) {
        // Three significant digits: 1.6 million au gives "0.041", not "0.0".
        *title += QString::asprintf(" - 1 au = %.3g pixels", pixelsPerAu / 2);
    }
    const int titleWidth = QFontMetrics(inputs.Fonts->TitleFont.Font).horizontalAdvance(*title);
    int width = 0;
    if (IsEllipse(row->Eccentricity, a)) {
        const double b = SemiMinorAxis(a, row->Eccentricity);
        width = a > 0 && ScaledDown(pixelsPerAu) ? kMaxOrbitWidth
                                                 : TruncatedPixels(std::max(a, b) * pixelsPerAu);
    }
    width = std::max(width, 2 * titleWidth);

    OrbitsScene scene;
    scene.Id = id;
    scene.Fonts = inputs.Fonts;
    scene.Colours = inputs.Colours;
    scene.Canvas = QSize(width, width + 40);
    scene.Title = *title;
    const OrbitElementsLookup drawingRow = LookupOrbitElements(*inputs.Database, id);
    if (drawingRow.Row) {
        scene.Drawing = DrawOrbit(*drawingRow.Row, pixelsPerAu);
    }
    return scene;
}

void PaintOrbits(QPainter& painter, const OrbitsScene& scene) {
    const QColor background = ColourOf(scene.Colours.Background);
    painter.fillRect(QRect(QPoint(0, 0), scene.Canvas), background);
    if (const std::optional<OrbitsDrawing>& drawing = scene.Drawing) {
        const QColor grey = ColourOf(kAxisPen);
        DrawBoxEllipse(painter, drawing->Orbit, ColourOf(kOrbitPen), 2, &background);
        DrawLineTo(painter, drawing->MinorAxis.p1(), drawing->MinorAxis.p2(), grey);
        DrawLineTo(painter, drawing->MajorAxis.p1(), drawing->MajorAxis.p2(), grey);
        const QColor sun = ColourOf(kSunBrush);
        DrawBoxEllipse(painter, drawing->Sun, grey, 1, &sun);
        const QColor aphelion = ColourOf(kAphelionBrush);
        DrawBoxEllipse(painter, drawing->AphelionDisc, grey, 1, &aphelion);
    }
    // Nothing set the background mode: the title's cell is painted opaque.
    DrawTextCell(painter, scene.Fonts->TitleFont, kTitleOrigin, scene.Title,
                 ColourOf(scene.Colours.Text), &background);
}

QRect OrbitsContentBounds(const OrbitsScene& scene) {
    // Generous around the title: glyphs may reach a little outside their cell.
    const int titleWidth = QFontMetrics(scene.Fonts->TitleFont.Font).horizontalAdvance(scene.Title);
    QRect bounds(0, 0, kTitleOrigin.x() + titleWidth + 32,
                 kTitleOrigin.y() + scene.Fonts->TitleFont.CellHeight + 32);
    if (const std::optional<OrbitsDrawing>& drawing = scene.Drawing) {
        for (const EllipseBox& box : {drawing->Orbit, drawing->Sun, drawing->AphelionDisc}) {
            bounds |= Normalised(box).adjusted(-4, -4, 4, 4);
        }
    }
    return bounds & QRect(QPoint(0, 0), scene.Canvas);
}

namespace {

// The scene painted on `area` of its canvas alone.
std::optional<QImage> PaintedPart(const OrbitsScene& scene, const QRect& area) {
    QImage part(area.size(), QImage::Format_RGB32);
    if (part.isNull()) {
        return std::nullopt;
    }
    QPainter painter(&part);
    painter.translate(-area.topLeft());
    PaintOrbits(painter, scene);
    painter.end();
    return part;
}

// The smallest rectangle around the pixels `area` holds that differ from the background
// (canvas coordinates), or nothing.
std::optional<QRect> DrawnPart(const OrbitsScene& scene, const QRect& area) {
    const std::optional<QImage> part = PaintedPart(scene, area);
    if (!part) {
        return std::nullopt;
    }
    const std::optional<QRect> drawn =
        Imaging::ContentRect(*part, ColourOf(scene.Colours.Background));
    return drawn ? std::optional(drawn->translated(area.topLeft())) : std::nullopt;
}

}  // namespace

std::optional<QRect> OrbitsCropRect(const OrbitsScene& scene) {
    const QRect bounds = OrbitsContentBounds(scene);
    constexpr int kStrip = 32;  // pixels
    // Strips across the bounds from one side inwards, up to the first that holds a drawn pixel:
    // its outermost drawn pixel is the drawing's on that side.
    const auto firstDrawn = [&](const auto& strip) -> std::optional<QRect> {
        for (int i = 0;; ++i) {
            const QRect area = strip(i) & bounds;
            if (area.isEmpty()) {
                return std::nullopt;
            }
            if (std::optional<QRect> drawn = DrawnPart(scene, area)) {
                return drawn;
            }
        }
    };
    const std::optional<QRect> top = firstDrawn([&](int i) {
        return QRect(bounds.left(), bounds.top() + i * kStrip, bounds.width(), kStrip);
    });
    const std::optional<QRect> bottom = firstDrawn([&](int i) {
        return QRect(bounds.left(), bounds.bottom() + 1 - (i + 1) * kStrip, bounds.width(), kStrip);
    });
    if (!top || !bottom) {
        return std::nullopt;
    }
    const int height = bottom->bottom() - top->top() + 1;
    const std::optional<QRect> left = firstDrawn(
        [&](int i) { return QRect(bounds.left() + i * kStrip, top->top(), kStrip, height); });
    const std::optional<QRect> right = firstDrawn([&](int i) {
        return QRect(bounds.right() + 1 - (i + 1) * kStrip, top->top(), kStrip, height);
    });
    if (!left || !right) {
        return std::nullopt;
    }
    return QRect(QPoint(left->left(), top->top()), QPoint(right->right(), bottom->bottom()));
}

std::optional<QImage> RenderOrbits(const OrbitsScene& scene) {
    const std::optional<QRect> crop = OrbitsCropRect(scene);
    return crop ? PaintedPart(scene, *crop) : std::nullopt;
}

std::optional<QImage> RenderOrbits(const DiagramInputs& inputs) {
    const std::optional<OrbitsScene> scene = DescribeOrbits(inputs);
    return scene ? RenderOrbits(*scene) : std::nullopt;
}
