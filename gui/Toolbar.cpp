// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/Toolbar.h"

#include <QComboBox>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>

#include <algorithm>
#include <limits>

#include "data/AscendingSearch.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueStatements.h"
#include "data/CatalogueText.h"
#include "data/NameCollation.h"
#include "data/StarFileIndex.h"
#include "drawing/TextBytes.h"
#include "gui/SortedChoices.h"

namespace {

constexpr int kListHeight = 500;    // pixels: the height of a selector with its open list
constexpr int kMaxListWidth = 500;  // pixels: the widest an open list grows for long names

// The desktop style, but a selector's list opens under it as a plain list of at most its
// visible items, not as a menu laid over it that may fill the screen.
class SelectorStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A selector whose open list is as wide as the selector, or as its longest name up to
// kMaxListWidth (longer names are cut with an ellipsis), and reaches at most kListHeight below
// the selector's top: a list of many names fills those 500 pixels, whatever the height of a row.
class Selector : public QComboBox {
  public:
    using QComboBox::QComboBox;
    void showPopup() override {
        QComboBox::showPopup();
        QWidget* popup = view()->window();
        const int widest = std::max(width(), std::min(kMaxListWidth, popup->width()));
        const int highest = std::max(1, kListHeight - height());
        if (popup->width() > widest || popup->height() > highest)
            popup->resize(std::min(popup->width(), widest), std::min(popup->height(), highest));
    }
};

// The value carried by the selected item of `selector`, if any.
std::optional<qint64> SelectedData(const QComboBox* selector) {
    const int index = selector->currentIndex();
    if (index < 0)
        return std::nullopt;
    bool ok = false;
    const qint64 data = selector->itemData(index, Qt::UserRole).toLongLong(&ok);
    return ok ? std::optional<qint64>(data) : std::nullopt;
}

// A 32-bit FNV-1a hash of an item's text.
std::uint32_t NameHash(const std::string& texts, const SortedChoiceModel::Item& item) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = item.Offset; i < std::size_t{item.Offset} + item.Length; ++i)
        hash = (hash ^ static_cast<unsigned char>(texts[i])) * 16777619u;
    return hash;
}

QString FromCatalogue(const std::string& bytes) {
    return QString::fromStdString(CatalogueTextAsUtf8(bytes));
}

}  // namespace

Toolbar::Toolbar(QWidget* parent, const Catalogue& catalogue, const ProgramFolders& folders,
                 const QFont& uiFont, StatusWriter status)
    : QWidget(parent),
      catalogue_(catalogue),
      folders_(folders),
      datasListing_(folders.DatasFolder),
      background_(QString::fromStdString(folders.ConfigurationFolder + "/Background.jpg")),
      orbitClassModel_(new SortedChoiceModel(this)),
      starModel_(new SortedChoiceModel(this)),
      yearModel_(new SortedChoiceModel(this)) {
    setObjectName("NVR_TOOLBAR");
    orbitClasses_ = MakeSelector(orbitClassModel_, uiFont);
    stars_ = MakeSelector(starModel_, uiFont);
    years_ = MakeSelector(yearModel_, uiFont);
    orbitClasses_->setObjectName("OrbitClassSelector");
    stars_->setObjectName("StarSelector");
    years_->setObjectName("YearSelector");

    FindField::Sources sources;
    sources.CataloguePath = folders.DatabasePath;
    sources.DatasFolder = folders.DatasFolder;
    sources.Database = &catalogue_;
    sources.ClassName = [this](int code) {
        const int index = orbitClasses_->findData(code);
        return index >= 0 ? orbitClasses_->itemText(index) : QString("class %1").arg(code);
    };
    // The list opens over the pages under the toolbar.
    find_ = new ::FindField(this, parent != nullptr ? parent : this, uiFont, std::move(sources));
    connect(find_, &FindField::StarPicked, this,
            [this](const FoundStar& star) { emit FoundStarPicked(star); });

    std::vector<Choice> years = {{"(All years)", 0}};
    for (int i = 0; i < kYearItems; ++i)
        years.push_back(
            {QString::asprintf("From %d/1/1 to %d/12/31", kFirstYear + i, kLastYear), i});
    yearModel_->Reset(std::move(years));
    years_->setCurrentIndex(-1);

    // "activated" comes once for each change the user makes (click, arrow key, wheel), never for
    // the program's own changes of the selection.
    connect(orbitClasses_, &QComboBox::activated, this, [this](int) {
        starModel_->Clear();  // emptied first, so a statement that fails leaves it empty
        stars_->setCurrentIndex(-1);
        FillStarSelector(SelectedOrbitClass());
    });
    connect(stars_, &QComboBox::activated, this, [this](int) { emit StarChosen(); });
    connect(years_, &QComboBox::activated, this, [this](int) { emit YearChosen(); });

    const std::optional<std::vector<OrbitClassRow>> classes = QueryOrbitClasses(catalogue_);
    if (!classes || classes->empty())
        return;  // nothing can be chosen, and no year is selected
    std::vector<Choice> choices;
    choices.reserve(classes->size());
    for (const OrbitClassRow& row : *classes)
        choices.push_back({FromCatalogue(row.Name), row.Index});
    orbitClassModel_->Reset(std::move(choices));
    orbitClasses_->setCurrentIndex(0);
    years_->setCurrentIndex(0);
    if (status)
        status(1, QString::asprintf("%d orbites added", static_cast<int>(classes->size())));
    FillStarSelector(SelectedOrbitClass());
    RestoreWorkingFolder(folders_);
}

