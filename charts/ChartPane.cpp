#include "charts/ChartPane.h"

#include <QResizeEvent>
#include <QTabBar>

#include "charts/FramePane.h"

namespace {

const char* FrameSuffix(CoordinateFrame frame) {
    switch (frame) {
        case CoordinateFrame::Astrometric:
            return "_ASTRO";
        case CoordinateFrame::Earth:
            return "_EARTH";
        case CoordinateFrame::Galactic:
            return "_GALAC";
        case CoordinateFrame::Geometric:
            return "_GEO";
    }
    return "";
}

}  // namespace

QString ChartPane::PaneClassName(ChartKind kind) {
    switch (kind) {
        case ChartKind::Travel:
            return "NVR_TRVL";
        case ChartKind::Constellations:
            return "NVR_CNST";
        case ChartKind::Years:
            return "NVR_Years";
        case ChartKind::Perihelion:
            return "NVR_Peri";
        case ChartKind::View:
            break;
    }
    return QString();
}

QString ChartPane::FramePaneClassName(ChartKind kind, CoordinateFrame frame) {
    return PaneClassName(kind) + FrameSuffix(frame);
}

ChartPane::ChartPane(ChartKind kind, const QFont& tabFont, QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)) {
    // The tab strip keeps the desktop's colours; the FramePanes below it are black.
    setObjectName(PaneClassName(kind));

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
        tabs_->addTab(QString::fromLatin1(FrameName(frame).data(),
                                          static_cast<qsizetype>(FrameName(frame).size())));
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
