#pragma once

#include <QFont>

// One of the program's four fonts. The cell height is the height of a text line in pixels
// (ascent plus descent); the escapement, in tenths of a degree counter-clockwise, is the angle
// at which the charts draw text with it.
struct ProgramFont {
    QFont Font;
    int CellHeight = 0;  // pixels
    int Escapement = 0;  // tenths of a degree, counter-clockwise
    int Weight = 0;      // 100-900

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

// The four fonts, made in the order LabelFont, UiFont, TitleFont, AltLabelFont.
FontTable CreateFontTable();

// A font of `family` whose line (ascent plus descent) is as close as the face allows to
// `cellHeight` pixels.
QFont FontForCellHeight(const QString& family, int cellHeight, int weight);
