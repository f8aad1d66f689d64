// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueStatements.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;
namespace S = CatalogueStatements;

TEST(CatalogueStatements, TextsAreExact) {
    EXPECT_EQ(S::OrbitClassQuery(), "SELECT [Index],[Name] FROM [Orbites] ORDER BY [Name]");

    const std::string head =
        "SELECT [SpkId],[Name],[OrbiteType],[OrbiteTypeNeo],[OrbiteTypePha],[DatasForIt] FROM "
        "[AllStars] ";
    EXPECT_EQ(S::StarChoiceQuery(0), head);
    EXPECT_EQ(S::StarChoiceQuery(19), head + " WHERE ([OrbiteTypeNeo] = 1) ORDER BY [SpkId]");
    EXPECT_EQ(S::StarChoiceQuery(25), head + " WHERE ([OrbiteTypePha] = 1) ORDER BY [SpkId]");
    EXPECT_EQ(S::StarChoiceQuery(7),
              head + " WHERE ([DatasForIt] = 1) AND ([OrbiteType] = 7) ORDER BY [SpkId]");
    EXPECT_EQ(S::StarChoiceQuery(-1),
              head + " WHERE ([DatasForIt] = 1) AND ([OrbiteType] = -1) ORDER BY [SpkId]");
    EXPECT_NE(S::StarChoiceQuery(19).find("[AllStars]  WHERE"), std::string::npos);

    EXPECT_EQ(S::StarInfoQuery(2000001),
              "SELECT [Eccentricity],[SemiMajorAxis],[PerihelionDistance],[Inclination],"
              "[AscendingNodeLongitude],[ArgumentPerihelion],[MeanAnomaly],[OrbitalPeriod],"
              "[MeanMotion],[ApelionDistance],[EarthMOID],[AbsoluteMagnitude],[Diameter],"
              "[RotationPeriod],[GeometricAlbedo],[SpkId] FROM [AllStars] WHERE [SpkId] = 2000001");
    EXPECT_EQ(S::OrbitElementsQuery(4294967295u),
              "SELECT [SpkId],[Eccentricity],[SemiMajorAxis],[PerihelionDistance],[Inclination],"
              "[AscendingNodeLongitude],[ArgumentPerihelion],[MeanAnomaly],[ApelionDistance] "
              "FROM [AllStars] WHERE [SpkId] = 4294967295");
    EXPECT_EQ(S::PerihelionQuery(2147483648u),
              "SELECT [SpkId],[DatasForIt],[TimePerihelionPassage],[OrbitalPeriod] FROM "
              "[AllStars] WHERE [SpkId] = 2147483648 AND [DatasForIt] = 1");

    const std::string list = S::StarListQuery();
    EXPECT_EQ(list.size(), 713u);
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 20);
    EXPECT_EQ(list.rfind("SELECT [AllStars].[DatasForIt],\n  [Orbites].[Name] AS [Orbite],\n", 0),
              0u);
    EXPECT_NE(list.find("\n  [AllStars].[GeometricAlbedo]\nFROM [AllStars] INNER JOIN [Orbites] ON "
                        "[AllStars].[OrbiteType] = [Orbites].[Index] WHERE [AllStars].[DatasForIt] "
                        "= 1 ORDER BY [AllStars].[SpkId]\n"),
              std::string::npos);
    EXPECT_EQ(list.back(), '\n');
}

namespace {

struct CatalogueTest : ::testing::Test {
    TempFolder folder;
    std::string path = folder / "Nivra.db";
    std::unique_ptr<Catalogue> catalogue;

    void Open() {
        std::string error;
        catalogue = Catalogue::Open(path, error);
        ASSERT_TRUE(catalogue) << error;
    }
    bool NoStatementOpen() const {
        return sqlite3_next_stmt(catalogue->Handle(), nullptr) == nullptr;
    }

    static TestData::Star Star(std::uint32_t id, std::string name, int type, int datas = 1) {
        TestData::Star star;
        star.Id = id;
        star.Name = std::move(name);
        star.OrbiteType = type;
        star.DatasForIt = datas;
        return star;
    }

    void WriteSample() {
        TestData::Star eros = Star(2000433, "433 Eros (A898 PA)", 3);
        eros.OrbiteTypeNeo = 1;
        TestData::Star apophis = Star(2099942, "99942 Apophis (2004 MN4)", 4, 0);
        apophis.OrbiteTypeNeo = 1;
        apophis.OrbiteTypePha = 1;
        apophis.Eccentricity = 0.191;
        apophis.TimePerihelionPassage = 2459923.5;
        TestData::Star high = Star(4294967295u, "Highest", 2);
        TestData::WriteCatalogue(
            path,
            {{0, "All"},
             {2, "Main-belt Asteroid"},
             {3, "Amor"},
             {4, "Apollo"},
             {19, "Near-Earth Object"}},
            {Star(2000002, "2 Pallas (A802 FA)", 2), eros, Star(2000001, "1 Ceres (A801 AA)", 2),
             apophis, Star(2000010, "10 Hygiea", 2, 0), high});
    }
};

}  // namespace

