// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QHeaderView>
#include <cmath>
#include <cstdio>
#include <string>

#include "astro/InformationRows.h"
#include "astro/OrbitalFormulas.h"
#include "drawing/Fonts.h"
#include "gui/InformationPanel.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

std::string F15(double value) {
    char text[512];
    std::snprintf(text, sizeof text, "%.15f", value);
    return text;
}

const char* const kNames[] = {"e",    "a",   "b",   "K",  "q",   "Q",   "i",   "Node",
                              "Peri", "LP",  "M",   "Ta", "E",   "n",   "T",   "OBy",
                              "PC",   "DS",  "S",   "Pe", "Voa", "Vop", "Vom", "DPJ",
                              "DPH",  "DPM", "DPS", "c",  "f",   "h",   "p"};

TestData::Star SampleStar() {
    TestData::Star star;
    star.Id = 2000433;
    star.Name = "433 Eros";
    star.Eccentricity = 0.5;
    star.SemiMajorAxis = 1.458;
    star.PerihelionDistance = 1.133;
    star.Inclination = 10.83;
    star.AscendingNodeLongitude = 304.3;
    star.ArgumentPerihelion = 178.9;
    star.MeanAnomaly = 90;
    star.OrbitalPeriod = 643.1;
    star.MeanMotion = 0.5598;
    star.ApelionDistance = 1.783;
    return star;
}

TEST(InformationRowsTest, PlaceholderRowsListEverySymbolWithItsTexts) {
    const std::vector<InformationRow> rows = InformationRows(std::nullopt);
    ASSERT_EQ(rows.size(), 31u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].Name, kNames[i]) << i;
        EXPECT_EQ(rows[i].Value, "0.00") << i;
        EXPECT_FALSE(rows[i].Informations.empty()) << i;
        EXPECT_FALSE(rows[i].Formulas.empty()) << i;
    }
    // The formulas give what is shown: e itself (not e squared); K = 4 PI² (39.48, not 1) in au³
    // per year²; the speeds divided by T (1 ± e), in km/s.
    EXPECT_EQ(rows[0].Formulas, "(Not computed) : e = Sqrt(a\u00b2 - b\u00b2) \u00f7 a");
    EXPECT_EQ(rows[3].Informations, "Keppler's Constant");
    EXPECT_EQ(rows[3].Formulas,
              "K = n\u00b2 \u00d7 (a\u00b3) ou K = GM = 4 \u00d7 PI\u00b2 "
              "(au\u00b3 per year\u00b2)");
    EXPECT_EQ(rows[12].Formulas, "E = M + e * sin(M) * (1.0 + e * cos(M))");
    EXPECT_EQ(rows[16].Formulas, "PC = T \u00d7 24");
    EXPECT_EQ(rows[20].Formulas,
              "Voa = (2 \u00d7 PI \u00d7 a \u00d7 Sqrt(1 - e\u00b2)) "
              "\u00f7 (T \u00d7 (1 + e)), km/s");
    EXPECT_EQ(rows[21].Formulas,
              "Vop = (2 \u00d7 PI \u00d7 a \u00d7 Sqrt(1 - e\u00b2)) "
              "\u00f7 (T \u00d7 (1 - e)), km/s");
    // The distances travelled are parts of the perimeter: astronomical units.
    for (std::size_t row = 23; row <= 26; ++row)
        EXPECT_TRUE(rows[row].Informations.ends_with("(au)")) << rows[row].Name;
    EXPECT_EQ(rows[26].Formulas, "DPS = Pe \u00f7 (365.25 \u00d7 24 \u00d7 3600)");
    EXPECT_EQ(rows[27].Informations, "Distance between ellipse center and home");
    EXPECT_EQ(rows[30].Formulas, "p = b\u00b2 \u00f7 a");
}

