// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <unistd.h>
#include <QImageReader>
#include <QPainter>
#include <filesystem>
#include <fstream>

#include "charts/ChartCaptions.h"
#include "data/Catalogue.h"
#include "data/CurrentStar.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"
#include "export/SaveChartImage.h"
#include "tests/ChartFilesFolder.h"
#include "tests/support/JpegMarkers.h"
#include "tests/support/RecordedMessages.h"

namespace fs = std::filesystem;

namespace {

constexpr SpkId kStar = ChartFilesFolder::kCeres;
constexpr SpkId kNoPassageData = ChartFilesFolder::kPallas;

// What a render was asked for.
struct RenderCall {
    ChartKind Kind;
    QString Caption;
    ChartColours Colours;
    const std::byte* FramePoint;
    int SelectedYear;
    double Passage = 0;
    double Period = 0;
};

// Renders that note their inputs and draw a small chart in the colours given: the background,
// and a block in the text colour.
struct FakeRenders {
    std::vector<RenderCall> calls;
    QSize size{40, 20};
    bool giveNothing = false;

    std::optional<QImage> Draw(ChartKind kind, const RenderInputs& inputs, double passage = 0,
                               double period = 0) {
        calls.push_back({kind, inputs.Caption, inputs.Colours, inputs.Track.FramePointAddress(),
                         inputs.Title.SelectedYear, passage, period});
        if (giveNothing)
            return std::nullopt;
        QImage image(size, QImage::Format_RGB32);
        image.fill(RgbFromColorRef(inputs.Colours.Background));
        QPainter(&image).fillRect(4, 4, 8, 8, QColor(RgbFromColorRef(inputs.Colours.Text)));
        return image;
    }

    ChartRender Render() {
        return
            [this](ChartKind kind, const RenderInputs& inputs, const PerihelionPassage& passage) {
                return Draw(kind, inputs, passage.Time, passage.Period);
            };
    }
};

struct SaveChartImageTest : ::testing::Test {
    TestData::TempFolder folder;
    std::string images = folder / "Images";
    FontTable fonts = CreateFontTable();
    std::unique_ptr<Catalogue> catalogue;
    CurrentStar star{folder / "Datas"};
    PlotExtents extents;
    RecordedMessages messages;
    FakeRenders fake;

    SaveChartImageTest() {
        ChartFilesFolder::Make(folder.Path());
        fs::create_directory(images);
        std::string error;
        catalogue = Catalogue::Open(folder / "Nivra.db", error);
    }

    SaveContext Context(const std::string& name = "Ceres", int year = 0) {
        SaveContext context;
        context.Chart.Fonts = &fonts;
        context.Database = catalogue.get();
        context.Chart.Star = &star;
        context.Chart.Title.SelectedStarName = name;
        context.Chart.Title.SelectedYear = year;
        context.Chart.Extents = &extents;
        context.ImagesFolder = images;
        context.Chart.Messages = &messages;
        return context;
    }

