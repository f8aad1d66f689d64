// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QCollator>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <algorithm>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <random>

#include "astro/InformationRows.h"
#include "astro/StarQuantities.h"
#include "browse/StarListModel.h"
#include "data/CatalogueText.h"
#include "drawing/Fonts.h"
#include "gui/StarListView.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TestData::Star MakeStar(std::uint32_t id, const std::string& name, int orbit = 1) {
    TestData::Star star;
    star.Id = id;
    star.Name = name;
    star.OrbiteType = orbit;
    return star;
}

// A catalogue row given directly, as the statement would deliver it.
StarListRow MakeRow(SpkId id, std::string name, std::string orbit, double e, double a, double T,
                    double M) {
    StarListRow row;
    row.Id = id;
    row.Name = std::move(name);
    row.Orbite = std::move(orbit);
    row.Values.Eccentricity = e;
    row.Values.SemiMajorAxis = a;
    row.Values.OrbitalPeriod = T;
    row.Values.MeanAnomaly = M;
    return row;
}

std::vector<SpkId> Order(const StarListModel& model) {
    std::vector<SpkId> ids;
    for (int row = 0; row < model.RowCount(); ++row) {
        ids.push_back(model.StarAt(row));
    }
    return ids;
}

struct StarListCatalogueTest : ::testing::Test {
    TempFolder folder;
    std::unique_ptr<Catalogue> catalogue;

    void Open(const std::vector<TestData::OrbitClass>& classes,
              const std::vector<TestData::Star>& stars) {
        TestData::WriteCatalogue(folder / "Nivra.db", classes, stars);
        std::string error;
        catalogue = Catalogue::Open(folder / "Nivra.db", error);
        ASSERT_TRUE(catalogue) << error;
    }
};

TEST_F(StarListCatalogueTest, ListsStarsWithDataWhoseClassExistsInSpkIdOrder) {
    TestData::Star noData = MakeStar(2000005, "5 Astraea");
    noData.DatasForIt = 0;
    Open({{1, "Main-belt Asteroid"}, {2, "Jupiter Trojan"}},
         {MakeStar(2000010, "10 Hygiea"), MakeStar(2000009, "9 Metis", 2), noData,
          MakeStar(2000001, "1 Ceres"), MakeStar(2000007, "7 Iris", 3)});
    const FontTable fonts = CreateFontTable();
    std::vector<std::pair<int, QString>> status;
    StarListView view(nullptr, fonts, *catalogue,
                      [&](int part, const QString& text) { status.emplace_back(part, text); });
    EXPECT_EQ(Order(view.Model()), (std::vector<SpkId>{2000001, 2000009, 2000010}));
    EXPECT_EQ(view.RowCount(), 3);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0], std::make_pair(2, QString("3 stars added")));
    EXPECT_EQ(view.Model().CellText(1, 1), "9 Metis");
    EXPECT_EQ(view.Model().CellText(1, 2), "Jupiter Trojan");
}

TEST_F(StarListCatalogueTest, AStatementThatCannotBePreparedLeavesTheListEmptyAndSilent) {
    std::string error;
    catalogue = Catalogue::Open(folder / "Empty.db", error);
    const FontTable fonts = CreateFontTable();
    int writes = 0;
    StarListView view(nullptr, fonts, *catalogue, [&](int, const QString&) { ++writes; });
    EXPECT_EQ(view.RowCount(), 0);
    EXPECT_EQ(view.model()->columnCount(), 39);
    EXPECT_EQ(writes, 0);
    view.Model().SortByColumn(4);
    view.SelectStar(1);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
}