QComboBox* Toolbar::MakeSelector(SortedChoiceModel* model, const QFont& font) {
    auto* selector = new Selector(this);
    if (selectorStyle_ == nullptr) {
        selectorStyle_ = new SelectorStyle;
        selectorStyle_->setParent(this);
    }
    selector->setStyle(selectorStyle_);
    selector->setFont(font);
    selector->setModel(model);
    // Lists of a whole catalogue: the open list lays its rows out uniformly, and the selector
    // never measures every item for its own size (its size is fixed).
    auto* view = new QListView(selector);
    view->setUniformItemSizes(true);
    view->setTextElideMode(Qt::ElideRight);
    selector->setView(view);
    selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    selector->setMinimumContentsLength(1);
    // More rows than the list can hold: showPopup cuts it to its height.
    selector->setMaxVisibleItems(
        std::max(1, kListHeight / std::max(1, view->fontMetrics().height() / 2)));
    return selector;
}

int Toolbar::SelectedOrbitClass() const {
    const std::optional<qint64> data = SelectedData(orbitClasses_);
    return data ? static_cast<int>(*data) : -1;
}

SpkId Toolbar::SelectedSpkId() const {
    const std::optional<qint64> data = SelectedData(stars_);
    return data ? static_cast<SpkId>(*data) : 0;
}

std::optional<std::string> Toolbar::SelectedStarName() const {
    if (stars_->currentIndex() < 0)
        return std::nullopt;
    constexpr std::size_t kMaxBytes = 255;
    return CutUtf8(stars_->currentText().toStdString(), kMaxBytes);
}

int Toolbar::SelectedYear() const {
    const std::optional<qint64> data = SelectedData(years_);
    if (!data)
        return -1;
    return *data == 0 ? 0 : static_cast<int>(*data) + kFirstYear;
}

