// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/StatusBar.h"

#include <QElapsedTimer>
#include <QLabel>
#include <algorithm>
#include <cstdio>

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("msctls_statusbar32");
    setSizeGripEnabled(false);  // the main window is not resized by hand
    // The parts are placed by hand over the whole bar at their fixed edges; on a bar narrower
    // than the edges the parts keep their places and are cut at the bar's right end.
    strip_ = new QWidget(this);
    for (int part = 0; part < kParts; ++part) {
        auto* label = new QLabel(strip_);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setIndent(3);
        label->setTextFormat(Qt::PlainText);  // paths and names are shown as they are
        parts_[part] = label;
    }
}

QSize StatusBar::sizeHint() const {
    return QSize(QStatusBar::sizeHint().width(), parts_[0]->sizeHint().height());
}

QSize StatusBar::minimumSizeHint() const {
    return QSize(0, sizeHint().height());
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    strip_->setGeometry(rect());
    int left = 0;
    for (int part = 0; part < kParts; ++part) {
        const int right = part < kParts - 1 ? kRightEdges[part] : std::max(left, width());
        parts_[part]->setGeometry(left, 0, right - left, height());
        left = right;
    }
}

qint64 MillisecondsSinceStartup() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}

void StatusBar::SetText(int part, const QString& text) {
    if (part < 0 || part >= kParts) {
        return;
    }
    parts_[part]->setText(text);
    parts_[part]->setToolTip(text);  // whole, where the part cuts a long text (a path) short
    if (observer_)
        observer_(part, text);
    if (echo_) {
        std::fprintf(stderr, "status %d +%lld %s\n", part,
                     static_cast<long long>(MillisecondsSinceStartup()), text.toUtf8().constData());
        std::fflush(stderr);
    }
}

QString StatusBar::Text(int part) const {
    return part >= 0 && part < kParts ? parts_[part]->text() : QString();
}

QRect StatusBar::PartRect(int part) const {
    if (part < 0 || part >= kParts) {
        return {};
    }
    const QLabel* label = parts_[part];
    return QRect(label->mapTo(this, QPoint(0, 0)), label->size());
}
