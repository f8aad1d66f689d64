// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/CurrentStar.h"
#include "tests/support/TestData.h"

using TestData::NvrFile;
using TestData::TempFolder;

namespace {

struct CurrentStarTest : ::testing::Test {
    TempFolder folder;
    std::string datas = folder / "Datas";
    CurrentStarTest() { std::filesystem::create_directory(datas); }
    void Put(const NvrFile& file) { file.Write(StarFilePath(datas, file.Id)); }
};

}  // namespace

TEST_F(CurrentStarTest, NoStarBeforeTheFirstChoice) {
    CurrentStar current(datas);
    EXPECT_EQ(current.Star(), nullptr);
    EXPECT_TRUE(current.Cursor().AtEnd());
    current.SeekYear(2000);  // harmless without a star
    EXPECT_TRUE(current.Cursor().AtEnd());
}

TEST_F(CurrentStarTest, ALoadPutsTheCursorOnTheFirstRecordAndRunsTheRefreshHook) {
    Put(NvrFile::Daily(2000001, 2001, 2003));
    CurrentStar current(datas);
    std::vector<SpkId> refreshed;
    current.SetRefreshHook([&](const StarFile& star) { refreshed.push_back(star.Header().Id); });

    const StarFile* star = current.MakeCurrentStar(2000001);
    ASSERT_NE(star, nullptr);
    EXPECT_EQ(current.Star(), star);
    EXPECT_EQ(current.Cursor().Position(), star->FirstRecord().Position());
    EXPECT_EQ(current.Cursor().Record()->Year(), 2001);
    EXPECT_EQ(refreshed, std::vector<SpkId>{2000001});
}

