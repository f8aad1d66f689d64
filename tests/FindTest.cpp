// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QStringList>
#include <filesystem>
#include <random>

#include "data/Catalogue.h"
#include "data/FindText.h"
#include "data/StarFinder.h"
#include "tests/SubcommandRun.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

struct Body {
    SpkId Id;
    const char* FullName;
    int OrbitClass;
};

// Real SBDB full names (a few invented where a case needs one), each with its SPK-ID.
const Body kBodies[] = {
    {1000026, "2P/Encke", 16},
    {1000036, "1P/Halley", 15},
    {1000093, "6P/d'Arrest", 16},
    {1003060, "C/1995 O1 (Hale-Bopp)", 17},
    {2000001, "1 Ceres (A801 AA)", 1},
    {2000433, "433 Eros (A898 PA)", 5},
    {2001433, "1433 Geramtina (1937 UC)", 1},
    {2001663, "1663 van den Bos (1926 PE)", 1},
    {2002099, "2099 \xc3\x96pik (1977 VB)", 4},
    {2002312, "2312 Duboshin (1976 GU2)", 3},
    {2002413, "2413 van de Hulst (6816 P-L)", 1},
    {2002688, "2688 Halley (1982 HG1)", 1},
    {2002867, "2867 \xc5\xa0teins (1969 VC)", 1},
    {2004330, "4330 Vivaldi (1982 UQ7)", 1},
    {2004331, "4331 Hubbard (1983 HC)", 1},
    {2009876, "9876 Bosch (1990 AB)", 1},
    {2099942, "99942 Apophis (2004 MN4)", 7},
    {2613858, "613858 (2007 TA418)", 1},
    {3000001, "(6344 P-L)", 1},
    {3791234, "(2022 OU15)", 12},
};

StarFinder MakeFinder(bool keepFullNames = false) {
    StarFinder::Builder builder(keepFullNames);
    for (const Body& body : kBodies)
        builder.Add(body.Id, body.FullName, body.OrbitClass);
    return builder.Finish();
}

using Match = StarFinder::Match;

}  // namespace

// The parts of SBDB's full names, and texts folded for finding.
TEST(FindText, FullNamesSplitIntoNumberNameAndDesignationAndTextsFoldAlike) {
    struct Split {
        const char* FullName;
        const char* Number;
        const char* Name;
        const char* Designation;
    };
    const Split splits[] = {
        {"433 Eros (A898 PA)", "433", "Eros", "A898 PA"},
        {"  1663 van den Bos (1926 PE) ", "1663", "van den Bos", "1926 PE"},
        {"613858 (2007 TA418)", "613858", "", "2007 TA418"},
        {"134340 Pluto", "134340", "Pluto", ""},
        {"(2022 OU15)", "", "", "2022 OU15"},
        {"(6344 P-L)", "", "", "6344 P-L"},
        {"1P/Halley", "", "Halley", "1P"},
        {"6P/d'Arrest", "", "d'Arrest", "6P"},
        {"1I/'Oumuamua (A/2017 U1)", "", "'Oumuamua", "1I"},
        {"C/1995 O1 (Hale-Bopp)", "", "Hale-Bopp", "C/1995 O1"},
        {"D/1993 F2-A (Shoemaker-Levy 9)", "", "Shoemaker-Levy 9", "D/1993 F2-A"},
        {"P/2019 LD2", "", "", "P/2019 LD2"},
        {"Ceres", "", "Ceres", ""},
        {"1999 RQ36", "1999", "RQ36", ""},  // no brackets: read as a number and a name
        {"", "", "", ""},
    };
    for (const Split& split : splits) {
        const FullNameParts parts = SplitFullName(split.FullName);
        EXPECT_EQ(parts.Number, split.Number) << split.FullName;
        EXPECT_EQ(parts.Name, split.Name) << split.FullName;
        EXPECT_EQ(parts.Designation, split.Designation) << split.FullName;
    }

    const std::pair<const char*, const char*> folds[] = {
        {"van de Hulst", "vandehulst"},
        {"6P/d'Arrest", "6pdarrest"},
        {"D\xe2\x80\x99"
         "Arrest",
         "darrest"},               // a typographic apostrophe
        {"\xc3\x96pik", "opik"},   // precomposed
        {"O\xcc\x88pik", "opik"},  // a combining mark
        {"\xc5\xa0TEINS", "steins"},
        {"Stra\xc3\x9f"
         "e \xc3\x86gir \xc3\x98rsted \xc5\x81\xc3\xb3"
         "d\xc5\xba",
         "strasseaegirorstedlodz"},
        {"x\xc2\xb2", "x2"},
        {"(2004 MN4)", "2004mn4"},
        {"\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1", "\xce\xb1\xce\xb8\xce\xb7\xce\xbd\xce\xb1"},
        {" -/'() ", ""},
    };
    for (const auto& [text, folded] : folds)
        EXPECT_EQ(FoldedForFinding(text), folded) << text;
}

