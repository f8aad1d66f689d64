// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "astro/InformationRows.h"

#include "astro/ValueText.h"

const std::array<InformationRowTexts, kInformationRowCount> kInformationRows = {{
    {"e", "Eccentricity", "(Not computed) : e = Sqrt(a² - b²) ÷ a", Quantity::Eccentricity},
    {"a", "Semi-major axis", "(Not computed) : a = Sqrt3(Kp²)", Quantity::SemiMajorAxis},
    {"b", "Semi-minor axis", "b = a × Sqrt(1 - e²)", Quantity::SemiMinorAxis},
    {"K", "Keppler's Constant", "K = n² × (a³) ou K = GM = 4 × PI² (au³ per year²)",
     Quantity::KeplerConstant},
    {"q", "Perihelion distance", "(Not computed) q = a × (1 - e)", Quantity::PerihelionDistance},
    {"Q", "Aphelion distance", "(Not computed) Q = a × (1 + e)", Quantity::ApelionDistance},
    {"i", "Inclination", "(Not computed)", Quantity::Inclination},
    {"Node", "Longitude of the ascending node", "(Not computed)", Quantity::AscendingNodeLongitude},
    {"Peri", "Argument of Perihelion", "(Not computed)", Quantity::ArgumentPerihelion},
    {"LP", "Longitude of the Perihelion", "LP = Peri + Node", Quantity::PerihelionLongitude},
    {"M", "Mean Anomaly", "(Not computed)", Quantity::MeanAnomaly},
    {"Ta", "True Anomaly", "Computed", Quantity::TrueAnomaly},
    {"E", "Eccentricity Anomaly", "E = M + e * sin(M) * (1.0 + e * cos(M))",
     Quantity::EccentricAnomaly},
    {"n", "Mean Motion", "(Not computed)", Quantity::MeanMotion},
    {"T", "Orbital Period (days)", "(Not computed) T = Sqrt(a³) × 365.25", Quantity::OrbitalPeriod},
    {"OBy", "Orbital period (years)", "RP = Sqrt(a³)", Quantity::KeplerPeriodYears},
    {"PC", "Planet Cycle (hours)", "PC = T × 24", Quantity::PlanetCycle},
    {"DS", "Distance from/to Sun", "DS = Sqrt3(T²)", Quantity::SunDistanceFromPeriod},
    {"S", "Area", "S = PI × a × b", Quantity::EllipseArea},
    {"Pe", "Perimeter", "Pe = PI × (3(a + b) - Sqrt((3a + b)(a + 3b)))",
     Quantity::EllipsePerimeter},
    {"Voa", "Apelion Orbital Speed", "Voa = (2 × PI × a × Sqrt(1 - e²)) ÷ (T × (1 + e)), km/s",
     Quantity::AphelionSpeed},
    {"Vop", "Perihelion Orbital Speed", "Vop = (2 × PI × a × Sqrt(1 - e²)) ÷ (T × (1 - e)), km/s",
     Quantity::PerihelionSpeed},
    {"Vom", "Mean Orbital Speed", "Vom = (2 × PI × a) ÷ T", Quantity::MeanOrbitalSpeed},
    {"DPJ", "Distance within one day (au)", "DPJ = Pe ÷ 365.25", Quantity::DistancePerDay},
    {"DPH", "Distance within one hour (au)", "DPH = Pe ÷ (365.25 × 24)", Quantity::DistancePerHour},
    {"DPM", "Distance within one minute (au)", "DPM = Pe ÷ (365.25 × 24 × 60)",
     Quantity::DistancePerMinute},
    {"DPS", "Distance within one second (au)", "DPS = Pe ÷ (365.25 × 24 × 3600)",
     Quantity::DistancePerSecond},
    {"c", "Distance between ellipse center and home", "c = Sqrt(a² - b²)", Quantity::FocalDistance},
    {"f", "Distance ellipse center and Director", "f = h ÷ (1 - e²)",
     Quantity::CentreDirectrixDistance},
    {"h", "Distance home / director", "h = (a² - c²) ÷ c", Quantity::FocusDirectrixDistance},
    {"p", "Ellipse parameter", "p = b² ÷ a", Quantity::EllipseParameter},
}};

std::string InformationValueText(double value) {
    return BoundedFixedText(value, 15, kInformationValueLength);
}

std::vector<InformationRow> InformationRows(const std::optional<StarInfoRow>& star) {
    std::optional<StarQuantities> quantities;
    if (star) {
        quantities = SolveStarQuantities(*star);
    }
    std::vector<InformationRow> rows;
    rows.reserve(kInformationRows.size());
    for (const InformationRowTexts& row : kInformationRows) {
        rows.push_back({row.Name,
                        quantities ? InformationValueText(QuantityValue(row.Source, *quantities))
                                   : kInformationPlaceholder,
                        row.Informations, row.Formulas});
    }
    return rows;
}

std::vector<InformationRow> InformationRows(const Catalogue& catalogue, SpkId id) {
    return InformationRows(QueryStarInfo(catalogue, id));
}
