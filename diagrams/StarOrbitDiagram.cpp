// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagrams/StarOrbitDiagram.h"

#include <QPainter>
#include <cmath>

#include "astro/OrbitalFormulas.h"
#include "drawing/Fonts.h"

namespace {

using namespace StarOrbitDiagram;

const PlanetOrbit& Planet(const char* name) {
    for (const PlanetOrbit& planet : kPlanetTable) {
        if (std::string_view(planet.Name) == name) {
            return planet;
        }
    }
    return kPlanetTable.back();
}

// Pens of the planets and the Sun in drawing order (0x00BBGGRR), and which end of the orbit
// each label is written at.
struct PlanetPen {
    const char* Name;
    std::uint32_t Pen;
    bool LabelAtRight;
};
constexpr PlanetPen kPlanetPens[] = {
    {"Neptune", 0x0000FF, false}, {"Uranus", 0x00FF00, false},  {"Saturn", 0x00FFFF, false},
    {"Mars", 0xFF0000, false},    {"Earth", 0xFF00FF, false},   {"Venus", 0xFFFF00, false},
    {"Mercury", 0x004080, true},  {"Jupiter", 0xFF0080, false},
};
constexpr std::uint32_t kSunPen = 0x00FFFF;
constexpr std::uint32_t kStarPen = 0x0080FF;

// Whether e and a describe an ellipse: a real, finite semi-minor axis.
bool IsEllipse(double eccentricity, double semiMajorAxis) {
    return std::isfinite(semiMajorAxis) && std::isfinite(eccentricity) &&
           std::abs(eccentricity) < 1;
}

StarOrbitEllipse Orbit(QString label, double a, double b, std::uint32_t pen, bool labelAtRight) {
    const QPoint centre = StarOrbitCentre();
    const EllipseBox box = StarOrbitBox(a, b, centre);
    return {std::move(label), box, pen, QPoint(labelAtRight ? box.Right : box.Left, centre.y())};
}

}  // namespace

EllipseBox StarOrbitBox(double a, double b, QPoint centre) {
    const int w = TruncatedPixels(a * kPixelsPerAu);
    const int h = TruncatedPixels(b * kPixelsPerAu);
    const double halfWidth = w / 2.0;
    const double halfHeight = (h - 40) / 2.0;
    return {TruncatedPixels(centre.x() - halfWidth), TruncatedPixels(centre.y() - halfHeight),
            TruncatedPixels(centre.x() + halfWidth), TruncatedPixels(centre.y() + halfHeight)};
}

QPoint StarOrbitCentre() {
    const PlanetOrbit& neptune = Planet("Neptune");
    const int w = TruncatedPixels(neptune.SemiMajorAxis * kPixelsPerAu);
    const int h =
        TruncatedPixels(SemiMinorAxis(neptune.SemiMajorAxis, neptune.Eccentricity) * kPixelsPerAu);
    return QPoint(w / 2, (h - 40) / 2);
}

StarOrbitDrawing DrawStarOrbits(const OrbitElementsLookup& lookup, const QString& starName,
                                std::uint32_t textColour) {
    StarOrbitDrawing drawing{{}, textColour};
    if (!lookup.Prepared) {
        drawing.TextColour = kUndrawnTitleColour;
        return drawing;
    }
    if (!lookup.Row) {
        return drawing;
    }
    for (const PlanetPen& pen : kPlanetPens) {
        const PlanetOrbit& planet = Planet(pen.Name);
        drawing.Ellipses.push_back(Orbit(pen.Name, planet.SemiMajorAxis,
                                         SemiMinorAxis(planet.SemiMajorAxis, planet.Eccentricity),
                                         pen.Pen, pen.LabelAtRight));
    }
    const PlanetOrbit& mercury = Planet("Mercury");
    drawing.Ellipses.push_back(Orbit("Sun", mercury.SemiMajorAxis / 2,
                                     SemiMinorAxis(mercury.SemiMajorAxis, mercury.Eccentricity) / 2,
                                     kSunPen, false));

    const double e = lookup.Row->Eccentricity;
    const double a = std::abs(lookup.Row->SemiMajorAxis);
    if (IsEllipse(e, a)) {
        drawing.Ellipses.push_back(Orbit(starName, a, SemiMinorAxis(a, e), kStarPen, true));
    }
    // Set after Neptune's orbit, before its label; the labels and the title keep it.
    drawing.TextColour = kLabelColour;
    return drawing;
}

std::optional<StarOrbitScene> DescribeStarOrbit(const DiagramInputs& inputs) {
    const std::optional<QString> title = DiagramTitle(inputs, "Star Orbite");
    if (!title || inputs.Fonts == nullptr || inputs.Database == nullptr) {
        return std::nullopt;
    }
    const SpkId id = inputs.Header->Id;
    if (!QueryOrbitElements(*inputs.Database, id)) {
        return std::nullopt;
    }
    StarOrbitScene scene;
    scene.Id = id;
    scene.Fonts = inputs.Fonts;
    scene.Background = inputs.Colours.Background;
    scene.Title = *title;
    scene.Drawing =
        DrawStarOrbits(LookupOrbitElements(*inputs.Database, id),
                       QString::fromStdString(*inputs.Title.SelectedStarName), inputs.Colours.Text);
    return scene;
}

void PaintStarOrbit(QPainter& painter, const StarOrbitScene& scene) {
    painter.fillRect(0, 0, kWidth, kHeight, ColourOf(scene.Background));
    const QColor labelColour = ColourOf(kLabelColour);
    for (const StarOrbitEllipse& orbit : scene.Drawing.Ellipses) {
        DrawBoxEllipse(painter, orbit.Box, ColourOf(orbit.Pen), kPenWidth);
        DrawTextCell(painter, scene.Fonts->AltLabelFont, orbit.LabelOrigin, orbit.Label,
                     labelColour);
    }
    DrawTextCell(painter, scene.Fonts->TitleFont, kTitleOrigin, scene.Title,
                 ColourOf(scene.Drawing.TextColour));
}

std::optional<QImage> RenderStarOrbit(const StarOrbitScene& scene) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    if (image.isNull()) {
        return std::nullopt;
    }
    QPainter painter(&image);
    PaintStarOrbit(painter, scene);
    painter.end();
    return image;
}

std::optional<QImage> RenderStarOrbit(const DiagramInputs& inputs) {
    const std::optional<StarOrbitScene> scene = DescribeStarOrbit(inputs);
    return scene ? RenderStarOrbit(*scene) : std::nullopt;
}
