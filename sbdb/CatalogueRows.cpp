// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sbdb/CatalogueRows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "ephemeris/NumberText.h"
#include "ephemeris/Orbit.h"
#include "sbdb/ElementBounds.h"

namespace {

constexpr double kMaxPhaMoid = 0.05;       // au: potentially hazardous when MOID <= this...
constexpr double kMaxPhaMagnitude = 22.0;  // ...and H <= this
constexpr std::uint32_t kNumberedAsteroidBase = 2000000;  // JPL: SPK-ID = 2000000 + number
// An export's period is kept when within this fraction of Kepler's period from a; SBDB's
// comets with rounded old elements differ by up to 0.5%.
constexpr double kPeriodAgreement = 0.05;
constexpr double kDegreesPerRadian = 180.0 / M_PI;
constexpr double kRadiansPerDegree = M_PI / 180.0;
// The year of the viewer's orbital formulas, in days: the one in which Kepler's third law reads
// T = a^1.5 and the mean motion n = 2 pi / a^1.5 (radians per year, a in au), that is the
// Gaussian year 2 pi / k = 365.2568983... days (k, the Gaussian gravitational constant, in
// radians per day).
constexpr double kDaysPerGaussianYear = 2 * M_PI / kGaussK;

constexpr const char* kNotAnSpkId = " is not an SPK-ID (a whole number from 1 to 4294967295)";
constexpr const char* kNoSpkId = "no SPK-ID (neither a spkid field nor an asteroid number)";

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

// Why a body is left out: the text that follows its name ("e = 1.0000001 is not below 1 (an
// ellipse)") and the reason without the value ("e is not below 1 (an ellipse)").
struct Refusal {
    std::string Why;
    std::string Reason;
};

// A value's bound problem quoted, or nothing when it is inside its bounds.
std::optional<Refusal> Quoted(const SbdbValue& value, ElementKind kind) {
    const std::string problem =
        value.Number ? BoundProblem(kind, *value.Number) : "is not a finite number";
    if (problem.empty())
        return std::nullopt;
    // A date out of range names its Julian day: not part of the reason.
    return Refusal{value.Quoted() + " " + problem,
                   value.Field + " " + problem.substr(0, problem.find(" (JD "))};
}

// One note: a value left unknown or replaced.
using Note = std::pair<std::string, std::string>;  // line, reason

// An informational value: its number, or 0 (unknown) with a note when it is given but is no
// finite number.
double Informational(const SbdbValue& value, const std::string& who, std::vector<Note>& notes) {
    if (value.Given() && !value.Number) {
        notes.push_back({who + ": " + value.Quoted() + " is not a finite number; left unknown",
                         value.Field + " is not a finite number; left unknown"});
    }
    return value.Number.value_or(0.0);
}

// The elements of a body into `star`; nothing, or why the body is refused.
std::optional<Refusal> ReadElements(const SbdbBody& body, CatalogueStar& star) {
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
        return Refusal{"missing " + list, "missing " + list};
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
        if (std::optional<Refusal> problem = Quoted(*value, kind))
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
            return Refusal{"q = a (1 - e) = " + NumberText(q) + " (" + aValue.Quoted() + ", " +
                               body.Eccentricity.Quoted() + ") " + problem,
                           "q = a (1 - e) " + problem};
        }
    } else if (!aValue.Given()) {
        if (std::string problem = BoundProblem(ElementKind::SemiMajorAxis, a); !problem.empty()) {
            return Refusal{"a = q / (1 - e) = " + NumberText(a) + " (" + qValue.Quoted() + ", " +
                               body.Eccentricity.Quoted() + ") " + problem,
                           "a = q / (1 - e) " + problem};
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
    return std::nullopt;
}

// The values shown but not computed with: unknown ones are 0, and a period or aphelion that
// does not fit the ellipse is replaced by the ellipse's.
void ReadInformation(const SbdbBody& body, const std::string& who, CatalogueStar& star,
                     std::vector<Note>& notes) {
    const double a = star.SemiMajorAxis;
    const double keplerPeriod = 360.0 / (kGaussK / (a * std::sqrt(a)) * kDegreesPerRadian);
    const SbdbValue& period = body.PeriodDays;
    star.OrbitalPeriod = keplerPeriod;
    if (period.Number &&
        std::fabs(*period.Number - keplerPeriod) <= kPeriodAgreement * keplerPeriod) {
        star.OrbitalPeriod = *period.Number;
    } else if (period.Given()) {
        notes.push_back({who + ": " + period.Quoted() +
                             " is not the period of a = " + NumberText(a) + " au (" +
                             NumberText(keplerPeriod) + " days); the latter is kept",
                         period.Field + " is not the period of a; Kepler's period is kept"});
    }
    const SbdbValue& aphelion = body.AphelionDistance;
    star.ApelionDistance = aphelion.Number.value_or(a * (1 + star.Eccentricity));
    if (aphelion.Given() && !aphelion.Number) {
        notes.push_back(
            {who + ": " + aphelion.Quoted() + " is not a finite number; a (1 + e) is kept",
             aphelion.Field + " is not a finite number; a (1 + e) is kept"});
    }
    // SBDB gives n in degrees per day; the catalogue holds it in radians per Gaussian year, the
    // unit of the mean motion the viewer derives from a where none is given, so that both agree
    // for an n that follows from a (and K = n^2 a^3 is 4 pi^2 either way).
    star.MeanMotion =
        Informational(body.MeanMotion, who, notes) * kRadiansPerDegree * kDaysPerGaussianYear;
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

CatalogueAssembler::CatalogueAssembler(ProblemSink problems) : problems_(std::move(problems)) {
    for (const OrbitClassEntry& entry : KnownOrbitClasses())
        codeOf_[entry.SbdbCode] = entry.Index;
}

std::optional<CatalogueStar> CatalogueAssembler::Admit(const std::string& fileName,
                                                       const SbdbBody& body) {
    pendingNotes_.clear();
    pendingClass_.reset();
    const std::string who =
        fileName + ": " +
        (body.FullName.empty() ? "row " + std::to_string(body.Row) : Printable(body.FullName));
    auto refuse = [&](const std::string& why, const std::string& reason) {
        problems_(ProblemKind::Refused, who + ": " + why + "; not loaded", reason);
        return std::nullopt;
    };
    if (body.FullName.empty())
        return refuse("no full_name", "no full_name");
    if (std::any_of(body.FullName.begin(), body.FullName.end(), IsControl)) {
        return refuse("full_name holds a control character", "full_name holds a control character");
    }
    std::uint32_t spkId = 0;
    if (body.SpkId) {
        spkId = *body.SpkId;
    } else if (!body.SpkIdText.empty()) {
        return refuse("spkid = " + body.SpkIdText + kNotAnSpkId,
                      "spkid" + std::string(kNotAnSpkId));
    } else if (body.Number && *body.Number < 4294967295u - kNumberedAsteroidBase) {
        spkId = kNumberedAsteroidBase + *body.Number;
    } else {
        problems_(ProblemKind::WithoutSpkId, who + ": " + kNoSpkId + "; not loaded", kNoSpkId);
        return std::nullopt;
    }

    CatalogueStar star;
    if (const std::optional<Refusal> refusal = ReadElements(body, star))
        return refuse(refusal->Why, refusal->Reason);
    star.SpkId = spkId;
    star.FullName = body.FullName;
    star.Name = DisplayName(body.FullName);
    star.SbdbClass = body.OrbitClass;
    ReadInformation(body, who, star, pendingNotes_);

    const std::string code = body.OrbitClass.empty() ? "AST" : body.OrbitClass;
    if (const auto known = codeOf_.find(code); known != codeOf_.end()) {
        star.OrbiteType = known->second;
    } else {
        pendingClass_ = OrbitClassEntry{nextCode_, code, code};
        star.OrbiteType = nextCode_;
    }
    return star;
}

void CatalogueAssembler::Keep(const CatalogueStar& star) {
    if (pendingClass_) {
        codeOf_[pendingClass_->SbdbCode] = pendingClass_->Index;
        unknownClasses_.emplace(pendingClass_->SbdbCode, *pendingClass_);
        ++nextCode_;
        pendingClass_.reset();
    }
    if (std::find(usedCodes_.begin(), usedCodes_.end(), star.OrbiteType) == usedCodes_.end())
        usedCodes_.push_back(star.OrbiteType);
    for (const auto& [line, reason] : pendingNotes_)
        problems_(ProblemKind::Note, line, reason);
    pendingNotes_.clear();
}

void CatalogueAssembler::Drop(const std::string& fileName, const SbdbBody& body,
                              std::uint32_t spkId) {
    pendingNotes_.clear();
    pendingClass_.reset();
    problems_(ProblemKind::Refused,
              fileName + ": " + Printable(body.FullName) + ": SPK-ID " + std::to_string(spkId) +
                  " already loaded; this copy is left out",
              "SPK-ID already loaded; this copy is left out");
}

std::vector<OrbitClassEntry> CatalogueAssembler::Classes() const {
    std::vector<OrbitClassEntry> classes;
    classes.push_back({kEveryStarClass, "All stars", ""});
    classes.push_back({kNearEarthClass, "Near-Earth Objects", ""});
    classes.push_back({kHazardousClass, "Potentially Hazardous Asteroids", ""});
    const auto used = [&](int code) {
        return std::find(usedCodes_.begin(), usedCodes_.end(), code) != usedCodes_.end();
    };
    for (const OrbitClassEntry& entry : KnownOrbitClasses()) {
        if (used(entry.Index))
            classes.push_back(entry);
    }
    for (const auto& [code, entry] : unknownClasses_)
        classes.push_back(entry);
    return classes;
}

CatalogueContent BuildCatalogue(const std::vector<NamedSbdbFile>& files, CatalogueReport& report) {
    CatalogueAssembler assembler(
        [&](ProblemKind kind, const std::string& line, const std::string&) {
            switch (kind) {
                case ProblemKind::FileError:
                    report.FileErrors.push_back(line);
                    break;
                case ProblemKind::Refused:
                    report.Refused.push_back(line);
                    break;
                case ProblemKind::WithoutSpkId:
                    report.WithoutSpkId.push_back(line);
                    break;
                case ProblemKind::Note:
                    report.Notes.push_back(line);
                    break;
            }
        });
    std::map<std::uint32_t, CatalogueStar> stars;
    for (const NamedSbdbFile& named : files) {
        if (!named.File.Error.empty()) {
            report.FileErrors.push_back(named.File.Error);
            continue;
        }
        for (const SbdbBody& body : named.File.Bodies) {
            std::optional<CatalogueStar> star = assembler.Admit(named.Name, body);
            if (!star)
                continue;
            if (stars.count(star->SpkId)) {
                assembler.Drop(named.Name, body, star->SpkId);
                continue;
            }
            assembler.Keep(*star);
            stars.emplace(star->SpkId, std::move(*star));
        }
    }

    CatalogueContent content;
    content.Classes = assembler.Classes();
    for (auto& [id, star] : stars)
        content.Stars.push_back(std::move(star));
    return content;
}