    SaveOutcome Save(int command, const SaveContext& context) {
        return SaveChartImage(*DecodeChartCommand(command), context, fake.Render());
    }
};

QImage Load(const std::string& path) {
    return QImageReader(QString::fromStdString(path)).read().convertToFormat(QImage::Format_RGB32);
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(SaveChartImageNames, CaptionsAndFilesOfTheCommands) {
    EXPECT_EQ(SaveCaption(ChartKind::Constellations, CoordinateFrame::Astrometric),
              "Cnst Astrometric");
    EXPECT_EQ(SaveCaption(ChartKind::Perihelion, CoordinateFrame::Earth), "Perihelion Earth");
    EXPECT_EQ(SaveCaption(ChartKind::Years, CoordinateFrame::Geometric), "Years Geometric");
    EXPECT_EQ(ChartImagePath("/p/Images", "View - Astro"), "/p/Images/View - Astro.jpg");
    EXPECT_EQ(ChartImagePath("/p/Images", "View - Astro", ChartFileFormat::Png),
              "/p/Images/View - Astro.png");
}

TEST_F(SaveChartImageTest, EachOfTheFortyCommandsRendersItsChartAndWritesItsFile) {
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    // Rows k = 0 .. 19 of both families: kind, caption and FramePoint offset in the record.
    const struct {
        ChartKind kind;
        const char* caption;
        std::ptrdiff_t offset;
    } rows[] = {
        {ChartKind::Constellations, "Cnst Astrometric", 24},
        {ChartKind::Constellations, "Cnst Earth", 72},
        {ChartKind::Constellations, "Cnst Galactic", 56},
        {ChartKind::Constellations, "Cnst Geometric", 40},
        {ChartKind::Perihelion, "Perihelion Astrometric", 24},
        {ChartKind::Perihelion, "Perihelion Earth", 72},
        {ChartKind::Perihelion, "Perihelion Galactic", 56},
        {ChartKind::Perihelion, "Perihelion Geometric", 40},
        {ChartKind::Travel, "Travel Astrometric", 24},
        {ChartKind::Travel, "Travel Earth", 72},
        {ChartKind::Travel, "Travel Galactic", 56},
        {ChartKind::Travel, "Travel Geometric", 40},
        {ChartKind::View, "View Astrometric", 24},
        {ChartKind::View, "View Earth", 72},
        {ChartKind::View, "View Galactic", 56},
        {ChartKind::View, "View Geometric", 40},
        {ChartKind::Years, "Years Astrometric", 24},
        {ChartKind::Years, "Years Earth", 72},
        {ChartKind::Years, "Years Galactic", 56},
        {ChartKind::Years, "Years Geometric", 40},
    };
    const std::byte* record = star.Cursor().Position();
    for (int first : {4001, 5001}) {
        for (int k = 0; k < 20; ++k) {
            const ChartCommand command = *DecodeChartCommand(first + k);
            SCOPED_TRACE(command.FileLabel);
            fake.calls.clear();
            messages.messages.clear();
            const SaveOutcome outcome = Save(first + k, Context());
            ASSERT_EQ(fake.calls.size(), 1u);
            const RenderCall& call = fake.calls.front();
            EXPECT_EQ(call.Kind, rows[k].kind);
            EXPECT_EQ(call.Caption, rows[k].caption);
            EXPECT_EQ(call.FramePoint - record, rows[k].offset);
            EXPECT_EQ(call.Colours.Background, first == 4001 ? 0x000000u : 0xFFFFFFu);
            EXPECT_EQ(call.Colours.Text, first == 4001 ? 0xFFFFFFu : 0x000000u);
            if (rows[k].kind == ChartKind::Perihelion) {
                EXPECT_EQ(call.Passage, ChartFilesFolder::kCeresPassage);
                EXPECT_EQ(call.Period, ChartFilesFolder::kCeresPeriod);
            }
            EXPECT_EQ(outcome.Result, SaveOutcome::Status::Saved);
            EXPECT_EQ(outcome.Path, images + "/" + command.FileLabel + ".jpg");
            EXPECT_TRUE(fs::is_regular_file(outcome.Path));
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].Text, "File successfully saved");
            EXPECT_EQ(messages.messages[0].Icon, MessageIcon::Information);
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(images), fs::directory_iterator()), 40);
}

TEST_F(SaveChartImageTest, SaveAndExportWriteTwoFilesWithSwappedColoursAsProgressiveJpeg) {
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    ASSERT_EQ(Save(4001, Context()).Result, SaveOutcome::Status::Saved);
    ASSERT_EQ(Save(5001, Context()).Result, SaveOutcome::Status::Saved);
    const QImage saved = Load(images + "/View Cnst Astro.jpg");
    const QImage exported = Load(images + "/Export Cnst Astro.jpg");
    ASSERT_EQ(saved.size(), fake.size);
    ASSERT_EQ(exported.size(), fake.size);
    // Quality 100: the colours survive within a step or two.
    EXPECT_LT(qGray(saved.pixel(30, 15)), 3);
    EXPECT_GT(qGray(saved.pixel(7, 7)), 252);
    EXPECT_GT(qGray(exported.pixel(30, 15)), 252);
    EXPECT_LT(qGray(exported.pixel(7, 7)), 3);

    const JpegMarkers markers = ReadJpegMarkers(images + "/Export Cnst Astro.jpg");
    EXPECT_TRUE(markers.Valid);
    EXPECT_EQ(markers.FrameMarkers, std::vector<int>{0xC2});
    for (const auto& table : markers.QuantisationTables)
        for (int value : table)
            EXPECT_EQ(value, 1);
}

