// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/CatalogueFile.h"

#include <sqlite3.h>

#include <filesystem>
#include <optional>

#include "data/StarFile.h"
#include "data/StarFileIndex.h"
#include "writers/AtomicFile.h"
#include "writers/EphemerisFile.h"
#include "writers/FaultInjection.h"
#include "writers/ToolDatabase.h"

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE [Orbites] (
  [Index] INTEGER PRIMARY KEY,
  [Name] TEXT NOT NULL,
  [SbdbClass] TEXT
);
CREATE TABLE [AllStars] (
  [SpkId] INTEGER PRIMARY KEY,
  [Name] TEXT NOT NULL,
  [FullName] TEXT,
  [SbdbClass] TEXT,
  [OrbiteType] INTEGER NOT NULL,
  [OrbiteTypeNeo] INTEGER NOT NULL,
  [OrbiteTypePha] INTEGER NOT NULL,
  [DatasForIt] INTEGER NOT NULL DEFAULT 0,
  [Eccentricity] REAL,
  [SemiMajorAxis] REAL,
  [PerihelionDistance] REAL,
  [Inclination] REAL,
  [AscendingNodeLongitude] REAL,
  [ArgumentPerihelion] REAL,
  [MeanAnomaly] REAL,
  [OrbitalPeriod] REAL,
  [MeanMotion] REAL,
  [ApelionDistance] REAL,
  [EarthMOID] REAL,
  [AbsoluteMagnitude] REAL,
  [Diameter] REAL,
  [RotationPeriod] REAL,
  [GeometricAlbedo] REAL,
  [TimePerihelionPassage] REAL,
  [Epoch] REAL
);
)sql";

// Made once every row is in: building an index at the end is faster than keeping it up to date
// row by row.
constexpr const char* kClassIndex = "CREATE INDEX [AllStarsByClass] ON [AllStars] ([OrbiteType])";

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

// A new catalogue written into a fresh database file: rows added one by one, all in one
// transaction (the file is only a temporary one until it is complete: nothing needs to be
// durable before the end).
class CatalogueWriter {
  public:
    enum class Added { Yes, Duplicate, Failed };

    bool Open(const std::string& path, std::string& why) {
        db_ = OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW,
                           why);
        // Pages of 64 KiB, SQLite's largest: the viewer reads the whole star table twice at
        // start-up, and each page is one read from the file.
        if (!db_ || !Execute(db_.get(), "PRAGMA page_size = 65536", why) ||
            !Execute(db_.get(), kSchema, why) || !Execute(db_.get(), "BEGIN", why)) {
            return false;
        }
        stars_ = Prepare(db_.get(),
                         "INSERT INTO [AllStars] VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                         "?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, "
                         "?25)",
                         why);
        return stars_ != nullptr;
    }

    // Adds a row; a row whose SPK-ID is already in is not added.
    Added Add(const CatalogueStar& s, std::string& why) {
        sqlite3_stmt* st = stars_.get();
        sqlite3_bind_int64(st, 1, s.SpkId);
        BindText(st, 2, s.Name);
        BindText(st, 3, s.FullName);
        BindText(st, 4, s.SbdbClass);
        sqlite3_bind_int(st, 5, s.OrbiteType);
        sqlite3_bind_int(st, 6, s.Neo ? 1 : 0);
        sqlite3_bind_int(st, 7, s.Pha ? 1 : 0);
        sqlite3_bind_int(st, 8, s.DatasForIt);
        const double values[] = {s.Eccentricity,
                                 s.SemiMajorAxis,
                                 s.PerihelionDistance,
                                 s.Inclination,
                                 s.AscendingNodeLongitude,
                                 s.ArgumentPerihelion,
                                 s.MeanAnomaly,
                                 s.OrbitalPeriod,
                                 s.MeanMotion,
                                 s.ApelionDistance,
                                 s.EarthMOID,
                                 s.AbsoluteMagnitude,
                                 s.Diameter,
                                 s.RotationPeriod,
                                 s.GeometricAlbedo,
                                 s.TimePerihelionPassage,
                                 s.Epoch};
        for (int i = 0; i < 17; ++i)
            sqlite3_bind_double(st, 9 + i, values[i]);
        const int step = sqlite3_step(st);
        const bool duplicate = sqlite3_extended_errcode(db_.get()) == SQLITE_CONSTRAINT_PRIMARYKEY;
        if (step != SQLITE_DONE)
            why = SqliteReason(db_.get());
        sqlite3_reset(st);
        if (step == SQLITE_DONE) {
            FaultInjection::RowWritten();
            return Added::Yes;
        }
        return duplicate ? Added::Duplicate : Added::Failed;
    }

    // Adds the classes and the index and closes the file.
    bool Finish(const std::vector<OrbitClassEntry>& classes, std::string& why) {
        StatementHandle insert = Prepare(db_.get(), "INSERT INTO [Orbites] VALUES (?, ?, ?)", why);
        if (!insert)
            return false;
        for (const OrbitClassEntry& entry : classes) {
            sqlite3_stmt* st = insert.get();
            sqlite3_bind_int(st, 1, entry.Index);
            BindText(st, 2, entry.Name);
            if (entry.SbdbCode.empty())
                sqlite3_bind_null(st, 3);
            else
                BindText(st, 3, entry.SbdbCode);
            if (sqlite3_step(st) != SQLITE_DONE) {
                why = SqliteReason(db_.get());
                return false;
            }
            sqlite3_reset(st);
        }
        insert.reset();
        stars_.reset();
        if (!Execute(db_.get(), kClassIndex, why) || !Execute(db_.get(), "COMMIT", why))
            return false;
        if (sqlite3_close(db_.get()) != SQLITE_OK) {
            why = SqliteReason(db_.get());
            return false;
        }
        db_.release();
        return true;
    }

  private:
    DatabaseHandle db_;
    StatementHandle stars_;
};

