// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "charts/ChartCaptions.h"
#include "cli/ExportCommand.h"
#include "data/CurrentStar.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"
#include "tests/ChartFilesFolder.h"
#include "tests/support/RecordedMessages.h"

namespace fs = std::filesystem;

namespace {

// Renders that play the PlotExtents' rules: the View plot sets them to a point that tells its
// frame, Travel and Years only extend them, and Years is cut to them.
struct ExtentRenders {
    std::vector<QString> captions;
    std::vector<RenderInputs> inputs;  // of every render, in order
    // The date of each render's first record, read while the star's file is loaded (the
    // inputs' track points into it, and the command releases it before it returns).
    std::vector<std::optional<RecordDate>> starts;

    ChartRender Render() {
        return [this](ChartKind kind, const RenderInputs& given,
                      const PerihelionPassage&) -> std::optional<QImage> {
            captions.push_back(given.Caption);
            PlotExtents& extents = *given.Extents;
            switch (kind) {
                case ChartKind::View:
                    extents = {1000.0 + 10 * static_cast<int>(given.Track.Frame), 300};
                    return Image(20, 10, given);
                case ChartKind::Travel:
                    extents.MaxX = std::max(extents.MaxX, 359.0);
                    return Image(30, 10, given);
                case ChartKind::Years:
                    if (extents.MaxX < 1)
                        return std::nullopt;
                    return Image(static_cast<int>(extents.MaxX),
                                 static_cast<int>(extents.MaxY) + 40, given);
                default:
                    return Image(10, 10, given);
            }
        };
    }
    QImage Image(int width, int height, const RenderInputs& given) {
        inputs.push_back(given);
        const std::optional<EphemerisRecord> first = given.Track.Records.Record();
        starts.push_back(first ? std::optional<RecordDate>(first->Date()) : std::nullopt);
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(RgbFromColorRef(given.Colours.Background));
        return image;
    }
};

struct ExportCommandTest : ::testing::Test {
    TestData::TempFolder folder;
    ExtentRenders renders;
    RecordedMessages errors;
    std::string output;

    ExportCommandTest() { ChartFilesFolder::Make(folder.Path()); }

    // Runs the command with the renders above, or with the program's own.
    int Run(QStringList arguments, bool programRenders = false) {
        arguments << "--folder" << QString::fromStdString(folder.Path());
        QString error;
        const std::optional<ExportRequest> request = ParseExportRequest(arguments, error);
        EXPECT_TRUE(request) << error.toStdString();
        if (!request)
            return -100;
        char* buffer = nullptr;
        std::size_t size = 0;
        std::FILE* out = open_memstream(&buffer, &size);
        const int code = RunExport(
            *request, programRenders ? ProgramChartRender() : renders.Render(), out, errors);
        std::fclose(out);
        output.assign(buffer, size);
        std::free(buffer);
        return code;
    }

    std::string Images(const std::string& name) const { return folder / ("Images/" + name); }
};

QSize ImageSize(const std::string& path) {
    return QImageReader(QString::fromStdString(path)).size();
}

}  // namespace

TEST(ExportRequest, DefaultsAreEveryChartInBothLooksAsJpeg) {
    QString error;
    const std::optional<ExportRequest> request =
        ParseExportRequest({"--folder", "/f", "--star", "2000001"}, error);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Folder, "/f");
    EXPECT_EQ(request->Star, 2000001u);
    EXPECT_EQ(request->Year, 0);
    EXPECT_EQ(request->Looks.size(), 2u);
    EXPECT_EQ(request->Kinds.size(), 5u);
    EXPECT_EQ(request->Frames.size(), 4u);
    EXPECT_EQ(request->Format, ChartFileFormat::Jpeg);
}

