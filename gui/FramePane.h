// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QScrollArea>
#include <optional>

#include "data/StarFile.h"

// The chart of one frame inside a ChartPane: its image at full size over black, with scroll bars
// to pan over it both ways. Until the first chart arrives it shows black only; a new chart
// replaces the old one whole.
class FramePane : public QScrollArea {
    Q_OBJECT
  public:
    // `objectName`: the pane's class name, for example NVR_CNST_ASTRO.
    FramePane(const QString& objectName, QWidget* parent);

    // Shows `chart` in place of the previous one; `id` is the SpkId of the star it shows.
    void ShowChart(QImage chart, SpkId id);

    // The chart shown (a null image before the first one) and the SpkId it came with.
    const QImage& Chart() const;
    std::optional<SpkId> ChartStar() const { return star_; }

  private:
    class ChartView;
    ChartView* view_;
    std::optional<SpkId> star_;
};