TEST_F(CatalogueTest, ListQueriesFollowTheirClassRules) {
    WriteSample();
    Open();
    auto classes = QueryOrbitClasses(*catalogue);
    ASSERT_TRUE(classes);
    std::vector<std::string> names;
    for (const auto& c : *classes)
        names.push_back(c.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"All", "Amor", "Apollo", "Main-belt Asteroid",
                                               "Near-Earth Object"}));
    EXPECT_EQ((*classes)[3].Index, 2);
    EXPECT_TRUE(NoStatementOpen());

    auto ids = [&](int code) {
        std::vector<SpkId> result;
        const auto rows = QueryStarChoices(*catalogue, code);
        for (const auto& row : *rows)
            result.push_back(row.Id);
        return result;
    };
    // Code 0: every row in the catalogue's own order, with or without data.
    EXPECT_EQ(ids(0),
              (std::vector<SpkId>{2000002, 2000433, 2000001, 2099942, 2000010, 4294967295u}));
    // 19 and 25 ignore [DatasForIt]; other codes need it, ordered by SpkId.
    EXPECT_EQ(ids(19), (std::vector<SpkId>{2000433, 2099942}));
    EXPECT_EQ(ids(25), (std::vector<SpkId>{2099942}));
    EXPECT_EQ(ids(2), (std::vector<SpkId>{2000001, 2000002, 4294967295u}));
    EXPECT_EQ(ids(4), std::vector<SpkId>{});
    EXPECT_EQ(ids(-1), std::vector<SpkId>{});
    EXPECT_EQ((*QueryStarChoices(*catalogue, 3))[0].Name, "433 Eros (A898 PA)");

    auto list = QueryStarList(*catalogue);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 4u);
    EXPECT_EQ((*list)[0].Id, 2000001u);
    EXPECT_EQ((*list)[0].Orbite, "Main-belt Asteroid");
    EXPECT_EQ((*list)[0].Name, "1 Ceres (A801 AA)");
    EXPECT_DOUBLE_EQ((*list)[0].Values.Eccentricity, 0.0785);
    EXPECT_DOUBLE_EQ((*list)[0].GeometricAlbedo, 0.09);
    EXPECT_DOUBLE_EQ((*list)[0].Values.RotationPeriod, 9.07);
    EXPECT_EQ((*list)[2].Orbite, "Amor");
    EXPECT_EQ((*list)[3].Id, 4294967295u);
    EXPECT_TRUE(NoStatementOpen());
}

TEST_F(CatalogueTest, LookupsReadTheirColumnsInOrder) {
    WriteSample();
    Open();
    auto info = QueryStarInfo(*catalogue, 2099942);
    ASSERT_TRUE(info);
    EXPECT_DOUBLE_EQ(info->Eccentricity, 0.191);
    EXPECT_DOUBLE_EQ(info->SemiMajorAxis, 2.766);
    EXPECT_DOUBLE_EQ(info->MeanMotion, 0.2142);
    EXPECT_DOUBLE_EQ(info->ApelionDistance, 2.983);
    EXPECT_DOUBLE_EQ(info->RotationPeriod, 9.07);

    auto elements = QueryOrbitElements(*catalogue, 4294967295u);
    ASSERT_TRUE(elements);
    EXPECT_EQ(elements->Id, 4294967295u);
    EXPECT_DOUBLE_EQ(elements->PerihelionDistance, 2.549);
    EXPECT_DOUBLE_EQ(elements->MeanAnomaly, 291.4);
    EXPECT_DOUBLE_EQ(elements->ApelionDistance, 2.983);

    auto perihelion = QueryPerihelion(*catalogue, 2000001);
    ASSERT_TRUE(perihelion);
    EXPECT_DOUBLE_EQ(perihelion->TimePerihelionPassage, 2459999.5);
    EXPECT_DOUBLE_EQ(perihelion->OrbitalPeriod, 1680.5);
    // Without ephemeris data a star has no perihelion row.
    EXPECT_FALSE(QueryPerihelion(*catalogue, 2099942));
    EXPECT_FALSE(QueryStarInfo(*catalogue, 12345));
    EXPECT_TRUE(NoStatementOpen());
}

