#include "tools/EphemerisBuilder.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "data/StarFile.h"
#include "tools/AtomicFile.h"
#include "tools/Constellations.h"
#include "tools/PlanetTable.h"

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

DatabaseHandle OpenDatabase(const std::string& path, int flags, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error =
            "cannot open " + path + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    return DatabaseHandle(db);
}

// Every day of the years, with what all stars share for it.
std::vector<DayContext> MakeDays(int firstYear, int lastYear) {
    std::vector<DayContext> days;
    for (int year = firstYear; year <= lastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            const int length = month == 2 && leap ? 29 : kLength[month - 1];
            for (int day = 1; day <= length; ++day)
                days.push_back(MakeDayContext(year, month, day));
        }
    }
    return days;
}

std::vector<EphemerisEntry> ComputeEntries(const EphemerisStar& star,
                                           const std::vector<DayContext>& days, OrbitModel model,
                                           const PlanetTable* planets) {
    std::vector<double> times;
    times.reserve(days.size());
    for (const DayContext& day : days)
        times.push_back(day.TT.Value());
    const std::vector<StateVector> states = PropagateOrbit(star.Elements, times, model, planets);
    const ConstellationFinder& constellations = ConstellationFinder::Builtin();

    std::vector<EphemerisEntry> entries;
    entries.reserve(days.size());
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
        entries.push_back(entry);
    }
    return entries;
}

std::unique_ptr<PlanetTable> PlanetsFor(const std::vector<EphemerisStar>& stars,
                                        const std::vector<DayContext>& days) {
    double first = days.front().TT.Value();
    double last = days.back().TT.Value();
    for (const EphemerisStar& star : stars) {
        first = std::min(first, star.Elements.Epoch);
        last = std::max(last, star.Elements.Epoch);
    }
    return std::make_unique<PlanetTable>(first, last);
}

}  // namespace

bool ReadEphemerisStars(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                        std::vector<EphemerisStar>& stars, std::vector<std::string>& problems,
                        std::string& error) {
    if (!std::filesystem::is_regular_file(cataloguePath)) {
        error = cataloguePath + ": no such catalogue";
        return false;
    }
    DatabaseHandle db = OpenDatabase(cataloguePath, SQLITE_OPEN_READONLY, error);
    if (!db)
        return false;
    sqlite3_stmt* statement = nullptr;
    const char* query =
        "SELECT [SpkId], [Name], [Eccentricity], [PerihelionDistance], [Inclination], "
        "[AscendingNodeLongitude], [ArgumentPerihelion], [MeanAnomaly], [Epoch] FROM [AllStars] "
        "ORDER BY [SpkId]";
    if (sqlite3_prepare_v2(db.get(), query, -1, &statement, nullptr) != SQLITE_OK) {
        error = cataloguePath + ": not a catalogue written by nivra-data (" +
                sqlite3_errmsg(db.get()) + ")";
        return false;
    }
    const std::set<std::uint32_t> wanted(spkIds.begin(), spkIds.end());
    std::set<std::uint32_t> found;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const auto id = static_cast<std::uint32_t>(sqlite3_column_int64(statement, 0));
        if (!wanted.empty() && !wanted.count(id))
            continue;
        found.insert(id);
        EphemerisStar star;
        star.SpkId = id;
        const unsigned char* name = sqlite3_column_text(statement, 1);
        star.Name = name != nullptr ? reinterpret_cast<const char*>(name) : "";
        star.Elements.Eccentricity = sqlite3_column_double(statement, 2);
        star.Elements.PerihelionDistance = sqlite3_column_double(statement, 3);
        star.Elements.Inclination = sqlite3_column_double(statement, 4);
        star.Elements.AscendingNode = sqlite3_column_double(statement, 5);
        star.Elements.ArgumentPerihelion = sqlite3_column_double(statement, 6);
        star.Elements.MeanAnomaly = sqlite3_column_double(statement, 7);
        star.Elements.Epoch = sqlite3_column_double(statement, 8);
        const OrbitalElements& e = star.Elements;
        if (!(e.Eccentricity >= 0 && e.Eccentricity < 1) || !(e.PerihelionDistance > 0) ||
            !(e.Epoch > 0)) {
            problems.push_back(std::to_string(id) + " " + star.Name +
                               ": no usable elliptic orbit in the catalogue; no ephemeris");
            continue;
        }
        stars.push_back(std::move(star));
    }
    sqlite3_finalize(statement);
    for (std::uint32_t id : wanted) {
        if (!found.count(id))
            problems.push_back(std::to_string(id) + ": not in the catalogue");
    }
    return true;
}