TEST(StarListTest, ColumnsHaveTheirCaptionsWidthsAndAlignments) {
    StarListModel model;
    const char* const captions[] = {
        "SPK-ID",  "Star",   "Orbit",  "e",   "a",   "q",          "i",  "node",
        "peri",    "M",      "period", "n",   "Q",   "Earth MOID", "H",  "diameter",
        "rot_per", "albedo", "b",      "K",   "E",   "Ta",         "T",  "OB",
        "DS",      "PC",     "S",      "Pe",  "c",   "f",          "h",  "p",
        "Voa",     "Vop",    "Vom",    "DPJ", "DPH", "DPM",        "DPS"};
    const int widths[] = {80,  200, 150, 150, 150, 150, 150, 150, 150, 150, 180, 150, 150,
                          100, 80,  80,  80,  80,  150, 150, 150, 150, 150, 180, 150, 150,
                          150, 180, 180, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150};
    ASSERT_EQ(model.columnCount(), 39);
    for (int column = 0; column < 39; ++column) {
        EXPECT_EQ(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  captions[column]);
        EXPECT_EQ(kStarListColumns[column].Width, widths[column]) << column;
        const Qt::Alignment alignment =
            model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(bool(alignment & Qt::AlignRight), column != 1 && column != 2) << column;
    }

    const FontTable fonts = CreateFontTable();
    std::string error;
    TempFolder folder;
    TestData::WriteCatalogue(folder / "Nivra.db", {{1, "Main"}}, {MakeStar(2000001, "1 Ceres")});
    const auto catalogue = Catalogue::Open(folder / "Nivra.db", error);
    StarListView view(nullptr, fonts, *catalogue, {});
    for (int column = 0; column < 39; ++column) {
        EXPECT_EQ(view.columnWidth(column), widths[column]);
        EXPECT_EQ(view.horizontalHeader()->sectionResizeMode(column), QHeaderView::Fixed);
    }
    const QModelIndex spkId = view.model()->index(0, 0);
    EXPECT_TRUE(view.model()->data(spkId, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_EQ(view.font(), fonts.UiFont.Font);
}

TEST(StarListTest, CellsHaveTheirFormats) {
    StarListRow row = MakeRow(4294967295u, "1 Ceres", "Main-belt Asteroid", 0.5, 4, 730, 90);
    row.Values.EarthMOID = 1.23456789012345;
    row.Values.AbsoluteMagnitude = 3.341234;
    row.Values.Diameter = -939.4;
    row.Values.RotationPeriod = 0.015625;  // a tie at the fifth decimal, to even
    row.GeometricAlbedo = 0.09;
    row.Values.MeanMotion = 0;
    StarListModel model;
    model.Load({row});
    EXPECT_EQ(model.CellText(0, 0), "4294967295");
    EXPECT_EQ(model.CellText(0, 3), "0.500000000000000");
    EXPECT_EQ(model.CellText(0, 10), "730.000000000000000");
    EXPECT_EQ(model.CellText(0, 11), "0.785398163397448");  // 2 pi / sqrt(4^3)
    EXPECT_EQ(model.CellText(0, 13), "1.2345678901");
    EXPECT_EQ(model.CellText(0, 14), "3.34123");
    EXPECT_EQ(model.CellText(0, 15), "-939.40000");
    EXPECT_EQ(model.CellText(0, 16), "0.01562");
    EXPECT_EQ(model.CellText(0, 17), "0.09000");
    EXPECT_EQ(model.CellText(0, 22), "730.000000000000000");
    EXPECT_EQ(model.CellText(0, 23), "2.000000000000000");  // 730 / 365
    EXPECT_EQ(model.CellText(0, 25), "17520.000000000000000");

    row.Values.MeanMotion = 0.2142;
    model.Load({row});
    EXPECT_EQ(model.CellText(0, 11), "0.214200000000000");
}

TEST(StarListTest, NamesAreShownInUtf8WhateverTheCatalogueHolds) {
    EXPECT_EQ(CatalogueTextAsUtf8("1 Ceres"), "1 Ceres");
    EXPECT_EQ(CatalogueTextAsUtf8("\xc3\xb6pik"), "\xc3\xb6pik");  // already UTF-8
    EXPECT_EQ(CatalogueTextAsUtf8("\xf6pik \xb2"), "\xc3\xb6pik \xc2\xb2");
    EXPECT_EQ(CatalogueTextAsUtf8("\x80\x81\x9f"), "\xe2\x82\xac\xc2\x81\xc5\xb8");
    // Overlong forms, surrogates and truncated sequences are not UTF-8.
    EXPECT_EQ(CatalogueTextAsUtf8("\xc0\xaf"), "\xc3\x80\xc2\xaf");
    EXPECT_EQ(CatalogueTextAsUtf8("\xed\xa0\x80"), "\xc3\xad\xc2\xa0\xe2\x82\xac");
    EXPECT_EQ(CatalogueTextAsUtf8("a\xe2\x82"), "a\xc3\xa2\xe2\x80\x9a");
    EXPECT_EQ(CatalogueTextAsUtf8("\xf0\x9f\x98\x80"), "\xf0\x9f\x98\x80");

    StarListModel model;
    model.Load({MakeRow(1, "\xf6pik", "Oort", 0.1, 1, 365, 0)});
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QString::fromUtf8("öpik"));
}

TEST(StarListTest, SortTextIsTheFixedWidthNumber) {
    EXPECT_EQ(StarListSortText("1.5"), "000000001.500000000000000");
    EXPECT_EQ(StarListSortText("-1.5"), "-00000001.500000000000000");
    EXPECT_EQ(StarListSortText("-0.000000000000000"), "-00000000.000000000000000");
    EXPECT_EQ(StarListSortText("2000001"), "002000001.000000000000000");
    EXPECT_EQ(StarListSortText("1234567890.5"), "1234567890.500000000000000");
    EXPECT_EQ(StarListSortText("inf"), std::string(22, ' ') + "inf");
    EXPECT_EQ(StarListSortText("-nan"), std::string(21, ' ') + "-nan");
    EXPECT_EQ(StarListSortText("not a number"), "000000000.000000000000000");
    const std::string huge(400, '9');
    EXPECT_EQ(StarListSortText(huge).size(), 255u);
}

TEST(StarListTest, HeaderClicksAlternatePerColumn) {
    StarListModel model;
    model.Load({MakeRow(9, "b", "X", 0.3, 2.0, 1, 0), MakeRow(10, "C", "X", 0.1, 3.0, 1, 0),
                MakeRow(11, "a", "X", 0.2, 1.0, 1, 0)});
    EXPECT_TRUE(model.NextSortAscending(4));
    model.SortByColumn(4);  // "a" ascending
    EXPECT_EQ(Order(model), (std::vector<SpkId>{11, 9, 10}));
    EXPECT_FALSE(model.NextSortAscending(4));
    model.SortByColumn(3);  // "e" starts ascending
    EXPECT_EQ(Order(model), (std::vector<SpkId>{10, 11, 9}));
    model.SortByColumn(4);  // "a" kept its turn: descending
    EXPECT_EQ(Order(model), (std::vector<SpkId>{10, 9, 11}));
    model.SortByColumn(0);  // SPK-ID numerically: 9 before 10
    EXPECT_EQ(Order(model), (std::vector<SpkId>{9, 10, 11}));
    model.SortByColumn(0);
    EXPECT_EQ(Order(model), (std::vector<SpkId>{11, 10, 9}));
    model.SortByColumn(-1);
    model.SortByColumn(39);
    EXPECT_EQ(Order(model), (std::vector<SpkId>{11, 10, 9}));
}

TEST(StarListTest, EqualKeysKeepTheirOrder) {
    StarListModel model;
    model.Load({MakeRow(1, "x", "B", 0.5, 1, 1, 0), MakeRow(2, "x", "A", 0.5, 2, 1, 0),
                MakeRow(3, "y", "B", 0.5, 3, 1, 0), MakeRow(4, "x", "A", 0.5, 4, 1, 0)});
    model.SortByColumn(4);
    model.SortByColumn(4);  // descending: 4 3 2 1
    model.SortByColumn(3);  // every e equal: unchanged
    EXPECT_EQ(Order(model), (std::vector<SpkId>{4, 3, 2, 1}));
    model.SortByColumn(3);  // descending, still unchanged
    EXPECT_EQ(Order(model), (std::vector<SpkId>{4, 3, 2, 1}));
    model.SortByColumn(2);  // orbit A before B, each keeping its order
    EXPECT_EQ(Order(model), (std::vector<SpkId>{4, 2, 3, 1}));
    model.SortByColumn(1);  // names: the x rows keep their order
    EXPECT_EQ(Order(model), (std::vector<SpkId>{4, 2, 1, 3}));
}

// The comparison of two cells, done the slow way: the texts copied into 256-byte buffers, each
// numeric text read with strtod and written back with "%025.15f", then compared.
int ReferenceCompare(const std::string& first, const std::string& second, int column) {
    char a[256] = {};
    char b[256] = {};
    std::strncpy(a, first.c_str(), 255);
    std::strncpy(b, second.c_str(), 255);
    if (column == 1 || column == 2) {
        return QCollator(NameCollationLocale())
            .compare(QString::fromUtf8(first).left(255), QString::fromUtf8(second).left(255));
    }
    const double x = std::strtod(a, nullptr);
    const double y = std::strtod(b, nullptr);
    std::snprintf(a, sizeof a, "%025.15f", x);
    std::snprintf(b, sizeof b, "%025.15f", y);
    return std::strcmp(a, b);
}

TEST(StarListTest, SortsExactlyAsTheTextComparisonOrders) {
    std::setlocale(LC_NUMERIC, "C");
    std::mt19937_64 random(9);
    const double special[] = {0.0,         -0.0,  kInf,   -kInf, kNaN,    -kNaN,       1e300,
                              -1e300,      1e-20, -1e-20, 1e9,   1e9 - 1, 123456789.5, -1e8,
                              -99999999.0, 2.0,   -2.0,   0.5,   -0.5,    1e239,       -1e250};
    std::uniform_real_distribution<double> uniform(-1, 1);
    std::uniform_int_distribution<int> pick(0, 9);
    const auto value = [&]() {
        switch (pick(random)) {
            case 0:
            case 1:
                return special[std::uniform_int_distribution<std::size_t>(
                    0, std::size(special) - 1)(random)];
            case 2:
                return std::round(uniform(random) * 4) / 2;  // many equal values
            case 3:
                return uniform(random) * 1e12;
            default:
                return uniform(random) * std::pow(10.0, pick(random) - 3);
        }
    };
    const char* const names[] = {"Ceres", "ceres", "Vesta", "433 Eros", "(1) Ceres", "Öpik",
                                 "",      "vesta", "Zeta",  "a-b",      "ab"};
    std::vector<StarListRow> rows;
    for (SpkId id = 1; id <= 400; ++id) {
        StarListRow row = MakeRow(id * 7919 % 100003, names[id % std::size(names)],
                                  names[(id / 3) % 4], value(), value(), value(), value());
        row.Values.PerihelionDistance = value();
        row.Values.Inclination = value();
        row.Values.AscendingNodeLongitude = value();
        row.Values.ArgumentPerihelion = value();
        row.Values.MeanMotion = pick(random) < 3 ? 0 : value();
        row.Values.ApelionDistance = value();
        row.Values.EarthMOID = value();
        row.Values.AbsoluteMagnitude = value();
        row.Values.Diameter = value();
        row.Values.RotationPeriod = value();
        row.GeometricAlbedo = value();
        rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end(),
              [](const StarListRow& x, const StarListRow& y) { return x.Id < y.Id; });

    StarListModel model;
    model.Load(rows);
    std::map<SpkId, std::vector<std::string>> texts;
    for (int row = 0; row < model.RowCount(); ++row) {
        for (int column = 0; column < 39; ++column) {
            texts[model.StarAt(row)].push_back(model.CellText(row, column));
        }
    }
    std::vector<SpkId> expected = Order(model);
    bool ascending[39];
    std::fill(std::begin(ascending), std::end(ascending), true);
    std::uniform_int_distribution<int> columns(0, 38);
    for (int click = 0; click < 160; ++click) {
        const int column = click < 39 ? click : columns(random);
        std::stable_sort(expected.begin(), expected.end(), [&](SpkId x, SpkId y) {
            const int result = ReferenceCompare(texts[x][column], texts[y][column], column);
            return ascending[column] ? result < 0 : result > 0;
        });
        ascending[column] = !ascending[column];
        model.SortByColumn(column);
        ASSERT_EQ(Order(model), expected) << "click " << click << " on column " << column;
    }
}

TEST(StarListTest, AscendingNumbersPutNonFiniteThenNegativeThenPositive) {
    StarListModel model;
    const double inclinations[] = {3, -0.5, kNaN, -2, 0, kInf, -0.0, -kInf, 1e9};
    std::vector<StarListRow> rows;
    for (SpkId id = 1; id <= std::size(inclinations); ++id) {
        rows.push_back(MakeRow(id, "s", "o", 0.1, 1, 1, 0));
        rows.back().Values.Inclination = inclinations[id - 1];
    }
    model.Load(rows);
    model.SortByColumn(6);
    std::vector<std::string> shown;
    for (int row = 0; row < model.RowCount(); ++row) {
        shown.push_back(model.CellText(row, 6));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"inf", "nan", "-inf", "-0.000000000000000",
                                               "-0.500000000000000", "-2.000000000000000",
                                               "0.000000000000000", "3.000000000000000",
                                               "1000000000.000000000000000"}));
}