TEST_F(CurrentStarTest, AFailedLoadKeepsThePreviousStarAndCursor) {
    Put(NvrFile::Daily(2000001, 2001, 2003));
    std::ofstream(StarFilePath(datas, 2000002)).close();  // an empty file
    CurrentStar current(datas);
    int refreshes = 0;
    current.SetRefreshHook([&](const StarFile&) { ++refreshes; });
    ASSERT_NE(current.MakeCurrentStar(2000001), nullptr);
    current.SeekYear(2002);
    const std::byte* cursor = current.Cursor().Position();

    EXPECT_EQ(current.MakeCurrentStar(2000002), nullptr);  // empty
    EXPECT_EQ(current.MakeCurrentStar(2000003), nullptr);  // missing
    EXPECT_EQ(current.Star()->Header().Id, 2000001u);
    EXPECT_EQ(current.Cursor().Position(), cursor);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(CurrentStarTest, ANewStarReplacesTheOld) {
    Put(NvrFile::Daily(2000001, 2001, 2001));
    Put(NvrFile::Daily(2000002, 2010, 2011));
    CurrentStar current(datas);
    current.MakeCurrentStar(2000001);
    current.SeekYear(2001);
    ASSERT_NE(current.MakeCurrentStar(2000002), nullptr);
    EXPECT_EQ(current.Star()->Header().Id, 2000002u);
    EXPECT_EQ(current.Cursor().Record()->Year(), 2010);
    current.Release();
    EXPECT_EQ(current.Star(), nullptr);
    EXPECT_TRUE(current.Cursor().AtEnd());
}

TEST_F(CurrentStarTest, YearSeekFindsTheFirstRecordOfTheYear) {
    Put(NvrFile::Daily(2000001, 2001, 2003));
    CurrentStar current(datas);
    const StarFile* star = current.MakeCurrentStar(2000001);
    ASSERT_NE(star, nullptr);

    current.SeekYear(2001);  // the year of the first record: the Cursor stays
    EXPECT_EQ(current.Cursor().Position(), star->FirstRecord().Position());

    current.SeekYear(2003);
    EXPECT_EQ(current.Cursor().Position() - star->FirstRecord().Position(), (365 + 365) * 88);
    EXPECT_EQ(current.Cursor().Record()->Date().Month, 1);
    EXPECT_EQ(current.Cursor().Record()->Date().Day, 1);

    // The seek starts from the first record, not from the Cursor.
    current.SeekYear(2002);
    EXPECT_EQ(current.Cursor().Position() - star->FirstRecord().Position(), 365 * 88);

    EXPECT_EQ(current.SeekYear(2003), 2003);

    // A year before the file: everything from it on is drawn, from the first record.
    EXPECT_EQ(current.SeekYear(1950), 2001);
    EXPECT_EQ(current.Cursor().Position(), star->FirstRecord().Position());

    // A later year without records: the Cursor ends on the terminating record.
    EXPECT_EQ(current.SeekYear(2004), 2004);
    EXPECT_TRUE(current.Cursor().AtEnd());
    EXPECT_TRUE(current.Cursor().AtTerminator());
    EXPECT_FALSE(current.Cursor().Record().has_value());
}

TEST_F(CurrentStarTest, YearSeekStopsAtTheEndOfAFileWithoutTerminator) {
    NvrFile file = NvrFile::Daily(2000001, 2001, 2001);
    file.Terminator = false;
    Put(file);
    CurrentStar current(datas);
    const StarFile* star = current.MakeCurrentStar(2000001);
    ASSERT_NE(star, nullptr);
    current.SeekYear(2005);
    RecordWalk cursor = current.Cursor();
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_EQ(cursor.Position(), star->Data() + star->Size());
    // Nothing past the loaded data can be reached through the walk.
    EXPECT_FALSE(cursor.AtTerminator());
    EXPECT_FALSE(cursor.Record().has_value());
    cursor.Next();
    EXPECT_EQ(cursor.Position(), star->Data() + star->Size());
}

// A load says what it found: the star's own file, whole or cut short (both made current), or a
// file that cannot be read or holds another star (neither changes the current star).
TEST_F(CurrentStarTest, ALoadSaysWhetherTheFileIsTheStarsOwnAndWhole) {
    using Status = StarLoad::Status;
    constexpr SpkId kBefore = 2000010;  // the star current before each load
    Put(NvrFile::Daily(kBefore, 2005, 2005));
    Put(NvrFile::Daily(2000001, 2001, 2001));  // 365 records
    NvrFile open = NvrFile::Daily(2000002, 2001, 2001);
    open.Terminator = false;
    Put(open);
    NvrFile broken = NvrFile::Daily(2000003, 2001, 2001);
    broken.TruncateTo = broken.NaturalFirstRecordOffset() + 10 * 88 + 40;  // inside record 11
    Put(broken);
    NvrFile tagOnly = NvrFile::Daily(2000004, 2001, 2001);
    tagOnly.TruncateTo = tagOnly.NaturalFirstRecordOffset() + 365 * 88 + 4;  // only its tag read
    Put(tagOnly);
    NvrFile nothing = NvrFile::Daily(2000005, 2001, 2001);
    nothing.Records.clear();
    nothing.Terminator = false;
    Put(nothing);
    NvrFile::Daily(2000001, 2001, 2001).Write(StarFilePath(datas, 2000006));  // Ceres's, renamed
    NvrFile::Daily(0, 2001, 2001).Write(StarFilePath(datas, 2000007));
    std::ofstream(StarFilePath(datas, 2000008)).close();  // empty; 2000009 has no file

    struct Case {
        SpkId asked;
        Status result;
        SpkId fileId;
        std::size_t records;
    };
    const Case cases[] = {
        {2000001, Status::Loaded, 2000001, 365},  {2000002, Status::CutShort, 2000002, 365},
        {2000003, Status::CutShort, 2000003, 10}, {2000004, Status::Loaded, 2000004, 365},
        {2000005, Status::CutShort, 2000005, 0},  {2000006, Status::OtherStar, 2000001, 0},
        {2000007, Status::OtherStar, 0, 0},       {2000008, Status::Unreadable, 0, 0},
        {2000009, Status::Unreadable, 0, 0},
    };
    for (const Case& c : cases) {
        CurrentStar current(datas);
        std::vector<SpkId> refreshed;
        current.SetRefreshHook(
            [&](const StarFile& star) { refreshed.push_back(star.Header().Id); });
        ASSERT_NE(current.MakeCurrentStar(kBefore), nullptr);
        const StarFile* star = current.MakeCurrentStar(c.asked);
        EXPECT_EQ(current.LastLoad().Result, c.result) << c.asked;
        EXPECT_EQ(current.LastLoad().FileId, c.fileId) << c.asked;
        EXPECT_EQ(current.LastLoad().Records, c.records) << c.asked;
        const bool made = c.result == Status::Loaded || c.result == Status::CutShort;
        EXPECT_EQ(star != nullptr, made) << c.asked;
        EXPECT_EQ(current.Star()->Header().Id, made ? c.asked : kBefore) << c.asked;
        EXPECT_EQ(refreshed.size(), made ? 2u : 1u) << c.asked;
        // The records a file holds are the ones a chart walks, whether or not a terminating
        // record ends them.
        if (made) {
            std::size_t walked = 0;
            for (RecordWalk walk = current.Cursor(); !walk.AtEnd(); walk.Next())
                ++walked;
            EXPECT_EQ(walked, c.records) << c.asked;
        }
    }
}
