#include "tools/CatalogueBuilder.h"

#include <sqlite3.h>

#include <cmath>
#include <map>
#include <set>
#include <stdexcept>

#include "tools/AtomicFile.h"
#include "tools/Orbit.h"

namespace {

constexpr double kMaxPhaMoid = 0.05;       // au: potentially hazardous when MOID <= this...
constexpr double kMaxPhaMagnitude = 22.0;  // ...and H <= this
constexpr std::uint32_t kNumberedAsteroidBase = 2000000;  // JPL: SPK-ID = 2000000 + number

double Degrees360(double degrees) {
    double value = std::fmod(degrees, 360.0);
    if (value < 0)
        value += 360.0;
    return value;
}

bool Finite(const std::optional<double>& value) {
    return value && std::isfinite(*value);
}

}  // namespace

const std::vector<OrbitClassEntry>& KnownOrbitClasses() {
    static const std::vector<OrbitClassEntry> classes = {
        {1, "Main-belt Asteroid", "MBA"},
        {2, "Inner Main-belt Asteroid", "IMB"},
        {3, "Outer Main-belt Asteroid", "OMB"},
        {4, "Mars-crossing Asteroid", "MCA"},
        {5, "Amor", "AMO"},
        {6, "Apollo", "APO"},
        {7, "Aten", "ATE"},
        {8, "Atira", "IEO"},
        {9, "Jupiter Trojan", "TJN"},
        {10, "Centaur", "CEN"},
        {11, "Trans-Neptunian Object", "TNO"},
        {12, "Asteroid (other)", "AST"},
        {13, "Parabolic Asteroid", "PAA"},
        {14, "Hyperbolic Asteroid", "HYA"},
        {15, "Jupiter-family Comet", "JFc"},
        {16, "Jupiter-family Comet (P < 20 y)", "JFC"},
        {17, "Halley-type Comet", "HTC"},
        {18, "Encke-type Comet", "ETc"},
        {20, "Chiron-type Comet", "CTc"},
        {21, "Comet (other)", "COM"},
        {22, "Parabolic Comet", "PAR"},
        {23, "Hyperbolic Comet", "HYP"},
    };
    return classes;
}

std::string DisplayName(const std::string& fullName) {
    std::size_t digits = 0;
    while (digits < fullName.size() && fullName[digits] >= '0' && fullName[digits] <= '9')
        ++digits;
    if (digits == 0 || digits >= fullName.size() || fullName[digits] != ' ') {
        return fullName;  // a comet or an unnumbered body
    }
    const std::string rest = fullName.substr(digits + 1);
    if (rest.empty() || rest[0] == '(') {
        return fullName;  // numbered but unnamed: keep the number with the designation
    }
    const std::size_t designation = rest.find(" (");
    return designation == std::string::npos ? rest : rest.substr(0, designation);
}

