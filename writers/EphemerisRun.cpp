// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/EphemerisRun.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

#include "data/CatalogueStatements.h"
#include "data/StarFile.h"
#include "ephemeris/Constellations.h"
#include "ephemeris/ParallelFor.h"
#include "ephemeris/PlanetTable.h"
#include "sbdb/ElementBounds.h"
#include "writers/AtomicFile.h"
#include "writers/CatalogueLock.h"
#include "writers/FaultInjection.h"
#include "writers/ToolDatabase.h"

namespace {

std::string Label(const EphemerisStar& star) {
    return std::to_string(star.SpkId) + " " + star.Name;
}

// "2000001.Nvr": the name of an ephemeris file of this tool.
bool IsEphemerisFileName(std::string_view name) {
    const std::size_t dot = name.find('.');
    return dot != 0 && dot != std::string_view::npos && name.substr(dot) == ".Nvr" &&
           name.substr(0, dot).find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

bool ReadEphemerisStars(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                        std::vector<EphemerisStar>& stars, std::vector<std::string>& problems,
                        std::string& error, const StarFilter& filter) {
    if (!std::filesystem::is_regular_file(cataloguePath)) {
        error = cataloguePath + ": no such catalogue";
        return false;
    }
    std::string why;
    DatabaseHandle db = OpenCatalogueForReading(cataloguePath, why);
    if (!db) {
        error = "cannot open " + cataloguePath + ": " + why;
        return false;
    }
    std::string condition;
    namespace Codes = CatalogueStatements;
    if (filter.OrbitClass && *filter.OrbitClass != Codes::kEveryStar) {
        condition = *filter.OrbitClass == Codes::kNearEarthObjects ? " WHERE [OrbiteTypeNeo] = 1"
                    : *filter.OrbitClass == Codes::kPotentiallyHazardous
                        ? " WHERE [OrbiteTypePha] = 1"
                        : " WHERE [OrbiteType] = " + std::to_string(*filter.OrbitClass);
    }
    const std::string text =
        "SELECT [SpkId], [Name], [Eccentricity], [PerihelionDistance], [Inclination], "
        "[AscendingNodeLongitude], [ArgumentPerihelion], [MeanAnomaly], [Epoch] FROM [AllStars]" +
        condition + " ORDER BY [SpkId]";
    StatementHandle statement = Prepare(db.get(), text.c_str(), why);
    if (!statement) {
        error = CatalogueReadProblem(cataloguePath, db.get(), why);
        return false;
    }
    const auto inPart = [&](std::uint32_t id) { return !filter.Part || InShard(id, *filter.Part); };
    std::set<std::uint32_t> wanted;
    for (std::uint32_t id : spkIds) {
        if (inPart(id))
            wanted.insert(id);
    }
    std::set<std::uint32_t> found;
    sqlite3_stmt* st = statement.get();
    int step = SQLITE_ROW;
    std::size_t selected = 0;  // rows of the class, whatever the SPK-IDs and the shard
    while ((step = sqlite3_step(st)) == SQLITE_ROW) {
        ++selected;
        const auto id = static_cast<std::uint32_t>(sqlite3_column_int64(st, 0));
        if ((!spkIds.empty() && !wanted.count(id)) || !inPart(id))
            continue;
        found.insert(id);
        EphemerisStar star;
        star.SpkId = id;
        const unsigned char* name = sqlite3_column_text(st, 1);
        star.Name = name != nullptr ? reinterpret_cast<const char*>(name) : "";
        // A missing value reads as NaN, so that the bounds refuse it.
        auto real = [&](int column) {
            return sqlite3_column_type(st, column) == SQLITE_NULL
                       ? NAN
                       : sqlite3_column_double(st, column);
        };
        star.Elements.Eccentricity = real(2);
        star.Elements.PerihelionDistance = real(3);
        star.Elements.Inclination = real(4);
        star.Elements.AscendingNode = real(5);
        star.Elements.ArgumentPerihelion = real(6);
        star.Elements.MeanAnomaly = real(7);
        star.Elements.Epoch = real(8);
        if (const std::string problem = ElementsProblem(star.Elements); !problem.empty()) {
            problems.push_back(Label(star) + ": " + problem + "; no ephemeris");
            continue;
        }
        stars.push_back(std::move(star));
    }
    if (step != SQLITE_DONE) {
        error = cataloguePath + ": " + SqliteReason(db.get());
        return false;
    }
    const bool ofAClass = filter.OrbitClass && *filter.OrbitClass != Codes::kEveryStar;
    if (selected == 0) {
        // Said by every shard alike: a mistyped class must not pass for an empty shard.
        problems.push_back(ofAClass ? "orbit class " + std::to_string(*filter.OrbitClass) +
                                          ": no star of the catalogue"
                                    : cataloguePath + ": no star");
    }
    for (std::uint32_t id : wanted) {
        if (!found.count(id))
            problems.push_back(std::to_string(id) + (ofAClass
                                                         ? ": not in the catalogue or the class"
                                                         : ": not in the catalogue"));
    }
    return true;
}

bool MarkStarsWithData(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                       const LockWaiting& waiting, std::string& error) {
    const std::optional<CatalogueLock> lock = CatalogueLock::Take(cataloguePath, waiting, error);
    return lock && SetDataMarks(cataloguePath, spkIds, {}, *lock, error);
}

bool SetDataMarks(const std::string& cataloguePath, const std::vector<std::uint32_t>& marked,
                  const std::vector<std::uint32_t>& unmarked, const CatalogueLock&,
                  std::string& error) {
    RemoveStaleTemporariesOf(cataloguePath);
    return ReplaceFileAtomically(
        cataloguePath,
        [&](const std::string& temporary, std::string& why) {
            if (!CopyFileInto(cataloguePath, temporary, why))
                return false;
            DatabaseHandle db =
                OpenDatabase(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, why);
            if (!db || !Execute(db.get(), "BEGIN", why))
                return false;
            StatementHandle update =
                Prepare(db.get(), "UPDATE [AllStars] SET [DatasForIt] = ? WHERE [SpkId] = ?", why);
            if (!update)
                return false;
            for (const auto& [ids, mark] : {std::pair{&marked, 1}, std::pair{&unmarked, 0}}) {
                for (std::uint32_t id : *ids) {
                    sqlite3_bind_int(update.get(), 1, mark);
                    sqlite3_bind_int64(update.get(), 2, id);
                    if (sqlite3_step(update.get()) != SQLITE_DONE) {
                        why = SqliteReason(db.get());
                        return false;
                    }
                    sqlite3_reset(update.get());
                    FaultInjection::RowWritten();
                }
            }
            update.reset();
            if (!Execute(db.get(), "COMMIT", why))
                return false;
            if (sqlite3_close(db.get()) != SQLITE_OK) {
                why = SqliteReason(db.get());
                return false;
            }
            db.release();
            return true;
        },
        error, LinkUse::ReplaceWhatItLeadsTo);
}

std::vector<std::uint32_t> WriteEphemerisFiles(
    const std::vector<EphemerisStar>& stars, const EphemerisRun& run, EphemerisRunReport& report,
    const std::function<void(const std::string&)>& progress) {
    const unsigned threads = ThreadsFor(run.Threads);
    std::vector<const EphemerisStar*> computable;
    for (const EphemerisStar& star : stars) {
        const std::string problem =
            run.Model == OrbitModel::Perturbed ? PerturbedEpochProblem(star) : std::string();
        if (problem.empty())
            computable.push_back(&star);
        else
            report.Problems.push_back(Label(star) + ": " + problem + "; no file");
    }
    if (computable.empty())
        return {};

    const std::vector<DayContext> days = MakeDays(run.FirstYear, run.LastYear, threads);
    std::unique_ptr<PlanetTable> planets;
    if (run.Model == OrbitModel::Perturbed) {
        std::vector<EphemerisStar> epochs;
        for (const EphemerisStar* star : computable)
            epochs.push_back(*star);
        planets = PlanetsFor(epochs, days, threads);
    }
    ConstellationFinder::Builtin();  // built before the workers share it

    std::mutex lock;
    std::vector<std::uint32_t> written;
    std::size_t finished = 0;
    ParallelFor(computable.size(), threads, [&](std::size_t i) {
        const EphemerisStar& star = *computable[i];
        std::string problem;
        bool notStored = false;  // the problem is the file's, not the star's
        std::size_t records = 0;
        try {
            const EphemerisComputation computation =
                ComputeEntries(star, days, run.Model, planets.get());
            if (!computation.Failure.empty()) {
                problem = computation.Failure + "; no file";
            } else {
                EphemerisHeader header;
                header.SpkId = star.SpkId;
                header.FirstYear = run.FirstYear;
                header.LastYear = run.LastYear;
                header.EphemerisLink = HorizonsLink(star.SpkId);
                header.OrbitDiagramLink = OrbitDiagramLink(star.SpkId);
                header.PhysicalParameterLink = PhysicalParameterLink(star.SpkId);
                header.Perturbed = run.Model == OrbitModel::Perturbed;
                header.ElementsEpoch = star.Elements.Epoch;
                records = computation.Entries.size();
                // Sound records that could not be written are the file's problem (the disk,
                // the folder); unsound ones are the star's.
                notStored = !WriteEphemerisFile(StarFilePath(run.OutFolder, star.SpkId), header,
                                                computation.Entries, problem) &&
                            FirstUnsoundRecord(computation.Entries).empty();
            }
        } catch (const std::exception& exception) {
            problem = std::string("stopped: ") + exception.what() + "; no file";
        }
        std::lock_guard<std::mutex> guard(lock);
        if (run.Advanced)
            run.Advanced(++finished, computable.size());
        if (!problem.empty()) {
            (notStored ? report.WriteFailures : report.Problems)
                .push_back(Label(star) + ": " + problem);
            return;
        }
        written.push_back(star.SpkId);
        report.Records += static_cast<long long>(records);
        if (progress)
            progress(Label(star) + ": " + std::to_string(records) + " records");
    });
    std::sort(written.begin(), written.end());
    return written;
}

bool RunEphemeris(const EphemerisRun& run, EphemerisRunReport& report, std::string& error,
                  const std::function<void(const std::string&)>& progress) {
    const auto started = std::chrono::steady_clock::now();
    if (run.FirstYear < kFirstEphemerisYear || run.LastYear > kLastEphemerisYear ||
        run.FirstYear > run.LastYear) {
        error = "years must run forwards within " + std::to_string(kFirstEphemerisYear) + "-" +
                std::to_string(kLastEphemerisYear) + " (asked: " + std::to_string(run.FirstYear) +
                "-" + std::to_string(run.LastYear) + ")";
        return false;
    }
    std::vector<EphemerisStar> stars;
    if (!ReadEphemerisStars(run.CataloguePath, run.SpkIds, stars, report.Problems, error,
                            StarFilter{run.OrbitClass, run.Part}))
        return false;
    if (stars.empty()) {
        if (run.Part && report.Problems.empty()) {
            // Every star belongs to one of the other shards.
            report.Seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            return true;
        }
        error = "no star to compute";
        return false;
    }
    std::error_code folderError;
    std::filesystem::create_directories(run.OutFolder, folderError);
    if (!std::filesystem::is_directory(run.OutFolder)) {
        report.WriteFailures.push_back("cannot create " + run.OutFolder + ": " +
                                       (folderError ? folderError.message() : "not a folder"));
        return true;
    }
    if (run.Part) {
        // Only this shard writes its stars' files: a temporary of one of them is a killed
        // earlier attempt's, on this machine or another sharing the folder.
        const std::set<std::uint32_t> own = [&] {
            std::set<std::uint32_t> ids;
            for (const EphemerisStar& star : stars)
                ids.insert(star.SpkId);
            return ids;
        }();
        RemoveStaleTemporaryFiles(
            run.OutFolder,
            [&](std::string_view name) {
                return IsEphemerisFileName(name) &&
                       own.count(static_cast<std::uint32_t>(
                           std::strtoul(std::string(name).c_str(), nullptr, 10)));
            },
            WhoseTemporaries::Any);
    } else {
        RemoveStaleTemporaryFiles(run.OutFolder, IsEphemerisFileName);
    }

    const std::vector<std::uint32_t> written = WriteEphemerisFiles(stars, run, report, progress);
    report.FilesWritten = static_cast<int>(written.size());
    // The renames of the files are made to last before any mark counts on them.
    if (std::string why; !written.empty() && !SyncFolder(run.OutFolder, why)) {
        report.WriteFailures.push_back("cannot sync " + run.OutFolder + ": " + why);
        return true;
    }
    if (!run.Part && !written.empty()) {
        std::optional<CatalogueLock> held =
            CatalogueLock::Take(run.CataloguePath, run.Waiting, error);
        if (!held)
            return false;  // the files stay, unmarked: `mark` sets their marks
        std::string why;
        if (!SetDataMarks(run.CataloguePath, written, {}, *held, why))
            report.WriteFailures.push_back(why + " (the files written stay, unmarked)");
    }
    report.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}
