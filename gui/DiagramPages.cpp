// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/DiagramPages.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "diagrams/OrbitsDiagram.h"
#include "diagrams/StarOrbitDiagram.h"

DiagramPage::DiagramPage(const QString& className, QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(className);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Every pixel of the viewport is painted by paintEvent.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void DiagramPage::SetPicture(SpkId star, QSize size, PaintPicture paint) {
    const bool first = !paint_;
    star_ = star;
    size_ = size;
    paint_ = std::move(paint);
    UpdateScrollBars();
    if (first) {
        ScrollToOpeningPoint();
    }
    viewport()->update();
}

void DiagramPage::ScrollToOpeningPoint() {
    if (opening_) {
        horizontalScrollBar()->setValue(opening_->x() - viewport()->width() / 2);
        verticalScrollBar()->setValue(opening_->y() - viewport()->height() / 2);
    }
}

void DiagramPage::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    shown_ = true;
}

void DiagramPage::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::black);
    if (!paint_) {
        return;
    }
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect exposed = event->rect().translated(offset) & QRect(QPoint(0, 0), size_);
    if (exposed.isEmpty()) {
        return;
    }
    painter.setClipRect(exposed.translated(-offset));
    painter.translate(-offset);
    paint_(painter, exposed);
}

void DiagramPage::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    // Until the user has seen the page, its size may still change as the window settles.
    if (!shown_ && paint_) {
        ScrollToOpeningPoint();
    }
}

void DiagramPage::scrollContentsBy(int, int) {
    viewport()->update();
}

void DiagramPage::UpdateScrollBars() {
    const QSize visible = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, size_.width() - visible.width()));
    horizontalScrollBar()->setPageStep(visible.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, size_.height() - visible.height()));
    verticalScrollBar()->setPageStep(visible.height());
    verticalScrollBar()->setSingleStep(20);
}

DiagramPage* CreateStarOrbitPage(QWidget* parent) {
    auto* page = new DiagramPage("NVR_STAR_ORBIT", parent);
    // Opened on the Sun: the inner planets and most stars lie around it, 3,000 pixels from the
    // top-left corner, where only Neptune's orbit passes.
    page->SetOpeningPoint(StarOrbitCentre());
    return page;
}

DiagramPage* CreateOrbitsPage(QWidget* parent) {
    return new DiagramPage("NVR_ORBITES", parent);
}

namespace {
DiagramInputs OnScreen(const DiagramInputs& inputs) {
    DiagramInputs screen = inputs;
    screen.Colours = kScreenColours;
    return screen;
}
}  // namespace

bool RefreshStarOrbitPane(DiagramPage& page, const DiagramInputs& inputs) {
    std::optional<StarOrbitScene> scene = DescribeStarOrbit(OnScreen(inputs));
    if (!scene) {
        return false;
    }
    const SpkId star = scene->Id;
    page.SetPicture(star, QSize(StarOrbitDiagram::kWidth, StarOrbitDiagram::kHeight),
                    [scene = std::move(*scene)](QPainter& painter, const QRect&) {
                        PaintStarOrbit(painter, scene);
                    });
    return true;
}

bool RefreshOrbitsPane(DiagramPage& page, const DiagramInputs& inputs) {
    std::optional<OrbitsScene> scene = DescribeOrbits(OnScreen(inputs));
    const std::optional<QRect> crop = scene ? OrbitsCropRect(*scene) : std::nullopt;
    if (!crop) {
        return false;
    }
    const SpkId star = scene->Id;
    page.SetPicture(
        star, crop->size(),
        [scene = std::move(*scene), origin = crop->topLeft()](QPainter& painter, const QRect&) {
            painter.translate(-origin);
            PaintOrbits(painter, scene);
        });
    return true;
}
