// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTableView>

#include "data/Catalogue.h"
#include "data/StarFile.h"
#include "drawing/Fonts.h"

class InformationRowsModel;

// The list of the "Infos" page: four columns "Name", "Value" (right-aligned), "Informations"
// and "Formulas", and the 31 rows of InformationRows. Columns 0 to 2 are sized to the larger of
// their content and their caption after every change; "Formulas" stays 300 pixels wide.
// The page places it (16 pixels in from every side of the page).
class InformationPanel : public QTableView {
    Q_OBJECT
  public:
    static constexpr int kColumns = 4;
    static constexpr int kInitialWidths[kColumns] = {50, 350, 300, 300};  // pixels
    static constexpr int kFormulasWidth = 300;                            // pixels

    // Builds the list in `fonts.UiFont` with the placeholder rows.
    InformationPanel(QWidget* parent, const FontTable& fonts);

    // Every row anew with the value "0.00".
    void ResetInformationRows();

    // Writes the star's 31 values, read from the catalogue, into the Value column. A star the
    // catalogue has no row for leaves every value as it is ("0.00" after a reset).
    void FillInformationValues(const Catalogue& catalogue, SpkId id);

    // The text of a cell, as shown (for tests and tools).
    QString CellText(int row, int column) const;

  private:
    void AutoSizeColumns();

    InformationRowsModel* model_;
};
