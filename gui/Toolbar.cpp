#include "gui/Toolbar.h"

#include <QComboBox>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>

#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
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
// kMaxListWidth (longer names are cut with an ellipsis).
class Selector : public QComboBox {
  public:
    using QComboBox::QComboBox;
    void showPopup() override {
        QComboBox::showPopup();
        QWidget* popup = view()->window();
        const int widest = std::max(width(), std::min(kMaxListWidth, popup->width()));
        if (popup->width() > widest)
            popup->resize(widest, popup->height());
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

QString FromCatalogue(const std::string& bytes) {
    return QString::fromStdString(CatalogueTextAsUtf8(bytes));
}

}  // namespace

Toolbar::Toolbar(QWidget* parent, const Catalogue& catalogue, const ProgramFolders& folders,
                 const QFont& uiFont, StatusWriter status)
    : QWidget(parent),
      catalogue_(catalogue),
      folders_(folders),
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
    selector->setMaxVisibleItems(
        std::max(1, kListHeight / std::max(1, view->fontMetrics().height() + 2)));
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
    const std::optional<std::vector<StarChoiceRow>> rows = QueryStarChoices(catalogue_, code);
    if (!rows)
        return 0;
    const StarFileIndex files = StarFileIndex::Read(folders_.DatasFolder);
    std::vector<Choice> choices;
    choices.reserve(rows->size());
    for (const StarChoiceRow& row : *rows) {
        if (files.Exists(row.Id))
            choices.push_back({FromCatalogue(row.Name), row.Id});
    }
    starModel_->Reset(std::move(choices));
    stars_->setCurrentIndex(starModel_->rowCount() > 0 ? 0 : -1);
    return starModel_->rowCount();
}

bool Toolbar::ShowStar(SpkId id) {
    for (int index = 0; index < stars_->count(); ++index) {
        bool ok = false;
        if (stars_->itemData(index, Qt::UserRole).toLongLong(&ok) == id && ok) {
            stars_->setCurrentIndex(index);
            return true;
        }
    }
    return false;
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
}