// What each text finds, best first, and how many bodies match it in all.
TEST(StarFinder, FindsByNumberSpkIdDesignationAndNameWhateverTheCaseAccentsAndBlanks) {
    const StarFinder finder = MakeFinder();
    struct Case {
        const char* Text;
        std::vector<std::pair<SpkId, Match>> First;  // the first matches, in order
        std::size_t Count;
    };
    const Case cases[] = {
        // Numbers: the number itself, then the numbers and names that start with it, then
        // those that hold it.
        {"433",
         {{2000433, Match::Exact},
          {2004330, Match::Prefix},
          {2004331, Match::Prefix},
          {2001433, Match::Contains}},
         4},
        {"(433)", {{2000433, Match::Exact}}, 4},
        {"99942", {{2099942, Match::Exact}}, 1},
        {"613858", {{2613858, Match::Exact}}, 1},
        // SPK-IDs, which the names do not hold.
        {"2000433", {{2000433, Match::Exact}}, 1},
        {"2099942", {{2099942, Match::Exact}}, 1},
        {"1000036", {{1000036, Match::Exact}}, 1},
        // Designations, with and without the blank, in any case.
        {"2004 MN4", {{2099942, Match::Exact}}, 1},
        {"2004mn4", {{2099942, Match::Exact}}, 1},
        {"2004 mn", {{2099942, Match::Prefix}}, 1},
        {"(2022 OU15)", {{3791234, Match::Exact}}, 1},
        {"2022ou15", {{3791234, Match::Exact}}, 1},
        {"6344 P-L", {{3000001, Match::Exact}}, 1},
        {"6344PL", {{3000001, Match::Exact}}, 1},
        {"6816 p-l", {{2002413, Match::Exact}}, 1},
        {"a898 pa", {{2000433, Match::Exact}}, 1},
        // Names: whole, starting, held; with accents, apostrophes and blanks typed or not.
        {"Apophis", {{2099942, Match::Exact}}, 1},
        {"APOPH", {{2099942, Match::Prefix}}, 1},
        {"pophis", {{2099942, Match::Contains}}, 1},
        {"apophis 2004", {{2099942, Match::Prefix}}, 1},
        {"99942 Apophis (2004 MN4)", {{2099942, Match::Exact}}, 1},
        {"hulst", {{2002413, Match::Contains}}, 1},
        {"van de hulst", {{2002413, Match::Exact}}, 1},
        {"VandeHulst", {{2002413, Match::Exact}}, 1},
        {"van de", {{2001663, Match::Prefix}, {2002413, Match::Prefix}}, 2},
        {"bos",
         {{2009876, Match::Prefix}, {2001663, Match::Contains}, {2002312, Match::Contains}},
         3},
        {"van den Bos", {{2001663, Match::Exact}}, 1},
        {"opik", {{2002099, Match::Exact}}, 1},
        {"\xc3\x96PIK", {{2002099, Match::Exact}}, 1},
        {"Steins", {{2002867, Match::Exact}}, 1},
        {"\xc5\xa0tein", {{2002867, Match::Prefix}}, 1},
        {"d'Arrest", {{1000093, Match::Exact}}, 1},
        {"darrest", {{1000093, Match::Exact}}, 1},
        {"D\xe2\x80\x99"
         "arr",
         {{1000093, Match::Prefix}},
         1},
        // Comets by designation or name; a name two bodies share, the comet first (its SPK-ID
        // is lower).
        {"1P", {{1000036, Match::Exact}}, 1},
        {"2P/Encke", {{1000026, Match::Exact}}, 1},
        {"2p encke", {{1000026, Match::Exact}}, 1},
        {"encke", {{1000026, Match::Exact}}, 1},
        {"halley", {{1000036, Match::Exact}, {2002688, Match::Exact}}, 2},
        {"Hale-Bopp", {{1003060, Match::Exact}}, 1},
        {"hale bopp", {{1003060, Match::Exact}}, 1},
        {"C/1995 O1", {{1003060, Match::Exact}}, 1},
        {"c 1995", {{1003060, Match::Prefix}}, 1},
        // No match.
        {"xyzzy", {}, 0},
        {"2004 MN5", {}, 0},
        {"4294967296", {}, 0},  // more than an SPK-ID can be
        {" - '/ ", {}, 0},      // nothing to find
        {"", {}, 0},
    };
    for (const Case& c : cases) {
        const StarFinder::Result result = finder.Find(c.Text, 10);
        EXPECT_EQ(result.Count, c.Count) << c.Text;
        ASSERT_GE(result.Best.size(), c.First.size()) << c.Text;
        for (std::size_t i = 0; i < c.First.size(); ++i) {
            EXPECT_EQ(finder.Id(result.Best[i].Row), c.First[i].first) << c.Text << " #" << i;
            EXPECT_EQ(result.Best[i].How, c.First[i].second) << c.Text << " #" << i;
        }
    }
    const auto ids = [&](const StarFinder::Result& result) {
        std::vector<SpkId> found;
        for (const StarFinder::Found& match : result.Best)
            found.push_back(finder.Id(match.Row));
        return found;
    };
    // At most the limit asked, the count of all the same.
    const StarFinder::Result limited = finder.Find("a", 3);
    const std::vector<SpkId> all = ids(finder.Find("a", 100));
    EXPECT_EQ(limited.Best.size(), 3u);
    EXPECT_EQ(limited.Count, all.size());
    EXPECT_EQ(ids(limited), std::vector<SpkId>(all.begin(), all.begin() + 3));
    EXPECT_TRUE(finder.Find("433", 0).Best.empty());
}

