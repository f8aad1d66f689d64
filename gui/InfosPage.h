// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include "gui/BackgroundPicture.h"

// The "Infos" page: "Background.jpg" over the whole page and, 16 pixels in from every side,
// its content (the information list), so a band of the picture stays visible around it.
class InfosPage : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kInset = 16;  // pixels

    InfosPage(QWidget* parent, const QString& configurationFolder);

    // The widget placed inside the band; the page owns it.
    void SetContent(QWidget* content);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    BackgroundPicture background_;
    QWidget* content_ = nullptr;
};

// A page whose one content widget fills it (the star list, the chart panes).
class FilledPage : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    void SetContent(QWidget* content);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* content_ = nullptr;
};
