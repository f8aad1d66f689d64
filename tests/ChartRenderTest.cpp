// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>

#include "charts/ChartDrawing.h"
#include "charts/ConstellationTable.h"
#include "charts/PerihelionLabels.h"
#include "charts/PixelMapping.h"
#include "charts/RenderContract.h"
#include "drawing/MessageService.h"
#include "drawing/TextStamp.h"
#include "tests/ChartTracks.h"
#include "tests/support/RecordedMessages.h"

using ChartTracks::Angles;
using ChartTracks::AstrometricRecords;
using ChartTracks::FirstDifference;
using ChartTracks::Fonts;
using ChartTracks::RedPixels;
using ChartTracks::TrackData;

namespace {

struct ChartRenderTest : ::testing::Test {
    RecordedMessages messages;
    PlotExtents extents;

    RenderInputs Inputs(const TrackData& data, const QString& caption = "Travel Astrometric") {
        RenderInputs inputs;
        inputs.Fonts = &Fonts();
        inputs.Title.SelectedStarName = "Ceres";
        inputs.Title.SelectedYear = 0;
        inputs.Header = &data.Header;
        inputs.Caption = caption;
        inputs.Track = data.Track();
        inputs.Extents = &extents;
        inputs.Messages = &messages;
        return inputs;
    }

    // The whole canvas a chart draws, before its crop.
    QImage Canvas(ChartKind kind, const RenderInputs& inputs, PerihelionPassage passage = {}) {
        std::optional<QImage> canvas = RenderChart(kind, inputs, passage, RenderPath::FullCanvas);
        EXPECT_TRUE(canvas.has_value());
        return canvas ? *canvas : QImage();
    }

    // A wide canvas with the given red points and labels, then the title of `inputs`.
    struct Label {
        std::int64_t X;
        std::int64_t Y;
        const ProgramFont& Font;
        QString Text;
    };
    static QImage Expected(const RenderInputs& inputs, const std::vector<QPoint>& points,
                           const std::vector<Label>& labels, QSize canvas = kWideCanvas) {
        ChartDrawing drawing(canvas, inputs.Colours);
        for (const QPoint& point : points)
            drawing.AddPoint(point.x(), point.y());
        for (const Label& label : labels)
            drawing.AddText(label.X, label.Y, StampText(label.Font, label.Text));
        drawing.AddText(16, 16,
                        StampText(inputs.Fonts->TitleFont,
                                  *FormatChartTitle(inputs.Title, inputs.Header, inputs.Caption)));
        return *drawing.Paint(drawing.CanvasRect());
    }
};

std::vector<QPoint> Points(std::initializer_list<std::pair<int, int>> list) {
    std::vector<QPoint> points;
    for (auto [x, y] : list)
        points.emplace_back(x, y);
    return points;
}

}  // namespace

TEST(ChartPixelMapping, RoundsHalfwayToEvenAndSendsWhatIsNoNumberOffTheCanvas) {
    EXPECT_EQ(RoundToPixel(0.5), 0);
    EXPECT_EQ(RoundToPixel(1.5), 2);
    EXPECT_EQ(RoundToPixel(2.5), 2);
    EXPECT_EQ(RoundToPixel(-1.5), -2);
    EXPECT_EQ(RoundToPixel(358.6), 359);
    const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(RoundToPixel(std::nan("")), lowest);
    EXPECT_EQ(RoundToPixel(1e10), lowest);
    EXPECT_EQ(RoundToPixel(-1e10), lowest);
    EXPECT_EQ(RoundToPixel(std::numeric_limits<double>::infinity()), lowest);
    // The same as the runtime's rint everywhere in range, halfway cases included.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> values(-50000, 50000);
    for (int i = 0; i < 100000; ++i) {
        const double value = i % 2 == 0 ? values(random) : std::floor(values(random)) + 0.5;
        ASSERT_EQ(RoundToPixel(value), static_cast<std::int32_t>(std::rint(value))) << value;
    }
    EXPECT_EQ(RoundToPixel(2147483647.4), 2147483647);
    EXPECT_EQ(RoundToPixel(-2147483648.0), lowest);
}