CatalogueContent BuildCatalogue(const std::vector<NamedSbdbFile>& files, CatalogueReport& report) {
    std::map<std::string, int> codeOf;
    for (const OrbitClassEntry& entry : KnownOrbitClasses())
        codeOf[entry.SbdbCode] = entry.Index;
    int nextCode = 30;  // classes SBDB may add later get codes of their own from here
    std::map<std::string, OrbitClassEntry> unknownClasses;
    std::set<int> usedCodes;
    std::map<std::uint32_t, CatalogueStar> stars;

    for (const NamedSbdbFile& named : files) {
        if (!named.File.Error.empty()) {
            report.Problems.push_back(named.File.Error);
            continue;
        }
        for (const SbdbBody& body : named.File.Bodies) {
            const std::string who =
                named.Name + ": " + (body.FullName.empty() ? "(no name)" : body.FullName);
            std::uint32_t spkId = 0;
            if (body.SpkId) {
                spkId = *body.SpkId;
            } else if (body.Number && *body.Number < 4294967295u - kNumberedAsteroidBase) {
                spkId = kNumberedAsteroidBase + *body.Number;
            } else {
                ++report.WithoutSpkId;
                continue;
            }

            // The orbit: e and the angles, q or a, and the epoch with M or tp.
            std::vector<std::string> missing;
            if (!Finite(body.Eccentricity))
                missing.push_back("e");
            if (!Finite(body.PerihelionDistance) && !Finite(body.SemiMajorAxis))
                missing.push_back("q or a");
            if (!Finite(body.Inclination))
                missing.push_back("i");
            if (!Finite(body.AscendingNode))
                missing.push_back("om");
            if (!Finite(body.ArgumentPerihelion))
                missing.push_back("w");
            if (!Finite(body.Epoch))
                missing.push_back("epoch");
            if (!Finite(body.MeanAnomaly) && !Finite(body.PerihelionTime))
                missing.push_back("ma or tp");
            if (!missing.empty()) {
                std::string list;
                for (const std::string& name : missing)
                    list += (list.empty() ? "" : ", ") + name;
                report.Problems.push_back(who + ": missing " + list + "; not loaded");
                continue;
            }
            const double e = *body.Eccentricity;
            if (e < 0 || e >= 1) {
                report.Problems.push_back(who + ": eccentricity " + std::to_string(e) +
                                          " is not that of an ellipse (0 <= e < 1); not loaded");
                continue;
            }
            const double q = Finite(body.PerihelionDistance) ? *body.PerihelionDistance
                                                             : *body.SemiMajorAxis * (1 - e);
            const double a = Finite(body.SemiMajorAxis) ? *body.SemiMajorAxis : q / (1 - e);
            if (!(q > 0) || !(a > 0)) {
                report.Problems.push_back(
                    who + ": perihelion distance or semi-major axis not positive; not loaded");
                continue;
            }
            if (stars.count(spkId)) {
                report.Problems.push_back(who + ": SPK-ID " + std::to_string(spkId) +
                                          " already loaded; this copy is left out");
                continue;
            }

            CatalogueStar star;
            star.SpkId = spkId;
            star.FullName = body.FullName;
            star.Name = DisplayName(body.FullName);
            star.SbdbClass = body.OrbitClass;
            star.Eccentricity = e;
            star.SemiMajorAxis = a;
            star.PerihelionDistance = q;
            star.Inclination = *body.Inclination;
            star.AscendingNodeLongitude = *body.AscendingNode;
            star.ArgumentPerihelion = *body.ArgumentPerihelion;
            star.Epoch = *body.Epoch;
            star.ApelionDistance =
                Finite(body.AphelionDistance) ? *body.AphelionDistance : a * (1 + e);
            const double keplerMotion = kGaussK / (a * std::sqrt(a)) * 180.0 / M_PI;  // degrees/day
            star.OrbitalPeriod = Finite(body.PeriodDays) && *body.PeriodDays > 0
                                     ? *body.PeriodDays
                                     : 360.0 / keplerMotion;
            star.MeanMotion = Finite(body.MeanMotion) ? *body.MeanMotion : 0.0;
            const double motion = 360.0 / star.OrbitalPeriod;  // degrees/day
            if (Finite(body.MeanAnomaly)) {
                star.MeanAnomaly = Degrees360(*body.MeanAnomaly);
            } else {
                star.MeanAnomaly = Degrees360(motion * (star.Epoch - *body.PerihelionTime));
            }
            if (Finite(body.PerihelionTime)) {
                star.TimePerihelionPassage = *body.PerihelionTime;
            } else {
                // The passage nearest the epoch.
                star.TimePerihelionPassage = star.MeanAnomaly <= 180.0
                                                 ? star.Epoch - star.MeanAnomaly / motion
                                                 : star.Epoch + (360.0 - star.MeanAnomaly) / motion;
            }
            star.EarthMOID = body.EarthMoid.value_or(0.0);
            star.AbsoluteMagnitude = body.AbsoluteMagnitude.value_or(0.0);
            star.Diameter = body.Diameter.value_or(0.0);
            star.RotationPeriod = body.RotationPeriod.value_or(0.0);
            star.GeometricAlbedo = body.Albedo.value_or(0.0);
            star.Neo = body.Neo;
            star.Pha = body.Pha.value_or(
                body.Neo && Finite(body.EarthMoid) && *body.EarthMoid <= kMaxPhaMoid &&
                Finite(body.AbsoluteMagnitude) && *body.AbsoluteMagnitude <= kMaxPhaMagnitude);

            const std::string code = body.OrbitClass.empty() ? "AST" : body.OrbitClass;
            if (const auto known = codeOf.find(code); known != codeOf.end()) {
                star.OrbiteType = known->second;
            } else {
                auto [entry, added] =
                    unknownClasses.try_emplace(code, OrbitClassEntry{nextCode, code, code});
                if (added)
                    ++nextCode;
                star.OrbiteType = entry->second.Index;
            }
            usedCodes.insert(star.OrbiteType);
            stars.emplace(spkId, std::move(star));
        }
    }

    CatalogueContent content;
    content.Classes.push_back({kEveryStarClass, "All stars", ""});
    content.Classes.push_back({kNearEarthClass, "Near-Earth Objects", ""});
    content.Classes.push_back({kHazardousClass, "Potentially Hazardous Asteroids", ""});
    for (const OrbitClassEntry& entry : KnownOrbitClasses()) {
        if (usedCodes.count(entry.Index))
            content.Classes.push_back(entry);
    }
    for (const auto& [code, entry] : unknownClasses)
        content.Classes.push_back(entry);
    for (auto& [id, star] : stars)
        content.Stars.push_back(std::move(star));
    return content;
}