TEST(StarListTest, StarChoiceSelectsItsRowAndAnUnknownStarClearsTheSelection) {
    std::vector<StarListRow> rows;
    for (SpkId id = 1; id <= 500; ++id) {
        std::string name = "s";
        name += std::to_string(id);
        rows.push_back(MakeRow(id, name, "o", 0.001 * id, id, 1, 0));
    }
    TempFolder folder;
    TestData::WriteCatalogue(folder / "Nivra.db", {{1, "o"}}, {});
    std::string error;
    const auto catalogue = Catalogue::Open(folder / "Nivra.db", error);
    const FontTable fonts = CreateFontTable();
    StarListView view(nullptr, fonts, *catalogue, {});
    view.Model().Load(rows);
    view.resize(800, 300);
    view.show();

    view.SelectStar(400);
    const QModelIndex current = view.currentIndex();
    EXPECT_EQ(current.row(), 399);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(399, {}));
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(view.viewport()->rect().intersects(view.visualRect(current)));

    // A header click sorts; the selection stays on its star.
    emit view.horizontalHeader()->sectionClicked(4);
    emit view.horizontalHeader()->sectionClicked(4);  // descending
    EXPECT_EQ(view.Model().StarAt(0), 500u);
    EXPECT_EQ(view.currentIndex().row(), 100);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(100, {}));

    view.SelectStar(12345);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    EXPECT_FALSE(view.currentIndex().isValid());
}

