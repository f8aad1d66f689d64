// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/FindField.h"

#include <sqlite3.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <atomic>
#include <map>
#include <mutex>

#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
#include "data/FindText.h"

namespace {

constexpr int kListWidth = 620;     // pixels: the list, when the window is that wide
constexpr int kClassWidth = 200;    // pixels: its class column
constexpr int kFileWidth = 70;      // pixels: its file column
constexpr int kPollInterval = 100;  // milliseconds between looks at the index being read

// "1,400,000": counts as the list's lines give them.
QString CountText(std::size_t count) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(count));
}

QString Bodies(std::size_t count) {
    return CountText(count) + (count == 1 ? " body" : " bodies");
}

}  // namespace

// The rows of the list: full name, class, and "no file" for a body without an ephemeris file
// (its row greyed).
class FoundStarsModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void Reset(const std::vector<FoundStar>* rows, std::vector<QString> classes) {
        beginResetModel();
        rows_ = rows;
        classes_ = std::move(classes);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || rows_ == nullptr ? 0 : static_cast<int>(rows_->size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const auto row = static_cast<std::size_t>(index.row());
        const FoundStar& star = (*rows_)[row];
        switch (role) {
            case Qt::DisplayRole:
                return index.column() == 0   ? star.FullName
                       : index.column() == 1 ? classes_[row]
                                             : QVariant(star.HasFile ? QString() : "no file");
            case Qt::ToolTipRole:
                return star.HasFile ? QString("%1 (SPK-ID %2)").arg(star.FullName).arg(star.Id)
                                    : QString(
                                          "%1 (SPK-ID %2) has no ephemeris file: choose it "
                                          "to compute one")
                                          .arg(star.FullName)
                                          .arg(star.Id);
            case Qt::ForegroundRole:
                if (!star.HasFile)
                    return QColor(Qt::gray);
                return {};
            default:
                return {};
        }
    }

  private:
    const std::vector<FoundStar>* rows_ = nullptr;
    std::vector<QString> classes_;
};

// Rows a little apart, as a list of choices has them.
class SpacedRows : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 4);
    }
};

// What the UI thread and the thread that reads the index share.
struct FindField::IndexLoad {
    std::mutex Lock;
    sqlite3* Reading = nullptr;  // the reading connection, to interrupt
    bool Cancelled = false;
    std::optional<StarFinder> Finder;
    std::string Problem;
    std::atomic<std::size_t> Read{0};  // bodies read so far
    std::atomic<bool> Done{false};
};

