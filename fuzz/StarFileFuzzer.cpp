// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes what the viewer does with a star's ephemeris file before anything is drawn: the load
// (as a choice in the toolbar makes it, from the Datas folder, also under another star's name),
// the header and link texts as the Help menu opens them, the Cursor and the year seek of the
// year selector, and every record read from the Cursor on in each frame. Nothing is drawn (the
// chart target, StarChartsFuzzer.cpp, draws from a loaded file), so a run tries thousands of files
// a second.
//
// An input is the bytes of a .Nvr file.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/CurrentStar.h"
#include "data/LittleEndian.h"
#include "data/StarFile.h"
#include "fuzz/FuzzSupport.h"
#include "gui/WebBrowser.h"

namespace {

namespace L = StarFileLayout;

// The years every file is sought at besides its own (see SeekYears): the ends of the year
// selector's range and of the record's 16-bit field, and what no record can hold.
constexpr int kFixedYears[] = {INT_MIN, -1, 0, 1, 1900, 1901, 2019, 65535, 65536, INT_MAX};

TemporaryFolder* datas = nullptr;

bool Inside(const StarFile& star, const std::byte* at) {
    return at >= star.Data() && at <= star.Data() + star.Size();
}

// The links as the Help menu opens them: each must lie whole inside the file, and the browser
// must get it as its one argument (cut to what the command line holds).
void OpenLinks(const StarFile& star) {
    const std::string browser = WebBrowser::RewritePlaceholder("firefox-esr %u");
    for (const StarLink which :
         {StarLink::Ephemeris, StarLink::OrbitDiagram, StarLink::PhysicalParameter}) {
        const std::optional<std::string_view> link = star.Link(which);
        if (!link) {
            continue;
        }
        const auto* begin = reinterpret_cast<const std::byte*>(link->data());
        FuzzCheck(Inside(star, begin) && begin + link->size() < star.Data() + star.Size() &&
                      begin[link->size()] == std::byte{0},
                  "a link text and its zero lie inside the file");
        const QString address = QString::fromUtf8(link->data(), link->size());
        (void)WebBrowser::IsWebAddress(address);
        const std::optional<WebBrowser::Launch> launch = WebBrowser::MakeLaunch(browser, address);
        const auto room = static_cast<qsizetype>(WebBrowser::kMaxCommandLine) -
                          static_cast<qsizetype>(browser.size() - 2);
        FuzzCheck(launch && launch->Program == "firefox-esr" && launch->Arguments.size() == 1 &&
                      launch->Arguments.front() == address.left(room),
                  "the browser gets the link as its one argument");
    }
}

// Reads every record from `walk` on, in every frame, as the charts read them; returns the
// records read. Each record lies whole inside the file, and the walk ends on the terminating
// record or where less than a record is left.
std::vector<const std::byte*> ReadRecords(const StarFile& star, RecordWalk walk) {
    const std::byte* const end = star.Data() + star.Size();
    FuzzCheck(walk.DataEnd() == end, "a walk ends where the file does");
    std::vector<const std::byte*> records;
    volatile double sum = 0;  // keeps the reads
    for (const EphemerisRecord record : walk) {
        const std::byte* at = record.Address();
        FuzzCheck(Inside(star, at) && at + L::kRecordSize <= end, "a record lies inside the file");
        FuzzCheck(records.empty() || at == records.back() + L::kRecordSize,
                  "records follow one another");
        records.push_back(at);
        const RecordDate date = record.Date();
        sum = sum + date.Year + date.Month + date.Day + date.Hour + date.Minute + date.Second +
              record.Year() + record.ConstellationNumber() + record.RecordTag();
        for (const CoordinateFrame frame : kAllFrames) {
            const FramePoint point = record.Frame(frame);
            sum = sum + point.FirstAngle + point.SecondAngle;
        }
    }
    const std::byte* stop = records.empty() ? walk.Position() : records.back() + L::kRecordSize;
    FuzzCheck(stop <= end && (walk.Position() == nullptr || stop >= walk.Position()),
              "a walk stops inside the file");
    const auto left = static_cast<std::size_t>(end - stop);
    FuzzCheck(
        left < L::kRecordSize || (left >= sizeof(std::uint32_t) && LittleEndian::U32(stop) == 0),
        "a walk stops only at the terminating record or the end of the data");
    return records;
}

// The years to seek: the fixed ones, the header's, and those of the first, middle and last
// records with the years next to them.
std::set<int> SeekYears(const StarFile& star, const std::vector<const std::byte*>& records) {
    std::set<int> years(std::begin(kFixedYears), std::end(kFixedYears));
    years.insert(star.Header().FirstYear);
    years.insert(star.Header().LastYear);
    if (!records.empty()) {
        for (const std::byte* record :
             {records.front(), records[records.size() / 2], records.back()}) {
            const int year = EphemerisRecord(record).Year();
            years.insert({year - 1, year, year + 1});
        }
    }
    return years;
}

// What the year selector's seek promises: a year before the first record's leaves the Cursor
// on the first record; otherwise the Cursor stands on the first record of the year sought, or
// at the end of the walk when none holds it.
void CheckSeek(CurrentStar& current, const StarFile& star,
               const std::vector<const std::byte*>& records, int year) {
    const int drawnFrom = current.SeekYear(year);
    const std::byte* cursor = current.Cursor().Position();
    FuzzCheck(Inside(star, cursor), "the Cursor lies inside the file");
    FuzzCheck(current.Cursor().DataEnd() == star.Data() + star.Size(),
              "the Cursor's walk ends where the file does");
    if (records.empty()) {
        FuzzCheck(drawnFrom == year && cursor == star.FirstRecord().Position(),
                  "without records the seek stays on the first record's place");
        return;
    }
    const int firstYear = EphemerisRecord(records.front()).Year();
    FuzzCheck(drawnFrom == (year < firstYear ? firstYear : year),
              "the seek draws from the year sought, or the first record's when that is later");
    std::size_t index = 0;
    while (index < records.size() && EphemerisRecord(records[index]).Year() != drawnFrom) {
        ++index;
    }
    const std::byte* expected =
        index < records.size() ? records[index] : records.back() + L::kRecordSize;
    FuzzCheck(cursor == expected,
              "the Cursor stands on the first record of the year, or at the end of the walk");
    const std::vector<const std::byte*> drawn = ReadRecords(star, current.Cursor());
    FuzzCheck(drawn.size() == records.size() - index, "the charts read the records that follow");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static TemporaryFolder folder;
    datas = &folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const std::byte*>(data);
    // The file is chosen under its own SPK-ID, as the star selector finds it.
    const SpkId id = size >= L::kSpkId + 4 ? LittleEndian::U32(bytes + L::kSpkId) : 0;
    const std::string path = StarFilePath(datas->Path(), id);
    WriteWholeFile(path, data, size);

    CurrentStar current(datas->Path());
    int refreshes = 0;
    current.SetRefreshHook([&](const StarFile&) { ++refreshes; });
    const StarFile* star = current.MakeCurrentStar(id);

    const bool usable = size >= L::kHeaderSize && LittleEndian::I32(bytes) >= 0 &&
                        static_cast<std::size_t>(LittleEndian::I32(bytes)) <= size;
    FuzzCheck((star != nullptr) == usable,
              "a file loads exactly when it has a header and its first record lies inside");
    if (star == nullptr) {
        FuzzCheck(current.LastLoad().Result == StarLoad::Status::Unreadable,
                  "a file that does not load is unreadable");
        FuzzCheck(refreshes == 0 && current.Star() == nullptr && current.Cursor().AtEnd() &&
                      current.SeekYear(2000) == 2000,
                  "a file that does not load leaves no star and no Cursor");
        std::filesystem::remove(path);
        return 0;
    }
    FuzzCheck(refreshes == 1, "a load refreshes once");
    FuzzCheck(star->Size() == size && std::memcmp(star->Data(), data, size) == 0,
              "the whole file is loaded as it is");
    FuzzCheck(
        star->Header().Id == id && star->Header().FirstRecordOffset == LittleEndian::I32(bytes),
        "the header is the file's");
    FuzzCheck(Inside(*star, star->FirstRecord().Position()), "the first record lies inside");
    FuzzCheck(current.Cursor().Position() == star->FirstRecord().Position(),
              "a load puts the Cursor on the first record");

    OpenLinks(*star);

    const std::vector<const std::byte*> records = ReadRecords(*star, star->FirstRecord());
    const std::byte* stop =
        records.empty() ? star->FirstRecord().Position() : records.back() + L::kRecordSize;
    const bool terminated = RecordWalk(stop, star->Data() + star->Size()).AtTerminator();
    const StarLoad& load = current.LastLoad();
    FuzzCheck(load.Result == (terminated ? StarLoad::Status::Loaded : StarLoad::Status::CutShort) &&
                  load.Records == records.size() && load.FileId == id,
              "a load counts the records it holds and says whether the file is cut short");

    for (const int year : SeekYears(*star, records)) {
        CheckSeek(current, *star, records, year);
    }

    // The file under another star's name is that star's no more, and a star without a file
    // cannot be loaded: neither changes anything. Choosing the star again reads its file anew
    // and puts the Cursor back on the first record.
    const std::byte* cursor = current.Cursor().Position();
    const auto unchanged = [&] {
        return current.Star() == star && current.Cursor().Position() == cursor && refreshes == 1;
    };
    const SpkId other = id ^ 1;
    const std::string otherPath = StarFilePath(datas->Path(), other);
    std::filesystem::rename(path, otherPath);
    FuzzCheck(current.MakeCurrentStar(other) == nullptr &&
                  current.LastLoad().Result == StarLoad::Status::OtherStar &&
                  current.LastLoad().FileId == id && unchanged(),
              "a file under another star's name is refused and changes nothing");
    FuzzCheck(current.MakeCurrentStar(id) == nullptr &&
                  current.LastLoad().Result == StarLoad::Status::Unreadable && unchanged(),
              "a missing file changes nothing");
    std::filesystem::rename(otherPath, path);
    star = current.MakeCurrentStar(id);
    FuzzCheck(star != nullptr && refreshes == 2 &&
                  current.Cursor().Position() == star->FirstRecord().Position(),
              "a star chosen again starts from its first record");
    std::filesystem::remove(path);
    return 0;
}
