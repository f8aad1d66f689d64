// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sbdb/ElementBounds.h"

#include <cmath>
#include <cstdio>

#include "ephemeris/NumberText.h"

namespace {

// A bound as a reader writes it: "0.0001", "1e+07", "-360".
std::string BoundText(double bound) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", bound);
    return text;
}

}  // namespace

std::string BoundProblem(ElementKind kind, double value) {
    if (!std::isfinite(value))
        return "is not a finite number";
    switch (kind) {
        case ElementKind::Eccentricity:
            if (value < 0)
                return "is negative";
            if (value >= 1)
                return "is not below 1 (an ellipse)";
            return {};
        case ElementKind::PerihelionDistance:
            if (value < kMinPerihelionDistance)
                return "is below " + BoundText(kMinPerihelionDistance) + " au";
            return {};
        case ElementKind::SemiMajorAxis:
            if (value < kMinSemiMajorAxis)
                return "is below " + BoundText(kMinSemiMajorAxis) + " au";
            if (value > kMaxSemiMajorAxis)
                return "is above " + BoundText(kMaxSemiMajorAxis) + " au";
            return {};
        case ElementKind::Inclination:
            if (value < 0 || value > 180)
                return "is outside 0 to 180 degrees";
            return {};
        case ElementKind::Angle:
            if (value < kMinAngle || value > kMaxAngle)
                return "is outside " + BoundText(kMinAngle) + " to " + BoundText(kMaxAngle) +
                       " degrees";
            return {};
        case ElementKind::JulianDay:
            if (value < kFirstJulianDay || value > kLastJulianDay)
                return "is not a date from 4713 BC to AD 9999 (JD " + NumberText(value) + ")";
            return {};
    }
    return {};
}

std::string ElementsProblem(const OrbitalElements& elements) {
    struct Check {
        const char* Name;
        ElementKind Kind;
        double Value;
    };
    const Check checks[] = {
        {"e", ElementKind::Eccentricity, elements.Eccentricity},
        {"q", ElementKind::PerihelionDistance, elements.PerihelionDistance},
        {"i", ElementKind::Inclination, elements.Inclination},
        {"node", ElementKind::Angle, elements.AscendingNode},
        {"w", ElementKind::Angle, elements.ArgumentPerihelion},
        {"M", ElementKind::Angle, elements.MeanAnomaly},
        {"epoch", ElementKind::JulianDay, elements.Epoch},
    };
    for (const Check& check : checks) {
        const std::string problem = BoundProblem(check.Kind, check.Value);
        if (!problem.empty())
            return std::string(check.Name) + " = " + NumberText(check.Value) + " " + problem;
    }
    const double a = SemiMajorAxis(elements);
    const std::string problem = BoundProblem(ElementKind::SemiMajorAxis, a);
    return problem.empty() ? problem : "a = q / (1 - e) = " + NumberText(a) + " " + problem;
}

double Degrees360(double degrees) {
    double value = std::fmod(degrees, 360.0);
    if (value < 0)
        value += 360.0;
    return value >= 360.0 ? 0.0 : value;
}