TEST(ExportRequest, ChoicesAndYears) {
    QString error;
    std::optional<ExportRequest> request =
        ParseExportRequest({"--folder", "/f", "--star", "3", "--year", "2005", "--look", "export",
                            "--kind", "Years", "--frame", "galactic", "--format", "png"},
                           error);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Year, 2005);
    EXPECT_EQ(request->Looks, std::vector{ChartLook::Export});
    EXPECT_EQ(request->Kinds, std::vector{ChartKind::Years});
    EXPECT_EQ(request->Frames, std::vector{CoordinateFrame::Galactic});
    EXPECT_EQ(request->Format, ChartFileFormat::Png);
    // 1900 is the year selector's first year item, which behaves as "(All years)".
    request = ParseExportRequest({"--folder", "/f", "--star", "3", "--year", "1900"}, error);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->Year, 0);
}

TEST(ExportRequest, ABadCommandLineSaysWhatIsWrong) {
    // Without --folder, the folder the viewer takes: only the star is needed.
    QString fine;
    const std::optional<ExportRequest> request = ParseExportRequest({"--star", "1"}, fine);
    ASSERT_TRUE(request) << fine.toStdString();
    EXPECT_TRUE(request->Folder.isEmpty());
    const std::vector<QStringList> bad = {
        {"--folder", "/f"},
        {"--folder", "/f", "--star", "0"},
        {"--folder", "/f", "--star", "4294967296"},
        {"--folder", "/f", "--star", "Ceres"},
        {"--folder", "/f", "--star", "1", "--year", "2020"},
        {"--folder", "/f", "--star", "1", "--year", "1899"},
        {"--folder", "/f", "--star", "1", "--look", "sideways"},
        {"--folder", "/f", "--star", "1", "--kind", "pie"},
        {"--folder", "/f", "--star", "1", "--frame", "lunar"},
        {"--folder", "/f", "--star", "1", "--format", "gif"},
        {"--folder", "/f", "--star", "1", "--colour", "red"},
    };
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(ParseExportRequest(arguments, error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(RunExportCommand({"--folder", "/f"}), 2);
}

TEST_F(ExportCommandTest, WritesTheChosenFilesInMenuOrderWithOneLinePerFile) {
    EXPECT_EQ(Run({"--star", "2000001", "--kind", "constellations", "--format", "png"}), 0);
    const std::string images = folder / "Images";
    EXPECT_EQ(output, images + "/View Cnst Astro.png\tFile successfully saved\n" + images +
                          "/View Cnst Earth.png\tFile successfully saved\n" + images +
                          "/View Cnst Galac.png\tFile successfully saved\n" + images +
                          "/View Cnst Geo.png\tFile successfully saved\n" + images +
                          "/Export Cnst Astro.png\tFile successfully saved\n" + images +
                          "/Export Cnst Earth.png\tFile successfully saved\n" + images +
                          "/Export Cnst Galac.png\tFile successfully saved\n" + images +
                          "/Export Cnst Geo.png\tFile successfully saved\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(images), fs::directory_iterator()), 8);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(ExportCommandTest, EveryChartInBothLooksMakesFortyFiles) {
    EXPECT_EQ(Run({"--star", "2000001", "--look", "both", "--kind", "all", "--frame", "all"}), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "Images"), fs::directory_iterator()),
              40);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 40);
    EXPECT_EQ(ImageSize(Images("Export View - Geo.jpg")), QSize(20, 10));
}

TEST_F(ExportCommandTest, TheExtentsAreThoseChartPreparationLeavesThenThoseOfEarlierSaves) {
    // Alone, the Years chart is cut to what preparation left: the Geometric group ran last.
    EXPECT_EQ(Run({"--star", "2000001", "--look", "save", "--kind", "years", "--frame",
                   "astrometric", "--format", "png"}),
              0);
    EXPECT_EQ(ImageSize(Images("View Years Astro.png")), QSize(1030, 340));
    // Preparation drew the View, Travel and Years charts of each group in its order, then the
    // save came.
    ASSERT_EQ(renders.captions.size(), 13u);
    EXPECT_EQ(renders.captions[0], "View Astrometric");
    EXPECT_EQ(renders.captions[1], "Travel Astrometric");
    EXPECT_EQ(renders.captions[2], "Years Astrometric");
    EXPECT_EQ(renders.captions[11], "Years Geometric");
    EXPECT_EQ(renders.captions[12], "Years Astrometric");

    // After the View save of the same frame (menu order: View before Years).
    EXPECT_EQ(Run({"--star", "2000001", "--look", "export", "--frame", "earth", "--format", "png"}),
              0);
    EXPECT_EQ(ImageSize(Images("Export Years Earth.png")), QSize(1010, 340));
}