TEST(ChartPixelMapping, TheViewMapsFourPixelsPerDegreeWithItsSeamRuleAndScale) {
    const double k = ViewVerticalScale(QSize(1920, 1000));
    EXPECT_DOUBLE_EQ(k, 4 / 1.92);
    EXPECT_EQ(MapViewPoint(359.9, 0, k).X, 0);
    EXPECT_EQ(MapViewPoint(359.5, 0, k).X, -2);
    EXPECT_EQ(MapViewPoint(358.9, 0, k).X, 1436);
    EXPECT_EQ(MapViewPoint(10, 90, k).Y, 228);
    // A client area without height puts every point on row 40; one without width counts as
    // 1920 x 1080.
    EXPECT_EQ(MapViewPoint(10, 170, ViewVerticalScale(QSize(1920, 0))).Y, 40);
    EXPECT_DOUBLE_EQ(ViewVerticalScale(QSize(0, 500)), 2.25);
    EXPECT_DOUBLE_EQ(ViewVerticalScale(QSize()), 2.25);
}

TEST_F(ChartRenderTest, TitleLineNamesTheStarTheCaptionAndTheYears) {
    StarFileHeader header;
    header.Id = 2000001;
    header.FirstYear = 2000;
    header.LastYear = 2019;
    ChartTitleInputs title{std::string("Ceres"), 0};
    EXPECT_EQ(FormatChartTitle(title, &header, "Constellations Astrometric"),
              "{2000001} - Ceres - Constellations Astrometric - Years from 2000 to 2019");
    title.SelectedYear = 2007;
    EXPECT_EQ(FormatChartTitle(title, &header, "Cnst Earth"),
              "{2000001} - Ceres - Cnst Earth - Years from 2007 to 2019");

    header.Id = 4000000001u;  // printed unsigned
    title.SelectedStarName = std::string(300, 'a') + "\xc3\xb6";
    const std::optional<QString> cut = FormatChartTitle(title, &header, "View Earth");
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->startsWith("{4000000001} - aaa"));
    EXPECT_EQ(cut->toUtf8().size(), 255);

    // A cut in the middle of a two-byte character leaves the whole character out.
    title.SelectedStarName = std::string(237, 'b') + "\xc3\xb6";  // "{2000001} - " + 237 + 2
    header.Id = 2000001;
    const std::optional<QString> clean = FormatChartTitle(title, &header, "View Earth");
    ASSERT_TRUE(clean);
    EXPECT_FALSE(clean->contains(QChar::ReplacementCharacter));

    EXPECT_FALSE(FormatChartTitle({std::nullopt, 0}, &header, "View Earth"));
    EXPECT_FALSE(FormatChartTitle({std::string("Ceres"), -1}, &header, "View Earth"));
    EXPECT_FALSE(FormatChartTitle({std::string("Ceres"), 0}, nullptr, "View Earth"));
}

TEST_F(ChartRenderTest, NothingSelectedOrNoFontsGivesNoImageAndNoMessage) {
    const TrackData data(AstrometricRecords({{10, 50}}));
    RenderInputs inputs = Inputs(data);
    inputs.Title.SelectedStarName.reset();
    EXPECT_FALSE(RenderChart(ChartKind::Travel, inputs));
    inputs = Inputs(data);
    inputs.Title.SelectedYear = -1;
    EXPECT_FALSE(RenderViewChart(inputs));
    inputs = Inputs(data);
    inputs.Fonts = nullptr;
    EXPECT_FALSE(RenderChart(ChartKind::Years, inputs));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(extents.MaxX, 0);
}

