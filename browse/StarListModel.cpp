// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "browse/StarListModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numeric>

#include "astro/ValueText.h"
#include "data/CatalogueText.h"
#include "data/NameCollation.h"

namespace {

using K = StarListColumn::Kind;
using Q = Quantity;

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

namespace {

constexpr std::size_t kSortTextWidth = 25;

// Writes the "%025.15f" text of a number at `out` from its "%.15f" text `digits`: zeros between
// the sign and the digits, blanks before "inf" and "nan". Returns its length.
std::size_t PaddedSortText(char* out, std::string_view digits) {
    const std::size_t length = digits.size();
    if (length >= kSortTextWidth) {
        const std::size_t kept = std::min(length, kStarListSortTextLength);
        std::memcpy(out, digits.data(), kept);
        return kept;
    }
    const bool finite = digits.back() >= '0' && digits.back() <= '9';
    if (finite) {
        const std::size_t sign = digits[0] == '-' ? 1 : 0;
        std::memcpy(out, digits.data(), sign);
        std::memset(out + sign, '0', kSortTextWidth - length);
        std::memcpy(out + sign + kSortTextWidth - length, digits.data() + sign, length - sign);
    } else {
        std::memset(out, ' ', kSortTextWidth - length);
        std::memcpy(out + kSortTextWidth - length, digits.data(), length);
    }
    return kSortTextWidth;
}

}  // namespace

std::size_t WriteStarListSortText(char* out, std::string_view cellText) {
    cellText = cellText.substr(0, kStarListSortTextLength);
    // Read as the standard string-to-double conversion reads it; a text that is not a number
    // gives 0. (A fixed-notation text of at most 255 characters never overflows.)
    double value = 0;
    if (std::from_chars(cellText.data(), cellText.data() + cellText.size(), value).ec !=
        std::errc{}) {
        value = 0;
    }
    char digits[kLongestFixedText];
    return PaddedSortText(
        out, std::string_view(
                 digits, static_cast<std::size_t>(WriteFixedText(digits, value, 15) - digits)));
}

std::string StarListSortText(std::string_view cellText) {
    char text[kStarListSortTextLength];
    return std::string(text, WriteStarListSortText(text, cellText));
}

namespace {

// A comparison text packed into a number of the same order: its first 32 characters, 4 bits
// each, with 0 after its end, and whether it goes on past them. The characters of the texts of
// finite numbers (" -.0123456789") get the codes 1 to 13 in their byte order; the four texts of
// infinities and NaN, blanks and then "inf", "nan", "-inf" or "-nan", come first in that
// order, each with a code of its own.
struct PackedSortText {
    unsigned __int128 Bits;
    bool Longer;
};

PackedSortText Pack(std::string_view text) {
    PackedSortText packed{0, false};
    if (!text.empty() && text[0] == ' ') {
        const std::string_view word = text.substr(text.find_first_not_of(' '));
        const unsigned rank = word == "inf" ? 0 : word == "nan" ? 1 : word == "-inf" ? 2 : 3;
        packed.Bits = static_cast<unsigned __int128>(1 * 16 + rank) << 120;
        return packed;
    }
    constexpr std::size_t kCharacters = 32;
    for (std::size_t i = 0; i < kCharacters; ++i) {
        unsigned code = 0;
        if (i < text.size()) {
            const char c = text[i];
            code = c == '-' ? 2 : c == '.' ? 3 : 4 + static_cast<unsigned>(c - '0');
        }
        packed.Bits = packed.Bits << 4 | code;
    }
    packed.Longer = text.size() > kCharacters;
    return packed;
}

// What the star's cell of a quantity needs; Kepler's equation is solved only for the two
// anomalies.
StarQuantities QuantitiesFor(Quantity quantity, const StarInfoRow& elements, double albedo) {
    if (quantity == Q::EccentricAnomaly || quantity == Q::TrueAnomaly)
        return SolveStarQuantities(elements, albedo);
    return StarQuantities{elements, albedo, 0, 0};
}

// Writes the text of a SPK-ID or number cell at `out` (room for kLongestFixedText characters)
// and returns its end.
char* WriteNumberText(char* out, SpkId id, const StarQuantities& values, int column) {
    const StarListColumn& kind = kStarListColumns[column];
    if (kind.Source == K::SpkId)
        return std::to_chars(out, out + 16, id).ptr;
    return WriteFixedText(out, QuantityValue(kind.Value, values), kind.Decimals);
}

// Writes a catalogue text as a cell at `out` and returns its end. A tab, line break or escape
// inside a catalogue text would split the line or drive the terminal: every control character
// becomes a blank.
char* WriteTextCell(char* out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    return out;
}

// Writes the 39 texts of a row at `out`, tab-separated, with a line feed, and returns its end.
char* WriteLine(char* out, SpkId id, std::string_view name, std::string_view orbit,
                const StarQuantities& values) {
    const QuantityValues all = AllQuantityValues(values);
    for (int column = 0; column < kStarListColumnCount; ++column) {
        if (column > 0)
            *out++ = '\t';
        const StarListColumn& kind = kStarListColumns[column];
        switch (kind.Source) {
            case K::SpkId:
                out = std::to_chars(out, out + kLongestFixedText, id).ptr;
                break;
            case K::Name:
                out = WriteTextCell(out, name);
                break;
            case K::Orbit:
                out = WriteTextCell(out, orbit);
                break;
            case K::Number:
                out = WriteFixedText(out, all[kind.Value], kind.Decimals);
                break;
        }
    }
    *out++ = '\n';
    return out;
}

}  // namespace

StarListModel::StarListModel(QObject* parent) : QAbstractTableModel(parent) {
    ascending_.fill(true);
}

void StarListModel::ClearRows() {
    blocks_.clear();
    count_ = 0;
    names_.clear();
    orbitNames_.clear();
    orbitBytes_.clear();
    nameRanks_.clear();
    anomalies_.clear();
}

void StarListModel::ResetOrder() {
    order_.resize(count_);
    std::iota(order_.begin(), order_.end(), 0);
    ascending_.fill(true);
}

std::optional<int> StarListModel::Load(const Catalogue& catalogue) {
    beginResetModel();
    ClearRows();
    const std::optional<int> rows =
        ForEachStarListRow(catalogue, [&](const StarListRowView& row) { Append(row); });
    if (!rows)
        ClearRows();
    ResetOrder();
    endResetModel();
    if (!rows)
        return std::nullopt;
    return RowCount();
}

int StarListModel::Load(const std::vector<StarListRow>& rows) {
    beginResetModel();
    ClearRows();
    for (const StarListRow& row : rows)
        Append({row.Orbite, row.Id, row.Name, row.Values, row.GeometricAlbedo});
    ResetOrder();
    endResetModel();
    return RowCount();
}

void StarListModel::Append(const StarListRowView& row) {
    constexpr std::size_t kBlock = std::size_t{1} << kBlockBits;
    if (count_ % kBlock == 0)
        blocks_.push_back(std::make_unique_for_overwrite<Star[]>(kBlock));
    Star& star = blocks_.back()[count_ % kBlock];
    ++count_;
    star.Id = row.Id;
    std::memcpy(star.Values, &row.Values, sizeof star.Values);
    star.GeometricAlbedo = row.GeometricAlbedo;
    star.NameOffset = names_.size();
    AppendCatalogueTextAsUtf8(names_, row.Name);
    // Each class name once, found by the bytes the catalogue holds: a catalogue has a few tens
    // of classes.
    auto known = std::find(orbitBytes_.begin(), orbitBytes_.end(), row.Orbite);
    if (known == orbitBytes_.end()) {
        orbitBytes_.emplace_back(row.Orbite);
        orbitNames_.push_back(CatalogueTextAsUtf8(row.Orbite));
        known = orbitBytes_.end() - 1;
    }
    star.Orbit = static_cast<std::uint32_t>(known - orbitBytes_.begin());
}

bool StarListModel::NextSortAscending(int column) const {
    return column >= 0 && column < kStarListColumnCount && ascending_[column];
}

std::string StarListModel::CellText(int row, int column) const {
    std::string text;
    if (row < 0 || row >= RowCount() || column < 0 || column >= kStarListColumnCount)
        return text;
    const std::size_t index = static_cast<std::size_t>(order_[row]);
    const Star& star = StarOf(index);
    switch (kStarListColumns[column].Source) {
        case K::Name:
            text = NameOf(index);
            break;
        case K::Orbit:
            text = orbitNames_[star.Orbit];
            break;
        case K::SpkId:
        case K::Number: {
            const StarListColumn& kind = kStarListColumns[column];
            const StarQuantities values =
                kind.Source == K::Number
                    ? QuantitiesFor(kind.Value, star.Elements(), star.GeometricAlbedo)
                    : StarQuantities{};
            char digits[kLongestFixedText];
            text.assign(digits, WriteNumberText(digits, star.Id, values, column));
            break;
        }
    }
    return text;
}

std::size_t StarListModel::RowLineRoom(int row) const {
    const std::size_t index = static_cast<std::size_t>(order_[row]);
    return RowLineRoom(NameOf(index).size(), orbitNames_[StarOf(index).Orbit].size());
}

void StarListModel::AppendRowLine(std::string& out, int row) const {
    const std::size_t start = out.size();
    out.resize(start + RowLineRoom(row));
    out.resize(static_cast<std::size_t>(WriteRowLine(out.data() + start, row) - out.data()));
}

char* StarListModel::WriteRowLine(char* out, int row) const {
    const std::size_t index = static_cast<std::size_t>(order_[row]);
    const Star& star = StarOf(index);
    return WriteLine(out, star.Id, NameOf(index), orbitNames_[star.Orbit],
                     SolveStarQuantities(star.Elements(), star.GeometricAlbedo));
}

char* StarListModel::WriteRowLine(char* out, const StarListRowView& row, std::string& scratch) {
    scratch.clear();
    AppendCatalogueTextAsUtf8(scratch, row.Name);
    const std::size_t nameLength = scratch.size();
    AppendCatalogueTextAsUtf8(scratch, row.Orbite);
    const std::string_view texts(scratch);
    return WriteLine(out, row.Id, texts.substr(0, nameLength), texts.substr(nameLength),
                     SolveStarQuantities(row.Values, row.GeometricAlbedo));
}

SpkId StarListModel::StarAt(int row) const {
    return row >= 0 && row < RowCount() ? StarOf(static_cast<std::size_t>(order_[row])).Id : 0;
}

int StarListModel::RowOfStar(SpkId id) const {
    for (int row = 0; row < RowCount(); ++row) {
        if (StarOf(static_cast<std::size_t>(order_[row])).Id == id)
            return row;
    }
    return -1;
}

void StarListModel::OrderByRanks(const std::vector<std::uint32_t>& ranks, bool byOrbit,
                                 bool ascending) {
    // By rank, rows of one rank in their order before the click: the sort is stable.
    std::vector<std::uint32_t> rowRanks(order_.size());
    for (std::size_t row = 0; row < order_.size(); ++row) {
        const std::size_t star = static_cast<std::size_t>(order_[row]);
        rowRanks[row] = ranks[byOrbit ? StarOf(star).Orbit : star];
    }
    std::vector<int> order(order_.size());
    std::size_t row = 0;
    for (const std::uint32_t before : PositionsByRank(rowRanks, ascending))
        order[row++] = order_[before];
    order_ = std::move(order);
}

void StarListModel::OrderByNumbers(int column, bool ascending) {
    struct Entry {
        PackedSortText Key;
        std::uint32_t Row;  // before the click
    };
    // The stars are read in the order they are kept (one pass through memory, not one jump per
    // row), each with its row before the click.
    const auto rowOf = std::make_unique_for_overwrite<std::uint32_t[]>(count_);
    for (std::size_t row = 0; row < order_.size(); ++row)
        rowOf[static_cast<std::size_t>(order_[row])] = static_cast<std::uint32_t>(row);
    const auto entries = std::make_unique_for_overwrite<Entry[]>(count_);
    char cell[kLongestFixedText];
    char text[kStarListSortTextLength];
    const StarListColumn& kind = kStarListColumns[column];
    const bool anomaly = kind.Value == Q::EccentricAnomaly || kind.Value == Q::TrueAnomaly;
    if (anomaly && anomalies_.size() != 2 * count_) {
        // Kepler's equation, solved once for every star: the one costly formula.
        anomalies_.resize(2 * count_);
        for (std::size_t index = 0; index < count_; ++index) {
            const Star& star = StarOf(index);
            const StarQuantities solved =
                SolveStarQuantities(star.Elements(), star.GeometricAlbedo);
            anomalies_[2 * index] = solved.EccentricAnomaly;
            anomalies_[2 * index + 1] = solved.TrueAnomaly;
        }
    }
    for (std::size_t index = 0; index < count_; ++index) {
        const Star& star = StarOf(index);
        const StarQuantities values =
            anomaly ? StarQuantities{star.Elements(), star.GeometricAlbedo, anomalies_[2 * index],
                                     anomalies_[2 * index + 1]}
                    : StarQuantities{star.Elements(), star.GeometricAlbedo};
        const std::string_view cellText(
            cell, static_cast<std::size_t>(WriteNumberText(cell, star.Id, values, column) - cell));
        // A "%.15f" text read back and written again with 15 decimals is the same text (the
        // double nearest to it lies within half a unit of its last decimal): it only needs its
        // padding.
        std::size_t length = 0;
        if (kind.Source == K::Number && kind.Decimals == 15 && cellText.size() < kSortTextWidth) {
            length = PaddedSortText(text, cellText);
        } else if (kind.Source == K::SpkId) {
            // A whole number: the same with fifteen zero decimals.
            std::memcpy(cell + cellText.size(), ".000000000000000", 16);
            length = PaddedSortText(text, std::string_view(cell, cellText.size() + 16));
        } else {
            length = WriteStarListSortText(text, cellText);
        }
        entries[index] = {Pack(std::string_view(text, length)), rowOf[index]};
    }
    // Texts longer than the packed 32 characters (magnitudes of 10^16 and more) that agree on
    // them are compared whole.
    const auto wholeTexts = [&](const Entry& x, const Entry& y) {
        return StarListSortText(CellText(static_cast<int>(x.Row), column))
            .compare(StarListSortText(CellText(static_cast<int>(y.Row), column)));
    };
    std::sort(entries.get(), entries.get() + count_, [&](const Entry& x, const Entry& y) {
        int result = 0;
        if (x.Key.Bits != y.Key.Bits)
            result = x.Key.Bits < y.Key.Bits ? -1 : 1;
        else if (x.Key.Longer != y.Key.Longer)
            result = x.Key.Longer ? 1 : -1;
        else if (x.Key.Longer)
            result = wholeTexts(x, y);
        if (result != 0)
            return ascending ? result < 0 : result > 0;
        return x.Row < y.Row;
    });
    std::vector<int> order(order_.size());
    for (std::size_t row = 0; row < count_; ++row)
        order[row] = order_[entries[row].Row];
    order_ = std::move(order);
}

void StarListModel::Order(int column, bool ascending) {
    switch (kStarListColumns[column].Source) {
        case K::Name:
            if (nameRanks_.size() != count_) {
                nameRanks_ = CollationRanks(
                    count_, [&](std::size_t i) { return NameOf(i); }, NameCase::Sensitive,
                    kStarListSortTextLength);
            }
            OrderByRanks(nameRanks_, false, ascending);
            return;
        case K::Orbit:
            OrderByRanks(CollationRanks(
                             orbitNames_.size(),
                             [&](std::size_t i) -> std::string_view { return orbitNames_[i]; },
                             NameCase::Sensitive, kStarListSortTextLength),
                         true, ascending);
            return;
        case K::SpkId:
        case K::Number:
            OrderByNumbers(column, ascending);
            return;
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
        std::vector<int> rowOfStar(count_);
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