TEST_F(StarListCatalogueTest, ARowAgreesWithTheInformationPanel) {
    TestData::Star ceres = MakeStar(2000001, "1 Ceres");
    TestData::Star circle = MakeStar(2000002, "circle");
    circle.Eccentricity = 0;
    circle.MeanMotion = 0;
    Open({{1, "Main"}}, {ceres, circle});
    StarListModel model;
    model.Load(*catalogue);
    // The list columns that show a panel row, by symbol.
    const std::map<std::string, int> columnOf = {
        {"e", 3},    {"a", 4},    {"q", 5},    {"i", 6},    {"Node", 7}, {"Peri", 8},
        {"M", 9},    {"T", 10},   {"n", 11},   {"Q", 12},   {"b", 18},   {"K", 19},
        {"E", 20},   {"Ta", 21},  {"DS", 24},  {"PC", 25},  {"S", 26},   {"Pe", 27},
        {"c", 28},   {"f", 29},   {"h", 30},   {"p", 31},   {"Voa", 32}, {"Vop", 33},
        {"Vom", 34}, {"DPJ", 35}, {"DPH", 36}, {"DPM", 37}, {"DPS", 38}};
    for (int row = 0; row < model.RowCount(); ++row) {
        const std::vector<InformationRow> panel = InformationRows(*catalogue, model.StarAt(row));
        int compared = 0;
        for (const InformationRow& info : panel) {
            if (const auto column = columnOf.find(info.Name); column != columnOf.end()) {
                EXPECT_EQ(model.CellText(row, column->second), info.Value) << info.Name;
                ++compared;
            }
        }
        EXPECT_EQ(compared, 29);
        EXPECT_EQ(model.CellText(row, 22), model.CellText(row, 10));  // T and period
    }
}

