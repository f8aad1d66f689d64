#include "gui/SortedChoices.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <algorithm>
#include <numeric>

#include "data/CatalogueText.h"

void SortChoices(std::vector<Choice>& choices) {
    QCollator collator(NameCollationLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(choices.size());
    for (const Choice& choice : choices)
        keys.push_back(collator.sortKey(choice.Text));
    std::vector<std::size_t> order(choices.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<Choice> sorted;
    sorted.reserve(choices.size());
    for (std::size_t index : order)
        sorted.push_back(std::move(choices[index]));
    choices = std::move(sorted);
}

void SortedChoiceModel::Reset(std::vector<Choice> choices) {
    SortChoices(choices);
    beginResetModel();
    choices_ = std::move(choices);
    endResetModel();
}

int SortedChoiceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(choices_.size());
}

QVariant SortedChoiceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const Choice& choice = choices_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return choice.Text;
    if (role == Qt::UserRole)
        return choice.Data;
    return {};
}