FindField::FindField(QWidget* parent, QWidget* listHost, const QFont& font, Sources sources)
    : QLineEdit(parent),
      sources_(std::move(sources)),
      listHost_(listHost),
      panel_(new QFrame(listHost)),
      list_(new QTreeView(panel_)),
      countLine_(new QLabel(panel_)),
      model_(new FoundStarsModel(this)),
      poll_(new QTimer(this)) {
    setObjectName("FindField");
    setFont(font);
    setPlaceholderText("Find: number, name, designation, SPK-ID");
    setClearButtonEnabled(true);
    setToolTip("Find any body of the catalogue (Ctrl+F)");

    panel_->setObjectName("FindList");
    panel_->setFrameShape(QFrame::Box);
    panel_->setAutoFillBackground(true);
    panel_->setPalette(QPalette());  // the desktop's colours, over the black pages
    panel_->hide();
    auto* layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    list_->setFont(font);
    list_->setModel(model_);
    list_->setItemDelegate(new SpacedRows(list_));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderHidden(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setMouseTracking(true);
    // The field keeps the focus while the user points and clicks in the list.
    list_->setFocusPolicy(Qt::NoFocus);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    list_->header()->setSectionResizeMode(2, QHeaderView::Fixed);
    list_->header()->resizeSection(1, kClassWidth);
    list_->header()->resizeSection(2, kFileWidth);
    countLine_->setFont(font);
    countLine_->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(list_);
    layout->addWidget(countLine_);
    connect(list_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { Pick(index.row()); });

    poll_->setInterval(kPollInterval);
    connect(poll_, &QTimer::timeout, this, [this] { CheckIndexLoad(); });
    connect(this, &QLineEdit::textChanged, this, [this] { Refresh(); });
}

FindField::~FindField() {
    if (reader_.joinable()) {
        {
            std::lock_guard<std::mutex> guard(load_->Lock);
            load_->Cancelled = true;
            if (load_->Reading != nullptr)
                sqlite3_interrupt(load_->Reading);
        }
        reader_.join();
    }
}

void FindField::PrepareIndex() {
    if (load_ || finder_)
        return;
    load_ = std::make_shared<IndexLoad>();
    reader_ = std::thread([load = load_, path = sources_.CataloguePath] {
        std::string problem;
        std::optional<StarFinder> finder;
        try {
            std::unique_ptr<Catalogue> catalogue =
                Catalogue::Open(path, problem, Catalogue::Access::ReadOnly);
            if (catalogue) {
                {
                    std::lock_guard<std::mutex> guard(load->Lock);
                    if (!load->Cancelled)
                        load->Reading = catalogue->Handle();
                }
                if (load->Reading != nullptr) {
                    finder = ReadStarFinder(*catalogue, false,
                                            [&](std::size_t read) { load->Read = read; });
                    if (!finder)
                        problem = catalogue->ErrorText();
                }
                std::lock_guard<std::mutex> guard(load->Lock);
                load->Reading = nullptr;
            }
        } catch (const std::bad_alloc&) {
            finder.reset();
            problem = "out of memory";
        }
        std::lock_guard<std::mutex> guard(load->Lock);
        load->Finder = std::move(finder);
        load->Problem = std::move(problem);
        load->Done = true;
    });
    poll_->start();
}

void FindField::CheckIndexLoad() {
    if (!load_ || !load_->Done) {
        Refresh();  // how far the reading got
        return;
    }
    poll_->stop();
    reader_.join();
    {
        std::lock_guard<std::mutex> guard(load_->Lock);
        finder_ = std::move(load_->Finder);
        if (finder_)
            typing_ = std::make_unique<StarFinder::Typing>(*finder_);
        else
            indexProblem_ = QString::fromStdString(load_->Problem);
    }
    Refresh();
}

bool FindField::ListShown() const {
    return panel_->isVisible();
}

int FindField::RowHeight() const {
    // The style's height of a row, measured on the first row shown; until then an estimate.
    if (rowHeight_ == 0 && model_->rowCount() > 0)
        rowHeight_ = std::max(1, list_->sizeHintForRow(0));
    return rowHeight_ > 0 ? rowHeight_ : list_->fontMetrics().height() + 6;
}

int FindField::RowsThatFit() const {
    const int top = mapTo(listHost_, QPoint(0, height())).y();
    const int room = listHost_->height() - top - countLine_->sizeHint().height() - 6;
    return std::max(1, room / RowHeight());
}

void FindField::Refresh() {
    const QString text = this->text();
    if (text.trimmed().isEmpty()) {
        shown_.clear();
        model_->Reset(&shown_, {});
        HideList();
        return;
    }
    if (!finder_) {
        shown_.clear();
        model_->Reset(&shown_, {});
        if (!indexProblem_.isEmpty()) {
            ShowList(QString("The bodies cannot be searched: %1").arg(indexProblem_));
            return;
        }
        PrepareIndex();
        ShowList(QString("Reading the catalogue: %1 so far...").arg(Bodies(load_->Read)));
        return;
    }

    const std::size_t limit = static_cast<std::size_t>(RowsThatFit());
    const StarFinder::Result result = typing_->Find(text.toStdString(), limit);
    // The names come from the viewer's own connection, in one statement for the rows shown:
    // the index keeps only folded texts.
    std::vector<SpkId> ids;
    for (const StarFinder::Found& found : result.Best)
        ids.push_back(finder_->Id(found.Row));
    std::map<SpkId, FoundStarRow> rows;
    if (sources_.Database != nullptr) {
        for (FoundStarRow& row :
             QueryFoundStars(*sources_.Database, ids).value_or(std::vector<FoundStarRow>{})) {
            rows.emplace(row.Id, std::move(row));
        }
    }
    shown_.clear();
    std::vector<QString> classes;
    for (const StarFinder::Found& found : result.Best) {
        FoundStar star;
        star.Id = finder_->Id(found.Row);
        star.OrbitClass = finder_->OrbitClass(found.Row);
        const auto row = rows.find(star.Id);
        if (row != rows.end()) {
            star.FullName = QString::fromStdString(CatalogueTextAsUtf8(row->second.FullName));
            star.OrbitClass = row->second.OrbiteType;
        } else {
            star.FullName = QString("SPK-ID %1").arg(star.Id);
        }
        // Looked at now, row by row: a listing of the whole folder may be older than the file.
        star.HasFile = QFileInfo::exists(
            QFile::decodeName(StarFilePath(sources_.DatasFolder, star.Id).c_str()));
        classes.push_back(sources_.ClassName ? sources_.ClassName(star.OrbitClass)
                                             : QString::number(star.OrbitClass));
        shown_.push_back(std::move(star));
    }
    model_->Reset(&shown_, std::move(classes));
    if (!shown_.empty())
        list_->setCurrentIndex(model_->index(0, 0));

    QString count;
    if (FoldedForFinding(text.toStdString()).empty())
        count = "Type a number, a name, a designation or an SPK-ID";
    else if (result.Count == 0)
        count = QString("No body matches \"%1\"").arg(text.trimmed());
    else if (result.Count > shown_.size())
        count = QString("%1 of %2").arg(CountText(shown_.size()), Bodies(result.Count));
    else
        count = Bodies(result.Count);
    ShowList(count);
}

void FindField::ShowList(const QString& countText) {
    countLine_->setText(countText);
    const QPoint below = mapTo(listHost_, QPoint(0, height()));
    const int width = std::max(this->width(), std::min(kListWidth, listHost_->width() - below.x()));
    const int rows = static_cast<int>(shown_.size());
    const int listHeight = rows * RowHeight() + 2;
    list_->setVisible(rows > 0);
    list_->setFixedHeight(listHeight);
    const int height = (rows > 0 ? listHeight : 0) + countLine_->sizeHint().height() + 2;
    panel_->setGeometry(below.x(), below.y(), width, height);
    panel_->raise();
    if (!panel_->isVisible()) {
        // A click anywhere but on the field or the list closes it, and the list follows the
        // window's size.
        qApp->installEventFilter(this);
        listHost_->installEventFilter(this);
    }
    panel_->show();
}

void FindField::HideList() {
    if (!panel_->isVisible())
        return;
    qApp->removeEventFilter(this);
    listHost_->removeEventFilter(this);
    panel_->hide();
}

bool FindField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == listHost_ && event->type() == QEvent::Resize) {
        QTimer::singleShot(0, this, [this] {
            if (ListShown())
                Refresh();
        });
    } else if (event->type() == QEvent::MouseButtonPress) {
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (widget != nullptr && widget != this && widget != panel_ &&
            !panel_->isAncestorOf(widget))
            HideList();
    }
    return QLineEdit::eventFilter(watched, event);
}

