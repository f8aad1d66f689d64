// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractScrollArea>
#include <QSize>
#include <functional>
#include <optional>

#include "data/StarFile.h"

struct DiagramInputs;

// A diagram page: the picture at full size over black, from the top-left corner, scrolled both
// ways when it is larger than the page. The picture is painted on demand, only where the page is
// exposed, so a large diagram costs no image memory of its own.
class DiagramPage : public QAbstractScrollArea {
    Q_OBJECT
  public:
    // Paints the picture with its top-left corner at the painter's origin; `exposed` is the part
    // of the picture (picture coordinates) that needs painting.
    using PaintPicture = std::function<void(QPainter& painter, const QRect& exposed)>;

    // `className`: the page's objectName, "NVR_STAR_ORBIT" or "NVR_ORBITES".
    DiagramPage(const QString& className, QWidget* parent = nullptr);

    // Replaces the picture; the SPK-ID is that of the star drawn. The first picture opens with
    // the opening point (if any) in the middle of the view; later ones keep the scroll position.
    void SetPicture(SpkId star, QSize size, PaintPicture paint);
    // The point of the picture (picture coordinates) the page opens on.
    void SetOpeningPoint(QPoint point) { opening_ = point; }

    QSize PictureSize() const { return size_; }
    // The star of the picture shown; nothing before the first picture.
    std::optional<SpkId> ShownStar() const { return star_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void UpdateScrollBars();
    void ScrollToOpeningPoint();

    std::optional<SpkId> star_;
    QSize size_;
    PaintPicture paint_;
    std::optional<QPoint> opening_;
    bool shown_ = false;  // seen by the user: from then on the scroll position is theirs
};

// The "Star Orbite" page (NVR_STAR_ORBIT) and the "Orbits" page (NVR_ORBITES).
DiagramPage* CreateStarOrbitPage(QWidget* parent);
DiagramPage* CreateOrbitsPage(QWidget* parent);

// Chart preparation's two diagram refreshes: render the diagram of `inputs` in the on-screen
// colours (whatever `inputs.Colours` holds) and show it. When the render gives nothing (no star
// selected, no catalogue row...) the page keeps its previous picture. Returns whether the
// picture was replaced.
bool RefreshStarOrbitPane(DiagramPage& page, const DiagramInputs& inputs);
bool RefreshOrbitsPane(DiagramPage& page, const DiagramInputs& inputs);
