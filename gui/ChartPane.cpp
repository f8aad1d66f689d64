// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/ChartPane.h"

#include <QResizeEvent>
#include <QTabBar>

#include "drawing/TextBytes.h"
#include "gui/FramePane.h"
#include "gui/PageNames.h"

ChartPane::ChartPane(ChartKind kind, const QFont& tabFont, QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)) {
    // The tab strip keeps the desktop's colours; the FramePanes below it are black.
    setObjectName(ChartPageClassName(kind));

    tabs_->setObjectName("SysTabControl32");
    tabs_->setFont(tabFont);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setDocumentMode(true);
    tabs_->setUsesScrollButtons(true);
    tabs_->setGeometry(0, 0, width(), kTabStripHeight);

    for (std::size_t i = 0; i < kAllFrames.size(); ++i) {
        panes_[i] = new FramePane(FramePaneClassName(kind, kAllFrames[i]), this);
    }
    for (std::size_t i = 1; i < panes_.size(); ++i) {
        panes_[i]->hide();
    }
    for (CoordinateFrame frame : kAllFrames) {
        tabs_->addTab(Latin1Text(FrameName(frame)));
    }
    tabs_->setCurrentIndex(0);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { ShowFrame(index); });
}

FramePane* ChartPane::Pane(CoordinateFrame frame) const {
    for (std::size_t i = 0; i < kAllFrames.size(); ++i) {
        if (kAllFrames[i] == frame) {
            return panes_[i];
        }
    }
    return nullptr;
}

void ChartPane::resizeEvent(QResizeEvent* event) {
    const int width = event->size().width();
    const int height = event->size().height();
    tabs_->setGeometry(0, 0, width, kTabStripHeight);
    for (FramePane* pane : panes_) {
        pane->setGeometry(0, kTabStripHeight, width, std::max(0, height - kTabStripHeight));
    }
}

void ChartPane::ShowFrame(int index) {
    if (index < 0 || index >= static_cast<int>(panes_.size()) || index == shown_) {
        return;
    }
    panes_[static_cast<std::size_t>(shown_)]->hide();
    shown_ = index;
    panes_[static_cast<std::size_t>(index)]->show();
    panes_[static_cast<std::size_t>(index)]->update();
}
