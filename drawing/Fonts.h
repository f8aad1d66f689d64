// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>

// One of the program's four fonts. The cell height is the height of a text cell in pixels as
// Windows measures it: the face's Windows ascent plus descent (usWinAscent + usWinDescent of its
// OS/2 table), which for Tahoma is 1.207 em, so a cell of 14 pixels holds an em of 11.6 pixels.
// The escapement, in tenths of a degree counter-clockwise, is the angle at which the charts draw
// text with it.
struct ProgramFont {
    QFont Font;
    int CellHeight = 0;  // pixels
    int Escapement = 0;  // tenths of a degree, counter-clockwise
    int Weight = 0;      // 100-900
    // Pixels from the top of the text cell down to the baseline, as Windows places text: the
    // face's Windows ascent (usWinAscent) at the font's pixel size, 12 for Tahoma at 12 pixels.
    int Ascent = 0;

    // Painter rotation for text drawn with this font: degrees, clockwise positive.
    double RotationDegrees() const { return -Escapement / 10.0; }
};

struct FontTable {
    ProgramFont LabelFont;     // chart labels: 14, 240 degrees, weight 200
    ProgramFont UiFont;        // status bar, tabs, toolbar: 14, level, weight 100
    ProgramFont TitleFont;     // chart titles: 20, level, weight 100
    ProgramFont AltLabelFont;  // second label font: 14, 30 degrees, weight 200
};

// The face every font uses: "Tahoma" when it is installed or can be loaded from Debian's
// fonts-wine, otherwise the system's sans-serif face. Needs a running QGuiApplication.
QString ProgramFaceFamily();

// Windows ascent plus descent of the face of `font`, in ems (1.207 for Tahoma), from its OS/2 and
// head tables; for a face without them, Qt's ascent plus descent.
double CellHeightInEms(const QFont& font);

// Pixels from the top of the text cell to the baseline of `font` (usWinAscent at its pixel
// size, rounded); for a face without an OS/2 table, Qt's ascent.
int CellAscent(const QFont& font);

// The em, in pixels, of a font of that face whose text cell is `cellHeight` pixels high:
// cellHeight divided by CellHeightInEms (11.6 for Tahoma and 14 pixels).
double EmForCellHeight(const QFont& font, int cellHeight);

// A font of `family` whose text cell is `cellHeight` pixels high. Like Windows, which realises a
// TrueType font at a whole em (its tmHeight - tmInternalLeading), the font is drawn at the
// nearest whole pixel size to EmForCellHeight: 12 pixels for a 14-pixel Tahoma cell, 17 for 20.
QFont FontForCellHeight(const QString& family, int cellHeight, int weight);

// The four fonts, made in the order LabelFont, UiFont, TitleFont, AltLabelFont.
FontTable CreateFontTable();
