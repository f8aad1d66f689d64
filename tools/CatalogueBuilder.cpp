#include "tools/CatalogueBuilder.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "data/StarFile.h"
#include "tools/AtomicFile.h"
#include "tools/ElementBounds.h"
#include "tools/EphemerisFile.h"
#include "tools/FaultInjection.h"
#include "tools/NumberText.h"
#include "tools/Orbit.h"
#include "tools/ToolDatabase.h"

namespace {

constexpr double kMaxPhaMoid = 0.05;       // au: potentially hazardous when MOID <= this...
constexpr double kMaxPhaMagnitude = 22.0;  // ...and H <= this
constexpr std::uint32_t kNumberedAsteroidBase = 2000000;  // JPL: SPK-ID = 2000000 + number
// An export's period is kept when within this fraction of Kepler's period from a; SBDB's
// comets with rounded old elements differ by up to 0.5%.
constexpr double kPeriodAgreement = 0.05;
constexpr double kDegreesPerRadian = 180.0 / M_PI;

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// The text with every control character written as backslash, u and four hex digits (NUL:
// "\\u0000"), so that a message shows it.
std::string Printable(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (IsControl(c)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

// Why a given value is out of bounds, quoted ("e = 1.0000001 is not below 1 (an ellipse)");
// empty when it is inside.
std::string Quoted(const SbdbValue& value, ElementKind kind) {
    const std::string problem =
        value.Number ? BoundProblem(kind, *value.Number) : "is not a finite number";
    return problem.empty() ? problem : value.Quoted() + " " + problem;
}

// An informational value: its number, or 0 (unknown) with a note when it is given but is no
// finite number.
double Informational(const SbdbValue& value, const std::string& who,
                     std::vector<std::string>& notes) {
    if (value.Given() && !value.Number)
        notes.push_back(who + ": " + value.Quoted() + " is not a finite number; left unknown");
    return value.Number.value_or(0.0);
}

// The elements of a body into `star`; empty, or why the body is refused.
std::string ReadElements(const SbdbBody& body, CatalogueStar& star) {
    std::vector<std::string> missing;
    if (!body.Eccentricity.Given())
        missing.push_back("e");
    if (!body.PerihelionDistance.Given() && !body.SemiMajorAxis.Given())
        missing.push_back("q or a");
    if (!body.Inclination.Given())
        missing.push_back("i");
    if (!body.AscendingNode.Given())
        missing.push_back("om");
    if (!body.ArgumentPerihelion.Given())
        missing.push_back("w");
    if (!body.Epoch.Given())
        missing.push_back("epoch");
    if (!body.MeanAnomaly.Given() && !body.PerihelionTime.Given())
        missing.push_back("ma or tp");
    if (!missing.empty()) {
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : ", ") + name;
        return "missing " + list;
    }
    const std::pair<const SbdbValue*, ElementKind> checks[] = {
        {&body.Eccentricity, ElementKind::Eccentricity},
        {&body.PerihelionDistance, ElementKind::PerihelionDistance},
        {&body.SemiMajorAxis, ElementKind::SemiMajorAxis},
        {&body.Inclination, ElementKind::Inclination},
        {&body.AscendingNode, ElementKind::Angle},
        {&body.ArgumentPerihelion, ElementKind::Angle},
        {&body.MeanAnomaly, ElementKind::Angle},
        {&body.Epoch, ElementKind::JulianDay},
        {&body.PerihelionTime, ElementKind::JulianDay},
    };
    for (const auto& [value, kind] : checks) {
        if (!value->Given())
            continue;
        if (std::string problem = Quoted(*value, kind); !problem.empty())
            return problem;
    }

    const double e = *body.Eccentricity.Number;
    const SbdbValue& qValue = body.PerihelionDistance;
    const SbdbValue& aValue = body.SemiMajorAxis;
    const double q = qValue.Given() ? *qValue.Number : *aValue.Number * (1 - e);
    const double a = aValue.Given() ? *aValue.Number : q / (1 - e);
    if (!qValue.Given()) {
        if (std::string problem = BoundProblem(ElementKind::PerihelionDistance, q);
            !problem.empty()) {
            return "q = a (1 - e) = " + NumberText(q) + " (" + aValue.Quoted() + ", " +
                   body.Eccentricity.Quoted() + ") " + problem;
        }
    } else if (!aValue.Given()) {
        if (std::string problem = BoundProblem(ElementKind::SemiMajorAxis, a); !problem.empty()) {
            return "a = q / (1 - e) = " + NumberText(a) + " (" + qValue.Quoted() + ", " +
                   body.Eccentricity.Quoted() + ") " + problem;
        }
    }

    star.Eccentricity = e;
    star.SemiMajorAxis = a;
    star.PerihelionDistance = q;
    star.Inclination = *body.Inclination.Number;
    star.AscendingNodeLongitude = Degrees360(*body.AscendingNode.Number);
    star.ArgumentPerihelion = Degrees360(*body.ArgumentPerihelion.Number);
    star.Epoch = *body.Epoch.Number;
    // Kepler's mean motion of the ellipse, degrees/day.
    const double motion = kGaussK / (a * std::sqrt(a)) * kDegreesPerRadian;
    if (body.MeanAnomaly.Given()) {
        star.MeanAnomaly = Degrees360(*body.MeanAnomaly.Number);
    } else {
        star.MeanAnomaly = Degrees360(motion * (star.Epoch - *body.PerihelionTime.Number));
    }
    if (body.PerihelionTime.Given()) {
        star.TimePerihelionPassage = *body.PerihelionTime.Number;
    } else {
        // The passage nearest the epoch.
        star.TimePerihelionPassage = star.MeanAnomaly <= 180.0
                                         ? star.Epoch - star.MeanAnomaly / motion
                                         : star.Epoch + (360.0 - star.MeanAnomaly) / motion;
    }
    return {};
}

// The values shown but not computed with: unknown ones are 0, and a period or aphelion that
// does not fit the ellipse is replaced by the ellipse's.
void ReadInformation(const SbdbBody& body, const std::string& who, CatalogueStar& star,
                     std::vector<std::string>& notes) {
    const double a = star.SemiMajorAxis;
    const double keplerPeriod = 360.0 / (kGaussK / (a * std::sqrt(a)) * kDegreesPerRadian);
    const SbdbValue& period = body.PeriodDays;
    star.OrbitalPeriod = keplerPeriod;
    if (period.Number &&
        std::fabs(*period.Number - keplerPeriod) <= kPeriodAgreement * keplerPeriod) {
        star.OrbitalPeriod = *period.Number;
    } else if (period.Given()) {
        notes.push_back(who + ": " + period.Quoted() +
                        " is not the period of a = " + NumberText(a) + " au (" +
                        NumberText(keplerPeriod) + " days); the latter is kept");
    }
    const SbdbValue& aphelion = body.AphelionDistance;
    star.ApelionDistance = aphelion.Number.value_or(a * (1 + star.Eccentricity));
    if (aphelion.Given() && !aphelion.Number) {
        notes.push_back(who + ": " + aphelion.Quoted() +
                        " is not a finite number; a (1 + e) is kept");
    }
    star.MeanMotion = Informational(body.MeanMotion, who, notes);
    star.EarthMOID = Informational(body.EarthMoid, who, notes);
    star.AbsoluteMagnitude = Informational(body.AbsoluteMagnitude, who, notes);
    star.Diameter = Informational(body.Diameter, who, notes);
    star.RotationPeriod = Informational(body.RotationPeriod, who, notes);
    star.GeometricAlbedo = Informational(body.Albedo, who, notes);
    star.Neo = body.Neo;
    star.Pha = body.Pha.value_or(
        body.Neo && body.EarthMoid.Number && *body.EarthMoid.Number <= kMaxPhaMoid &&
        body.AbsoluteMagnitude.Number && *body.AbsoluteMagnitude.Number <= kMaxPhaMagnitude);
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
    const std::string name = designation == std::string::npos ? rest : rest.substr(0, designation);
    // Blanks around the name are no part of it; a name of blanks alone is no name (unnamed).
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) {
        return fullName;
    }
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
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
            report.FileErrors.push_back(named.File.Error);
            continue;
        }
        for (const SbdbBody& body : named.File.Bodies) {
            const std::string who = named.Name + ": " +
                                    (body.FullName.empty() ? "row " + std::to_string(body.Row)
                                                           : Printable(body.FullName));
            auto refuse = [&](const std::string& why) {
                report.Refused.push_back(who + ": " + why + "; not loaded");
            };
            if (body.FullName.empty()) {
                refuse("no full_name");
                continue;
            }
            if (std::any_of(body.FullName.begin(), body.FullName.end(), IsControl)) {
                refuse("full_name holds a control character");
                continue;
            }
            std::uint32_t spkId = 0;
            if (body.SpkId) {
                spkId = *body.SpkId;
            } else if (!body.SpkIdText.empty()) {
                refuse("spkid = " + body.SpkIdText +
                       " is not an SPK-ID (a whole number from 1 to 4294967295)");
                continue;
            } else if (body.Number && *body.Number < 4294967295u - kNumberedAsteroidBase) {
                spkId = kNumberedAsteroidBase + *body.Number;
            } else {
                report.WithoutSpkId.push_back(
                    who + ": no SPK-ID (neither a spkid field nor an asteroid number); not loaded");
                continue;
            }

            CatalogueStar star;
            if (const std::string why = ReadElements(body, star); !why.empty()) {
                refuse(why);
                continue;
            }
            if (stars.count(spkId)) {
                report.Refused.push_back(who + ": SPK-ID " + std::to_string(spkId) +
                                         " already loaded; this copy is left out");
                continue;
            }
            star.SpkId = spkId;
            star.FullName = body.FullName;
            star.Name = DisplayName(body.FullName);
            star.SbdbClass = body.OrbitClass;
            ReadInformation(body, who, star, report.Notes);

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

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

// Inserts the classes and the stars into a fresh database at `path`.
bool WriteInto(const std::string& path, const CatalogueContent& content, std::string& why) {
    DatabaseHandle db = OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, why);
    if (!db || !Execute(db.get(), kSchema, why) || !Execute(db.get(), "BEGIN", why))
        return false;
    StatementHandle classes = Prepare(db.get(), "INSERT INTO [Orbites] VALUES (?, ?, ?)", why);
    if (!classes)
        return false;
    for (const OrbitClassEntry& entry : content.Classes) {
        sqlite3_stmt* st = classes.get();
        sqlite3_bind_int(st, 1, entry.Index);
        BindText(st, 2, entry.Name);
        if (entry.SbdbCode.empty())
            sqlite3_bind_null(st, 3);
        else
            BindText(st, 3, entry.SbdbCode);
        if (sqlite3_step(st) != SQLITE_DONE) {
            why = SqliteReason(db.get());
            return false;
        }
        sqlite3_reset(st);
    }
    StatementHandle stars = Prepare(db.get(),
                                    "INSERT INTO [AllStars] VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                                    "?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, "
                                    "?20, ?21, ?22, ?23, ?24, ?25)",
                                    why);
    if (!stars)
        return false;
    for (const CatalogueStar& s : content.Stars) {
        sqlite3_stmt* st = stars.get();
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
        if (sqlite3_step(st) != SQLITE_DONE) {
            why = SqliteReason(db.get());
            return false;
        }
        sqlite3_reset(st);
        FaultInjection::RowWritten();
    }
    classes.reset();
    stars.reset();
    if (!Execute(db.get(), "COMMIT", why))
        return false;
    if (sqlite3_close(db.get()) != SQLITE_OK) {
        why = SqliteReason(db.get());
        return false;
    }
    db.release();
    return true;
}

}  // namespace

bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error) {
    RemoveStaleTemporariesOf(path);
    return ReplaceFileAtomically(
        path,
        [&](const std::string& temporary, std::string& why) {
            return WriteInto(temporary, content, why);
        },
        error);
}

void MarkStarsWithCompleteFiles(CatalogueContent& content, const std::string& datasFolder) {
    if (!std::filesystem::is_directory(datasFolder))
        return;
    for (CatalogueStar& star : content.Stars) {
        if (IsCompleteEphemerisFile(StarFilePath(datasFolder, star.SpkId), star.SpkId))
            star.DatasForIt = 1;
    }
}
