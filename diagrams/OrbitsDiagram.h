// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

#include "diagrams/DiagramDrawing.h"
#include "diagrams/DiagramInputs.h"

class QPainter;

// The Orbits diagram: the current star's orbit alone, with its axes, the Sun at the focus on
// the perihelion side and a smaller disc placed from the aphelion distance, cropped to what is
// drawn. An orbit is 200 pixels wide per au of semi-major axis (100 pixels per au of length).

namespace OrbitsDiagram {
inline constexpr double kPixelsPerAu = 200;  // image width of an orbit per au of semi-major axis
// The widest orbit drawn at that scale: 131,072 pixels (2^17), a semi-major axis of 655 au
// (Sedna's 506 au fits, and every planet, centaur and transneptunian object of the sample). The
// page paints only what is in view and the crop paints strips along the edges, so no image of
// the whole orbit is ever made; but both stroke the whole ellipse, at a cost that grows with its
// size: about 0.14 s at this width, 1.7 s at a million pixels. A wider orbit (the comets of the
// Oort cloud, up to 1.6 million au) is drawn at the scale that makes it exactly this wide, and its
// title gives that scale.
inline constexpr int kMaxOrbitWidth = 131072;              // pixels
inline constexpr std::uint32_t kOrbitPen = 0x0000FF;       // 2 pixels, filled with the background
inline constexpr std::uint32_t kAxisPen = 0xC0C0C0;        // 1 pixel: axes and disc outlines
inline constexpr std::uint32_t kSunBrush = 0x00FFFF;       // disc 40 pixels across
inline constexpr std::uint32_t kAphelionBrush = 0xFF0000;  // disc 30 pixels across
inline constexpr QPoint kTitleOrigin{16, 16};
}  // namespace OrbitsDiagram

// Pixels of image width per au of semi-major axis for an orbit of semi-major axis `a` (au, sign
// ignored): 200, or less for an orbit wider than kMaxOrbitWidth.
double OrbitsPixelsPerAu(double a);

// What the drawing step draws, in drawing order; lines run up to, not including, their end.
struct OrbitsDrawing {
    EllipseBox Orbit;         // left 0, top 40, right w = trunc(|a| px), bottom h = trunc(b px)
    QLine MinorAxis;          // (w / 2, 40) to (w / 2, h)
    QLine MajorAxis;          // (0, m + 40) to (w, m + 40), m = trunc((h - 40) / 2)
    EllipseBox Sun;           // centred on (trunc(q px / 2), m + 40)
    EllipseBox AphelionDisc;  // centred on (w - trunc(Q px / 2), m + 40)
};

// The drawing step for one catalogue row, at `pixelsPerAu`: e = Eccentricity, a = |SemiMajorAxis|,
// q = PerihelionDistance, Q = ApelionDistance. Nothing for an orbit that is not an ellipse
// (|e| >= 1, or a or e not a number): it has no semi-minor axis.
std::optional<OrbitsDrawing> DrawOrbit(const OrbitElementsRow& row, double pixelsPerAu);

struct OrbitsScene {
    SpkId Id = 0;  // the star drawn
    const FontTable* Fonts = nullptr;
    ChartColours Colours;
    QSize Canvas;  // W x (W + 40) before the crop
    QString Title;
    std::optional<OrbitsDrawing> Drawing;  // nothing: the title alone
};

// The diagram for the current star before the crop, or nothing: no star selected, no fonts, or
// no catalogue row for the star. The canvas width W is trunc(max(a, b) px) with a as stored
// (sign kept), at least twice the title's width; an orbit that is not an ellipse gets the title
// alone on a canvas twice its width.
std::optional<OrbitsScene> DescribeOrbits(const DiagramInputs& inputs);

// Paints the uncropped canvas with its top-left corner at the painter's origin: background, the
// orbit filled with the background, the axes, the two discs, the title at (16, 16).
void PaintOrbits(QPainter& painter, const OrbitsScene& scene);

// A rectangle of the canvas outside which the scene draws nothing but background.
QRect OrbitsContentBounds(const OrbitsScene& scene);

// The crop: the smallest rectangle of the canvas holding every pixel that differs from the
// background colour. Found by painting only strips along the edges of OrbitsContentBounds, never
// the whole canvas. Nothing when no pixel is drawn or a strip cannot be allocated.
std::optional<QRect> OrbitsCropRect(const OrbitsScene& scene);

// The diagram cut to OrbitsCropRect, or nothing as DescribeOrbits, or when the image cannot be
// allocated. Only the cropped image is ever allocated.
std::optional<QImage> RenderOrbits(const OrbitsScene& scene);
std::optional<QImage> RenderOrbits(const DiagramInputs& inputs);
