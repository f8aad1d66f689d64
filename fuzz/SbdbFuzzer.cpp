// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes what nivra-data does with the SBDB exports a user hands it: the JSON reader and the
// catalogue builder, with the input read as two files (the second a copy of the first, so
// that every body is also met again under an SPK-ID already loaded).
//
// An input is the bytes of one SBDB Query API JSON file.

#include <QByteArray>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "sbdb/CatalogueRows.h"
#include "sbdb/ElementBounds.h"
#include "sbdb/SbdbReader.h"

namespace {

bool Finite(double value) {
    return std::isfinite(value);
}

// What the catalogue builder promises of every star it keeps.
void CheckStar(const CatalogueStar& star, const std::set<int>& classCodes) {
    FuzzCheck(star.SpkId != 0, "every star has an SPK-ID");
    FuzzCheck(!star.Name.empty() && !star.FullName.empty(), "every star has a name");
    for (const char c : star.FullName) {
        FuzzCheck(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
                  "no full name holds a control character");
    }
    FuzzCheck(BoundProblem(ElementKind::Eccentricity, star.Eccentricity).empty() &&
                  BoundProblem(ElementKind::PerihelionDistance, star.PerihelionDistance).empty() &&
                  BoundProblem(ElementKind::SemiMajorAxis, star.SemiMajorAxis).empty() &&
                  BoundProblem(ElementKind::Inclination, star.Inclination).empty() &&
                  BoundProblem(ElementKind::JulianDay, star.Epoch).empty(),
              "every star's elements lie within the accepted bounds");
    for (const double angle :
         {star.AscendingNodeLongitude, star.ArgumentPerihelion, star.MeanAnomaly}) {
        FuzzCheck(angle >= 0 && angle < 360, "every stored angle lies in [0, 360)");
    }
    for (const double value :
         {star.OrbitalPeriod, star.MeanMotion, star.ApelionDistance, star.EarthMOID,
          star.AbsoluteMagnitude, star.Diameter, star.RotationPeriod, star.GeometricAlbedo,
          star.TimePerihelionPassage}) {
        FuzzCheck(Finite(value), "every stored value is a finite number");
    }
    FuzzCheck(star.OrbitalPeriod > 0, "every period is positive");
    FuzzCheck(classCodes.count(star.OrbiteType) == 1, "every star's class is in [Orbites]");
    FuzzCheck(star.DatasForIt == 0, "no star has a file before the ephemeris step");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SbdbFile file = ReadSbdbJson(bytes, "fuzz.json");
    FuzzCheck(file.Error.empty() || file.Bodies.empty(), "a file in error has no bodies");
    for (std::size_t i = 0; i < file.Bodies.size(); ++i) {
        const SbdbBody& body = file.Bodies[i];
        FuzzCheck(body.Row == static_cast<int>(i) + 1, "bodies are numbered by their row");
        FuzzCheck(!body.SpkId || *body.SpkId != 0, "an SPK-ID is never 0");
    }

    CatalogueReport report;
    const CatalogueContent content =
        BuildCatalogue({{"first.json", file}, {"second.json", file}}, report);
    std::set<int> classCodes;
    for (const OrbitClassEntry& entry : content.Classes) {
        FuzzCheck(classCodes.insert(entry.Index).second, "class codes are unique");
    }
    for (std::size_t i = 0; i < content.Stars.size(); ++i) {
        CheckStar(content.Stars[i], classCodes);
        FuzzCheck(i == 0 || content.Stars[i - 1].SpkId < content.Stars[i].SpkId,
                  "stars come in increasing SPK-ID order, each once");
    }
    FuzzCheck(content.Stars.size() <= file.Bodies.size(), "no star is made up");
    FuzzCheck(file.Error.empty() || report.FileErrors.size() == 2,
              "a file in error is reported once for each time it is given");
    return 0;
}