TEST(InformationRowsTest, EveryRowShowsItsQuantityWithFifteenDecimals) {
    const TestData::Star s = SampleStar();
    StarInfoRow star;
    star.Eccentricity = s.Eccentricity;
    star.SemiMajorAxis = s.SemiMajorAxis;
    star.PerihelionDistance = s.PerihelionDistance;
    star.Inclination = s.Inclination;
    star.AscendingNodeLongitude = s.AscendingNodeLongitude;
    star.ArgumentPerihelion = s.ArgumentPerihelion;
    star.MeanAnomaly = s.MeanAnomaly;
    star.OrbitalPeriod = s.OrbitalPeriod;
    star.MeanMotion = s.MeanMotion;
    star.ApelionDistance = s.ApelionDistance;
    const std::vector<InformationRow> rows = InformationRows(star);
    ASSERT_EQ(rows.size(), 31u);

    const double a = s.SemiMajorAxis, e = s.Eccentricity, T = s.OrbitalPeriod;
    const double E = EccentricAnomaly(e, s.MeanAnomaly);
    const std::string expected[] = {
        "0.500000000000000",
        F15(a),
        F15(SemiMinorAxis(a, e)),
        F15(KeplerConstant(a)),
        F15(s.PerihelionDistance),
        F15(s.ApelionDistance),
        F15(s.Inclination),
        F15(s.AscendingNodeLongitude),
        F15(s.ArgumentPerihelion),
        F15(123.2),  // 178.9 + 304.3 - 360
        "90.000000000000000",
        F15(TrueAnomaly(e, E)),
        F15(E),
        F15(0.5598),
        F15(T),
        F15(std::sqrt(a * a * a)),
        F15(T * 24),
        F15(SunDistanceFromPeriod(a)),
        F15(EllipseArea(a, e)),
        F15(EllipsePerimeter(a, e)),
        F15(AphelionSpeed(a, e, T)),
        F15(PerihelionSpeed(a, e, T)),
        F15(MeanOrbitalSpeed(a, T)),
        F15(EllipsePerimeter(a, e) / 365.25),
        F15(EllipsePerimeter(a, e) / 8766),
        F15(EllipsePerimeter(a, e) / 525960),
        F15(EllipsePerimeter(a, e) / 31557600),
        F15(FocalDistance(a, e)),
        F15(a / e),
        F15(FocusDirectrixDistance(a, e)),
        F15(EllipseParameter(a, e)),
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // Rows 9 and 28 are checked against their closed forms, to a rounding.
        if (i == 9 || i == 28) {
            EXPECT_NEAR(std::stod(rows[i].Value), std::stod(expected[i]), 1e-12) << kNames[i];
        } else {
            EXPECT_EQ(rows[i].Value, expected[i]) << kNames[i];
        }
    }
    EXPECT_NEAR(std::stod(rows[12].Value), 115.79362, 1e-5);
}

TEST(InformationRowsTest, MeanMotionFromTheAxisOnlyWhenTheCatalogueHasNone) {
    StarInfoRow star;
    star.SemiMajorAxis = 4;
    star.MeanMotion = 0;
    EXPECT_EQ(InformationRows(star)[13].Value, F15(OrbitalConstants::kTwoPi / 8));
    star.MeanMotion = -0.25;
    EXPECT_EQ(InformationRows(star)[13].Value, "-0.250000000000000");
}

TEST(InformationRowsTest, InvalidNumbersAreShownLikeAnyOther) {
    StarInfoRow star;  // e = 0, a = 0, T = 0
    const std::vector<InformationRow> rows = InformationRows(star);
    EXPECT_EQ(rows[3].Value, F15(KeplerConstant(0)));  // 0 * inf
    EXPECT_NE(rows[3].Value.find("nan"), std::string::npos);
    EXPECT_NE(rows[29].Value.find("nan"), std::string::npos);  // 0 / 0
    star.SemiMajorAxis = 1;
    EXPECT_EQ(InformationRows(star)[29].Value, "inf");  // h with e = 0
}