std::vector<EphemerisEntry> ComputeEphemeris(const EphemerisStar& star, int firstYear, int lastYear,
                                             OrbitModel model) {
    const std::vector<DayContext> days = MakeDays(firstYear, lastYear);
    std::unique_ptr<PlanetTable> planets;
    if (model == OrbitModel::Perturbed)
        planets = PlanetsFor({star}, days);
    return ComputeEntries(star, days, model, planets.get());
}

bool MarkStarsWithData(const std::string& cataloguePath, const std::vector<std::uint32_t>& spkIds,
                       std::string& error) {
    return ReplaceFileAtomically(
        cataloguePath,
        [&](const std::string& temporary, std::string& why) {
            std::error_code copyError;
            std::filesystem::copy_file(cataloguePath, temporary,
                                       std::filesystem::copy_options::overwrite_existing,
                                       copyError);
            if (copyError) {
                why = "cannot copy " + cataloguePath + ": " + copyError.message();
                return false;
            }
            DatabaseHandle db = OpenDatabase(temporary, SQLITE_OPEN_READWRITE, why);
            if (!db)
                return false;
            sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr);
            sqlite3_stmt* update = nullptr;
            if (sqlite3_prepare_v2(db.get(),
                                   "UPDATE [AllStars] SET [DatasForIt] = 1 WHERE [SpkId] = ?", -1,
                                   &update, nullptr) != SQLITE_OK) {
                why = cataloguePath + ": " + sqlite3_errmsg(db.get());
                return false;
            }
            for (std::uint32_t id : spkIds) {
                sqlite3_bind_int64(update, 1, id);
                sqlite3_step(update);
                sqlite3_reset(update);
            }
            sqlite3_finalize(update);
            if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
                why = cataloguePath + ": " + sqlite3_errmsg(db.get());
                return false;
            }
            return true;
        },
        error);
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
    if (!ReadEphemerisStars(run.CataloguePath, run.SpkIds, stars, report.Problems, error))
        return false;
    if (stars.empty()) {
        error = "no star to compute";
        return false;
    }
    std::error_code folderError;
    std::filesystem::create_directories(run.OutFolder, folderError);
    if (!std::filesystem::is_directory(run.OutFolder)) {
        error =
            "cannot create " + run.OutFolder + (folderError ? ": " + folderError.message() : "");
        return false;
    }

    const std::vector<DayContext> days = MakeDays(run.FirstYear, run.LastYear);
    std::unique_ptr<PlanetTable> planets;
    if (run.Model == OrbitModel::Perturbed)
        planets = PlanetsFor(stars, days);
    ConstellationFinder::Builtin();  // built before the workers share it

    std::atomic<std::size_t> next{0};
    std::mutex lock;
    std::vector<std::uint32_t> written;
    auto work = [&] {
        for (std::size_t i = next++; i < stars.size(); i = next++) {
            const EphemerisStar& star = stars[i];
            const std::vector<EphemerisEntry> entries =
                ComputeEntries(star, days, run.Model, planets.get());
            EphemerisHeader header;
            header.SpkId = star.SpkId;
            header.FirstYear = run.FirstYear;
            header.LastYear = run.LastYear;
            header.EphemerisLink = HorizonsLink(star.SpkId);
            header.OrbitDiagramLink = OrbitDiagramLink(star.SpkId);
            header.PhysicalParameterLink = PhysicalParameterLink(star.SpkId);
            header.Perturbed = run.Model == OrbitModel::Perturbed;
            header.ElementsEpoch = star.Elements.Epoch;
            std::string why;
            const bool ok =
                WriteEphemerisFile(StarFilePath(run.OutFolder, star.SpkId), header, entries, why);
            std::lock_guard<std::mutex> guard(lock);
            if (ok) {
                written.push_back(star.SpkId);
                report.Records += static_cast<long long>(entries.size());
                if (progress)
                    progress(std::to_string(star.SpkId) + " " + star.Name + ": " +
                             std::to_string(entries.size()) + " records");
            } else {
                report.Problems.push_back(why);
            }
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned threads =
        std::min<unsigned>(run.Threads > 0 ? static_cast<unsigned>(run.Threads) : cores,
                           static_cast<unsigned>(stars.size()));
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();

    report.FilesWritten = static_cast<int>(written.size());
    std::sort(written.begin(), written.end());
    if (!written.empty() && !MarkStarsWithData(run.CataloguePath, written, error))
        return false;
    report.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}
