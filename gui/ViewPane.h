// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

// One of the four View pages: the View chart of one frame, stretched to the pane's width with
// its own proportions, black below. The pane keeps no picture: every paint renders the chart
// again from the current star (through `render`); with no star loaded it shows black only.
class ViewPane : public QWidget {
    Q_OBJECT
  public:
    using Render = std::function<std::optional<QImage>()>;

    // `objectName`: NVR_ASTRO, NVR_EARTH, NVR_GALAC or NVR_GEO.
    ViewPane(const QString& objectName, Render render, QWidget* parent);

    // Paints `picture` at once, in place of a render (chart preparation has just made it).
    void ShowPicture(QImage picture);

    // The rectangle the picture fills in a pane `paneWidth` pixels wide: the whole width, and
    // the height that keeps the picture's proportions (truncated; a picture without height
    // counts as square).
    static QRect PictureRect(int paneWidth, QSize picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Render render_;
    std::optional<QImage> prepared_;
};