// Star rows of every kind: real orbits, the edges of an ellipse (a circle, e next to 1), what a
// damaged catalogue may hold (e >= 1, negative or zero axes and periods, infinities, NaN), with
// and without a mean motion; then `drawn` rows drawn at random over many magnitudes (pow(x, 2)
// and x * x differ for about one x in a thousand: enough rows show any such exchange).
std::vector<StarListRow> RowsOfEveryKind(int drawn) {
    std::vector<StarListRow> rows;
    SpkId id = 2000001;
    for (const double e : {0.0, 0.07863575691875528, 0.5, 0.99999993, 1.0, 1.5, -0.1, kNaN}) {
        for (const double a : {2.766619044655007, 0.46, 1.6e6, 0.0, -2.0, kInf, 1e-300}) {
            for (const double T : {365.25 * std::pow(a, 1.5), 0.0}) {
                for (const double n : {0.0, 0.2142}) {
                    StarListRow row = MakeRow(id++, "row", "Main", e, a, T, 334.3271698971151);
                    row.Values.MeanMotion = n;
                    row.Values.ArgumentPerihelion = 310.8426241527283;
                    row.Values.AscendingNodeLongitude = 172.9179047880803;
                    row.GeometricAlbedo = 0.155;
                    rows.push_back(row);
                }
            }
        }
    }
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> exponent(-30, 30);
    const auto any = [&] { return (2 * unit(random) - 1) * std::ldexp(1.0, exponent(random)); };
    for (int i = 0; i < drawn; ++i) {
        StarListRow row = MakeRow(id++, "random " + std::to_string(i), "Main", unit(random),
                                  std::ldexp(unit(random), exponent(random)), any(), any());
        row.Values.PerihelionDistance = any();
        row.Values.Inclination = any();
        row.Values.AscendingNodeLongitude = any();
        row.Values.ArgumentPerihelion = any();
        row.Values.MeanMotion = i % 3 == 0 ? 0 : any();
        row.Values.ApelionDistance = any();
        row.Values.EarthMOID = any();
        row.Values.AbsoluteMagnitude = any();
        row.Values.Diameter = any();
        row.Values.RotationPeriod = any();
        row.GeometricAlbedo = any();
        rows.push_back(row);
    }
    return rows;
}

