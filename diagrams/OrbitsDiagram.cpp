#include "diagrams/OrbitsDiagram.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/Fonts.h"
#include "app/Imaging.h"
#include "astro/OrbitalFormulas.h"

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
        *title += QString::asprintf(" - 1 au = %.1f pixels", pixelsPerAu / 2);
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
    DrawTextCell(painter, scene.Fonts->TitleFont, kTitleOrigin, scene.Title,
                 ColourOf(scene.Colours.Text));
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

std::optional<QImage> RenderOrbits(const OrbitsScene& scene) {
    const QRect region = OrbitsContentBounds(scene);
    if (region.isEmpty()) {
        return std::nullopt;
    }
    QImage canvas(region.size(), QImage::Format_RGB32);
    if (canvas.isNull()) {
        return std::nullopt;
    }
    QPainter painter(&canvas);
    painter.translate(-region.topLeft());
    PaintOrbits(painter, scene);
    painter.end();
    return Imaging::AutoCrop(canvas, ColourOf(scene.Colours.Background));
}

std::optional<QImage> RenderOrbits(const DiagramInputs& inputs) {
    const std::optional<OrbitsScene> scene = DescribeOrbits(inputs);
    return scene ? RenderOrbits(*scene) : std::nullopt;
}
