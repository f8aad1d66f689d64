// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

struct ProgramFont;

// A line of text as the charts draw it: the text origin is the top-left corner of the text cell
// and the baseline runs at the font's escapement (counter-clockwise), the way the Windows text
// call places text. The stamp holds how much of each pixel the glyphs cover, so one stamp can be
// put down at any whole-pixel origin, in any colour, and gives the same pixels wherever it lands.
struct TextStamp {
    // The covered pixels, relative to the text origin; empty when the text covers nothing. Every
    // edge row and column of it holds at least one covered pixel.
    QRect Ink;
    // Ink.width() x Ink.height() values 0-255 (0 uncovered, 255 fully covered), row by row.
    std::vector<std::uint8_t> Coverage;
    // For each row of Ink, the first and last column (counted from Ink.left()) with some
    // coverage; a row without any has First > Last.
    struct RowSpan {
        std::uint16_t First;
        std::uint16_t Last;
    };
    std::vector<RowSpan> Rows;
    // The text cell before rotation, relative to the text origin: the text's advance wide and
    // the font's cell height high. An opaque text fills it with the background first.
    QRect Cell;

    // Coverage of the pixel at (x, y) relative to the text origin, which lies inside Ink.
    std::uint8_t At(int x, int y) const {
        return Coverage[static_cast<std::size_t>(y - Ink.top()) *
                            static_cast<std::size_t>(Ink.width()) +
                        static_cast<std::size_t>(x - Ink.left())];
    }
};

// The stamps of texts in one font, drawn with grey-level antialiasing. Stamps are kept and
// shared for the whole run: the same font and text give the same stamp (a chart redraws the same
// names and years often). Needs a running QGuiApplication.
class TextStamps {
  public:
    explicit TextStamps(const ProgramFont& font);
    std::shared_ptr<const TextStamp> operator()(const QString& text) const;

  private:
    const ProgramFont& font_;
    QString key_;  // what tells this font from every other
};

// The stamp of `text` in `font` (one look-up of TextStamps).
std::shared_ptr<const TextStamp> StampText(const ProgramFont& font, const QString& text);