TEST_F(ChartRenderTest, TravelTrackCrossesTheSeamForwardAndBackward) {
    // Forward twice: each step from 359 onto 0 continues one turn further right.
    const TrackData forward(AstrometricRecords(
        {{10, 50.4}, {180, 60.5}, {359.2, 61.5}, {0.3, 62.5}, {180, 70}, {359, 70}, {0.4, 70}}));
    EXPECT_EQ(
        RedPixels(Canvas(ChartKind::Travel, Inputs(forward))),
        Points({{10, 90}, {180, 100}, {359, 102}, {360, 102}, {540, 110}, {719, 110}, {720, 110}}));

    // A step from 359.5 or more onto 0.5 or more (rounded: 360 onto 1) crosses the seam as well,
    // forward and back, in every wide kind.
    const TrackData rounded(
        AstrometricRecords({{350, 50}, {359.6, 50}, {0.6, 50}, {10, 50}, {359.8, 50}, {350, 50}}));
    for (ChartKind kind :
         {ChartKind::Travel, ChartKind::Constellations, ChartKind::Perihelion, ChartKind::Years}) {
        std::set<int> columns;
        for (const QPoint& point : RedPixels(Canvas(kind, Inputs(rounded))))
            columns.insert(point.x());
        EXPECT_EQ(columns, (std::set<int>{350, 360, 361, 370})) << ChartKindName(kind);
    }

    // Forward, then back over 0: the track returns to the first turn.
    const TrackData back(AstrometricRecords(
        {{350, 50}, {359.6, 50}, {0.4, 50}, {10, 50}, {0.3, 50}, {359.7, 50}, {340, 50}}));
    EXPECT_EQ(RedPixels(Canvas(ChartKind::Travel, Inputs(back))),
              Points({{340, 90}, {350, 90}, {360, 90}, {370, 90}}));

    // A first point at 359 or more starts one turn to the left, off the canvas.
    const TrackData late(AstrometricRecords({{359.3, 50}, {0.5, 50}, {10, 50}}));
    EXPECT_EQ(RedPixels(Canvas(ChartKind::Travel, Inputs(late))), Points({{0, 90}, {10, 90}}));
}

TEST_F(ChartRenderTest, TravelAndYearsRoundBeforeTheRowOffsetTheOtherKindsAfter) {
    const double nearHalf = 1.4999999999999998;  // + 40 rounds up to 41.5 in doubles
    const TrackData data(AstrometricRecords({{100, nearHalf}, {101, -40.6}, {102, -40.4}}));
    EXPECT_EQ(RedPixels(Canvas(ChartKind::Travel, Inputs(data))), Points({{102, 0}, {100, 41}}));
    EXPECT_EQ(RedPixels(Canvas(ChartKind::Constellations, Inputs(data))),
              Points({{102, 0}, {100, 42}}));
}

namespace {
bool RowIsBlank(const QImage& image, int y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
        if ((line[x] & 0xFFFFFF) != 0)
            return false;
    return true;
}
}  // namespace

TEST_F(ChartRenderTest, ATrackPastOneHundredAndTwentyTurnsIsClippedAtTheRightEdge) {
    std::vector<Angles> points;
    for (int i = 0; i < 122 * 360; ++i)
        points.push_back({static_cast<double>(i % 360), 100});
    const TrackData data(AstrometricRecords(points));
    const std::optional<QImage> chart = RenderChart(ChartKind::Travel, Inputs(data));
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->width(), 43200);
    EXPECT_EQ(extents.MaxX, 122 * 360 - 1);
    EXPECT_EQ(extents.MaxY, 100);
    const QImage canvas = Canvas(ChartKind::Travel, Inputs(data));
    // The crop runs from the title's first row (below row 16) to the track's row 140.
    int top = 0;
    while (top < canvas.height() && RowIsBlank(canvas, top))
        ++top;
    EXPECT_GT(top, 16);
    EXPECT_EQ(chart->height(), 140 - top + 1);
    EXPECT_EQ(canvas.pixel(43199, 140) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(RedPixels(canvas).size(), 43200u);
}

TEST_F(ChartRenderTest, TheViewDrawsEveryPointAndLeavesTheExtentsAtTheLastPixel) {
    const TrackData data(AstrometricRecords({{359.9, 0}, {358.9, 90}, {100, 180}, {359.5, 10}}));
    RenderInputs inputs = Inputs(data, "View Astrometric");
    inputs.MainClientSize = QSize(1920, 1000);
    const QImage canvas = Canvas(ChartKind::View, inputs);
    EXPECT_EQ(canvas.size(), QSize(1440, 760));
    EXPECT_EQ(RedPixels(canvas), Points({{0, 40}, {1436, 228}, {400, 415}}));
    EXPECT_EQ(extents.MaxX, -2);  // the last point, off the canvas
    EXPECT_EQ(extents.MaxY, 61);  // 10 x 4 / 1.92 + 40 = 60.83

    const std::optional<QImage> view = RenderViewChart(inputs);
    ASSERT_TRUE(view);
    EXPECT_EQ(FirstDifference(*view, canvas), "");

    const TrackData empty({});
    extents = {5, 5};
    ASSERT_TRUE(RenderViewChart(Inputs(empty, "View Astrometric")));
    EXPECT_EQ(extents.MaxX, 0);
    EXPECT_EQ(extents.MaxY, 0);
}

