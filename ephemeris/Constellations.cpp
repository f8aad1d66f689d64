// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/Constellations.h"

#include <erfa.h>

#include <algorithm>
#include <sstream>

#include "ephemeris/BuiltinData.h"

const ConstellationFinder& ConstellationFinder::Builtin() {
    static const ConstellationFinder finder(ReadBuiltinData("roman1987.dat"),
                                            ReadBuiltinData("names.dat"));
    return finder;
}

ConstellationFinder::ConstellationFinder(std::string_view romanTable, std::string_view names) {
    std::istringstream table{std::string(romanTable)};
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Boundary boundary{};
        if (fields >> boundary.RaLow >> boundary.RaHigh >> boundary.DecLow >>
            boundary.Abbreviation) {
            boundaries_.push_back(boundary);
        }
    }
    std::istringstream list{std::string(names)};
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos)
            continue;
        std::string name = line.substr(blank + 1);
        while (!name.empty() && (name.back() == '\r' || name.back() == ' '))
            name.pop_back();
        names_.emplace_back(line.substr(0, blank), name);
    }
    for (Boundary& boundary : boundaries_) {
        boundary.Number = Number(boundary.Abbreviation);
    }
    decreasingDeclinations_ =
        std::is_sorted(boundaries_.begin(), boundaries_.end(),
                       [](const Boundary& a, const Boundary& b) { return a.DecLow > b.DecLow; });
    // Frame bias and IAU 2006 precession from the ICRS to the mean equator and equinox of B1875.0.
    double djm0 = 0;
    double djm = 0;
    eraEpb2jd(1875.0, &djm0, &djm);
    double rbp[3][3];
    eraPmat06(djm0, djm, rbp);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            toB1875_[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = rbp[i][j];
}

const ConstellationFinder::Boundary* ConstellationFinder::Find(double raHours,
                                                               double decDegrees) const {
    // In Roman's table the lower declinations never rise from one line to the next, so the
    // lines above the declination are passed over at once.
    auto first = boundaries_.begin();
    if (decreasingDeclinations_) {
        first = std::partition_point(boundaries_.begin(), boundaries_.end(),
                                     [&](const Boundary& b) { return b.DecLow > decDegrees; });
    }
    for (auto boundary = first; boundary != boundaries_.end(); ++boundary) {
        if (boundary->DecLow <= decDegrees && boundary->RaLow <= raHours &&
            raHours < boundary->RaHigh) {
            return &*boundary;
        }
    }
    return nullptr;
}

std::string_view ConstellationFinder::AbbreviationB1875(double raHours, double decDegrees) const {
    const Boundary* boundary = Find(raHours, decDegrees);
    return boundary != nullptr ? std::string_view(boundary->Abbreviation) : std::string_view();
}

int ConstellationFinder::Number(std::string_view abbreviation) const {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i].first == abbreviation)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string_view ConstellationFinder::Name(int number) const {
    if (number < 1 || number > static_cast<int>(names_.size()))
        return {};
    return names_[static_cast<std::size_t>(number) - 1].second;
}

int ConstellationFinder::NumberOfDirection(const Vector3& icrsDirection) const {
    const Spherical place = ToSpherical(toB1875_ * icrsDirection);
    const double raHours = place.Longitude * 12.0 / M_PI;
    const double decDegrees = place.Latitude * 180.0 / M_PI;
    const Boundary* boundary = Find(raHours, decDegrees);
    return boundary != nullptr ? boundary->Number : 0;
}
