// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/AboutBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <cmath>

#include "data/Version.h"

namespace {

// Windows' dialog base units of a font, in whole pixels: the width of the 52 Latin letters
// divided by 52 (rounded), and the character height.
QSize BaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(letters + 26) / 52, metrics.height()};
}

// a * b / c rounded to the nearest integer, as MulDiv computes it.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

std::vector<AboutBox::Line> AboutBox::Lines() {
    return {{"Nivra - Tarnlight", 4, 4},
            {QString("Version %1").arg(kNivraVersion), 4, 16},
            {"Orbits Stars Viewer", 4, 28}};
}

AboutBox::AboutBox(QWidget* owner, const QString& configurationFolder)
    : QDialog(owner), background_(configurationFolder + "/BckAbout.jpg") {
    setObjectName("AboutBox");
    // A title and a close button, as a dialog has them: no minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle("About Nivra - Tarnlight");
    setModal(true);
    setFont(QApplication::font());
    setSizeGripEnabled(false);
    const QPoint size = UnitsToPixels(kWidthUnits, kHeightUnits);
    setFixedSize(size.x(), size.y());
    const QPoint textSize = UnitsToPixels(kTextWidthUnits, kTextHeightUnits);
    for (const Line& line : Lines()) {
        auto* label = new QLabel(line.Text, this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setAttribute(Qt::WA_TranslucentBackground);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        const QPoint at = UnitsToPixels(line.X, line.Y);
        label->setGeometry(at.x(), at.y(), textSize.x(), textSize.y());
    }
}

QPoint AboutBox::UnitsToPixels(int x, int y) const {
    const QSize base = BaseUnits(font());
    return {MulDiv(x, base.width(), 4), MulDiv(y, base.height(), 8)};
}

void AboutBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    background_.Paint(painter, rect());
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
    // Without buttons Enter would do nothing; it closes the box, like Escape.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