TEST_F(ChartRenderTest, AnEmptyTrackShowsOnlyTheTitleCloselyCropped) {
    const TrackData empty({});
    extents = {7, 9};
    const RenderInputs inputs = Inputs(empty);
    const std::optional<QImage> chart = RenderChart(ChartKind::Travel, inputs);
    ASSERT_TRUE(chart);
    const QString title = *FormatChartTitle(inputs.Title, inputs.Header, inputs.Caption);
    EXPECT_EQ(chart->size(), StampText(Fonts().TitleFont, title)->Ink.size());
    EXPECT_TRUE(RedPixels(*chart).empty());
    EXPECT_EQ(extents.MaxX, 7);
    EXPECT_EQ(extents.MaxY, 9);

    // The same file read without a terminating record stops at the end of the data.
    const TrackData unterminated(AstrometricRecords({{10, 50}}), false);
    EXPECT_EQ(RedPixels(Canvas(ChartKind::Travel, Inputs(unterminated))), Points({{10, 90}}));
}

TEST_F(ChartRenderTest, TheAutoCropFramesTheTitleAndTheTrackClosely) {
    const TrackData data(AstrometricRecords({{100, 10}, {199, 300}}));  // rows 50 and 340
    const RenderInputs inputs = Inputs(data);
    const QString title = *FormatChartTitle(inputs.Title, inputs.Header, inputs.Caption);
    const QRect titleInk = StampText(Fonts().TitleFont, title)->Ink.translated(16, 16);
    const QRect expected = titleInk.united(QRect(100, 50, 100, 291));
    const std::optional<QImage> screen = RenderChart(ChartKind::Travel, inputs);
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->size(), expected.size());
    EXPECT_EQ(RedPixels(*screen), Points({{100 - expected.left(), 50 - expected.top()},
                                          {199 - expected.left(), 340 - expected.top()}}));

    // Black on white for Export: cut around everything that is not white, to the same frame.
    RenderInputs exported = inputs;
    exported.Colours = kExportColours;
    const std::optional<QImage> white = RenderChart(ChartKind::Travel, exported);
    ASSERT_TRUE(white);
    EXPECT_EQ(white->size(), expected.size());
    // Right of the track, below the title.
    EXPECT_EQ(white->pixel(white->width() - 1, white->height() - 1), 0xFFFFFFFFu);
    EXPECT_EQ(screen->pixel(screen->width() - 1, screen->height() - 1), 0xFF000000u);
    EXPECT_EQ(RedPixels(*white), RedPixels(*screen));
}

TEST_F(ChartRenderTest, TravelExtendsTheViewsExtentsAndYearsIsCutToThem) {
    // The View's last pixel is (1000, 300) at k = 2; the track's largest x is 359 and its
    // largest rounded SecondAngle 150.
    const TrackData view(AstrometricRecords({{250, 130}}));
    RenderInputs viewInputs = Inputs(view, "View Astrometric");
    viewInputs.MainClientSize = QSize(1920, 960);
    ASSERT_TRUE(RenderViewChart(viewInputs));
    EXPECT_EQ(extents.MaxX, 1000);
    EXPECT_EQ(extents.MaxY, 300);

    const TrackData track(AstrometricRecords({{180, 150.2}, {359, 20}, {200, 30}}));
    ASSERT_TRUE(RenderChart(ChartKind::Travel, Inputs(track)));
    EXPECT_EQ(extents.MaxX, 1000);
    EXPECT_EQ(extents.MaxY, 300);
    const std::optional<QImage> years =
        RenderChart(ChartKind::Years, Inputs(track, "Years Astrometric"));
    ASSERT_TRUE(years);
    EXPECT_EQ(years->size(), QSize(1000, 340));

    // When the track sets the extents, its rightmost column and lowest row fall just outside.
    extents = {};
    const std::optional<QImage> own =
        RenderChart(ChartKind::Years, Inputs(track, "Years Astrometric"));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->size(), QSize(359, 190));
    EXPECT_EQ(RedPixels(*own), Points({{200, 70}}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ChartRenderTest, YearsCutToNothingIsAFailureWithItsMessage) {
    const TrackData empty({});
    ASSERT_TRUE(RenderViewChart(Inputs(empty, "View Astrometric")));
    EXPECT_FALSE(RenderChart(ChartKind::Years, Inputs(empty, "Years Astrometric")));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].Text, "Nivra cannot draw these datas!");
    EXPECT_EQ(messages.messages[0].Icon, MessageIcon::Error);
}