TEST(StarFinder, KeepsBodiesInSpkIdOrderWhateverTheOrderTheyCameIn) {
    StarFinder::Builder builder(true);
    for (auto body = std::rbegin(kBodies); body != std::rend(kBodies); ++body)
        builder.Add(body->Id, body->FullName, body->OrbitClass);
    const StarFinder finder = builder.Finish();
    ASSERT_EQ(finder.Size(), std::size(kBodies));
    for (std::uint32_t row = 0; row < finder.Size(); ++row) {
        EXPECT_EQ(finder.Id(row), kBodies[row].Id);
        EXPECT_EQ(finder.FullName(row), std::string_view(kBodies[row].FullName));
        EXPECT_EQ(finder.OrbitClass(row), kBodies[row].OrbitClass);
    }
    const StarFinder::Result eros = finder.Find("eros", 5);
    ASSERT_EQ(eros.Best.size(), 1u);
    EXPECT_EQ(finder.Id(eros.Best[0].Row), 2000433u);
    EXPECT_TRUE(MakeFinder(false).FullName(0).empty());  // kept only when asked
}

// A text typed letter by letter, with deletions and a text pasted over it, finds what it finds
// on its own: the bodies kept from the last find hold every body of the next.
TEST(StarFinder, TypingFindsWhatEachTextFindsOnItsOwn) {
    StarFinder::Builder builder;
    std::mt19937 random(7);
    const char* names[] = {"Ceres", "Eros", "Apophis", "van de Hulst", "Bennu", "Ryugu"};
    for (SpkId i = 1; i <= 5000; ++i) {
        const std::string name =
            std::to_string(i) + " " + names[random() % std::size(names)] + " (" +
            std::to_string(1990 + random() % 30) + " " + static_cast<char>('A' + random() % 26) +
            static_cast<char>('A' + random() % 26) + std::to_string(random() % 300) + ")";
        builder.Add(2000000 + i, name, static_cast<int>(i % 5));
    }
    const StarFinder finder = builder.Finish();
    StarFinder::Typing typing(finder);
    const std::vector<std::string> texts = {
        "1",   "12",       "123",    "1234",   "123", "12",    "1",     "",   "e",
        "er",  "ero",      "eros",   "eros 1", "apo", "apoph", "2004",  "20", "2000433",
        "200", "van de h", "vandeh", "x",      "xq",  "r",     "ryugu", "u"};
    for (const std::string& text : texts) {
        const StarFinder::Result typed = typing.Find(text, 12);
        const StarFinder::Result alone = finder.Find(text, 12);
        EXPECT_EQ(typed.Count, alone.Count) << text;
        ASSERT_EQ(typed.Best.size(), alone.Best.size()) << text;
        for (std::size_t i = 0; i < typed.Best.size(); ++i) {
            EXPECT_EQ(typed.Best[i].Row, alone.Best[i].Row) << text << " #" << i;
            EXPECT_EQ(typed.Best[i].How, alone.Best[i].How) << text << " #" << i;
        }
    }
}