TEST(StarListTest, EveryQuantityAtOnceIsBitForBitWhatEachGivesAlone) {
    for (const StarListRow& row : RowsOfEveryKind(50000)) {
        const StarQuantities star = SolveStarQuantities(row.Values, row.GeometricAlbedo);
        const QuantityValues all = AllQuantityValues(star);
        for (int q = 0; q < kQuantityCount; ++q) {
            const auto quantity = static_cast<Quantity>(q);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(all[quantity]),
                      std::bit_cast<std::uint64_t>(QuantityValue(quantity, star)))
                << "quantity " << q << " of e = " << row.Values.Eccentricity
                << ", a = " << row.Values.SemiMajorAxis << ", T = " << row.Values.OrbitalPeriod
                << ": " << all[quantity] << " against " << QuantityValue(quantity, star);
        }
    }
}

// A row's printed line is its 39 cell texts, as the list shows them, and fits the room it is
// given.
TEST(StarListTest, ALineHoldsTheCellTextsOfItsRow) {
    std::vector<StarListRow> rows = RowsOfEveryKind(2000);
    rows[0].Name = std::string(3000, '\x80');  // Windows-1252: three bytes each in UTF-8
    StarListModel model;
    model.Load(rows);
    ASSERT_EQ(static_cast<std::size_t>(model.RowCount()), rows.size());
    for (const int column : {-1, 4, 21, 1}) {
        model.SortByColumn(column);
        for (int row = 0; row < model.RowCount(); ++row) {
            std::string expected;
            for (int c = 0; c < kStarListColumnCount; ++c)
                expected += model.CellText(row, c) + (c + 1 < kStarListColumnCount ? "\t" : "\n");
            std::string line = "before";
            model.AppendRowLine(line, row);
            ASSERT_EQ(line, "before" + expected) << "row " << row << " after a click on " << column;
            EXPECT_LE(expected.size(), model.RowLineRoom(row));
        }
    }
    EXPECT_EQ(model.CellText(model.RowOfStar(2000001), 1).size(), 9000u);
}

}  // namespace