TEST_F(ChartRenderTest, YearsLabelsTheFirstPointOfEveryYear) {
    std::vector<Angles> points;
    for (int day = 0; day < 4018; ++day)  // 2020 to 2030
        points.push_back({std::fmod(0.1 * day, 360.0), 60 + 0.01 * day});
    std::vector<TestData::Record> records = AstrometricRecords(points);
    std::vector<QPoint> pixels;
    std::vector<Label> labels;
    int turn = 0;
    int previousColumn = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].Year += 20;
        const int column = static_cast<int>(std::rint(points[i].First));
        if (column <= 0 && previousColumn >= 359)
            turn += 360;
        previousColumn = column;
        const QPoint pixel(column + turn, static_cast<int>(std::rint(points[i].Second)) + 40);
        pixels.push_back(pixel);
        if (i == 0 || records[i].Year != records[i - 1].Year)
            labels.push_back(
                {pixel.x(), pixel.y(), Fonts().LabelFont, QString::number(records[i].Year)});
    }
    ASSERT_EQ(records.back().Year, 2030);
    ASSERT_EQ(labels.size(), 11u);
    const TrackData data(records);
    const RenderInputs inputs = Inputs(data, "Years Astrometric");
    EXPECT_EQ(FirstDifference(Canvas(ChartKind::Years, inputs), Expected(inputs, pixels, labels)),
              "");
}

TEST_F(ChartRenderTest, ConstellationNamesAlternateBelowAndAbove) {
    // 31, 19, 31: Cygnus below, Centaurus above, Cygnus below again; within one constellation
    // no new label; a number outside the table counts as a change but gets no name, so the
    // next Centaurus is the fifth change and stands below.
    const int numbers[] = {31, 31, 19, 31, 31, 99, 19, 0};
    std::vector<Angles> points;
    for (int i = 0; i < 8; ++i)
        points.push_back({100.0 + 30 * i, 100});
    std::vector<TestData::Record> records = AstrometricRecords(points);
    for (int i = 0; i < 8; ++i)
        records[static_cast<std::size_t>(i)].Constellation = numbers[i];
    const TrackData data(records);
    const RenderInputs inputs = Inputs(data, "Constellations Astrometric");
    std::vector<QPoint> pixels;
    for (int i = 0; i < 8; ++i)
        pixels.emplace_back(100 + 30 * i, 140);
    const ProgramFont& below = Fonts().LabelFont;
    const ProgramFont& above = Fonts().AltLabelFont;
    const std::vector<Label> labels = {{100, 172, below, "Cygnus"},
                                       {160, 108, above, "Centaurus"},
                                       {190, 172, below, "Cygnus"},
                                       {280, 172, below, "Centaurus"}};
    EXPECT_EQ(FirstDifference(Canvas(ChartKind::Constellations, inputs),
                              Expected(inputs, pixels, labels)),
              "");

    // A first record numbered 0 equals the starting value: no label at all.
    std::vector<TestData::Record> none = AstrometricRecords({{100, 100}, {101, 100}});
    none[0].Constellation = 0;
    none[1].Constellation = 0;
    const TrackData quiet(none);
    const RenderInputs quietInputs = Inputs(quiet, "Constellations Astrometric");
    EXPECT_EQ(FirstDifference(Canvas(ChartKind::Constellations, quietInputs),
                              Expected(quietInputs, Points({{100, 140}, {101, 140}}), {})),
              "");
}

