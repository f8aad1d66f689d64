// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/InformationPanel.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <vector>

#include "astro/InformationRows.h"
#include "gui/ReportView.h"

// The 31 rows as texts; only the Value column ever changes.
class InformationRowsModel : public QAbstractTableModel {
  public:
    explicit InformationRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

    void SetRows(std::vector<InformationRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    void SetValues(const std::vector<InformationRow>& rows) {
        for (std::size_t i = 0; i < rows_.size() && i < rows.size(); ++i) {
            rows_[i].Value = rows[i].Value;
        }
        if (!rows_.empty()) {
            emit dataChanged(index(0, 1), index(rowCount() - 1, 1), {Qt::DisplayRole});
        }
    }

    QString Text(int row, int column) const {
        if (row < 0 || row >= rowCount() || column < 0 || column >= InformationPanel::kColumns) {
            return {};
        }
        const InformationRow& r = rows_[static_cast<std::size_t>(row)];
        const std::string* texts[] = {&r.Name, &r.Value, &r.Informations, &r.Formulas};
        return QString::fromStdString(*texts[column]);
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : InformationPanel::kColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) {
            return Text(index.row(), index.column());
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Alignment(index.column()));
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kCaptions[] = {"Name", "Value", "Informations", "Formulas"};
        if (orientation != Qt::Horizontal || section < 0 || section >= InformationPanel::kColumns) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return QString::fromLatin1(kCaptions[section]);
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Alignment(section));
        }
        return {};
    }

  private:
    // "Value" is right-aligned, caption and cells alike; the others left.
    static Qt::Alignment Alignment(int column) {
        return (column == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }

    std::vector<InformationRow> rows_;
};

InformationPanel::InformationPanel(QWidget* parent, const FontTable& fonts)
    : QTableView(parent), model_(new InformationRowsModel(this)) {
    setObjectName("InformationPanel");
    ConfigureReportView(*this, fonts.UiFont.Font);
    setModel(model_);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    // Sizing to the content looks at every row, not only those on screen.
    horizontalHeader()->setResizeContentsPrecision(-1);
    for (int column = 0; column < kColumns; ++column) {
        setColumnWidth(column, kInitialWidths[column]);
    }
    ResetInformationRows();
}

void InformationPanel::ResetInformationRows() {
    model_->SetRows(InformationRows(std::nullopt));
    AutoSizeColumns();
}

void InformationPanel::FillInformationValues(const Catalogue& catalogue, SpkId id) {
    if (const std::optional<StarInfoRow> star = QueryStarInfo(catalogue, id)) {
        model_->SetValues(InformationRows(star));
    }
    AutoSizeColumns();
}

QString InformationPanel::CellText(int row, int column) const {
    return model_->Text(row, column);
}

void InformationPanel::AutoSizeColumns() {
    // The larger of the widest text and the caption, for every column but "Formulas".
    for (int column = 0; column < kColumns - 1; ++column) {
        resizeColumnToContents(column);
    }
    setColumnWidth(kColumns - 1, kFormulasWidth);
}
