#include "tools/EphemerisBuilder.h"

#include <erfa.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "data/CatalogueStatements.h"
#include "data/StarFile.h"
#include "tools/AtomicFile.h"
#include "tools/Constellations.h"
#include "tools/EarthTable.h"
#include "tools/ElementBounds.h"
#include "tools/FaultInjection.h"
#include "tools/NumberText.h"
#include "tools/ParallelFor.h"
#include "tools/PlanetTable.h"
#include "tools/ToolDatabase.h"

namespace {

// Every day of the years, with what all stars share for it, computed on `threads` threads.
std::vector<DayContext> MakeDays(int firstYear, int lastYear, unsigned threads) {
    struct Date {
        int Year, Month, Day;
    };
    std::vector<Date> dates;
    for (int year = firstYear; year <= lastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            const int length = month == 2 && leap ? 29 : kLength[month - 1];
            for (int day = 1; day <= length; ++day)
                dates.push_back({year, month, day});
        }
    }
    // TT - UTC stays within a few minutes of a day's start over the years.
    const EarthTable earth(CivilJulianDay(firstYear, 1, 1, 0).Value(),
                           CivilJulianDay(lastYear, 12, 31, 0).Value() + 1, threads);
    std::vector<DayContext> days(dates.size());
    constexpr std::size_t kDaysPerTask = 64;
    ParallelFor((dates.size() + kDaysPerTask - 1) / kDaysPerTask, threads, [&](std::size_t task) {
        const std::size_t end = std::min(dates.size(), (task + 1) * kDaysPerTask);
        for (std::size_t d = task * kDaysPerTask; d < end; ++d)
            days[d] = MakeDayContext(dates[d].Year, dates[d].Month, dates[d].Day, &earth);
    });
    return days;
}

std::string Label(const EphemerisStar& star) {
    return std::to_string(star.SpkId) + " " + star.Name;
}

EphemerisComputation ComputeEntries(const EphemerisStar& star, const std::vector<DayContext>& days,
                                    OrbitModel model, const PlanetTable* planets) {
    std::vector<double> times;
    times.reserve(days.size());
    for (const DayContext& day : days)
        times.push_back(day.TT.Value());
    EphemerisComputation result;
    const Propagation propagation = PropagateOrbit(star.Elements, times, model, planets);
    if (!propagation.Failure.empty()) {
        result.Failure = propagation.Failure;
        return result;
    }
    const std::vector<StateVector>& states = propagation.States;
    const ConstellationFinder& constellations = ConstellationFinder::Builtin();

    result.Entries.reserve(days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        const DayContext& day = days[i];
        const StateVector& state = states[i];
        const double t = times[i];
        std::function<Vector3(double)> at;
        if (model == OrbitModel::TwoBody) {
            at = [&](double when) { return KeplerState(star.Elements, when).Position; };
        } else {
            // Over the light time (minutes to hours) a second-order step from the day's state
            // is exact far below the file's precision.
            at = [&](double when) {
                const double dt = when - t;
                const double r = Norm(state.Position);
                const Vector3 acceleration = (-kSunGM / (r * r * r)) * state.Position;
                return state.Position + dt * state.Velocity + (0.5 * dt * dt) * acceleration;
            };
        }
        const SkyPlace place = ComputeSkyPlace(day, at, constellations);
        EphemerisEntry entry;
        entry.Year = day.Year;
        entry.Month = day.Month;
        entry.Day = day.Day;
        entry.DayOfWeek = day.DayOfWeek;
        entry.Constellation = place.Constellation;
        entry.Astrometric = place.Astrometric;
        entry.Earth = place.Earth;
        entry.Galactic = place.Galactic;
        entry.Geometric = place.Geometric;
        result.Entries.push_back(entry);
    }
    return result;
}

