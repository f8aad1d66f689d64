// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes a catalogue of real SBDB rows at the size of the whole SBDB, for timing the find field:
//   nivra_find_fixture DIR [COUNT]    (1,400,000 bodies by default; DIR/Nivra.db, about 300 MB)
// The shipped exports (7,099 asteroids, 3,768 comets) are repeated until COUNT bodies are in,
// each repetition k >= 1 renamed as nivra_sbdb_export_fixture renames: "-k" after the name
// ("7100 Ceres-1 (A801 AA)", "(2022 OU15-1)", "1P/Halley-1", "C/1995 O1 (Hale-Bopp-1)"). SPK-IDs
// follow JPL's rules: a numbered asteroid 2000000 + its number (20000000 + it from 1,000,000 on;
// the first repetition keeps the real numbers, later ones are numbered on from 617,104), the
// others in ranges of their own (comets from 1000001, unnumbered asteroids from 3000001). No
// ephemeris file is written and no star is marked as having one.
#include <QByteArray>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "sbdb/CatalogueRows.h"
#include "sbdb/SbdbReader.h"
#include "sbdb/ShippedExports.h"
#include "writers/CatalogueFile.h"

namespace {

// "1 Ceres (A801 AA)" -> "Ceres (A801 AA)"; "(2022 OU15)" and comets stay.
std::string WithoutNumber(const std::string& fullName, std::uint32_t number) {
    if (number == 0)
        return fullName;
    const std::size_t blank = fullName.find(' ');
    return blank == std::string::npos ? fullName : fullName.substr(blank + 1);
}

// `name` of repetition `round`: "-round" after the name, before the designation in brackets
// (inside the brackets when there is no name before them).
std::string Renamed(const std::string& name, int round) {
    if (round == 0)
        return name;
    const std::size_t designation = name.find(" (");
    const std::size_t at = name[0] == '('
                               ? name.size() - 1
                               : (designation == std::string::npos ? name.size() : designation);
    return name.substr(0, at) + "-" + std::to_string(round) + name.substr(at);
}

double Value(const SbdbValue& value, double fallback) {
    return value.Number ? *value.Number : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s DIR [COUNT]\n", argv[0]);
        return 2;
    }
    const long count = argc == 3 ? std::atol(argv[2]) : 1400000;
    if (count <= 0) {
        std::fprintf(stderr, "COUNT must be a positive number\n");
        return 2;
    }
    std::vector<SbdbBody> templates;
    for (const char* name : {"asteroids.json", "comets.json"}) {
        const SbdbFile file =
            ReadSbdbJson(QByteArray::fromStdString(ReadShippedExport(name)), name);
        if (!file.Error.empty()) {
            std::fprintf(stderr, "%s\n", file.Error.c_str());
            return 1;
        }
        templates.insert(templates.end(), file.Bodies.begin(), file.Bodies.end());
    }
    std::map<std::string, int> codeOf;
    for (const OrbitClassEntry& entry : KnownOrbitClasses())
        codeOf[entry.SbdbCode] = entry.Index;

    CatalogueContent content;
    content.Classes = KnownOrbitClasses();
    content.Stars.reserve(static_cast<std::size_t>(count));
    std::uint32_t nextNumber = 617104, nextComet = 1000001, nextUnnumbered = 3000001;
    for (long i = 0; i < count; ++i) {
        const SbdbBody& body = templates[static_cast<std::size_t>(i) % templates.size()];
        const int round = static_cast<int>(i / static_cast<long>(templates.size()));
        const std::uint32_t original = body.Number.value_or(0);
        CatalogueStar star;
        if (original != 0) {
            const std::uint32_t number = round == 0 ? original : nextNumber++;
            star.SpkId = (number < 1000000 ? 2000000 : 20000000) + number;
            star.FullName = std::to_string(number) + " " +
                            Renamed(WithoutNumber(body.FullName, original), round);
        } else {
            const bool comet = body.FullName.find('/') != std::string::npos;
            star.SpkId = comet ? nextComet++ : nextUnnumbered++;
            star.FullName = Renamed(body.FullName, round);
        }
        star.Name = DisplayName(star.FullName);
        star.SbdbClass = body.OrbitClass;
        const auto code = codeOf.find(body.OrbitClass.empty() ? "AST" : body.OrbitClass);
        star.OrbiteType = code != codeOf.end() ? code->second : codeOf["AST"];
        star.Neo = body.Neo;
        star.Eccentricity = Value(body.Eccentricity, 0.1);
        star.PerihelionDistance = Value(body.PerihelionDistance, 2.5);
        star.SemiMajorAxis = Value(
            body.SemiMajorAxis, star.PerihelionDistance / (1 - std::min(star.Eccentricity, 0.99)));
        star.Inclination = Value(body.Inclination, 10);
        star.AscendingNodeLongitude = Value(body.AscendingNode, 80);
        star.ArgumentPerihelion = Value(body.ArgumentPerihelion, 70);
        star.MeanAnomaly = Value(body.MeanAnomaly, 0);
        star.AbsoluteMagnitude = Value(body.AbsoluteMagnitude, 0);
        star.Epoch = Value(body.Epoch, 2459800.5);
        content.Stars.push_back(std::move(star));
    }
    std::sort(content.Stars.begin(), content.Stars.end(),
              [](const CatalogueStar& a, const CatalogueStar& b) { return a.SpkId < b.SpkId; });

    std::filesystem::create_directories(argv[1]);
    const std::string path = std::string(argv[1]) + "/Nivra.db";
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::string error;
    if (!WriteCatalogueFile(path, content, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %ld bodies\n", path.c_str(), count);
    return 0;
}