TEST(ConstellationTable, HoldsTheEightyEightNamesAsDrawn) {
    for (std::size_t i = 0; i < kConstellationCount; ++i) {
        EXPECT_EQ(kConstellationTable[i].Number, static_cast<int>(i + 1));
        EXPECT_LT(kConstellationTable[i].Name.size(), 20u);
        EXPECT_EQ(kConstellationTable[i].Abbreviation.size(), 3u);
    }
    EXPECT_EQ(ConstellationName(1), "Andromeda");
    EXPECT_EQ(ConstellationName(9), "Bo\xc3\xb6tes");
    EXPECT_EQ(kConstellationTable[8].Abbreviation, "Boo");
    EXPECT_EQ(ConstellationName(19), "Centaurus");
    EXPECT_EQ(ConstellationName(31), "Cygnus");
    EXPECT_EQ(ConstellationName(47), "LeoMinor");
    EXPECT_EQ(ConstellationName(66), "Pisces");
    EXPECT_EQ(ConstellationName(67), "Piscis");
    EXPECT_EQ(kConstellationTable[66].Abbreviation, "PsA");
    EXPECT_EQ(ConstellationName(80), "Triangulum");
    EXPECT_EQ(ConstellationName(81), "Triangulum");
    EXPECT_EQ(kConstellationTable[79].Abbreviation, "Tri");
    EXPECT_EQ(kConstellationTable[80].Abbreviation, "TrA");
    EXPECT_EQ(ConstellationName(88), "Vulpecula");
    EXPECT_EQ(ConstellationName(0), "");
    EXPECT_EQ(ConstellationName(89), "");
    EXPECT_EQ(ConstellationName(-5), "");
}

TEST(PerihelionLabels, PassageDaysStartAtMidnightAndKeepThePassageTime) {
    const std::array<PassageLabel, 3> labels = PassageLabels(2460000.4375, 1000);
    EXPECT_EQ(labels[1].Day, 2459999.5);
    EXPECT_EQ(labels[1].Hour, 22);
    EXPECT_EQ(labels[1].Minute, 30);
    EXPECT_EQ(labels[0].Day, 2458999.5);
    EXPECT_EQ(labels[2].Day, 2460999.5);
    const RecordDate date{2023, 2, 24, 0, 0, 0};
    EXPECT_EQ(RecordJulianDay(date), 2459999.5);
    EXPECT_EQ(PassageLabelText(date, labels[1]), "2023/2/24 - 22:30:00 (Now)");
    EXPECT_EQ(PassageLabelText({2020, 12, 3, 0, 0, 0}, {0, 5, 7, "Prev"}),
              "2020/12/3 - 05:07:00 (Prev)");
}

TEST_F(ChartRenderTest, PerihelionLabelsStandOnTheRecordsOfThePassageDays) {
    // Daily records from 2023/2/20; the passage of 2023/2/24 22:30 is labelled on 2023/2/24.
    std::vector<TestData::Record> records =
        AstrometricRecords({{10, 50}, {11, 50}, {12, 50}, {13, 50}, {14, 50}, {15, 50}, {16, 50}});
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].Year = 2023;
        records[i].Month = 2;
        records[i].Day = 20 + static_cast<int>(i);
        if (records[i].Day > 28) {
            records[i].Month = 3;
            records[i].Day -= 28;
        }
    }
    const TrackData data(records);
    const RenderInputs inputs = Inputs(data, "Perihelion Astrometric");
    const std::vector<QPoint> pixels =
        Points({{10, 90}, {11, 90}, {12, 90}, {13, 90}, {14, 90}, {15, 90}, {16, 90}});
    const ProgramFont& font = Fonts().LabelFont;
    EXPECT_EQ(
        FirstDifference(Canvas(ChartKind::Perihelion, inputs, {2460000.4375, 500}),
                        Expected(inputs, pixels, {{14, 90, font, "2023/2/24 - 22:30:00 (Now)"}})),
        "");

    // A period of 0 puts the three labels on one record, in the order Prev, Now, Next.
    EXPECT_EQ(FirstDifference(Canvas(ChartKind::Perihelion, inputs, {2460000.4375, 0}),
                              Expected(inputs, pixels,
                                       {{14, 90, font, "2023/2/24 - 22:30:00 (Prev)"},
                                        {14, 90, font, "2023/2/24 - 22:30:00 (Now)"},
                                        {14, 90, font, "2023/2/24 - 22:30:00 (Next)"}})),
              "");

    // Records dated at another time of day never fall on a passage day.
    for (TestData::Record& record : records)
        record.Hour = 6;
    const TrackData morning(records);
    const RenderInputs morningInputs = Inputs(morning, "Perihelion Astrometric");
    EXPECT_EQ(FirstDifference(Canvas(ChartKind::Perihelion, morningInputs, {2460000.4375, 0}),
                              Expected(morningInputs, pixels, {})),
              "");
}