// Why the perturbed model cannot start from the star's epoch; empty when it can.
std::string PerturbedEpochProblem(const EphemerisStar& star) {
    const double first = CivilJulianDay(kFirstPerturbedEpochYear, 1, 1, 0).Value();
    const double end = CivilJulianDay(kLastPerturbedEpochYear + 1, 1, 1, 0).Value();
    const double epoch = star.Elements.Epoch;
    if (epoch >= first && epoch < end)
        return {};
    int year = 0, month = 0, day = 0;
    double fraction = 0;
    eraJd2cal(epoch, 0, &year, &month, &day, &fraction);
    return "the elements' epoch (JD " + NumberText(epoch) + ", year " + std::to_string(year) +
           ") lies outside " + std::to_string(kFirstPerturbedEpochYear) + "-" +
           std::to_string(kLastPerturbedEpochYear) +
           ", the years the perturbed model starts from (--two-body takes any epoch)";
}

// The planets over the days and the epochs of the stars.
std::unique_ptr<PlanetTable> PlanetsFor(const std::vector<EphemerisStar>& stars,
                                        const std::vector<DayContext>& days, unsigned threads) {
    double first = days.front().TT.Value();
    double last = days.back().TT.Value();
    for (const EphemerisStar& star : stars) {
        first = std::min(first, star.Elements.Epoch);
        last = std::max(last, star.Elements.Epoch);
    }
    return std::make_unique<PlanetTable>(first, last, threads);
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
    DatabaseHandle db = OpenDatabase(cataloguePath, SQLITE_OPEN_READONLY, why);
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
        error = cataloguePath + ": not a catalogue written by nivra-data (" + why + ")";
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
            problems.push_back(std::to_string(id) + (ofAClass ? ": not in the catalogue or the class"
                                                              : ": not in the catalogue"));
    }
    return true;
}

EphemerisComputation ComputeEphemeris(const EphemerisStar& star, int firstYear, int lastYear,
                                      OrbitModel model) {
    const unsigned threads = ThreadsFor(0);
    const std::vector<DayContext> days = MakeDays(firstYear, lastYear, threads);
    std::unique_ptr<PlanetTable> planets;
    if (model == OrbitModel::Perturbed) {
        if (std::string problem = PerturbedEpochProblem(star); !problem.empty())
            return {{}, problem};
        planets = PlanetsFor({star}, days, threads);
    }
    return ComputeEntries(star, days, model, planets.get());
}

bool MarkStarsWithData(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                       std::string& error) {
    return SetDataMarks(cataloguePath, spkIds, {}, error);
}

bool SetDataMarks(const std::string& cataloguePath, const std::vector<std::uint32_t>& marked,
                  const std::vector<std::uint32_t>& unmarked, std::string& error) {
    RemoveStaleTemporariesOf(cataloguePath);
    return ReplaceFileAtomically(
        cataloguePath,
        [&](const std::string& temporary, std::string& why) {
            std::error_code copyError;
            std::filesystem::copy_file(cataloguePath, temporary,
                                       std::filesystem::copy_options::overwrite_existing,
                                       copyError);
            if (copyError) {
                why = copyError.message();
                return false;
            }
            DatabaseHandle db = OpenDatabase(temporary, SQLITE_OPEN_READWRITE, why);
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
    ParallelFor(computable.size(), threads, [&](std::size_t i) {
        const EphemerisStar& star = *computable[i];
        std::string problem;
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
                WriteEphemerisFile(StarFilePath(run.OutFolder, star.SpkId), header,
                                   computation.Entries, problem);
            }
        } catch (const std::exception& exception) {
            problem = std::string("stopped: ") + exception.what() + "; no file";
        }
        std::lock_guard<std::mutex> guard(lock);
        if (!problem.empty()) {
            report.Problems.push_back(Label(star) + ": " + problem);
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
        error = "cannot create " + run.OutFolder + ": " +
                (folderError ? folderError.message() : "not a folder");
        return false;
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
    if (written.empty()) {
        error = "no file written";
        return false;
    }
    if (!run.Part && !MarkStarsWithData(run.CataloguePath, written, error))
        return false;
    report.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}

void KeepFreedMemoryForReuse() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}