namespace {

struct Database {
    sqlite3* db = nullptr;
    ~Database() { sqlite3_close(db); }
    void Exec(const std::string& sql) const {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message != nullptr ? message : "unknown error";
            sqlite3_free(message);
            throw std::runtime_error(text);
        }
    }
};

struct Statement {
    sqlite3_stmt* statement = nullptr;
    ~Statement() { sqlite3_finalize(statement); }
};

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
CREATE INDEX [AllStarsByClass] ON [AllStars] ([OrbiteType]);
)sql";

bool WriteInto(const std::string& path, const CatalogueContent& content, std::string& error) {
    Database database;
    if (sqlite3_open(path.c_str(), &database.db) != SQLITE_OK) {
        error = "cannot create " + path + ": " + sqlite3_errmsg(database.db);
        return false;
    }
    try {
        database.Exec(kSchema);
        database.Exec("BEGIN");
        {
            Statement insert;
            sqlite3_prepare_v2(database.db, "INSERT INTO [Orbites] VALUES (?, ?, ?)", -1,
                               &insert.statement, nullptr);
            for (const OrbitClassEntry& entry : content.Classes) {
                sqlite3_bind_int(insert.statement, 1, entry.Index);
                sqlite3_bind_text(insert.statement, 2, entry.Name.c_str(), -1, SQLITE_TRANSIENT);
                if (entry.SbdbCode.empty())
                    sqlite3_bind_null(insert.statement, 3);
                else
                    sqlite3_bind_text(insert.statement, 3, entry.SbdbCode.c_str(), -1,
                                      SQLITE_TRANSIENT);
                if (sqlite3_step(insert.statement) != SQLITE_DONE)
                    throw std::runtime_error(sqlite3_errmsg(database.db));
                sqlite3_reset(insert.statement);
            }
        }
        {
            Statement insert;
            if (sqlite3_prepare_v2(
                    database.db,
                    "INSERT INTO [AllStars] VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
                    "?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25)",
                    -1, &insert.statement, nullptr) != SQLITE_OK) {
                throw std::runtime_error(sqlite3_errmsg(database.db));
            }
            for (const CatalogueStar& s : content.Stars) {
                sqlite3_stmt* st = insert.statement;
                sqlite3_bind_int64(st, 1, s.SpkId);
                sqlite3_bind_text(st, 2, s.Name.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(st, 3, s.FullName.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(st, 4, s.SbdbClass.c_str(), -1, SQLITE_TRANSIENT);
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
                if (sqlite3_step(st) != SQLITE_DONE)
                    throw std::runtime_error(sqlite3_errmsg(database.db));
                sqlite3_reset(st);
            }
        }
        database.Exec("COMMIT");
    } catch (const std::exception& exception) {
        error = "cannot write " + path + ": " + exception.what();
        return false;
    }
    if (sqlite3_close(database.db) != SQLITE_OK) {
        error = "cannot finish " + path + ": " + sqlite3_errmsg(database.db);
        return false;
    }
    database.db = nullptr;
    return true;
}

}  // namespace

bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error) {
    return ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            return WriteInto(temporary, content, why);
        },
        error);
}
