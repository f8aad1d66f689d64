// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/EphemerisFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "data/LittleEndian.h"
#include "data/StarFile.h"
#include "ephemeris/NumberText.h"
#include "writers/AtomicFile.h"
#include "writers/FaultInjection.h"

namespace L = StarFileLayout;

namespace {

class Encoder {
  public:
    explicit Encoder(std::vector<std::byte>& bytes) : bytes_(bytes) {}
    void Unsigned(std::size_t at, std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i) {
            bytes_[at + static_cast<std::size_t>(i)] =
                static_cast<std::byte>((value >> (8 * i)) & 0xFF);
        }
    }
    void Double(std::size_t at, double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Unsigned(at, bits, 8);
    }
    void Point(std::size_t at, const SkyAngles& angles) {
        Double(at, angles.Longitude);
        Double(at + 8, 90.0 - angles.Latitude);
    }

  private:
    std::vector<std::byte>& bytes_;
};

SkyAngles AnglesOf(const FramePoint& point) {
    return {point.FirstAngle, 90.0 - point.SecondAngle};
}

}  // namespace

std::string HorizonsLink(std::uint32_t spkId) {
    return "https://ssd.jpl.nasa.gov/horizons/app.html#/?sstr=" + std::to_string(spkId);
}

std::string OrbitDiagramLink(std::uint32_t spkId) {
    return "https://ssd.jpl.nasa.gov/tools/sbdb_lookup.html#/?sstr=" + std::to_string(spkId) +
           "&view=VO";
}

std::string PhysicalParameterLink(std::uint32_t spkId) {
    return "https://ssd.jpl.nasa.gov/tools/sbdb_lookup.html#/?sstr=" + std::to_string(spkId) +
           "&view=P";
}

std::vector<std::byte> EncodeEphemerisFile(const EphemerisHeader& header,
                                           const std::vector<EphemerisEntry>& entries) {
    const std::string* links[] = {&header.EphemerisLink, &header.OrbitDiagramLink,
                                  &header.PhysicalParameterLink};
    std::size_t textBytes = 0;
    for (const std::string* link : links)
        textBytes += link->size() + 1;
    // Records start on an 8-byte boundary after the link texts.
    const std::size_t first = (L::kHeaderSize + textBytes + 7) / 8 * 8;
    std::vector<std::byte> bytes(first + (entries.size() + 1) * L::kRecordSize);
    Encoder out(bytes);

    out.Unsigned(L::kFirstRecordOffset, first, 4);
    std::memcpy(bytes.data() + EphemerisFormat::kMagicOffset, EphemerisFormat::kMagic, 8);
    out.Unsigned(EphemerisFormat::kVersionOffset, EphemerisFormat::kVersion, 4);
    out.Unsigned(EphemerisFormat::kRecordCountOffset, entries.size(), 4);
    out.Unsigned(EphemerisFormat::kModelOffset, header.Perturbed ? 1 : 0, 4);
    out.Double(EphemerisFormat::kEpochOffset, header.ElementsEpoch);
    out.Unsigned(L::kSpkId, header.SpkId, 4);
    out.Unsigned(L::kFirstYear, static_cast<std::uint32_t>(header.FirstYear), 4);
    out.Unsigned(L::kLastYear, static_cast<std::uint32_t>(header.LastYear), 4);

    std::size_t at = L::kHeaderSize;
    const std::size_t linkFields[] = {L::kEphemerisLink, L::kOrbitDiagramLink,
                                      L::kPhysicalParameterLink};
    for (int i = 0; i < 3; ++i) {
        out.Unsigned(linkFields[i], at, 8);
        std::memcpy(bytes.data() + at, links[i]->data(), links[i]->size());
        at += links[i]->size() + 1;  // the zero is already there
    }

    at = first;
    for (const EphemerisEntry& entry : entries) {
        out.Unsigned(at + L::kRecordTag, 1, 4);
        out.Unsigned(at + L::kRecordYear, static_cast<std::uint64_t>(entry.Year), 2);
        out.Unsigned(at + L::kRecordMonth, static_cast<std::uint64_t>(entry.Month), 2);
        out.Unsigned(at + L::kRecordDayOfWeek, static_cast<std::uint64_t>(entry.DayOfWeek), 2);
        out.Unsigned(at + L::kRecordDay, static_cast<std::uint64_t>(entry.Day), 2);
        out.Unsigned(at + L::kRecordHour, static_cast<std::uint64_t>(entry.Hour), 2);
        out.Unsigned(at + L::kRecordMinute, static_cast<std::uint64_t>(entry.Minute), 2);
        out.Unsigned(at + L::kRecordSecond, static_cast<std::uint64_t>(entry.Second), 2);
        out.Unsigned(at + L::kRecordMilliseconds, 0, 2);
        out.Unsigned(at + L::kConstellationNumber, static_cast<std::uint32_t>(entry.Constellation),
                     4);
        out.Point(at + FramePointOffset(CoordinateFrame::Astrometric), entry.Astrometric);
        out.Point(at + FramePointOffset(CoordinateFrame::Geometric), entry.Geometric);
        out.Point(at + FramePointOffset(CoordinateFrame::Galactic), entry.Galactic);
        out.Point(at + FramePointOffset(CoordinateFrame::Earth), entry.Earth);
        at += L::kRecordSize;
    }
    return bytes;  // the terminating record is the zeroed last 88 bytes
}