TEST_F(CatalogueTest, NoStatementStaysOpenWhateverHappens) {
    WriteSample();
    Open();
    for (int i = 0; i < 50; ++i) {
        EXPECT_FALSE(QueryOrbitElements(*catalogue, 777));  // no row
    }
    EXPECT_TRUE(NoStatementOpen());
    EXPECT_EQ(catalogue->Run("SELECT nonsense FROM nowhere", StatementShape::List,
                             [](const CatalogueRow&) {}),
              -1);
    EXPECT_EQ(catalogue->Run("", StatementShape::Lookup, [](const CatalogueRow&) {}), -1);
    EXPECT_TRUE(NoStatementOpen());
    // A reader that gives up half-way still leaves the statement finalised.
    EXPECT_THROW(catalogue->Run(S::StarChoiceQuery(0), StatementShape::List,
                                [](const CatalogueRow&) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    EXPECT_TRUE(NoStatementOpen());
}

TEST_F(CatalogueTest, AMissingCatalogueIsAnEmptyDatabaseWithEmptyResults) {
    Open();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(QueryOrbitClasses(*catalogue));
    EXPECT_FALSE(QueryStarChoices(*catalogue, 0));
    EXPECT_FALSE(QueryStarList(*catalogue));
    EXPECT_FALSE(QueryStarInfo(*catalogue, 2000001));
    EXPECT_FALSE(QueryOrbitElements(*catalogue, 2000001));
    EXPECT_FALSE(QueryPerihelion(*catalogue, 2000001));
    EXPECT_TRUE(NoStatementOpen());
}

TEST_F(CatalogueTest, OpenFailureNamesTheLibraryErrorAndThePath) {
    std::filesystem::create_directory(path);
    std::string error;
    EXPECT_FALSE(Catalogue::Open(path, error));
    EXPECT_EQ(error, "unable to open database file : " + path);
}

TEST_F(CatalogueTest, RowsWhoseSpkIdIsNoSpkIdAreLeftOutOfTheLists) {
    WriteSample();
    Open();
    // Cut to 32 bits, 4296967297 would be Ceres (2000001) and -2000002 would be 4292967294.
    ASSERT_EQ(sqlite3_exec(catalogue->Handle(),
                           "UPDATE [AllStars] SET [SpkId] = 4296967297 WHERE [SpkId] = 2000002;"
                           "UPDATE [AllStars] SET [SpkId] = -2000002 WHERE [SpkId] = 2000433;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const auto list = QueryStarList(*catalogue);
    ASSERT_TRUE(list);
    std::vector<SpkId> listed;
    for (const StarListRow& row : *list)
        listed.push_back(row.Id);
    EXPECT_EQ(listed, (std::vector<SpkId>{2000001, 4294967295u}));
    const auto choices = QueryStarChoices(*catalogue, 0);
    ASSERT_TRUE(choices);
    std::vector<SpkId> offered;
    for (const StarChoiceRow& row : *choices)
        offered.push_back(row.Id);
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<SpkId>{2000001, 2000010, 2099942, 4294967295u}));
}

TEST_F(CatalogueTest, AFileThatIsNotADatabaseFailsAtOpenButAnEmptyFileIsAnEmptyDatabase) {
    {
        std::ofstream(path, std::ios::binary) << std::string(8192, 'x');
    }
    std::string error;
    EXPECT_FALSE(Catalogue::Open(path, error));
    EXPECT_EQ(error, "file is not a database : " + path);

    std::filesystem::resize_file(path, 0);
    Open();
    EXPECT_FALSE(QueryStarList(*catalogue));
    EXPECT_TRUE(catalogue->LastRunFailed());  // no such table
}

TEST_F(CatalogueTest, ARunThatStopsOnADamagedPageIsTold) {
    std::vector<TestData::Star> stars;
    for (std::uint32_t i = 0; i < 3000; ++i)
        stars.push_back(Star(2000001 + i, "star " + std::string(150, 'a' + i % 26), 2));
    TestData::WriteCatalogue(path, {{2, "Main-belt Asteroid"}}, stars);
    Open();
    const auto whole = QueryStarList(*catalogue);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), 3000u);
    EXPECT_FALSE(catalogue->LastRunFailed());
    catalogue.reset();

    // Zero a page in the middle of the table: the schema on page 1 still reads.
    const auto size = std::filesystem::file_size(path);
    {
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>(size / 2 / 4096 * 4096));
        file << std::string(4096, '\0');
    }
    Open();
    const auto part = QueryStarList(*catalogue);
    EXPECT_TRUE(catalogue->LastRunFailed());
    EXPECT_LT(part ? part->size() : 0u, 3000u);
    EXPECT_FALSE(catalogue->ErrorText().empty());
    EXPECT_TRUE(NoStatementOpen());
}

TEST_F(CatalogueTest, NullTextsReadAsEmptyAndATextEndsAtAZeroByte) {
    TestData::WriteCatalogue(path, {}, {});
    Open();
    sqlite3_exec(catalogue->Handle(),
                 "INSERT INTO [Orbites] VALUES (5, NULL); "
                 "INSERT INTO [Orbites] VALUES (6, 'Apollo' || char(0) || 'hidden')",
                 nullptr, nullptr, nullptr);
    auto classes = QueryOrbitClasses(*catalogue);
    ASSERT_TRUE(classes);
    ASSERT_EQ(classes->size(), 2u);
    EXPECT_EQ((*classes)[0].Name, "");
    EXPECT_EQ((*classes)[1].Name, "Apollo");
}