int Toolbar::FillStarSelector(int code) {
    auto texts = std::make_shared<std::string>();
    std::vector<SortedChoiceModel::Item> items;
    const StarFileIndex* files = nullptr;
    std::size_t searchFrom = 0;
    const std::optional<int> rows =
        ForEachStarChoice(catalogue_, code, [&](const StarChoiceRowView& row) {
            if (files == nullptr) {
                files = &datasListing_.Current();  // listed once the statement has its rows
                // At most one item per file, of a name of some 16 bytes.
                items.reserve(files->Size());
                texts->reserve(files->Size() * 16);
            }
            if (!files->Exists(row.Id, searchFrom))
                return;
            const std::size_t offset = texts->size();
            AppendCatalogueTextAsUtf8(*texts, row.Name);
            items.push_back({static_cast<std::uint32_t>(offset),
                             static_cast<std::uint32_t>(texts->size() - offset), row.Id});
        });
    if (!rows)
        return 0;

    std::optional<std::vector<std::uint32_t>> ranks = KnownRanks(*texts, items);
    if (!ranks) {
        ranks = CollationRanks(
            items.size(),
            [&](std::size_t i) {
                return std::string_view(*texts).substr(items[i].Offset, items[i].Length);
            },
            NameCase::Insensitive);
        if (code == CatalogueStatements::kEveryStar) {
            // The ranks of every star's name, for the lists of the classes to come.
            std::vector<std::uint64_t> byId(items.size());
            for (std::size_t i = 0; i < items.size(); ++i)
                byId[i] = static_cast<std::uint64_t>(items[i].Data) << 32 | i;
            if (!std::is_sorted(byId.begin(), byId.end()))
                std::sort(byId.begin(), byId.end());
            RankedNames ranked;
            ranked.Made = true;
            ranked.Ids.reserve(byId.size());
            ranked.Ranks.reserve(byId.size());
            ranked.Hashes.reserve(byId.size());
            for (std::size_t k = 0; k < byId.size(); ++k) {
                const SpkId id = static_cast<SpkId>(byId[k] >> 32);
                const SortedChoiceModel::Item& item = items[byId[k] & 0xFFFFFFFFu];
                if (!ranked.Ids.empty() && ranked.Ids.back() == id) {
                    // Two rows of one SpkId: which name a class's row has is not known here.
                    ranked.Ranks.back() = std::numeric_limits<std::uint32_t>::max();
                    continue;
                }
                ranked.Ids.push_back(id);
                ranked.Ranks.push_back((*ranks)[byId[k] & 0xFFFFFFFFu]);
                ranked.Hashes.push_back(NameHash(*texts, item));
            }
            rankedNames_ = std::move(ranked);
        }
    }
    SortByRanks(items, *ranks);
    starModel_->ResetInOrder(std::move(texts), std::move(items));
    stars_->setCurrentIndex(starModel_->rowCount() > 0 ? 0 : -1);
    return starModel_->rowCount();
}

std::optional<std::vector<std::uint32_t>> Toolbar::KnownRanks(
    const std::string& texts, const std::vector<SortedChoiceModel::Item>& items) const {
    const RankedNames& known = rankedNames_;
    if (!known.Made)
        return std::nullopt;
    std::vector<std::uint32_t> ranks(items.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto id = static_cast<SpkId>(items[i].Data);
        // Rows come in ascending SpkIds: the search goes on from the last one found.
        const std::size_t k = SearchAscending(known.Ids, id, from);
        if (k == known.Ids.size() || known.Ids[k] != id)
            return std::nullopt;
        if (known.Ranks[k] == std::numeric_limits<std::uint32_t>::max() ||
            known.Hashes[k] != NameHash(texts, items[i])) {
            return std::nullopt;
        }
        ranks[i] = known.Ranks[k];
        from = k + 1;
    }
    return ranks;
}

bool Toolbar::ShowStar(SpkId id) {
    const int row = starModel_->RowOfData(id);
    if (row < 0)
        return false;
    stars_->setCurrentIndex(row);
    return true;
}

bool Toolbar::ShowStarInAnyClass(SpkId id) {
    if (ShowStar(id))
        return true;
    const int every = orbitClasses_->findData(CatalogueStatements::kEveryStar);
    if (every >= 0) {
        orbitClasses_->setCurrentIndex(every);
        FillStarSelector(CatalogueStatements::kEveryStar);
    }
    return ShowStar(id);
}

bool Toolbar::ShowStarInItsClass(SpkId id, int orbitClass) {
    if (ShowStar(id))
        return true;
    const int own = orbitClasses_->findData(orbitClass);
    if (own >= 0 && own != orbitClasses_->currentIndex()) {
        orbitClasses_->setCurrentIndex(own);
        FillStarSelector(orbitClass);
        if (ShowStar(id))
            return true;
    }
    return ShowStarInAnyClass(id);
}

void Toolbar::ResetYearSelector() {
    years_->setCurrentIndex(years_->count() > 0 ? 0 : -1);
}

void Toolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    background_.Paint(painter, rect());
}

void Toolbar::resizeEvent(QResizeEvent*) {
    // The selectors keep their places whatever the toolbar's size.
    const int height = orbitClasses_->sizeHint().height();
    orbitClasses_->setGeometry(kOrbitClassX, kTop, kOrbitClassWidth, height);
    stars_->setGeometry(kStarX, kTop, kStarWidth, height);
    years_->setGeometry(kYearX, kTop, kYearWidth, height);
    find_->setGeometry(kFindX, kTop, kFindWidth, height);
}
