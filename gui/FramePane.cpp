// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/FramePane.h"

#include <QPaintEvent>
#include <QPainter>

#include "gui/BlackBackground.h"

// The chart image at its own size; the scroll area shows the part in view.
class FramePane::ChartView : public QWidget {
  public:
    explicit ChartView(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(0, 0);
    }
    void SetChart(QImage chart) {
        chart_ = std::move(chart);
        resize(chart_.size());
        update();
    }
    const QImage& Chart() const { return chart_; }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::black);
        painter.drawImage(event->rect().topLeft(), chart_, event->rect());
    }

  private:
    QImage chart_;
};

FramePane::FramePane(const QString& objectName, QWidget* parent)
    : QScrollArea(parent), view_(new ChartView(this)) {
    setObjectName(objectName);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    UseBlackBackground(this);
    UseBlackBackground(viewport());
    setWidget(view_);
}

void FramePane::ShowChart(QImage chart, SpkId id) {
    view_->SetChart(std::move(chart));
    star_ = id;
}

const QImage& FramePane::Chart() const {
    return view_->Chart();
}
