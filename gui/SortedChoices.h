#pragma once

#include <QAbstractListModel>
#include <QString>
#include <vector>

// One entry of a selector: the text shown and the 32-bit value it carries.
struct Choice {
    QString Text;
    qint64 Data = 0;
};

// The items of a drop-down selector kept sorted by their text, whatever order they arrive in:
// compared as the user's locale collates them, ignoring case; items with equal texts keep their
// order of arrival. The text is the display role, the value the user role. Made for lists of
// any length (a whole catalogue of stars).
class SortedChoiceModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every item with `choices`, sorted.
    void Reset(std::vector<Choice> choices);
    void Clear() { Reset({}); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<Choice>& Choices() const { return choices_; }

  private:
    std::vector<Choice> choices_;
};

// The order SortedChoiceModel gives `choices` (stable for equal texts).
void SortChoices(std::vector<Choice>& choices);
