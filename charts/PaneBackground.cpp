#include "charts/PaneBackground.h"

#include <QPalette>
#include <QWidget>

void PaintBlackBehind(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::Base, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
