// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/SortedChoices.h"

#include <algorithm>

#include "data/NameCollation.h"

void SortByRanks(std::vector<SortedChoiceModel::Item>& items,
                 const std::vector<std::uint32_t>& ranks) {
    std::vector<SortedChoiceModel::Item> sorted;
    sorted.reserve(items.size());
    for (const std::uint32_t position : PositionsByRank(ranks))
        sorted.push_back(items[position]);
    items = std::move(sorted);
}

void SortChoices(std::vector<Choice>& choices) {
    std::vector<std::string> texts;
    texts.reserve(choices.size());
    for (const Choice& choice : choices)
        texts.push_back(choice.Text.toStdString());
    const std::vector<std::uint32_t> ranks = CollationRanks(
        texts.size(), [&](std::size_t i) -> std::string_view { return texts[i]; },
        NameCase::Insensitive);
    std::vector<Choice> sorted;
    sorted.reserve(choices.size());
    for (const std::uint32_t position : PositionsByRank(ranks))
        sorted.push_back(std::move(choices[position]));
    choices = std::move(sorted);
}

void SortedChoiceModel::Reset(std::vector<Choice> choices) {
    // Each text is converted to UTF-8 once, then ranked and kept in that form.
    auto texts = std::make_shared<std::string>();
    std::vector<Item> items;
    items.reserve(choices.size());
    for (const Choice& choice : choices) {
        const QByteArray text = choice.Text.toUtf8();
        items.push_back({static_cast<std::uint32_t>(texts->size()),
                         static_cast<std::uint32_t>(text.size()), choice.Data});
        texts->append(text.constData(), static_cast<std::size_t>(text.size()));
    }
    const std::vector<std::uint32_t> ranks = CollationRanks(
        items.size(),
        [&](std::size_t i) {
            return std::string_view(*texts).substr(items[i].Offset, items[i].Length);
        },
        NameCase::Insensitive);
    SortByRanks(items, ranks);
    ResetInOrder(std::move(texts), std::move(items));
}

void SortedChoiceModel::ResetInOrder(std::shared_ptr<const std::string> texts,
                                     std::vector<Item> items) {
    beginResetModel();
    texts_ = std::move(texts);
    items_ = std::move(items);
    endResetModel();
}

int SortedChoiceModel::RowOfData(qint64 data) const {
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&](const Item& item) { return item.Data == data; });
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

int SortedChoiceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant SortedChoiceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const Item& item = items_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString::fromUtf8(texts_->data() + item.Offset, item.Length);
    if (role == Qt::UserRole)
        return item.Data;
    return {};
}
