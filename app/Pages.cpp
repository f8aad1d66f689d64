#include "app/Pages.h"

#include <QPalette>

void UseBlackBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QWidget* CreatePage(int index, QWidget* parent) {
    // Each page's content (charts, diagrams, information panel, star list) is built by its own
    // class; until a page has one, it is an empty black page.
    auto* page = new QWidget(parent);
    page->setObjectName(kPages[static_cast<std::size_t>(index)].ClassName);
    UseBlackBackground(page);
    return page;
}
