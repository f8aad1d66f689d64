// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/CoordinateFrame.h"
#include "data/PageRegion.h"

// JPL small-body identifier: the catalogue key and the name of the star's ephemeris file.
using SpkId = std::uint32_t;

// Byte layout of a .Nvr ephemeris file. All integers are little-endian, doubles IEEE-754
// binary64 little-endian; offsets count from the start of the file (header) or of a record.
namespace StarFileLayout {
inline constexpr std::size_t kHeaderSize = 176;
inline constexpr std::size_t kFirstRecordOffset = 0;   // int32: offset of the first record
inline constexpr std::size_t kSpkId = 108;             // uint32
inline constexpr std::size_t kFirstYear = 116;         // int32
inline constexpr std::size_t kLastYear = 120;          // int32
inline constexpr std::size_t kOrbitDiagramLink = 152;  // uint64: offset of a zero-terminated text
inline constexpr std::size_t kPhysicalParameterLink = 160;  // uint64
inline constexpr std::size_t kEphemerisLink = 168;          // uint64

inline constexpr std::size_t kRecordSize = 88;
inline constexpr std::size_t kRecordTag = 0;        // uint32, 0 in the terminating record
inline constexpr std::size_t kRecordYear = 4;       // uint16 fields of the record date...
inline constexpr std::size_t kRecordMonth = 6;      // 1-12
inline constexpr std::size_t kRecordDayOfWeek = 8;  // not read
inline constexpr std::size_t kRecordDay = 10;       // 1-31
inline constexpr std::size_t kRecordHour = 12;
inline constexpr std::size_t kRecordMinute = 14;
inline constexpr std::size_t kRecordSecond = 16;
inline constexpr std::size_t kRecordMilliseconds = 18;   // not read
inline constexpr std::size_t kConstellationNumber = 20;  // int32, 1-88
}  // namespace StarFileLayout

// A star's place in one frame: FirstAngle in degrees on [0, 360), the charts' horizontal
// coordinate; SecondAngle in degrees, their vertical coordinate (90 - latitude).
struct FramePoint {
    double FirstAngle = 0;
    double SecondAngle = 0;
};

// Calendar date and time of a record, as stored (the time scale is the file producer's).
struct RecordDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// One 88-byte record, read in place inside the loaded file.
class EphemerisRecord {
  public:
    explicit EphemerisRecord(const std::byte* at) : at_(at) {}

    std::uint32_t RecordTag() const;
    RecordDate Date() const;
    int Year() const;
    std::int32_t ConstellationNumber() const;
    FramePoint Frame(CoordinateFrame frame) const;
    const std::byte* Address() const { return at_; }

  private:
    const std::byte* at_;
};

// A forward walk over the records, 88 bytes at a time, from a start record to the terminating
// record. It also ends where the loaded data leaves no room for a whole record, so a damaged
// file never makes a reader step outside it: at the end there is no record to read and Next()
// stays where it is.
class RecordWalk {
  public:
    RecordWalk() = default;
    RecordWalk(const std::byte* at, const std::byte* end) : at_(at), end_(end) {}

    bool AtEnd() const;
    // The record under the walk; nothing at the end (the terminating record, or too few bytes
    // left for a whole record).
    std::optional<EphemerisRecord> Record() const {
        return AtEnd() ? std::nullopt : std::optional<EphemerisRecord>(EphemerisRecord(at_));
    }
    // Whether the walk stands on a terminating record (its tag, the only part of it that is
    // read, lies inside the data and is 0).
    bool AtTerminator() const;
    void Next() {
        if (!AtEnd())
            at_ += StarFileLayout::kRecordSize;
    }
    const std::byte* Position() const { return at_; }
    const std::byte* DataEnd() const { return end_; }

    // Range support: for (EphemerisRecord record : walk) { ... }
    class Iterator;
    struct Sentinel {};
    Iterator begin() const;
    Sentinel end() const { return {}; }

  private:
    const std::byte* at_ = nullptr;
    const std::byte* end_ = nullptr;
};

class RecordWalk::Iterator {
  public:
    using value_type = EphemerisRecord;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    explicit Iterator(RecordWalk walk) : walk_(walk) {}
    EphemerisRecord operator*() const { return *walk_.Record(); }
    Iterator& operator++() {
        walk_.Next();
        return *this;
    }
    void operator++(int) { walk_.Next(); }
    bool operator==(Sentinel) const { return walk_.AtEnd(); }

  private:
    RecordWalk walk_;
};

inline RecordWalk::Iterator RecordWalk::begin() const {
    return Iterator(*this);
}

struct StarFileHeader {
    std::int32_t FirstRecordOffset = 0;
    SpkId Id = 0;
    std::int32_t FirstYear = 0;
    std::int32_t LastYear = 0;
    std::uint64_t OrbitDiagramLink = 0;
    std::uint64_t PhysicalParameterLink = 0;
    std::uint64_t EphemerisLink = 0;
};

enum class StarLink { Ephemeris, OrbitDiagram, PhysicalParameter };

// A whole ephemeris file held in one region of exactly its size.
class StarFile {
  public:
    explicit StarFile(PageRegion region);

    const std::byte* Data() const { return region_.Data(); }
    std::size_t Size() const { return region_.Size(); }
    const StarFileHeader& Header() const { return header_; }

    // The zero-terminated web address the header points at; nothing when the offset lies
    // outside the file or the text has no terminator inside it (a damaged file).
    std::optional<std::string_view> Link(StarLink which) const;

    // Walk from the first record (the file's start plus FirstRecordOffset).
    RecordWalk FirstRecord() const;
    // Walk from a byte offset inside the file.
    RecordWalk WalkFrom(std::size_t offset) const;

    // The run of records from the first: how many whole records it holds before its end, and
    // whether a terminating record ends it (false when the data ends first: a file cut short).
    struct RecordRun {
        std::size_t Records = 0;
        bool Terminated = false;
    };
    RecordRun CountRecords() const;

    // Whether the header can be trusted for reading: complete, with the first record inside.
    static bool HeaderIsUsable(const std::byte* data, std::size_t size);

  private:
    PageRegion region_;
    StarFileHeader header_;
};

// "%s/%lu.Nvr": the ephemeris file of a star in the Datas folder, the SpkId in unsigned decimal.
std::string StarFilePath(std::string_view datasFolder, SpkId id);

// The whole file at `path` in a fresh region, read at once; nothing when the file is missing,
// empty, unreadable, read short, 2 GiB or larger, or too damaged to walk (a header shorter than
// 176 bytes, or a first record outside the file).
std::optional<StarFile> LoadStarFile(const std::string& path);
