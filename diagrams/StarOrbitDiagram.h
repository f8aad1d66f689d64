// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "diagrams/DiagramDrawing.h"
#include "diagrams/DiagramInputs.h"

class QPainter;

// The Star Orbit diagram: the current star's orbit among the eight planets and the Sun, every
// orbit an axis-aligned ellipse about one common centre, its semi-major axis horizontal, drawn
// 200 pixels wide per au of semi-major axis (100 pixels per au of length).

// A planet's orbit: eccentricity, and semi-major axis in au.
struct PlanetOrbit {
    const char* Name;
    double Eccentricity;
    double SemiMajorAxis;  // au
};

// The planets in order from the Sun (the diagram's own fixed values).
inline constexpr std::array<PlanetOrbit, 8> kPlanetTable = {{
    {"Mercury", 0.20563, 0.387098},
    {"Venus", 0.0067, 0.723327},
    {"Earth", 0.01671123, 1.00000261},
    {"Mars", 0.0934, 1.523679},
    {"Jupiter", 0.04839266, 5.20336301},
    {"Saturn", 0.055723219, 9.5820172},
    {"Uranus", 0.047220087, 19.189253},
    {"Neptune", 0.00867797, 30.0709},
}};

namespace StarOrbitDiagram {
inline constexpr double kPixelsPerAu = 200;  // image width of an orbit per au of semi-major axis
// 200 x the whole au of Neptune's semi-major axis; the size does not depend on the star.
inline constexpr int kWidth = 6000;                      // pixels
inline constexpr int kHeight = kWidth + 40;              // pixels
inline constexpr std::uint32_t kLabelColour = 0x0099FF;  // every label, and the title after them
// The title's colour when the drawing statement cannot be prepared.
inline constexpr std::uint32_t kUndrawnTitleColour = 0xFFFFFF;
inline constexpr int kPenWidth = 2;  // pixels
inline constexpr QPoint kTitleOrigin{16, 16};
}  // namespace StarOrbitDiagram

// The box of an orbit of semi-major axis `a` and semi-minor axis `b` (au, not negative) about
// `centre`: width w = trunc(200 a), height h = trunc(200 b), half-axes w / 2 and (h - 40) / 2
// kept fractional, each edge truncated toward zero. The vertical half-axis is thus about 20
// pixels shorter than 100 b.
EllipseBox StarOrbitBox(double a, double b, QPoint centre);

// The common centre, set by Neptune's orbit: (3007, 2986).
QPoint StarOrbitCentre();

// One drawn orbit: its box, pen colour (0x00BBGGRR) and label, written at `LabelOrigin` on the
// centre's row, at the box's left or right end.
struct StarOrbitEllipse {
    QString Label;
    EllipseBox Box;
    std::uint32_t Pen = 0;
    QPoint LabelOrigin;
};

// What the drawing step leaves: the orbits in drawing order (Neptune, Uranus, Saturn, Mars,
// Earth, Venus, Mercury, Jupiter, the Sun, the star) and the text colour the title is then
// written in.
struct StarOrbitDrawing {
    std::vector<StarOrbitEllipse> Ellipses;
    std::uint32_t TextColour = 0;  // 0x00BBGGRR
};

// The drawing step, from its run of OrbitElementsQuery. A text that cannot be prepared draws
// nothing and turns the title white; no row draws nothing and keeps `textColour`; a row draws
// the planets and the Sun, then the star from e = column 1 and a = |column 2|, all labelled in
// 0x0099FF, which the title then takes. An orbit that is not an ellipse (|e| >= 1, or a or e
// not a number) has no semi-minor axis: the planets and the Sun are drawn, the star is not.
StarOrbitDrawing DrawStarOrbits(const OrbitElementsLookup& lookup, const QString& starName,
                                std::uint32_t textColour);

// The whole diagram as a description, cheap to keep: it is painted at any offset without
// making the 6000 x 6040 image.
struct StarOrbitScene {
    SpkId Id = 0;  // the star drawn
    const FontTable* Fonts = nullptr;
    std::uint32_t Background = 0;  // 0x00BBGGRR
    StarOrbitDrawing Drawing;
    QString Title;
};

// The diagram for the current star, or nothing: no star selected, no fonts, or no catalogue row
// for the star (the title step's run of OrbitElementsQuery).
std::optional<StarOrbitScene> DescribeStarOrbit(const DiagramInputs& inputs);

// Paints the 6000 x 6040 diagram with its top-left corner at the painter's origin: background,
// orbits and labels, then the title at (16, 16). Only what falls inside the painter's clip
// costs time, so a view paints just its visible part.
void PaintStarOrbit(QPainter& painter, const StarOrbitScene& scene);

// The diagram as a 6000 x 6040 image (about 145 MB), or nothing as DescribeStarOrbit, or when the
// image cannot be allocated.
std::optional<QImage> RenderStarOrbit(const DiagramInputs& inputs);
std::optional<QImage> RenderStarOrbit(const StarOrbitScene& scene);