namespace {

// A random track: FirstAngle steps of `step` degrees on average, `spread` either side, from
// `first`; SecondAngle wandering above, across and below the canvas; the constellation changing
// every few records (numbers outside the table too), the year now and then, some records at 06:00.
std::vector<TestData::Record> RandomTrack(std::mt19937& random, int count, double first,
                                          double step, double spread) {
    std::uniform_real_distribution<double> steps(step - spread, step + spread);
    std::uniform_real_distribution<double> rise(-3.0, 3.0);
    std::uniform_int_distribution<int> constellation(-2, 90);
    std::vector<Angles> points;
    double second = std::uniform_real_distribution<double>(-60, 380)(random);
    for (int i = 0; i < count; ++i) {
        points.push_back({first, second});
        first = std::fmod(first + steps(random) + 360.0, 360.0);
        second = std::clamp(second + rise(random), -80.0, 420.0);
    }
    std::vector<TestData::Record> records = AstrometricRecords(points);
    int number = constellation(random);
    for (TestData::Record& record : records) {
        if (random() % 5 == 0)
            number = constellation(random);
        record.Constellation = number;
        record.Hour = random() % 4 == 0 ? 6 : 0;
        record.Year += static_cast<int>(random() % 3);
    }
    return records;
}

// How often a track steps from 359 or more onto 0 or less (forward over the seam), and back.
std::pair<int, int> SeamCrossings(const std::vector<TestData::Record>& records) {
    int forward = 0;
    int backward = 0;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const double before = std::rint(records[i - 1].Astrometric.First);
        const double after = std::rint(records[i].Astrometric.First);
        forward += before >= 359 && after <= 0;
        backward += before <= 0 && after >= 359;
    }
    return {forward, backward};
}

}  // namespace

TEST_F(ChartRenderTest, TheFastRenderGivesTheImageOfTheWholeCanvasCutByScanning) {
    std::mt19937 random(20240601);
    std::vector<std::vector<TestData::Record>> tracks;
    tracks.push_back({});
    tracks.push_back(RandomTrack(random, 1, 200, 0, 0));
    // Small steps to and fro across the seam.
    for (int i = 0; i < 4; ++i)
        tracks.push_back(RandomTrack(random, 1500, 355 + i, 0.05, 0.95));
    // Large steps, which jump over the seam without unwrapping.
    tracks.push_back(RandomTrack(random, 1200, 100, 1, 5));
    // Forward for more than 120 turns: cut at the canvas's right edge.
    tracks.push_back(RandomTrack(random, 97000, 0, 0.45, 0.02));
    // Hugging the left and top edges, where labels are cut by the canvas.
    std::vector<TestData::Record> edge =
        AstrometricRecords({{0.2, -38}, {359.8, -35}, {0.4, -20}, {1, 355}, {2, 359.6}});
    for (std::size_t i = 0; i < edge.size(); ++i)
        edge[i].Constellation = static_cast<int>(i) + 30;
    tracks.push_back(edge);

    int forward = 0;
    int backward = 0;
    for (std::size_t t = 2; t < 6; ++t) {
        forward += SeamCrossings(tracks[t]).first;
        backward += SeamCrossings(tracks[t]).second;
    }
    ASSERT_GT(forward, 0);
    ASSERT_GT(backward, 0);
    ASSERT_GT(SeamCrossings(tracks[7]).first, 120);

    for (std::size_t t = 0; t < tracks.size(); ++t) {
        const TrackData data(tracks[t]);
        const ChartColours colours = t % 2 == 0 ? kScreenColours : kExportColours;
        const PerihelionPassage passage{2451548.3, t % 3 == 0 ? 0.0 : 2.0};
        for (ChartKind kind : {ChartKind::Travel, ChartKind::Constellations, ChartKind::Years,
                               ChartKind::Perihelion, ChartKind::View}) {
            const PlotExtents before{static_cast<double>(random() % 2000),
                                     static_cast<double>(random() % 500)};
            RenderInputs inputs = Inputs(data, "Chart");
            inputs.Colours = colours;
            PlotExtents fastExtents = before;
            inputs.Extents = &fastExtents;
            const std::optional<QImage> fast = RenderChart(kind, inputs, passage, RenderPath::Fast);
            PlotExtents referenceExtents = before;
            inputs.Extents = &referenceExtents;
            const std::optional<QImage> reference =
                RenderChart(kind, inputs, passage, RenderPath::Reference);
            const std::string where =
                "track " + std::to_string(t) + ", " + std::string(ChartKindName(kind));
            ASSERT_EQ(fast.has_value(), reference.has_value()) << where;
            EXPECT_EQ(fastExtents.MaxX, referenceExtents.MaxX) << where;
            EXPECT_EQ(fastExtents.MaxY, referenceExtents.MaxY) << where;
            if (fast) {
                EXPECT_EQ(FirstDifference(*fast, *reference), "") << where;
            }
        }
    }
}

