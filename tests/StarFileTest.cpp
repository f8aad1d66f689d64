// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/StarFile.h"
#include "tests/support/TestData.h"

using TestData::NvrFile;
using TestData::TempFolder;

namespace {

int CountRecords(RecordWalk walk) {
    int count = 0;
    for (EphemerisRecord record : walk) {
        (void)record;
        ++count;
    }
    return count;
}

}  // namespace

TEST(StarFilePath, WritesTheSpkIdAsAnUnsignedDecimal) {
    EXPECT_EQ(StarFilePath("/opt/nivra/Datas", 2000001u), "/opt/nivra/Datas/2000001.Nvr");
    EXPECT_EQ(StarFilePath("C:\\Nivra/Datas", 0x80000001u), "C:\\Nivra/Datas/2147483649.Nvr");
    EXPECT_EQ(StarFilePath("D", 4294967295u), "D/4294967295.Nvr");
    EXPECT_EQ(StarFilePath("D", 7u), "D/7.Nvr");
}

TEST(LoadStarFile, ReadsHeaderLinksAndRecordsInPlace) {
    TempFolder folder;
    NvrFile file = NvrFile::Daily(2000433, 2001, 2002);
    file.Write(folder / "f.Nvr");

    std::optional<StarFile> star = LoadStarFile(folder / "f.Nvr");
    ASSERT_TRUE(star);
    EXPECT_EQ(star->Size(), file.Bytes().size());
    const StarFileHeader& header = star->Header();
    EXPECT_EQ(header.FirstRecordOffset, static_cast<std::int32_t>(file.NaturalFirstRecordOffset()));
    EXPECT_EQ(header.Id, 2000433u);
    EXPECT_EQ(header.FirstYear, 2001);
    EXPECT_EQ(header.LastYear, 2002);
    EXPECT_EQ(star->Link(StarLink::Ephemeris), file.EphemerisLink);
    EXPECT_EQ(star->Link(StarLink::OrbitDiagram), file.OrbitDiagramLink);
    EXPECT_EQ(star->Link(StarLink::PhysicalParameter), file.PhysicalParameterLink);

    EXPECT_EQ(CountRecords(star->FirstRecord()), 730);
    RecordWalk walk = star->FirstRecord();
    const std::byte* first = walk.Position();
    EXPECT_EQ(first, star->Data() + header.FirstRecordOffset);
    // Record 40: 10 February 2001. Every frame is read from its own place in the record.
    for (int i = 0; i < 40; ++i) {
        walk.Next();
    }
    EXPECT_EQ(walk.Position() - first, 40 * 88);
    ASSERT_TRUE(walk.Record().has_value());
    const EphemerisRecord record = *walk.Record();
    const TestData::Record& expected = file.Records[40];
    EXPECT_EQ(record.RecordTag(), 1u);
    EXPECT_EQ(record.Year(), 2001);
    const RecordDate date = record.Date();
    EXPECT_EQ(date.Month, 2);
    EXPECT_EQ(date.Day, 10);
    EXPECT_EQ(date.Hour, 0);
    EXPECT_EQ(record.ConstellationNumber(), expected.Constellation);
    EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Astrometric).FirstAngle,
                     expected.Astrometric.First);
    EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Astrometric).SecondAngle,
                     expected.Astrometric.Second);
    EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Earth).FirstAngle, expected.Earth.First);
    EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Earth).SecondAngle, expected.Earth.Second);
    EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Galactic).FirstAngle, expected.Galactic.First);
    EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Geometric).SecondAngle,
                     expected.Geometric.Second);
}

TEST(LoadStarFile, RefusesMissingEmptyAndUnreadableFiles) {
    TempFolder folder;
    EXPECT_FALSE(LoadStarFile(folder / "none.Nvr"));
    std::ofstream(folder / "empty.Nvr").close();
    EXPECT_FALSE(LoadStarFile(folder / "empty.Nvr"));
    std::filesystem::create_directory(folder / "dir.Nvr");
    EXPECT_FALSE(LoadStarFile(folder / "dir.Nvr"));
}

