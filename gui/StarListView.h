// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QTableView>
#include <functional>

#include "browse/StarListModel.h"
#include "data/Catalogue.h"
#include "drawing/Fonts.h"

// The list of the "All Stars" page: every star of StarListModel in 39 columns of fixed widths,
// filled once when it is made. A click on a column's header sorts by that column (ascending
// first, then alternately, each column on its own); selecting a row does nothing else.
class StarListView : public QTableView {
    Q_OBJECT
  public:
    // Writes `text` into part `part` of the status bar.
    using StatusWriter = std::function<void(int part, const QString& text)>;

    // Builds the list in `fonts.UiFont` and fills it from the catalogue's star list statement;
    // then writes "%d stars added" into status part 2 (nothing when the statement cannot be
    // prepared: the list stays empty).
    StarListView(QWidget* parent, const FontTable& fonts, const Catalogue& catalogue,
                 StatusWriter status);

    // Makes the star's row the selected and current row and scrolls it into view; a star that
    // is not in the list leaves no row selected or current.
    void SelectStar(SpkId id);

    int RowCount() const { return model_->RowCount(); }
    StarListModel& Model() { return *model_; }

  private:
    StarListModel* model_;
};