TEST_F(ExportCommandTest, AChartWithNothingToSaveIsSaidAndTheExitIsOne) {
    EXPECT_EQ(
        Run({"--star", "2000002", "--look", "save", "--kind", "perihelion", "--frame", "earth"}),
        1);
    EXPECT_EQ(output, Images("View Peri Earth.jpg") + "\tNothing was saved\n");
    EXPECT_FALSE(fs::exists(Images("View Peri Earth.jpg")));
}

TEST_F(ExportCommandTest, AFileThatCannotBeWrittenIsSaidAndTheExitIsOne) {
    fs::remove_all(folder / "Images");
    std::ofstream(folder / "Images") << "not a folder";
    EXPECT_EQ(Run({"--star", "2000001", "--kind", "view", "--frame", "earth", "--look", "save"}),
              1);
    EXPECT_EQ(output, Images("View - Earth.jpg") + "\tCannot save this file\n");
}

TEST_F(ExportCommandTest, AStarWithoutCatalogueRowOrFileIsRefused) {
    EXPECT_EQ(Run({"--star", "2000003"}), 1);
    EXPECT_EQ(output, "");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].Text,
              "star 2000003 is not in the catalogue or has no ephemeris file");
}

// Another star's file under the star's name is refused; a file cut short is drawn as far as it
// goes, and said so.
TEST_F(ExportCommandTest, AnotherStarsFileIsRefusedAndAFileCutShortIsDrawnAndSaidSo) {
    const std::string pallas = folder / "Datas/2000002.Nvr";
    fs::copy_file(folder / "Datas/2000001.Nvr", pallas, fs::copy_options::overwrite_existing);
    const QStringList travel = {"--star",  "2000002", "--kind", "travel",
                                "--frame", "earth",   "--look", "save"};
    EXPECT_EQ(Run(travel), 1);
    EXPECT_EQ(output, "");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].Text,
              QString::fromStdString("the ephemeris file of star 2000002 cannot be read: " +
                                     pallas + " holds star 2000001"));

    errors.messages.clear();
    TestData::NvrFile cut = TestData::NvrFile::Daily(2000002, 2000, 2000);
    cut.Terminator = false;
    cut.Write(pallas);
    EXPECT_EQ(Run(travel), 0);
    EXPECT_EQ(output, Images("View Travel Earth.jpg") + "\tFile successfully saved\n");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].Text, "File cut short: 366 records");
}

TEST_F(ExportCommandTest, AYearChoiceMovesTheStartOfEveryChart) {
    EXPECT_EQ(Run({"--star", "2000001", "--year", "2001", "--kind", "travel", "--frame", "galactic",
                   "--look", "save"}),
              0);
    ASSERT_FALSE(renders.inputs.empty());
    const RenderInputs& save = renders.inputs.back();
    EXPECT_EQ(save.Caption, "Travel Galactic");
    EXPECT_EQ(save.Title.SelectedYear, 2001);
    EXPECT_EQ(*save.Title.SelectedStarName, "Ceres");
    ASSERT_TRUE(renders.starts.back());
    const RecordDate start = *renders.starts.back();
    EXPECT_EQ(start.Year, 2001);
    EXPECT_EQ(start.Month, 1);
    EXPECT_EQ(start.Day, 1);
}