TEST(TextPlacement, TextHangsFromTheTopOfItsCellOnTheWindowsBaseline) {
    const FontTable& fonts = Fonts();
    if (fonts.TitleFont.Font.family() == "Tahoma") {
        // usWinAscent 2049 of 2048 units per em, at 17 and 12 pixels.
        EXPECT_EQ(fonts.TitleFont.Ascent, 17);
        EXPECT_EQ(fonts.LabelFont.Ascent, 12);
    }
    // A level capital sits on the baseline: its ink ends on the row above it.
    const std::shared_ptr<const TextStamp> title = StampText(fonts.TitleFont, "H");
    ASSERT_FALSE(title->Ink.isEmpty());
    EXPECT_EQ(title->Ink.bottom(), fonts.TitleFont.Ascent - 1);
    EXPECT_GE(title->Ink.top(), 0);
    // At 30 degrees the baseline rises to the right: the H's ink is up and right of its origin.
    const std::shared_ptr<const TextStamp> label = StampText(fonts.AltLabelFont, "HHHH");
    EXPECT_GT(label->Ink.right(), 20);
    EXPECT_LT(label->Ink.top(), 0);
}

TEST_F(ChartRenderTest, TheTitleHidesTheTrackUnderItsCellOnlyAfterTheViewAndTravelPlots) {
    // Points on row 20 (Travel: SecondAngle -20 + 40; Perihelion: -20 + 40) from column 100 on,
    // inside the title's cell (rows 16 to 35, from column 16 across the title's advance).
    std::vector<Angles> points;
    for (int x = 100; x < 120; ++x)
        points.push_back({static_cast<double>(x), -20});
    const TrackData data(AstrometricRecords(points));
    const auto redOnRow = [](const QImage& canvas) {
        int red = 0;
        for (int x = 100; x < 120; ++x)
            red += (canvas.pixel(x, 20) & 0xFFFFFF) == 0xFF0000 ? 1 : 0;
        return red;
    };
    EXPECT_EQ(redOnRow(Canvas(ChartKind::Travel, Inputs(data))), 0);
    // The Perihelion plot leaves the text background transparent: the track shows between the
    // title's glyphs.
    EXPECT_GT(redOnRow(Canvas(ChartKind::Perihelion, Inputs(data), PerihelionPassage{0, 0})), 0);
    // The View draws row 20 for SecondAngle (20 - 40) / k.
    std::vector<Angles> viewPoints;
    const double k = 4.0 / (1920.0 / 1080.0);
    for (int x = 25; x < 30; ++x)
        viewPoints.push_back({static_cast<double>(x), (20 - 40) / k});
    const TrackData view(AstrometricRecords(viewPoints));
    const QImage viewCanvas = Canvas(ChartKind::View, Inputs(view, "View Astrometric"));
    for (int x = 100; x < 120; ++x)
        EXPECT_NE(viewCanvas.pixel(x, 20) & 0xFFFFFF, 0xFF0000u) << x;
    // The crop leaves out what the title hid: the chart is the title's ink alone.
    const RenderInputs inputs = Inputs(data);
    const std::optional<QImage> travel = RenderChart(ChartKind::Travel, inputs);
    const std::optional<QString> title =
        FormatChartTitle(inputs.Title, inputs.Header, inputs.Caption);
    ASSERT_TRUE(travel && title);
    EXPECT_EQ(travel->size(), StampText(Fonts().TitleFont, *title)->Ink.size());
}
