// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

class QPainter;
class QWidget;

// A photograph painted behind a window's content ("Background.jpg" behind the toolbar and the
// "Infos" page, "BckAbout.jpg" behind the About box).
class BackgroundPicture {
  public:
    explicit BackgroundPicture(QString path) : path_(std::move(path)) {}

    // PaintBackgroundImage: the whole picture stretched over the whole `area` (pixels, as
    // painted by `painter`), whatever its aspect, pixel by pixel without smoothing. A missing or
    // unreadable file paints nothing, so the window keeps its plain background.
    //
    // The decoded picture is kept between paints while the file on disk keeps its size and time
    // of last change; a file replaced on disk shows at the next paint.
    void Paint(QPainter& painter, const QRect& area);

    const QString& Path() const { return path_; }

  private:
    // The picture decoded to cover `area` (a large photograph is decoded smaller), read again
    // when the file changed or the area is another; null when it cannot be read.
    const QImage& Picture(QSize area);

    QString path_;
    QImage picture_;
    QImage scaled_;     // the picture at the size of the last area painted
    QSize decodedFor_;  // the area Picture last decoded for
    QDateTime modified_;
    qint64 size_ = -1;
    bool checked_ = false;
};