namespace {

// A program folder whose catalogue holds `bodies` with their full names (as nivra-data writes
// them) and an ephemeris file for each of `withFiles`.
void MakeFolderWithFullNames(const std::string& folder, const std::vector<SpkId>& withFiles) {
    std::vector<TestData::Star> stars;
    for (const Body& body : kBodies) {
        TestData::Star star;
        star.Id = body.Id;
        star.Name = "name of " + std::to_string(body.Id);
        star.OrbiteType = body.OrbitClass;
        stars.push_back(star);
    }
    std::vector<TestData::NvrFile> files;
    for (const SpkId id : withFiles)
        files.push_back(TestData::NvrFile::Daily(id, 2001, 2001));
    TestData::MakeProgramFolder(folder,
                                {{1, "Main-belt Asteroid"},
                                 {5, "Amor"},
                                 {7, "Aten"},
                                 {15, "Halley-type Comet"},
                                 {16, "Encke-type Comet"}},
                                stars, files);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder + "/Nivra.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "ALTER TABLE [AllStars] ADD COLUMN [FullName] TEXT", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE [AllStars] SET [FullName] = ?1 WHERE [SpkId] = ?2", -1, &update,
                       nullptr);
    for (const Body& body : kBodies) {
        sqlite3_bind_text(update, 1, body.FullName, -1, SQLITE_STATIC);
        sqlite3_bind_int64(update, 2, body.Id);
        sqlite3_step(update);
        sqlite3_reset(update);
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}

}  // namespace