void FindField::Pick(int row) {
    if (row < 0 || row >= static_cast<int>(shown_.size()))
        return;
    const FoundStar star = shown_[static_cast<std::size_t>(row)];
    HideList();
    emit StarPicked(star);
}

void FindField::MoveCurrent(int rows) {
    const int count = static_cast<int>(shown_.size());
    if (count == 0)
        return;
    const int current = std::max(0, list_->currentIndex().row());
    const int next = std::clamp(current + rows, 0, count - 1);
    list_->setCurrentIndex(model_->index(next, 0));
}

void FindField::keyPressEvent(QKeyEvent* event) {
    const bool listed = ListShown() && !shown_.empty();
    switch (event->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_PageDown:
        case Qt::Key_PageUp: {
            if (!ListShown()) {
                Refresh();
                return;
            }
            const int page = std::max(1, static_cast<int>(shown_.size()) - 1);
            MoveCurrent(event->key() == Qt::Key_Down       ? 1
                        : event->key() == Qt::Key_Up       ? -1
                        : event->key() == Qt::Key_PageDown ? page
                                                           : -page);
            return;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (listed)
                Pick(std::max(0, list_->currentIndex().row()));
            else
                Refresh();
            return;
        case Qt::Key_Escape:
            if (ListShown()) {
                HideList();
                return;
            }
            break;
        default:
            break;
    }
    QLineEdit::keyPressEvent(event);
}

void FindField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // The focus coming back with the window (after a question box, say) is not the user turning
    // to the field: the list stays closed until the user types or clicks.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    PrepareIndex();
    if (!text().trimmed().isEmpty())
        Refresh();
}

void FindField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        HideList();
}
