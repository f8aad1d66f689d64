// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/BackgroundPicture.h"

#include <QFileInfo>
#include <QPainter>

#include "drawing/Imaging.h"

const QImage& BackgroundPicture::Picture(QSize area) {
    const QFileInfo file(path_);
    const bool exists = file.exists() && file.isFile();
    const QDateTime modified = exists ? file.lastModified() : QDateTime();
    const qint64 size = exists ? file.size() : -1;
    if (checked_ && modified == modified_ && size == size_ && decodedFor_ == area)
        return picture_;
    checked_ = true;
    modified_ = modified;
    size_ = size;
    decodedFor_ = area;
    picture_ = QImage();
    scaled_ = QImage();
    Imaging::LoadedImage loaded;
    if (exists && Imaging::LoadJpeg(path_, loaded, area) == 0)
        picture_ = loaded.Image;
    return picture_;
}

void BackgroundPicture::Paint(QPainter& painter, const QRect& area) {
    if (area.isEmpty())
        return;
    const QImage& picture = Picture(area.size());
    if (picture.isNull())
        return;
    if (scaled_.size() != area.size()) {
        // Nearest-pixel stretching, as a blit with COLORONCOLOR does it.
        scaled_ = picture.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    painter.drawImage(area.topLeft(), scaled_);
}
