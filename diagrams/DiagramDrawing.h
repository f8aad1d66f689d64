// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <cstdint>

#include "charts/RenderContract.h"

class QPainter;
struct ProgramFont;

// The drawing steps both diagrams are made of, with the box conventions of the program's
// drawing calls: a box's left and top are inside the figure, its right and bottom just
// outside it.

// An ellipse's bounding box in pixels, as computed: top may lie below bottom (a box that is
// drawn as if its two rows were swapped).
struct EllipseBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;   // exclusive
    int Bottom = 0;  // exclusive
    bool operator==(const EllipseBox&) const = default;
};

// A length or position in pixels, truncated toward zero like an integer conversion, but held to
// +-2^24 pixels (far outside any image) so that an absurd catalogue value can never overflow;
// a value that is not a number gives 0.
int TruncatedPixels(double pixels);

// A colour value 0x00BBGGRR as an opaque QColor.
inline QColor ColourOf(std::uint32_t colorRef) {
    return QColor(RgbFromColorRef(colorRef));
}

// The outline of the ellipse inscribed in `box`, `penWidth` pixels wide and lying inside the
// box, filled with `fill` when one is given (otherwise hollow).
void DrawBoxEllipse(QPainter& painter, const EllipseBox& box, QColor pen, int penWidth,
                    const QColor* fill = nullptr);

// A horizontal or vertical line 1 pixel wide from `from` up to, not including, `to`.
void DrawLineTo(QPainter& painter, QPoint from, QPoint to, QColor colour);

// Writes `text` as the charts write theirs (TextStamp): `origin` is the top-left corner of the
// text cell (its baseline one ascent lower), the whole turned about `origin` by the font's
// escapement, the glyphs blended over what lies below. With `opaqueBackground` the level text
// cell (advance by cell height) is first filled with that colour, as the Windows text call does in
// its default background mode; without, the background is transparent.
void DrawTextCell(QPainter& painter, const ProgramFont& font, QPoint origin, const QString& text,
                  QColor colour, const QColor* opaqueBackground = nullptr);
