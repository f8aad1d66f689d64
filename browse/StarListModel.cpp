#include "browse/StarListModel.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include "astro/ValueText.h"
#include "data/CatalogueText.h"

namespace {

using K = StarListColumn::Kind;
using Q = Quantity;

// The rank of each text in the collation of the user's locale, over its first 255 characters:
// equal texts share a rank. Collation keys are made once per text; comparing two keys is a
// byte comparison.
std::vector<int> CollationRanks(const std::vector<std::string_view>& texts) {
    const QCollator collator(NameCollationLocale());
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const std::string_view text : texts) {
        keys.push_back(
            collator.sortKey(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                 .left(static_cast<qsizetype>(kStarListSortTextLength))));
    }
    std::vector<int> sorted(texts.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(),
              [&](int x, int y) { return keys[x].compare(keys[y]) < 0; });
    std::vector<int> ranks(texts.size(), 0);
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const int previous = sorted[i - 1];
        ranks[sorted[i]] = ranks[previous] + (keys[previous].compare(keys[sorted[i]]) < 0 ? 1 : 0);
    }
    return ranks;
}

constexpr StarListColumn Number(const char* caption, int width, Quantity value, int decimals = 15) {
    return {caption, width, K::Number, value, decimals};
}

}  // namespace

const std::array<StarListColumn, kStarListColumnCount> kStarListColumns = {{
    {"SPK-ID", 80, K::SpkId},
    {"Star", 200, K::Name},
    {"Orbit", 150, K::Orbit},
    Number("e", 150, Q::Eccentricity),
    Number("a", 150, Q::SemiMajorAxis),
    Number("q", 150, Q::PerihelionDistance),
    Number("i", 150, Q::Inclination),
    Number("node", 150, Q::AscendingNodeLongitude),
    Number("peri", 150, Q::ArgumentPerihelion),
    Number("M", 150, Q::MeanAnomaly),
    Number("period", 180, Q::OrbitalPeriod),
    Number("n", 150, Q::MeanMotion),
    Number("Q", 150, Q::ApelionDistance),
    Number("Earth MOID", 100, Q::EarthMOID, 10),
    Number("H", 80, Q::AbsoluteMagnitude, 5),
    Number("diameter", 80, Q::Diameter, 5),
    Number("rot_per", 80, Q::RotationPeriod, 5),
    Number("albedo", 80, Q::GeometricAlbedo, 5),
    Number("b", 150, Q::SemiMinorAxis),
    Number("K", 150, Q::KeplerConstant),
    Number("E", 150, Q::EccentricAnomaly),
    Number("Ta", 150, Q::TrueAnomaly),
    Number("T", 150, Q::OrbitalPeriod),
    Number("OB", 180, Q::PeriodOver365),
    Number("DS", 150, Q::SunDistanceFromPeriod),
    Number("PC", 150, Q::PlanetCycle),
    Number("S", 150, Q::EllipseArea),
    Number("Pe", 180, Q::EllipsePerimeter),
    Number("c", 180, Q::FocalDistance),
    Number("f", 150, Q::CentreDirectrixDistance),
    Number("h", 150, Q::FocusDirectrixDistance),
    Number("p", 150, Q::EllipseParameter),
    Number("Voa", 150, Q::AphelionSpeed),
    Number("Vop", 150, Q::PerihelionSpeed),
    Number("Vom", 150, Q::MeanOrbitalSpeed),
    Number("DPJ", 150, Q::DistancePerDay),
    Number("DPH", 150, Q::DistancePerHour),
    Number("DPM", 150, Q::DistancePerMinute),
    Number("DPS", 150, Q::DistancePerSecond),
}};

std::string StarListSortText(std::string_view cellText) {
    cellText = cellText.substr(0, kStarListSortTextLength);
    // Read as the standard string-to-double conversion reads it; a text that is not a number
    // gives 0. (A fixed-notation text of at most 255 characters never overflows.)
    double value = 0;
    if (std::from_chars(cellText.data(), cellText.data() + cellText.size(), value).ec !=
        std::errc{}) {
        value = 0;
    }
    constexpr std::size_t kWidth = 25;
    char digits[kLongestFixedText];
    const std::size_t length = static_cast<std::size_t>(WriteFixedText(digits, value, 15) - digits);
    std::string text;
    if (length >= kWidth) {
        text.assign(digits, std::min(length, kStarListSortTextLength));
    } else if (std::isfinite(value)) {
        // Zeros go between the sign and the digits.
        const std::size_t sign = digits[0] == '-' ? 1 : 0;
        text.reserve(kWidth);
        text.append(digits, sign);
        text.append(kWidth - length, '0');
        text.append(digits + sign, length - sign);
    } else {
        text.assign(kWidth - length, ' ');
        text.append(digits, length);
    }
    return text;
}

StarListModel::StarListModel(QObject* parent) : QAbstractTableModel(parent) {
    ascending_.fill(true);
}

std::optional<int> StarListModel::Load(const Catalogue& catalogue) {
    const std::optional<std::vector<StarListRow>> rows = QueryStarList(catalogue);
    if (!rows) {
        Load(std::vector<StarListRow>{});
        return std::nullopt;
    }
    return Load(*rows);
}