namespace {

// What the viewer could not draw in one record; empty when it is sound.
std::string UnsoundPart(const EphemerisEntry& entry) {
    if (entry.Month < 1 || entry.Month > 12 || entry.Day < 1 || entry.Day > 31 ||
        entry.DayOfWeek < 0 || entry.DayOfWeek > 6)
        return "not a date";
    if (entry.Constellation < 1 || entry.Constellation > 88)
        return "constellation " + std::to_string(entry.Constellation);
    const std::pair<const char*, const SkyAngles*> frames[] = {{"Astrometric", &entry.Astrometric},
                                                               {"Earth", &entry.Earth},
                                                               {"Galactic", &entry.Galactic},
                                                               {"Geometric", &entry.Geometric}};
    for (const auto& [name, angles] : frames) {
        if (!(angles->Longitude >= 0 && angles->Longitude < 360))
            return std::string("the ") + name + " longitude is " + NumberText(angles->Longitude);
        if (!(angles->Latitude >= -90 && angles->Latitude <= 90))
            return std::string("the ") + name + " latitude is " + NumberText(angles->Latitude);
    }
    return {};
}

}  // namespace

std::string FirstUnsoundRecord(const std::vector<EphemerisEntry>& entries) {
    for (const EphemerisEntry& entry : entries) {
        if (const std::string unsound = UnsoundPart(entry); !unsound.empty()) {
            char date[48];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", entry.Year, entry.Month, entry.Day);
            return std::string(date) + ": " + unsound;
        }
    }
    return {};
}

bool WriteEphemerisFile(const std::string& path, const EphemerisHeader& header,
                        const std::vector<EphemerisEntry>& entries, std::string& error) {
    if (const std::string unsound = FirstUnsoundRecord(entries); !unsound.empty()) {
        error = "not writing " + path + ": the record of " + unsound;
        return false;
    }
    const std::vector<std::byte> bytes = EncodeEphemerisFile(header, entries);
    return ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            if (!FaultInjection::RecordStopArmed())
                return WriteWholeFile(temporary, bytes.data(), bytes.size(), why);
            // A test stops the run between two records: they are written one by one.
            const std::size_t first = LittleEndian::U32(bytes.data() + L::kFirstRecordOffset);
            return WriteFileInPieces(temporary, bytes.data(), bytes.size(), first, L::kRecordSize,
                                     FaultInjection::RecordWritten, why);
        },
        error, LinkUse::ReplaceTheLink, FolderSync::Later);
}

