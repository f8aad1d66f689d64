// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "gui/BackgroundPicture.h"

class QLabel;

// The About box: "BckAbout.jpg" behind three white centred lines, no buttons. Escape, Enter or
// the title bar's close button close it.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    // Size and text places in dialog units; the pixel sizes follow from the system font's
    // average character width (4 units) and height (8 units).
    static constexpr int kWidthUnits = 218;
    static constexpr int kHeightUnits = 150;
    static constexpr int kTextWidthUnits = 208;
    static constexpr int kTextHeightUnits = 8;
    struct Line {
        QString Text;
        int X, Y;  // dialog units
    };
    // "Nivra - Tarnlight", "Version 1.1.2" (the programs' version), "Orbits Stars Viewer".
    static std::vector<Line> Lines();

    AboutBox(QWidget* owner, const QString& configurationFolder);

    // Dialog units to pixels with the dialog's font: x by the average character width / 4, y by
    // the character height / 8, as Windows converts them.
    QPoint UnitsToPixels(int x, int y) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    BackgroundPicture background_;
};