// The index reads the full names, or the names where a catalogue has none (an older catalogue
// without the column, or a row whose full name is empty); a catalogue without stars gives none.
TEST(StarFinder, ReadsFullNamesOrElseNamesFromTheCatalogue) {
    TempFolder folder;
    MakeFolderWithFullNames(folder.Path(), {});
    sqlite3* db = nullptr;
    sqlite3_open((folder / "Nivra.db").c_str(), &db);
    sqlite3_exec(db, "UPDATE [AllStars] SET [FullName] = '' WHERE [SpkId] = 2000001", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
    std::string error;
    std::unique_ptr<Catalogue> catalogue =
        Catalogue::Open(folder / "Nivra.db", error, Catalogue::Access::ReadOnly);
    ASSERT_TRUE(catalogue) << error;
    std::optional<StarFinder> finder = ReadStarFinder(*catalogue, true);
    ASSERT_TRUE(finder);
    EXPECT_EQ(finder->Size(), std::size(kBodies));
    EXPECT_EQ(finder->Find("Apophis", 5).Count, 1u);
    EXPECT_EQ(finder->Find("name of 2000001", 5).Count, 1u);
    EXPECT_EQ(finder->Find("Ceres", 5).Count, 0u);

    TempFolder older;
    TestData::Star star;
    star.Id = 2000001;
    star.Name = "Ceres";
    TestData::MakeProgramFolder(older.Path(), {{1, "Main-belt Asteroid"}}, {star}, {});
    catalogue = Catalogue::Open(older / "Nivra.db", error, Catalogue::Access::ReadOnly);
    finder = ReadStarFinder(*catalogue, true);
    ASSERT_TRUE(finder);
    ASSERT_EQ(finder->Find("ceres", 5).Best.size(), 1u);
    EXPECT_EQ(finder->FullName(0), "Ceres");

    sqlite3_open((older / "Nivra.db").c_str(), &db);
    sqlite3_exec(db, "DROP TABLE [AllStars]", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    catalogue = Catalogue::Open(older / "Nivra.db", error, Catalogue::Access::ReadOnly);
    EXPECT_FALSE(ReadStarFinder(*catalogue, true));
}

// `nivra find` prints every match, best first, without a display; exit 0 with matches, 1
// without, 2 for a bad command line.
TEST(FindCommand, PrintsTheMatchesOneLineEach) {
    TempFolder folder;
    MakeFolderWithFullNames(folder.Path(), {2002688});
    const QString path = QString::fromStdString(folder.Path());

    SubcommandRun run = RunNivraWithoutDisplay({"find", "--folder", path, "halley"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out.toStdString(),
              "1000036\t1P/Halley\tHalley-type Comet\tno file\n"
              "2002688\t2688 Halley (1982 HG1)\tMain-belt Asteroid\tfile\n");
    // The words of a text need no quotes; an option may follow them.
    run = RunNivraWithoutDisplay({"find", "2004", "MN4", "--folder=" + path});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out.toStdString(), "2099942\t99942 Apophis (2004 MN4)\tAten\tno file\n");
    run = RunNivraWithoutDisplay({"find", "--folder", path, "--", "(6344 P-L)"});
    EXPECT_EQ(run.Out.toStdString(), "3000001\t(6344 P-L)\tMain-belt Asteroid\tno file\n");
    // A class the catalogue does not name is given by its code.
    run = RunNivraWithoutDisplay({"find", "--folder", path, "(2022 OU15)"});
    EXPECT_EQ(run.Out.toStdString(), "3791234\t(2022 OU15)\tclass 12\tno file\n");
    run = RunNivraWithoutDisplay({"find", "--folder", path, "433"});
    EXPECT_EQ(run.Out.count('\n'), 4);
    EXPECT_TRUE(run.Out.startsWith("2000433\t433 Eros (A898 PA)\tAmor\tno file\n"));

    run = RunNivraWithoutDisplay({"find", "--folder", path, "xyzzy"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    run = RunNivraWithoutDisplay({"find", "--folder", path});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains("a TEXT to find is needed")) << run.Err.toStdString();
    run = RunNivraWithoutDisplay({"find", "--folder", path, "--star", "1", "eros"});
    EXPECT_EQ(run.ExitCode, 2);
    run = RunNivraWithoutDisplay({"find", "--folder", path, "'()"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains("\"'()\" holds no letter or digit to find"))
        << run.Err.toStdString();
    TempFolder empty;
    run = RunNivraWithoutDisplay({"find", "--folder", QString::fromStdString(empty.Path()), "x"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains("There is no catalogue")) << run.Err.toStdString();
    EXPECT_FALSE(std::filesystem::exists(empty / "Nivra.db"));
    sqlite3* db = nullptr;
    sqlite3_open((folder / "Nivra.db").c_str(), &db);
    sqlite3_exec(db, "DROP TABLE [AllStars]", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    run = RunNivraWithoutDisplay({"find", "--folder", path, "eros"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains("The bodies cannot be read from")) << run.Err.toStdString();
}
