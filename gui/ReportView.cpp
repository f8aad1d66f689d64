// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/ReportView.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

void ConfigureReportView(QTableView& view, const QFont& font) {
    view.setFont(font);
    view.horizontalHeader()->setFont(font);
    view.setShowGrid(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setWordWrap(false);
    view.setCornerButtonEnabled(false);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView* rows = view.verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    view.horizontalHeader()->setHighlightSections(false);
    // The lists stand on black pages; their header keeps the desktop's colours, also where no
    // column reaches.
    QHeaderView* header = view.horizontalHeader();
    QPalette palette = header->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base})
        palette.setColor(role, QApplication::palette().color(role));
    header->setPalette(palette);
}