TEST_F(ExportCommandTest, AYearBeforeTheFileStartsAtItsFirstRecordAndSaysSoInTheTitles) {
    EXPECT_EQ(Run({"--star", "2000001", "--year", "1950", "--kind", "travel", "--frame", "earth",
                   "--look", "save"}),
              0);
    for (std::size_t i = 0; i < renders.inputs.size(); ++i) {
        EXPECT_EQ(renders.inputs[i].Title.SelectedYear, 2000) << renders.captions[i].toStdString();
        ASSERT_TRUE(renders.starts[i]);
        EXPECT_EQ(renders.starts[i]->Year, 2000);
        EXPECT_EQ(renders.starts[i]->Day, 1);
    }
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(ExportCommandTest, OnlyTheMessagesOfTheFilesAskedForAreShown) {
    // From 2019 on the file has no record: the replay of chart preparation cannot cut its Years
    // charts, but only a Travel chart is asked for, and it is written.
    const int code = Run({"--star", "2000001", "--year", "2019", "--kind", "travel", "--frame",
                          "earth", "--look", "save"},
                         true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(output, Images("View Travel Earth.jpg") + "\tFile successfully saved\n");
    EXPECT_TRUE(errors.messages.empty());
    // Asked for, the Years chart's message is shown.
    EXPECT_EQ(Run({"--star", "2000001", "--year", "2019", "--kind", "years", "--frame", "earth",
                   "--look", "save"},
                  true),
              1);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].Text, kRenderFailureText);
}

TEST_F(ExportCommandTest, ACatalogueThatCannotBeReadIsNamedAsSuch) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "Nivra.db").c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "DROP TABLE [AllStars]", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(Run({"--star", "2000001"}), 1);
    EXPECT_EQ(output, "");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_TRUE(errors.messages[0].Text.startsWith(
        QString::fromStdString("The star list cannot be read from " + folder / "Nivra.db: ")))
        << errors.messages[0].Text.toStdString();
}

namespace {

struct ProcessRun {
    int exitCode;
    QString out;
};

ProcessRun NivraExport(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(NIVRA_EXECUTABLE, QStringList{"export"} + arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

}  // namespace

TEST(NivraExport, WritesFilesWithThePixelsOfTheRendersAndNeedsNoDisplay) {
    TestData::TempFolder folder;
    ChartFilesFolder::Make(folder.Path());
    const ProcessRun run =
        NivraExport({"--folder", QString::fromStdString(folder.Path()), "--star", "2000001",
                     "--year", "2001", "--kind", "constellations", "--format", "png"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.count('\n'), 8);
    EXPECT_TRUE(run.out.startsWith(QString::fromStdString(
        folder.Path() + "/Images/View Cnst Astro.png\tFile successfully saved\n")))
        << run.out.toStdString();

    // The same charts rendered here, as the window would after choosing Ceres and 2001.
    CurrentStar star(folder / "Datas");
    ASSERT_NE(star.MakeCurrentStar(ChartFilesFolder::kCeres), nullptr);
    star.SeekYear(2001);
    const FontTable fonts = CreateFontTable();
    PlotExtents extents;
    for (ChartLook look : {ChartLook::Save, ChartLook::Export}) {
        for (CoordinateFrame frame : kAllFrames) {
            const ChartCommand command =
                *DecodeChartCommand(ChartCommandId(look, ChartKind::Constellations, frame));
            RenderInputs inputs;
            inputs.Fonts = &fonts;
            inputs.Title = {"Ceres", 2001};
            inputs.Header = &star.Star()->Header();
            inputs.Colours = SaveColours(look);
            inputs.Caption = SaveCaption(ChartKind::Constellations, frame);
            inputs.Track = FrameTrack{star.Cursor(), frame};
            inputs.Extents = &extents;
            const std::optional<QImage> expected = RenderChart(ChartKind::Constellations, inputs);
            ASSERT_TRUE(expected);
            const QImage written =
                QImageReader(
                    QString::fromStdString(folder / ("Images/" + command.FileLabel + ".png")))
                    .read()
                    .convertToFormat(QImage::Format_RGB32);
            EXPECT_TRUE(written == expected->convertToFormat(QImage::Format_RGB32))
                << command.FileLabel;
        }
    }
}

TEST(NivraExport, ABadCommandLineExitsWithTwoAndTheUsage) {
    const ProcessRun run = NivraExport({"--star", "2000001", "--look", "sideways"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(NivraExport({"--help"}).out.contains("nivra export --star SPKID [--folder DIR]"));
}
