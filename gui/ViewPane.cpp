// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/ViewPane.h"

#include <QPainter>

#include "gui/BlackBackground.h"

ViewPane::ViewPane(const QString& objectName, Render render, QWidget* parent)
    : QWidget(parent), render_(std::move(render)) {
    setObjectName(objectName);
    UseBlackBackground(this);
}

void ViewPane::ShowPicture(QImage picture) {
    prepared_ = std::move(picture);
    repaint();
}

QRect ViewPane::PictureRect(int paneWidth, QSize picture) {
    const double aspect = picture.height() == 0 ? 1.0
                                                : static_cast<double>(picture.width()) /
                                                      static_cast<double>(picture.height());
    return QRect(0, 0, paneWidth, static_cast<int>(paneWidth / aspect));
}

void ViewPane::paintEvent(QPaintEvent*) {
    std::optional<QImage> picture = std::move(prepared_);
    prepared_.reset();
    if (!picture && render_) {
        picture = render_();
    }
    if (!picture) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(PictureRect(width(), picture->size()), *picture);
}