TEST(LoadStarFile, RefusesAHeaderTooShortOrAFirstRecordOutsideTheFile) {
    TempFolder folder;
    NvrFile shortHeader = NvrFile::Daily(1, 2000, 2000);
    shortHeader.TruncateTo = 175;
    shortHeader.Write(folder / "short.Nvr");
    EXPECT_FALSE(LoadStarFile(folder / "short.Nvr"));

    NvrFile negative = NvrFile::Daily(1, 2000, 2000);
    negative.FirstRecordOffsetOverride = -88;
    negative.Write(folder / "negative.Nvr");
    EXPECT_FALSE(LoadStarFile(folder / "negative.Nvr"));

    NvrFile beyond = NvrFile::Daily(1, 2000, 2000);
    beyond.FirstRecordOffsetOverride = 0x7FFFFFF0;
    beyond.Write(folder / "beyond.Nvr");
    EXPECT_FALSE(LoadStarFile(folder / "beyond.Nvr"));
}

TEST(RecordWalk, StopsAtTheTerminatorOrAtTheEndOfTheData) {
    TempFolder folder;
    NvrFile terminated = NvrFile::Daily(1, 2000, 2000);
    TestData::Record terminator;
    terminator.Tag = 0;
    terminated.Records.insert(terminated.Records.begin() + 10, terminator);
    terminated.Write(folder / "t.Nvr");
    EXPECT_EQ(CountRecords(LoadStarFile(folder / "t.Nvr")->FirstRecord()), 10);

    // No terminating record: the walk ends with the last whole record.
    NvrFile open = NvrFile::Daily(1, 2000, 2000);
    open.Terminator = false;
    open.Write(folder / "open.Nvr");
    EXPECT_EQ(CountRecords(LoadStarFile(folder / "open.Nvr")->FirstRecord()), 366);

    // A record cut short at the end is not read.
    NvrFile cut = NvrFile::Daily(1, 2000, 2000);
    cut.Terminator = false;
    cut.TruncateTo = cut.NaturalFirstRecordOffset() + 5 * 88 + 60;
    cut.Write(folder / "cut.Nvr");
    EXPECT_EQ(CountRecords(LoadStarFile(folder / "cut.Nvr")->FirstRecord()), 5);

    // A first record that is already the terminator: no records, the header still read.
    NvrFile none = NvrFile::Daily(2000004, 2000, 2000);
    none.Records.clear();
    none.Write(folder / "none.Nvr");
    std::optional<StarFile> empty = LoadStarFile(folder / "none.Nvr");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->FirstRecord().AtEnd());
    EXPECT_EQ(empty->Header().Id, 2000004u);

    // The first record offset at the very end of the file: nothing to walk.
    NvrFile atEnd = NvrFile::Daily(1, 2000, 2000);
    atEnd.Records.clear();
    atEnd.Terminator = false;
    atEnd.Write(folder / "atend.Nvr");
    std::optional<StarFile> endOnly = LoadStarFile(folder / "atend.Nvr");
    ASSERT_TRUE(endOnly);
    EXPECT_TRUE(endOnly->FirstRecord().AtEnd());
    EXPECT_TRUE(endOnly->WalkFrom(endOnly->Size() + 1000).AtEnd());
}

TEST(StarFileLink, ADamagedLinkIsMissingAndNeverReadOutsideTheFile) {
    TempFolder folder;
    NvrFile outside = NvrFile::Daily(1, 2000, 2000);
    outside.EphemerisLinkOverride = 1ull << 40;
    outside.Write(folder / "outside.Nvr");
    std::optional<StarFile> star = LoadStarFile(folder / "outside.Nvr");
    ASSERT_TRUE(star);
    EXPECT_FALSE(star->Link(StarLink::Ephemeris));
    EXPECT_EQ(star->Link(StarLink::OrbitDiagram), outside.OrbitDiagramLink);

    // A link text that runs to the end of the file without its zero.
    NvrFile unterminated;
    unterminated.Records.clear();
    unterminated.Terminator = false;
    unterminated.TruncateTo = unterminated.NaturalFirstRecordOffset() - 1;
    unterminated.FirstRecordOffsetOverride = 176;
    unterminated.Write(folder / "unterminated.Nvr");
    star = LoadStarFile(folder / "unterminated.Nvr");
    ASSERT_TRUE(star);
    EXPECT_FALSE(star->Link(StarLink::PhysicalParameter));
    EXPECT_EQ(star->Link(StarLink::Ephemeris), unterminated.EphemerisLink);

    // An empty link is an empty text, not a missing one.
    NvrFile blank = NvrFile::Daily(1, 2000, 2000);
    blank.OrbitDiagramLink.clear();
    blank.Write(folder / "blank.Nvr");
    EXPECT_EQ(LoadStarFile(folder / "blank.Nvr")->Link(StarLink::OrbitDiagram),
              std::string_view(""));
}
