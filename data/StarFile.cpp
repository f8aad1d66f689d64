// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/StarFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "data/LittleEndian.h"
#include "data/TextFormat.h"

namespace L = StarFileLayout;

std::uint32_t EphemerisRecord::RecordTag() const {
    return LittleEndian::U32(at_ + L::kRecordTag);
}

RecordDate EphemerisRecord::Date() const {
    return RecordDate{
        LittleEndian::U16(at_ + L::kRecordYear),   LittleEndian::U16(at_ + L::kRecordMonth),
        LittleEndian::U16(at_ + L::kRecordDay),    LittleEndian::U16(at_ + L::kRecordHour),
        LittleEndian::U16(at_ + L::kRecordMinute), LittleEndian::U16(at_ + L::kRecordSecond)};
}

int EphemerisRecord::Year() const {
    return LittleEndian::U16(at_ + L::kRecordYear);
}

std::int32_t EphemerisRecord::ConstellationNumber() const {
    return LittleEndian::I32(at_ + L::kConstellationNumber);
}

FramePoint EphemerisRecord::Frame(CoordinateFrame frame) const {
    const std::byte* point = at_ + FramePointOffset(frame);
    return FramePoint{LittleEndian::F64(point), LittleEndian::F64(point + 8)};
}

bool RecordWalk::AtEnd() const {
    if (at_ == nullptr || at_ >= end_) {
        return true;
    }
    const auto left = static_cast<std::size_t>(end_ - at_);
    if (left < sizeof(std::uint32_t)) {
        return true;
    }
    // The terminating record is recognised by its tag alone; any other record must fit whole.
    return LittleEndian::U32(at_ + L::kRecordTag) == 0 || left < L::kRecordSize;
}

bool RecordWalk::AtTerminator() const {
    if (at_ == nullptr || at_ >= end_ ||
        static_cast<std::size_t>(end_ - at_) < sizeof(std::uint32_t)) {
        return false;
    }
    return LittleEndian::U32(at_ + L::kRecordTag) == 0;
}

StarFile::StarFile(PageRegion region) : region_(std::move(region)) {
    const std::byte* data = region_.Data();
    if (region_.Size() < L::kHeaderSize) {
        return;
    }
    header_.FirstRecordOffset = LittleEndian::I32(data + L::kFirstRecordOffset);
    header_.Id = LittleEndian::U32(data + L::kSpkId);
    header_.FirstYear = LittleEndian::I32(data + L::kFirstYear);
    header_.LastYear = LittleEndian::I32(data + L::kLastYear);
    header_.OrbitDiagramLink = LittleEndian::U64(data + L::kOrbitDiagramLink);
    header_.PhysicalParameterLink = LittleEndian::U64(data + L::kPhysicalParameterLink);
    header_.EphemerisLink = LittleEndian::U64(data + L::kEphemerisLink);
}

bool StarFile::HeaderIsUsable(const std::byte* data, std::size_t size) {
    if (size < L::kHeaderSize) {
        return false;
    }
    const std::int32_t first = LittleEndian::I32(data + L::kFirstRecordOffset);
    return first >= 0 && static_cast<std::size_t>(first) <= size;
}

std::optional<std::string_view> StarFile::Link(StarLink which) const {
    std::uint64_t offset = 0;
    switch (which) {
        case StarLink::Ephemeris:
            offset = header_.EphemerisLink;
            break;
        case StarLink::OrbitDiagram:
            offset = header_.OrbitDiagramLink;
            break;
        case StarLink::PhysicalParameter:
            offset = header_.PhysicalParameterLink;
            break;
    }
    if (offset >= Size()) {
        return std::nullopt;
    }
    const auto* text = reinterpret_cast<const char*>(Data() + offset);
    const std::size_t room = Size() - static_cast<std::size_t>(offset);
    const void* terminator = std::memchr(text, '\0', room);
    if (terminator == nullptr) {
        return std::nullopt;
    }
    return std::string_view(text,
                            static_cast<std::size_t>(static_cast<const char*>(terminator) - text));
}

RecordWalk StarFile::FirstRecord() const {
    return WalkFrom(static_cast<std::size_t>(header_.FirstRecordOffset));
}

StarFile::RecordRun StarFile::CountRecords() const {
    RecordRun run;
    RecordWalk walk = FirstRecord();
    for (; !walk.AtEnd(); walk.Next())
        ++run.Records;
    run.Terminated = walk.AtTerminator();
    return run;
}

RecordWalk StarFile::WalkFrom(std::size_t offset) const {
    const std::byte* end = Data() + Size();
    if (offset > Size()) {
        return RecordWalk(end, end);
    }
    return RecordWalk(Data() + offset, end);
}

std::string StarFilePath(std::string_view datasFolder, SpkId id) {
    return FormatText("%s/%lu.Nvr", std::string(datasFolder).c_str(),
                      static_cast<unsigned long>(id));
}

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

std::optional<StarFile> LoadStarFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file(path);
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size == 0 ||
        size > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(path.c_str(), "rb"));
    if (!stream) {
        return std::nullopt;
    }
    std::optional<PageRegion> region = PageRegion::PageAllocate(static_cast<std::int32_t>(size));
    if (!region) {
        return std::nullopt;
    }
    if (std::fread(region->Data(), 1, region->Size(), stream.get()) != region->Size()) {
        return std::nullopt;
    }
    if (!StarFile::HeaderIsUsable(region->Data(), region->Size())) {
        return std::nullopt;
    }
    return StarFile(std::move(*region));
}