bool IsCompleteEphemerisFile(const std::string& path, std::uint32_t spkId) {
    // Opened without waiting and checked to be a regular file: a pipe or a device under a star's
    // name is a damaged file, not one to wait on.
    const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status {};
    const auto readAt = [&](void* into, std::size_t size, std::uint64_t offset) {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::pread(file, static_cast<char*>(into) + done, size - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    };
    std::byte header[L::kHeaderSize];
    bool complete =
        ::fstat(file, &status) == 0 && S_ISREG(status.st_mode) &&
        readAt(header, sizeof header, 0) &&
        std::memcmp(header + EphemerisFormat::kMagicOffset, EphemerisFormat::kMagic, 8) == 0 &&
        LittleEndian::U32(header + EphemerisFormat::kVersionOffset) == EphemerisFormat::kVersion &&
        LittleEndian::U32(header + L::kSpkId) == spkId;
    if (complete) {
        const std::uint64_t first = LittleEndian::U32(header + L::kFirstRecordOffset);
        const std::uint64_t records =
            LittleEndian::U32(header + EphemerisFormat::kRecordCountOffset);
        const std::uint64_t size = first + (records + 1) * L::kRecordSize;
        std::byte last[2 * L::kRecordSize];
        complete = records > 0 && first >= L::kHeaderSize &&
                   static_cast<std::uint64_t>(status.st_size) == size &&
                   readAt(last, sizeof last, size - sizeof last) &&
                   LittleEndian::U32(last + L::kRecordTag) == 1 &&
                   LittleEndian::U32(last + L::kRecordSize + L::kRecordTag) == 0;
    }
    ::close(file);
    return complete;
}

std::optional<EphemerisFileContent> ReadEphemerisFile(const std::string& path, std::string& error) {
    std::optional<StarFile> file = LoadStarFile(path);
    if (!file) {
        error = path + ": missing, empty or damaged";
        return std::nullopt;
    }
    const std::byte* data = file->Data();
    if (std::memcmp(data + EphemerisFormat::kMagicOffset, EphemerisFormat::kMagic, 8) != 0) {
        error = path + ": not written by nivra-data (no magic)";
        return std::nullopt;
    }
    EphemerisFileContent content;
    content.Version = LittleEndian::U32(data + EphemerisFormat::kVersionOffset);
    if (content.Version != EphemerisFormat::kVersion) {
        error = path + ": format version " + std::to_string(content.Version) + " is not known";
        return std::nullopt;
    }
    const StarFileHeader& header = file->Header();
    content.Header.SpkId = header.Id;
    content.Header.FirstYear = header.FirstYear;
    content.Header.LastYear = header.LastYear;
    content.Header.Perturbed = LittleEndian::U32(data + EphemerisFormat::kModelOffset) == 1;
    content.Header.ElementsEpoch = LittleEndian::F64(data + EphemerisFormat::kEpochOffset);
    const auto link = [&](StarLink which) { return std::string(file->Link(which).value_or("")); };
    content.Header.EphemerisLink = link(StarLink::Ephemeris);
    content.Header.OrbitDiagramLink = link(StarLink::OrbitDiagram);
    content.Header.PhysicalParameterLink = link(StarLink::PhysicalParameter);
    for (EphemerisRecord record : file->FirstRecord()) {
        EphemerisEntry entry;
        const RecordDate date = record.Date();
        entry.Year = date.Year;
        entry.Month = date.Month;
        entry.Day = date.Day;
        entry.DayOfWeek = LittleEndian::U16(record.Address() + L::kRecordDayOfWeek);
        entry.Hour = date.Hour;
        entry.Minute = date.Minute;
        entry.Second = date.Second;
        entry.Constellation = record.ConstellationNumber();
        entry.Astrometric = AnglesOf(record.Frame(CoordinateFrame::Astrometric));
        entry.Earth = AnglesOf(record.Frame(CoordinateFrame::Earth));
        entry.Galactic = AnglesOf(record.Frame(CoordinateFrame::Galactic));
        entry.Geometric = AnglesOf(record.Frame(CoordinateFrame::Geometric));
        content.Entries.push_back(entry);
    }
    const std::uint32_t expected = LittleEndian::U32(data + EphemerisFormat::kRecordCountOffset);
    if (content.Entries.size() != expected) {
        error = path + ": " + std::to_string(content.Entries.size()) +
                " records where the header says " + std::to_string(expected);
        return std::nullopt;
    }
    return content;
}

bool HasCompleteEphemerisFile(const StarFileIndex& files, const std::string& datasFolder,
                              std::uint32_t spkId) {
    return files.Exists(spkId) && IsCompleteEphemerisFile(StarFilePath(datasFolder, spkId), spkId);
}
