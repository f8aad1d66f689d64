#include "app/StatusBar.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <cstdio>

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("msctls_statusbar32");
    setSizeGripEnabled(false);  // the main window is not resized by hand
    // The parts are laid out by hand over the whole bar, so their right edges are exact.
    strip_ = new QWidget(this);
    auto* strip = strip_;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    int left = 0;
    for (int part = 0; part < kParts; ++part) {
        auto* label = new QLabel(strip);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setIndent(3);
        if (part < kParts - 1) {
            label->setFixedWidth(kRightEdges[part] - left);
            left = kRightEdges[part];
            row->addWidget(label);
        } else {
            row->addWidget(label, 1);
        }
        parts_[part] = label;
    }
}

QSize StatusBar::sizeHint() const {
    return QSize(QStatusBar::sizeHint().width(), strip_->sizeHint().height());
}

QSize StatusBar::minimumSizeHint() const {
    return sizeHint();
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    strip_->setGeometry(rect());
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