TEST_F(SaveChartImageTest, PngFilesHoldTheRenderedPixelsExactly) {
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    SaveContext context = Context();
    context.Format = ChartFileFormat::Png;
    const SaveOutcome outcome = Save(4013, context);
    ASSERT_EQ(outcome.Result, SaveOutcome::Status::Saved);
    EXPECT_EQ(outcome.Path, images + "/View - Astro.png");
    QImage expected(fake.size, QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter(&expected).fillRect(4, 4, 8, 8, Qt::white);
    EXPECT_TRUE(Load(outcome.Path) == expected);
}

TEST_F(SaveChartImageTest, TheSavedChartStartsAtTheYearChosenInTheToolbar) {
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    star.SeekYear(2001);
    ASSERT_EQ(Save(4009, Context("Ceres", 2001)).Result, SaveOutcome::Status::Saved);
    ASSERT_EQ(fake.calls.size(), 1u);
    EXPECT_EQ(fake.calls[0].FramePoint, star.Cursor().Position() + 24);
    EXPECT_EQ(fake.calls[0].SelectedYear, 2001);
    EXPECT_EQ(EphemerisRecord(star.Cursor().Position()).Year(), 2001);
}

TEST_F(SaveChartImageTest, NothingIsWrittenOrSaidWithoutAStarARowOrAnImage) {
    // No star loaded.
    EXPECT_EQ(Save(4001, Context()).Result, SaveOutcome::Status::NothingToSave);
    EXPECT_TRUE(fake.calls.empty());

    // A star whose [DatasForIt] is 0 has no Perihelion row: its Perihelion chart is not drawn.
    ASSERT_NE(star.MakeCurrentStar(kNoPassageData), nullptr);
    EXPECT_EQ(Save(4005, Context("Pallas")).Result, SaveOutcome::Status::NothingToSave);
    EXPECT_EQ(Save(5008, Context("Pallas")).Result, SaveOutcome::Status::NothingToSave);
    EXPECT_TRUE(fake.calls.empty());

    // The render gives nothing (for example no star selected in the toolbar).
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    fake.giveNothing = true;
    EXPECT_EQ(Save(4013, Context()).Result, SaveOutcome::Status::NothingToSave);
    EXPECT_EQ(fake.calls.size(), 1u);

    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(fs::is_empty(images));
}

TEST_F(SaveChartImageTest, AFileThatCannotBeWrittenSaysSoAndLeavesTheEarlierOne) {
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    // A good file first; saving the same command again writes the same file.
    const SaveOutcome first = Save(4017, Context());
    ASSERT_EQ(first.Result, SaveOutcome::Status::Saved);
    const std::string good = Bytes(first.Path);
    fake.size = QSize(30, 12);
    ASSERT_EQ(Save(4017, Context()).Path, first.Path);
    EXPECT_EQ(Load(first.Path).size(), QSize(30, 12));
    const std::string replaced = Bytes(first.Path);

    // An image the JPEG encoder refuses (wider than 65,500 pixels) fails once the file is open.
    messages.messages.clear();
    fake.size = QSize(70000, 2);
    const SaveOutcome failed = Save(4017, Context());
    EXPECT_EQ(failed.Result, SaveOutcome::Status::NotSaved);
    EXPECT_EQ(Bytes(first.Path), replaced);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].Text, "Cannot save this file");
    EXPECT_EQ(messages.messages[0].Icon, MessageIcon::Information);
    EXPECT_NE(good, replaced);

    // A missing Images folder.
    fake.size = QSize(40, 20);
    SaveContext missing = Context();
    missing.ImagesFolder = folder / "NoSuchFolder";
    EXPECT_EQ(Save(5001, missing).Result, SaveOutcome::Status::NotSaved);
    EXPECT_EQ(messages.messages.back().Text, "Cannot save this file");
    EXPECT_FALSE(fs::exists(folder / "NoSuchFolder"));
    // An "Images" that is a file, not a folder (no permission lets anyone write in it).
    std::ofstream(folder / "NotAFolder") << "x";
    missing.ImagesFolder = folder / "NotAFolder";
    EXPECT_EQ(Save(5001, missing).Result, SaveOutcome::Status::NotSaved);
    EXPECT_EQ(Bytes(folder / "NotAFolder"), "x");
}

TEST_F(SaveChartImageTest, AReadOnlyImagesFolderCannotBeWritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    ASSERT_EQ(Save(4001, Context()).Result, SaveOutcome::Status::Saved);
    const std::string before = Bytes(images + "/View Cnst Astro.jpg");
    fs::permissions(images, fs::perms::owner_read | fs::perms::owner_exec);
    fake.size = QSize(50, 25);
    EXPECT_EQ(Save(4001, Context()).Result, SaveOutcome::Status::NotSaved);
    EXPECT_EQ(Save(5002, Context()).Result, SaveOutcome::Status::NotSaved);
    fs::permissions(images, fs::perms::owner_all);
    EXPECT_EQ(messages.messages.back().Text, "Cannot save this file");
    EXPECT_EQ(Bytes(images + "/View Cnst Astro.jpg"), before);
    EXPECT_FALSE(fs::exists(images + "/Export Cnst Earth.jpg"));
}

TEST_F(SaveChartImageTest, TheChartsOwnRenderSavesWhiteOnBlackAndExportsBlackOnWhiteFramedAlike) {
    ASSERT_NE(star.MakeCurrentStar(kStar), nullptr);
    for (int command : {4001, 5001, 4010, 5010}) {
        ASSERT_EQ(SaveChartImage(*DecodeChartCommand(command), Context()).Result,
                  SaveOutcome::Status::Saved);
    }
    for (const auto& [save, export_] : {std::pair{"View Cnst Astro", "Export Cnst Astro"},
                                        std::pair{"View Travel Earth", "Export Travel Earth"}}) {
        SCOPED_TRACE(save);
        const QImage saved = Load(images + "/" + save + ".jpg");
        const QImage exported = Load(images + "/" + export_ + ".jpg");
        EXPECT_EQ(saved.size(), exported.size());
        int darkSaved = 0;
        int lightExported = 0;
        for (int y = 0; y < saved.height(); ++y) {
            for (int x = 0; x < saved.width(); ++x) {
                darkSaved += qGray(saved.pixel(x, y)) < 16;
                lightExported += qGray(exported.pixel(x, y)) > 239;
            }
        }
        // The same chart with its colours swapped: as many background pixels in both.
        const int pixels = saved.width() * saved.height();
        EXPECT_GT(darkSaved, pixels / 2);
        EXPECT_NEAR(lightExported, darkSaved, pixels / 100);
    }
}
