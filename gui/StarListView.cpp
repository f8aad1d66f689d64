// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/StarListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include "gui/ReportView.h"

StarListView::StarListView(QWidget* parent, const FontTable& fonts, const Catalogue& catalogue,
                           StatusWriter status)
    : QTableView(parent), model_(new StarListModel(this)) {
    setObjectName("StarList");
    ConfigureReportView(*this, fonts.UiFont.Font);
    setModel(model_);
    QHeaderView* header = horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSectionResizeMode(QHeaderView::Fixed);  // the user cannot drag a width
    for (int column = 0; column < kStarListColumnCount; ++column) {
        setColumnWidth(column, kStarListColumns[column].Width);
    }
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { model_->SortByColumn(column); });

    if (const std::optional<int> count = model_->Load(catalogue); count && status) {
        status(2, QString::asprintf("%d stars added", *count));
    }
}

void StarListView::SelectStar(SpkId id) {
    const int row = model_->RowOfStar(id);
    if (row < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}