TEST(InformationRowsTest, HugeValuesStayWithinTheirText) {
    StarInfoRow star;
    star.Inclination = 1e300;
    star.AscendingNodeLongitude = 1e239;
    star.ArgumentPerihelion = -1e239;
    const std::vector<InformationRow> rows = InformationRows(star);
    EXPECT_EQ(rows[6].Value, "1.000000000000000e+300");
    EXPECT_EQ(rows[7].Value, F15(1e239));  // 255 characters: still fits
    EXPECT_EQ(rows[7].Value.size(), 255u);
    EXPECT_EQ(rows[8].Value, "-1.000000000000000e+239");  // the sign makes it 256
    for (const InformationRow& row : rows) {
        EXPECT_LE(row.Value.size(), kInformationValueLength);
    }
}

struct CatalogueRowsTest : ::testing::Test {
    TempFolder folder;
    std::unique_ptr<Catalogue> catalogue;

    void SetUp() override {
        TestData::WriteCatalogue(folder / "Nivra.db", {{1, "Amor"}}, {SampleStar()});
        std::string error;
        catalogue = Catalogue::Open(folder / "Nivra.db", error);
        ASSERT_TRUE(catalogue) << error;
    }
};

TEST_F(CatalogueRowsTest, StarsAreReadFromTheCatalogue) {
    EXPECT_EQ(InformationRows(*catalogue, 2000433)[0].Value, "0.500000000000000");
    EXPECT_EQ(InformationRows(*catalogue, 2000433)[10].Value, "90.000000000000000");
    for (const InformationRow& row : InformationRows(*catalogue, 2000434)) {
        EXPECT_EQ(row.Value, "0.00") << row.Name;
    }
}

TEST_F(CatalogueRowsTest, PanelShowsPlaceholdersThenTheStar) {
    const FontTable fonts = CreateFontTable();
    InformationPanel panel(nullptr, fonts);
    ASSERT_EQ(panel.model()->rowCount(), 31);
    ASSERT_EQ(panel.model()->columnCount(), 4);
    EXPECT_EQ(panel.CellText(30, 0), "p");
    EXPECT_EQ(panel.CellText(30, 1), "0.00");
    EXPECT_EQ(panel.CellText(30, 2), "Ellipse parameter");
    EXPECT_EQ(panel.CellText(0, 3), QString::fromUtf8("(Not computed) : e = Sqrt(a² - b²) ÷ a"));

    panel.ResetInformationRows();
    panel.FillInformationValues(*catalogue, 2000433);
    const std::vector<InformationRow> rows = InformationRows(*catalogue, 2000433);
    for (int row = 0; row < 31; ++row) {
        EXPECT_EQ(panel.CellText(row, 1).toStdString(), rows[static_cast<std::size_t>(row)].Value);
    }
    // A star without a catalogue row writes nothing; after a reset every value is "0.00".
    panel.FillInformationValues(*catalogue, 1);
    EXPECT_EQ(panel.CellText(0, 1), "0.500000000000000");
    panel.ResetInformationRows();
    panel.FillInformationValues(*catalogue, 1);
    EXPECT_EQ(panel.CellText(0, 1), "0.00");
}

TEST_F(CatalogueRowsTest, PanelColumnsFitTheirTextsAndCaptions) {
    const FontTable fonts = CreateFontTable();
    InformationPanel panel(nullptr, fonts);
    panel.resize(1200, 800);
    panel.show();
    panel.FillInformationValues(*catalogue, 2000433);
    const QFontMetrics metrics(fonts.UiFont.Font);
    QHeaderView* header = panel.horizontalHeader();
    for (int column = 0; column < 3; ++column) {
        EXPECT_GE(panel.columnWidth(column), header->sectionSizeHint(column)) << column;
        for (int row = 0; row < 31; ++row) {
            EXPECT_GE(panel.columnWidth(column),
                      metrics.horizontalAdvance(panel.CellText(row, column)))
                << row << " " << column;
        }
    }
    // Narrower than the initial 350 and 300 once sized to its texts.
    EXPECT_LT(panel.columnWidth(1), 350);
    EXPECT_EQ(panel.columnWidth(3), 300);

    const QAbstractItemModel* model = panel.model();
    EXPECT_TRUE(model->data(model->index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_TRUE(model->data(model->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignLeft);
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Formulas");
    EXPECT_EQ(panel.font(), fonts.UiFont.Font);
}

}  // namespace
