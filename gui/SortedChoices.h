// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One entry of a selector: the text shown and the 32-bit value it carries.
struct Choice {
    QString Text;
    qint64 Data = 0;
};

// The items of a drop-down selector kept sorted by their text, whatever order they arrive in:
// compared as the user's locale collates them, ignoring case; items with equal texts keep their
// order of arrival. The text is the display role, the value the user role. Made for lists of
// any length (a whole catalogue of stars): the texts are kept in UTF-8, one after the other in
// one block, and made into QStrings only when the list shows them.
class SortedChoiceModel : public QAbstractListModel {
    Q_OBJECT
  public:
    // An item whose text is in a block of texts.
    struct Item {
        std::uint32_t Offset = 0;  // bytes from the start of the block
        std::uint32_t Length = 0;  // bytes
        qint64 Data = 0;
    };

    using QAbstractListModel::QAbstractListModel;

    // Replaces every item with `choices`, sorted.
    void Reset(std::vector<Choice> choices);
    void Clear() { Reset({}); }
    // Replaces every item with `items`, already in their order, their texts in `texts` (UTF-8).
    void ResetInOrder(std::shared_ptr<const std::string> texts, std::vector<Item> items);

    // The first row whose item carries `data`, or -1.
    int RowOfData(qint64 data) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::shared_ptr<const std::string> texts_ = std::make_shared<const std::string>();
    std::vector<Item> items_;
};

// The order SortedChoiceModel gives `choices` (stable for equal texts).
void SortChoices(std::vector<Choice>& choices);

// The order of items whose texts have the collation ranks `ranks` (as CollationRanks gives them,
// ignoring case): by rank, items of equal rank in their order of arrival.
void SortByRanks(std::vector<SortedChoiceModel::Item>& items,
                 const std::vector<std::uint32_t>& ranks);
