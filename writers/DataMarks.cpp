// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/DataMarks.h"

#include <sqlite3.h>

#include <atomic>
#include <cstdint>
#include <filesystem>

#include "data/StarFile.h"
#include "data/StarFileIndex.h"
#include "ephemeris/ParallelFor.h"
#include "writers/EphemerisFile.h"
#include "writers/EphemerisRun.h"
#include "writers/ToolDatabase.h"

namespace {

struct StarMark {
    std::uint32_t SpkId = 0;
    bool Marked = false;
    bool HasFile = false;
    bool Complete = false;
};

bool ReadMarks(const std::string& cataloguePath, std::vector<StarMark>& stars, std::string& error) {
    if (!std::filesystem::is_regular_file(cataloguePath)) {
        error = cataloguePath + ": no such catalogue";
        return false;
    }
    std::string why;
    DatabaseHandle db = OpenCatalogueForReading(cataloguePath, why);
    StatementHandle statement =
        db ? Prepare(db.get(), "SELECT [SpkId], [DatasForIt] FROM [AllStars]", why)
           : StatementHandle();
    if (!statement) {
        error = CatalogueReadProblem(cataloguePath, db.get(), why);
        return false;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const sqlite3_int64 id = sqlite3_column_int64(statement.get(), 0);
        if (id < 0 || id > 0xFFFFFFFF)
            continue;  // no file can carry it
        stars.push_back({static_cast<std::uint32_t>(id),
                         sqlite3_column_int(statement.get(), 1) != 0, false, false});
    }
    if (step != SQLITE_DONE) {
        error = cataloguePath + ": " + SqliteReason(db.get());
        return false;
    }
    return true;
}

}  // namespace

bool MarkFromDisk(const std::string& cataloguePath, const std::string& datasFolder,
                  DataMarkReport& report, std::string& error, unsigned threads,
                  const LockWaiting& waiting,
                  const std::function<void(std::size_t, std::size_t)>& advanced) {
    // A mistyped folder would take back every mark: only a folder that is there is read.
    if (std::error_code notThere; !std::filesystem::is_directory(datasFolder, notThere)) {
        error = datasFolder + (std::filesystem::exists(datasFolder, notThere) ? ": not a folder"
                                                                              : ": no such folder");
        return false;
    }
    // The marks read here are the ones replaced: no other writer may change them in between.
    const std::optional<CatalogueLock> lock = CatalogueLock::Take(cataloguePath, waiting, error);
    if (!lock)
        return false;
    std::vector<StarMark> stars;
    if (!ReadMarks(cataloguePath, stars, error))
        return false;
    report.Stars = stars.size();
    // Nor may a folder that cannot be listed whole pass for one without files.
    std::string listing;
    const StarFileIndex files = StarFileIndex::Read(datasFolder, &listing);
    if (!listing.empty()) {
        error = "cannot list " + listing;
        return false;
    }
    std::atomic<std::size_t> looked{0};
    ParallelFor(stars.size(), ThreadsFor(static_cast<int>(threads)), [&](std::size_t i) {
        StarMark& star = stars[i];
        star.HasFile = files.Exists(star.SpkId);
        star.Complete = HasCompleteEphemerisFile(files, datasFolder, star.SpkId);
        if (advanced)
            advanced(++looked, stars.size());
    });
    std::vector<std::uint32_t> mark;
    std::vector<std::uint32_t> unmark;
    for (const StarMark& star : stars) {
        if (star.HasFile && !star.Complete) {
            report.Damaged.push_back(
                StarFilePath(datasFolder, star.SpkId) + ": not a complete ephemeris file of star " +
                std::to_string(star.SpkId) + (star.Marked ? "; unmarked" : "; left unmarked"));
        }
        if (star.Complete) {
            ++report.Marked;
            if (!star.Marked) {
                ++report.NewlyMarked;
                mark.push_back(star.SpkId);
            }
        } else if (star.Marked) {
            ++(star.HasFile ? report.DamagedUnmarked : report.Missing);
            unmark.push_back(star.SpkId);
        }
    }
    if (mark.empty() && unmark.empty())
        return true;
    if (!SetDataMarks(cataloguePath, mark, unmark, *lock, error)) {
        report.CannotWrite = true;
        return false;
    }
    report.Changed = true;
    return true;
}
