#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>

#include "app/Imaging.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/StarFile.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

ToolRun NivraData(const QStringList& arguments) {
    QProcess process;
    process.start(NIVRA_DATA_EXECUTABLE, arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

}  // namespace

TEST(NivraData, SampleBuildsACompleteProgramFolder) {
    TempFolder folder;
    const std::string sample = folder / "sample";
    const ToolRun run = NivraData({"sample", QString::fromStdString(sample)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("3808 stars in the catalogue, 40 ephemeris files"), std::string::npos)
        << run.out;

    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(sample + "/Datas")) {
        EXPECT_EQ(entry.path().extension(), ".Nvr");
        ++files;
    }
    EXPECT_EQ(files, 40);
    EXPECT_TRUE(std::filesystem::is_directory(sample + "/Images"));
    EXPECT_TRUE(std::filesystem::is_empty(sample + "/Images"));
    for (const char* picture : {"/Configuration/Background.jpg", "/Configuration/BckAbout.jpg"}) {
        Imaging::LoadedImage image;
        EXPECT_EQ(Imaging::LoadJpeg(QString::fromStdString(sample + picture), image), 0) << picture;
        EXPECT_GT(image.Width, 300);
    }

    std::string error;
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(sample + "/Nivra.db", error);
    ASSERT_TRUE(catalogue);
    const auto list = QueryStarList(*catalogue);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 40u);
    const auto trojans = QueryStarChoices(*catalogue, 9);
    ASSERT_TRUE(trojans);
    EXPECT_EQ(trojans->size(), 5u);
    std::optional<StarFile> ceres = LoadStarFile(StarFilePath(sample + "/Datas", 2000001));
    ASSERT_TRUE(ceres);
    EXPECT_EQ(ceres->Header().FirstYear, 2000);
    EXPECT_EQ(ceres->Header().LastYear, 2019);
    int records = 0;
    for (EphemerisRecord record : ceres->FirstRecord()) {
        (void)record;
        ++records;
    }
    EXPECT_EQ(records, 7305);
}

TEST(NivraData, CatalogueCommandReportsBadFilesAndReplacesTheOldCatalogue) {
    TempFolder folder;
    const std::string out = folder / "Nivra.db";
    std::ofstream(folder / "good.json")
        << R"js({"fields":["full_name","e","q","i","om","w","ma","epoch_mjd","class"],
        "data":[["  1 Ceres (A801 AA)",".0786","2.549","10.59","80.27","73.53","334.33","59800","MBA"],
                ["  2 Pallas (A802 FA)",null,"2.13","34.9","172.9","310.8","315.1","59800","MBA"]]})js";
    std::ofstream(folder / "bad.json") << "<html>not found</html>";
    std::ofstream(out) << "old";
    ToolRun run = NivraData({"catalogue", "--out", QString::fromStdString(out),
                             QString::fromStdString(folder / "good.json"),
                             QString::fromStdString(folder / "bad.json")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("good.json: 2 Pallas (A802 FA): missing e; not loaded"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("bad.json: not JSON"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("1 stars"), std::string::npos) << run.out;
    std::string error;
    std::unique_ptr<Catalogue> catalogue = Catalogue::Open(out, error);
    ASSERT_TRUE(catalogue);
    EXPECT_EQ(QueryStarChoices(*catalogue, 0)->size(), 1u);

    run = NivraData({"ephemeris", "--catalogue", QString::fromStdString(out), "--out",
                     QString::fromStdString(folder / "Datas"), "--from", "1800"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--from takes a year from 1900 to 2100"), std::string::npos);
    run = NivraData({"frobnicate"});
    EXPECT_EQ(run.exitCode, 2);
}