int StarListModel::Load(const std::vector<StarListRow>& rows) {
    beginResetModel();
    stars_.clear();
    orbitNames_.clear();
    nameRanks_.clear();
    stars_.reserve(rows.size());
    std::unordered_map<std::string, std::uint32_t> orbitIndex;  // each class name once
    for (const StarListRow& row : rows) {
        const auto [orbit, added] =
            orbitIndex.try_emplace(row.Orbite, static_cast<std::uint32_t>(orbitNames_.size()));
        if (added) {
            orbitNames_.push_back(CatalogueTextAsUtf8(row.Orbite));
        }
        stars_.push_back({row.Id, orbit->second, CatalogueTextAsUtf8(row.Name),
                          SolveStarQuantities(row.Values, row.GeometricAlbedo)});
    }
    order_.resize(stars_.size());
    std::iota(order_.begin(), order_.end(), 0);
    ascending_.fill(true);
    endResetModel();
    return RowCount();
}

bool StarListModel::NextSortAscending(int column) const {
    return column >= 0 && column < kStarListColumnCount && ascending_[column];
}

char* StarListModel::WriteNumberText(char* out, const Star& star, int column) const {
    const StarListColumn& columnKind = kStarListColumns[column];
    if (columnKind.Source == K::SpkId) {
        return std::to_chars(out, out + 16, star.Id).ptr;
    }
    return WriteFixedText(out, QuantityValue(columnKind.Value, star.Values), columnKind.Decimals);
}

void StarListModel::AppendCellText(std::string& out, const Star& star, int column) const {
    switch (kStarListColumns[column].Source) {
        case K::Name:
            out += star.Name;
            return;
        case K::Orbit:
            out += orbitNames_[star.Orbit];
            return;
        case K::SpkId:
        case K::Number: {
            char text[kLongestFixedText];
            out.append(text, WriteNumberText(text, star, column));
            return;
        }
    }
}

std::string StarListModel::CellText(int row, int column) const {
    std::string text;
    if (row >= 0 && row < RowCount() && column >= 0 && column < kStarListColumnCount) {
        AppendCellText(text, stars_[static_cast<std::size_t>(order_[row])], column);
    }
    return text;
}

void StarListModel::AppendRowLine(std::string& out, int row) const {
    const Star& star = stars_[static_cast<std::size_t>(order_[row])];
    for (int column = 0; column < kStarListColumnCount; ++column) {
        if (column > 0) {
            out += '\t';
        }
        const std::size_t start = out.size();
        AppendCellText(out, star, column);
        // A tab, line break or escape inside a catalogue text would split the line or drive the
        // terminal: every control character of the texts becomes a blank.
        for (std::size_t at = start; at < out.size(); ++at) {
            const auto byte = static_cast<unsigned char>(out[at]);
            if (byte < 0x20 || byte == 0x7F)
                out[at] = ' ';
        }
    }
    out += '\n';
}

SpkId StarListModel::StarAt(int row) const {
    return row >= 0 && row < RowCount() ? stars_[static_cast<std::size_t>(order_[row])].Id : 0;
}

int StarListModel::RowOfStar(SpkId id) const {
    for (int row = 0; row < RowCount(); ++row) {
        if (stars_[static_cast<std::size_t>(order_[row])].Id == id) {
            return row;
        }
    }
    return -1;
}

void StarListModel::Order(int column, bool ascending) {
    const auto sortBy = [&](const auto& compare) {
        std::stable_sort(order_.begin(), order_.end(), [&](int x, int y) {
            const int result = compare(x, y);
            return ascending ? result < 0 : result > 0;
        });
    };
    switch (kStarListColumns[column].Source) {
        case K::Name: {
            if (nameRanks_.size() != stars_.size()) {
                std::vector<std::string_view> names;
                names.reserve(stars_.size());
                for (const Star& star : stars_) {
                    names.push_back(star.Name);
                }
                nameRanks_ = CollationRanks(names);
            }
            sortBy([&](int x, int y) { return nameRanks_[x] - nameRanks_[y]; });
            return;
        }
        case K::Orbit: {
            const std::vector<int> ranks = CollationRanks({orbitNames_.begin(), orbitNames_.end()});
            sortBy([&](int x, int y) { return ranks[stars_[x].Orbit] - ranks[stars_[y].Orbit]; });
            return;
        }
        case K::SpkId:
        case K::Number: {
            std::vector<std::string> texts(stars_.size());
            char text[kLongestFixedText];
            for (std::size_t i = 0; i < stars_.size(); ++i) {
                const char* end = WriteNumberText(text, stars_[i], column);
                texts[i] = StarListSortText(std::string_view(text, end - text));
            }
            sortBy([&](int x, int y) { return texts[x].compare(texts[y]); });
            return;
        }
    }
}

void StarListModel::SortByColumn(int column) {
    if (column < 0 || column >= kStarListColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Selection and current row follow their star.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> starsBefore;
    starsBefore.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) {
        starsBefore.push_back(order_[index.row()]);
    }
    Order(column, ascending_[column]);
    ascending_[column] = !ascending_[column];
    if (!before.isEmpty()) {
        std::vector<int> rowOfStar(stars_.size());
        for (int row = 0; row < RowCount(); ++row) {
            rowOfStar[order_[row]] = row;
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            after.push_back(
                index(rowOfStar[starsBefore[static_cast<std::size_t>(i)]], before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int StarListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int StarListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kStarListColumnCount;
}

QVariant StarListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= RowCount() || index.column() >= kStarListColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(CellText(index.row(), index.column()));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(
            (kStarListColumns[index.column()].RightAligned() ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
    }
    return {};
}

QVariant StarListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kStarListColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromLatin1(kStarListColumns[section].Caption);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(
            (kStarListColumns[section].RightAligned() ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
    }
    return {};
}
