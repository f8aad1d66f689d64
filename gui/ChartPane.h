// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>
#include <array>

#include "charts/ChartKind.h"
#include "data/CoordinateFrame.h"

class FramePane;
class QTabBar;
class QFont;

// The page of one wide chart kind (Travel, Constellations, Years, Perihelion): a strip of four
// frame tabs, "Astrometric", "Earth", "Galactic", "Geometric", 24 pixels high, over the four
// FramePanes of that kind, of which only the selected frame's is visible.
class ChartPane : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTabStripHeight = 24;  // pixels

    // `kind` must be one of the four wide kinds; `tabFont` is the UiFont.
    ChartPane(ChartKind kind, const QFont& tabFont, QWidget* parent);

    FramePane* Pane(CoordinateFrame frame) const;
    QTabBar* Tabs() const { return tabs_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowFrame(int index);

    QTabBar* tabs_;
    std::array<FramePane*, 4> panes_{};  // Astrometric, Earth, Galactic, Geometric
    int shown_ = 0;
};