// Inserts the classes and the stars into a fresh database at `path`.
bool WriteInto(const std::string& path, const CatalogueContent& content, std::string& why) {
    CatalogueWriter writer;
    if (!writer.Open(path, why))
        return false;
    for (const CatalogueStar& star : content.Stars) {
        if (writer.Add(star, why) != CatalogueWriter::Added::Yes)
            return false;
    }
    return writer.Finish(content.Classes, why);
}

}  // namespace

bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error, const LockWaiting& waiting) {
    const std::optional<CatalogueLock> lock = CatalogueLock::Take(path, waiting, error);
    return lock && WriteCatalogueFile(path, content, error, *lock);
}

bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error, const CatalogueLock&) {
    RemoveStaleTemporariesOf(path);
    return ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            return WriteInto(temporary, content, why);
        },
        error, LinkUse::ReplaceWhatItLeadsTo);
}

CatalogueFileOutcome WriteCatalogueFromExports(const std::string& path,
                                               const std::vector<std::string>& files,
                                               const std::string& datasFolder,
                                               const ProblemSink& problems,
                                               const LockWaiting& waiting,
                                               const std::function<void(std::uint64_t, std::uint64_t)>& read) {
    using Result = CatalogueFileOutcome::Result;
    CatalogueFileOutcome outcome;
    const std::optional<CatalogueLock> lock = CatalogueLock::Take(path, waiting, outcome.Error);
    if (!lock) {
        outcome.Outcome = Result::CannotRead;
        return outcome;
    }
    RemoveStaleTemporariesOf(path);
    std::string listing;
    const StarFileIndex withFiles = StarFileIndex::Read(datasFolder, &listing);
    if (!listing.empty()) {
        // The marks of the files there would all be lost.
        outcome.Outcome = Result::CannotRead;
        outcome.Error = "cannot list " + listing;
        return outcome;
    }
    std::string error;
    const bool written = ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            CatalogueWriter writer;
            if (!writer.Open(temporary, why))
                return false;
            CatalogueAssembler assembler(problems);
            bool allRead = true;
            bool writeFailed = false;
            // Regular files are read twice; a pipe's size is not known, nor then the whole.
            std::uint64_t total = 0;
            for (const std::string& name : files) {
                std::error_code unknown;
                const bool regular = std::filesystem::is_regular_file(name, unknown);
                total = regular && total != UINT64_MAX
                            ? total + 2 * std::filesystem::file_size(name, unknown)
                            : UINT64_MAX;
            }
            std::uint64_t before = 0;
            std::uint64_t thisFile = 0;
            const auto onRead = [&](std::uint64_t done, std::uint64_t) {
                thisFile = done;
                if (read)
                    read(before + done, total == UINT64_MAX ? 0 : total);
            };
            for (const std::string& name : files) {
                before += thisFile;
                thisFile = 0;
                const std::string fileError = ReadSbdbFile(name, name, [&](const SbdbBody& body) {
                    if (writeFailed)
                        return;
                    std::optional<CatalogueStar> star = assembler.Admit(name, body);
                    if (!star)
                        return;
                    star->DatasForIt =
                        HasCompleteEphemerisFile(withFiles, datasFolder, star->SpkId) ? 1 : 0;
                    switch (writer.Add(*star, why)) {
                        case CatalogueWriter::Added::Yes:
                            assembler.Keep(*star);
                            ++outcome.Stars;
                            outcome.StarsWithFiles += static_cast<std::size_t>(star->DatasForIt);
                            break;
                        case CatalogueWriter::Added::Duplicate:
                            assembler.Drop(name, body, star->SpkId);
                            break;
                        case CatalogueWriter::Added::Failed:
                            writeFailed = true;
                            break;
                    }
                }, onRead);
                if (writeFailed)
                    return false;
                if (!fileError.empty()) {
                    problems(ProblemKind::FileError, fileError, fileError);
                    allRead = false;
                }
            }
            if (!allRead) {
                outcome.Outcome = Result::FileError;
                return false;
            }
            if (outcome.Stars == 0) {
                outcome.Outcome = Result::NoBody;
                return false;
            }
            const std::vector<OrbitClassEntry> classes = assembler.Classes();
            outcome.Classes = classes.size();
            return writer.Finish(classes, why);
        },
        error, LinkUse::ReplaceWhatItLeadsTo);
    if (written) {
        outcome.Outcome = Result::Written;
    } else if (outcome.Outcome == Result::CannotWrite) {
        outcome.Error = error;
    }
    return outcome;
}

bool MarkStarsWithCompleteFiles(CatalogueContent& content, const std::string& datasFolder,
                                std::string& error) {
    std::string listing;
    const StarFileIndex files = StarFileIndex::Read(datasFolder, &listing);
    if (!listing.empty()) {
        error = "cannot list " + listing;
        return false;
    }
    for (CatalogueStar& star : content.Stars) {
        if (HasCompleteEphemerisFile(files, datasFolder, star.SpkId))
            star.DatasForIt = 1;
    }
    return true;
}
