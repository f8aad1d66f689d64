// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractTableModel>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "astro/StarQuantities.h"
#include "astro/ValueText.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"

// The columns of the "All Stars" list.
struct StarListColumn {
    enum class Kind {
        SpkId,   // the SPK-ID, "%lu"
        Name,    // the star's name, as the catalogue holds it
        Orbit,   // the name of its orbit class
        Number,  // a quantity, "%.<Decimals>f"
    };
    const char* Caption;
    int Width;  // pixels, fixed
    Kind Source;
    Quantity Value = Quantity::Eccentricity;  // for Number
    int Decimals = 15;                        // for Number

    // Star and Orbit are left-aligned, every other column right-aligned (SPK-ID too).
    bool RightAligned() const { return Source != Kind::Name && Source != Kind::Orbit; }
};

inline constexpr int kStarListColumnCount = 39;
extern const std::array<StarListColumn, kStarListColumnCount> kStarListColumns;

// Comparison texts, as the sort compares them, are held in 256-byte texts: at most 255
// characters.
inline constexpr std::size_t kStarListSortTextLength = 255;

// The text a numeric column (every column but "Star" and "Orbit") is compared by: the cell's
// text (its first 255 characters) read back as a number (0 when it is none) and written again
// with "%025.15f" (fixed notation, 15 decimals, zero-padded on the left to 25 characters; "inf"
// and "nan" padded with blanks), cut to 255 characters.
std::string StarListSortText(std::string_view cellText);
// The same written at `out` (room for kStarListSortTextLength characters); returns its length.
std::size_t WriteStarListSortText(char* out, std::string_view cellText);

// Every catalogue star with ephemeris data whose orbit class exists, one row each, with the
// 39 texts of kStarListColumns. Texts are made when they are asked for, never stored: a star
// takes 136 bytes and its name, so the model holds the 1.4 million stars of the whole SBDB in
// about 210 megabytes, filled row by row from the statement without an allocation per row.
//
// Sorting (one header click, SortByColumn) compares two rows by the texts of the clicked column:
// - "Star" and "Orbit" by the collation of the user's locale (QCollator; in the C locale, the
//   order of the characters' code points), over the first 255 characters;
// - every other column by StarListSortText, byte by byte. Numbers from 0 up to 10^9 thus order
//   numerically. In an ascending sort the texts of infinities and NaN (blank-padded) come
//   first, in the order "inf", "nan", "-inf", "-nan"; then the negative numbers, nearest to 0
//   first (-0 first, -0.5 before -2, "-" sorting before every digit); then 0 and the positive
//   numbers in increasing order. Magnitudes of 10^9 and more (10^8 for negative numbers) have
//   longer texts and fall where their text puts them (1000000000 between 100000000 and
//   100000001).
// The first click on a column sorts ascending, the next descending, and so on, each column on
// its own. The sort is stable: rows whose texts compare equal keep the order they had before
// the click (the catalogue's ascending SPK-ID order before any click). Names are collated by
// sort keys made once, at the first click on "Star"; a numeric column is ordered by its
// comparison texts packed into 128-bit numbers of the same order.
class StarListModel : public QAbstractTableModel {
  public:
    explicit StarListModel(QObject* parent = nullptr);

    // Fills the list from the catalogue's star list statement, replacing any rows. Returns the
    // number of stars, or nothing when the statement cannot be prepared (the list is then
    // empty). Every column's next sort becomes ascending.
    std::optional<int> Load(const Catalogue& catalogue);
    // The same from rows already read (in the statement's order).
    int Load(const std::vector<StarListRow>& rows);

    int RowCount() const { return static_cast<int>(order_.size()); }

    // One click on the header of `column` (0-38; others are ignored).
    void SortByColumn(int column);
    // Whether the next click on `column` sorts ascending.
    bool NextSortAscending(int column) const;

    // The text of a cell as the list shows it, in UTF-8 (rows in their current order).
    std::string CellText(int row, int column) const;
    // Appends the row's 39 texts, separated by tabs, and a line feed; control characters in them
    // become blanks.
    void AppendRowLine(std::string& out, int row) const;
    // The most bytes a row's line takes when its name and class name hold `nameBytes` and
    // `orbitBytes` bytes, in UTF-8 or as the catalogue holds them (a byte of Windows-1252 takes
    // at most three in UTF-8).
    static constexpr std::size_t RowLineRoom(std::size_t nameBytes, std::size_t orbitBytes) {
        return 3 * (nameBytes + orbitBytes) + kStarListColumnCount * (kLongestFixedText + 1);
    }
    // The same for the row's line.
    std::size_t RowLineRoom(int row) const;
    // The row's line written at `out`, which has room for RowLineRoom bytes; returns its end.
    char* WriteRowLine(char* out, int row) const;
    // The same line for a catalogue row, made straight from the row without a model (for
    // printing a list in the statement's order without keeping it). `scratch` is working space,
    // reused from row to row.
    static char* WriteRowLine(char* out, const StarListRowView& row, std::string& scratch);

    SpkId StarAt(int row) const;
    // The first row, from the top, of the star `id`, or -1.
    int RowOfStar(SpkId id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    // A star as the list keeps it: its name in names_, its class in orbitNames_.
    // (Left uninitialised when a block is made: every member is set when a star is added.)
    struct Star {
        SpkId Id;
        std::uint32_t Orbit;
        std::size_t NameOffset;  // its name runs to the next star's (names_ in the stars' order)
        double Values[14];       // the StarInfoRow
        double GeometricAlbedo;

        StarInfoRow Elements() const {
            StarInfoRow elements;
            std::memcpy(&elements, Values, sizeof elements);
            return elements;
        }
    };
    static_assert(sizeof(StarInfoRow) == sizeof(Star::Values) &&
                  std::is_trivially_copyable_v<StarInfoRow>);
    // Stars are kept in blocks of this many, so that the list never moves what it holds while it
    // grows.
    static constexpr std::size_t kBlockBits = 12;

    const Star& StarOf(std::size_t index) const {
        return blocks_[index >> kBlockBits][index & ((std::size_t{1} << kBlockBits) - 1)];
    }
    std::string_view NameOf(std::size_t index) const {
        const std::size_t start = StarOf(index).NameOffset;
        const std::size_t end = index + 1 < count_ ? StarOf(index + 1).NameOffset : names_.size();
        return std::string_view(names_).substr(start, end - start);
    }
    void ClearRows();
    // Natural order, every column ascending at its next click.
    void ResetOrder();
    void Append(const StarListRowView& row);

    void Order(int column, bool ascending);
    void OrderByRanks(const std::vector<std::uint32_t>& ranks, bool byOrbit, bool ascending);
    void OrderByNumbers(int column, bool ascending);

    std::vector<std::unique_ptr<Star[]>> blocks_;
    std::size_t count_ = 0;
    std::string names_;                     // UTF-8, one after the other
    std::vector<std::string> orbitNames_;   // UTF-8, each once
    std::vector<std::string> orbitBytes_;   // the same as the catalogue holds them
    std::vector<int> order_;                // row -> index of the star
    std::vector<std::uint32_t> nameRanks_;  // collation rank of each star's name, made at the
                                            // first sort by name
    std::vector<double> anomalies_;  // each star's E and Ta (degrees), solved at the first sort
                                     // by either
    std::array<bool, kStarListColumnCount> ascending_{};
};
