// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <erfa.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "data/CatalogueQueries.h"
#include "data/StarFile.h"
#include "datatool/DriftReport.h"
#include "ephemeris/EarthTable.h"
#include "ephemeris/OrbitPropagation.h"
#include "ephemeris/PlanetTable.h"
#include "ephemeris/TimeScales.h"
#include "sbdb/ElementBounds.h"
#include "sbdb/ShippedExports.h"
#include "tests/support/TestData.h"
#include "writers/CatalogueFile.h"
#include "writers/EphemerisRun.h"

using TestData::TempFolder;

namespace {

EphemerisStar CatalogueStarFromBuiltinData(std::uint32_t id) {
    CatalogueReport report;
    const CatalogueContent content = BuildCatalogue(
        {{"asteroids.json",
          ReadSbdbJson(QByteArray::fromStdString(ReadShippedExport("asteroids.json")), "a")}},
        report);
    for (const CatalogueStar& star : content.Stars) {
        if (star.SpkId == id) {
            return {id,
                    star.Name,
                    {star.PerihelionDistance, star.Eccentricity, star.Inclination,
                     star.AscendingNodeLongitude, star.ArgumentPerihelion, star.MeanAnomaly,
                     star.Epoch}};
        }
    }
    return {};
}

double AngleArcseconds(const Vector3& a, const Vector3& b) {
    const Spherical sa = ToSpherical(a);
    const Spherical sb = ToSpherical(b);
    constexpr double d = 180 / M_PI;
    return SeparationArcseconds({sa.Longitude * d, sa.Latitude * d},
                                {sb.Longitude * d, sb.Latitude * d});
}

// Least-squares fit of the six components of the state at `epoch` to the positions of `truth`
// at `times` (Gauss-Newton with numerical partials); the RMS angle of the residuals, arcseconds.
double FitResidualArcseconds(const std::function<Vector3(double)>& truth, double epoch,
                             const std::vector<double>& times, const PlanetTable& planets,
                             unsigned perturbers) {
    StateVector state{truth(epoch), 10.0 * (truth(epoch + 0.05) - truth(epoch - 0.05))};
    double rms = 0;
    for (int iteration = 0; iteration < 4; ++iteration) {
        const std::vector<StateVector> base =
            IntegrateOrbit(state, epoch, times, planets, perturbers).States;
        std::array<std::vector<Vector3>, 6> partials;
        for (int k = 0; k < 6; ++k) {
            const double step = k < 3 ? 1e-6 : 1e-8;
            StateVector moved = state;
            (k < 3 ? moved.Position[k] : moved.Velocity[k - 3]) += step;
            const std::vector<StateVector> shifted =
                IntegrateOrbit(moved, epoch, times, planets, perturbers).States;
            for (std::size_t i = 0; i < times.size(); ++i)
                partials[k].push_back((1.0 / step) * (shifted[i].Position - base[i].Position));
        }
        double normal[6][7] = {};
        rms = 0;
        for (std::size_t i = 0; i < times.size(); ++i) {
            const Vector3 residual = truth(times[i]) - base[i].Position;
            rms += std::pow(AngleArcseconds(base[i].Position, truth(times[i])), 2);
            for (std::size_t c = 0; c < 3; ++c)
                for (int k = 0; k < 6; ++k) {
                    normal[k][6] += partials[k][i][c] * residual[c];
                    for (int l = 0; l < 6; ++l)
                        normal[k][l] += partials[k][i][c] * partials[l][i][c];
                }
        }
        rms = std::sqrt(rms / times.size());
        for (int c = 0; c < 6; ++c)  // Gauss-Jordan; the normal matrix is positive definite
            for (int r = 0; r < 6; ++r) {
                if (r == c)
                    continue;
                const double factor = normal[r][c] / normal[c][c];
                for (int j = 0; j < 7; ++j)
                    normal[r][j] -= factor * normal[c][j];
            }
        for (int k = 0; k < 3; ++k) {
            state.Position[k] += normal[k][6] / normal[k][k];
            state.Velocity[k] += normal[k + 3][6] / normal[k + 3][k + 3];
        }
    }
    return rms;
}

// Writes a catalogue holding the given stars of the shipped asteroids.
std::string SmallCatalogue(const TempFolder& folder, std::vector<std::uint32_t> ids) {
    CatalogueReport report;
    CatalogueContent content = BuildCatalogue(
        {{"asteroids.json",
          ReadSbdbJson(QByteArray::fromStdString(ReadShippedExport("asteroids.json")), "a")}},
        report);
    std::erase_if(content.Stars, [&](const CatalogueStar& s) {
        return std::find(ids.begin(), ids.end(), s.SpkId) == ids.end();
    });
    const std::string path = folder / "Nivra.db";
    std::string error;
    EXPECT_TRUE(WriteCatalogueFile(path, content, error)) << error;
    return path;
}

}  // namespace

TEST(Ephemeris, CeresAgreesWithHorizonsOn2022June10) {
    const EphemerisStar ceres = CatalogueStarFromBuiltinData(2000001);
    ASSERT_EQ(ceres.SpkId, 2000001u);
    const std::vector<EphemerisEntry> year =
        ComputeEphemeris(ceres, 2022, 2022, OrbitModel::Perturbed).Entries;
    ASSERT_EQ(year.size(), 365u);
    const EphemerisEntry& day = year[31 + 28 + 31 + 30 + 31 + 9];
    ASSERT_EQ(day.Month, 6);
    ASSERT_EQ(day.Day, 10);
    EXPECT_EQ(day.DayOfWeek, 5);  // a Friday
    // JPL Horizons, geocentric, 2022-Jun-10 00:00 UT.
    EXPECT_NEAR(day.Astrometric.Longitude, 101.73343, 0.001);
    EXPECT_NEAR(day.Astrometric.Latitude, 26.78554, 0.001);
    EXPECT_NEAR(day.Earth.Longitude, 100.7867811, 0.001);
    EXPECT_NEAR(day.Earth.Latitude, 3.7751601, 0.001);
    EXPECT_NEAR(day.Galactic.Longitude, 188.305637, 0.01);
    EXPECT_NEAR(day.Galactic.Latitude, 10.941149, 0.01);
    EXPECT_NEAR(day.Geometric.Longitude, 108.7886, 0.001);
    EXPECT_NEAR(day.Geometric.Latitude, 5.0999, 0.001);
    EXPECT_EQ(day.Constellation, 38);  // Gemini
}

TEST(Ephemeris, TheGalacticFrameIsTheGalacticOfHorizonsAstrometricDirection) {
    // Horizons prints the galactic coordinates of the apparent direction (19" away for Ceres on
    // 2022-06-10, by aberration and light deflection); the Galactic frame is those of the
    // astrometric one.
    const EphemerisStar ceres = CatalogueStarFromBuiltinData(2000001);
    const std::vector<EphemerisEntry> year =
        ComputeEphemeris(ceres, 2022, 2022, OrbitModel::Perturbed).Entries;
    ASSERT_EQ(year.size(), 365u);
    const EphemerisEntry& day = year[31 + 28 + 31 + 30 + 31 + 9];
    constexpr double kDegree = M_PI / 180;
    double longitude = 0;
    double latitude = 0;
    eraIcrs2g(101.73343 * kDegree, 26.78554 * kDegree, &longitude, &latitude);  // astrometric
    EXPECT_LT(SeparationArcseconds(day.Galactic, {longitude / kDegree, latitude / kDegree}), 0.1);
}

TEST(Ephemeris, PerturbedMotionFitsTheEphemerisOfMarsOverSixtyYears) {
    // The force model, checked against an independent ephemeris: fit an orbit to ERFA's Mars
    // (eraPlan94) from 1970 to 2030, once pulled by the seven other planets and once by the Sun
    // alone. The perturbed orbit follows Mars within eraPlan94's own accuracy (arcseconds); the
    // best ellipse misses by tens of arcseconds.
    constexpr int kMars = 3;
    const double epoch = 2451545.0;
    std::vector<double> times;
    for (double day = -30 * 365.25; day <= 30 * 365.25; day += 73.05)
        times.push_back(epoch + day);
    const PlanetTable planets(times.front(), times.back());
    const auto mars = [](double jd) {
        double pv[2][3];
        eraPlan94(jd, 0, kMars + 1, pv);
        return Vector3{pv[0][0], pv[0][1], pv[0][2]};
    };
    const double rmsPerturbed =
        FitResidualArcseconds(mars, epoch, times, planets, kAllPlanets & ~(1u << kMars));
    const double rmsTwoBody = FitResidualArcseconds(mars, epoch, times, planets, 0);
    EXPECT_LT(rmsPerturbed, 10.0);
    EXPECT_GT(rmsTwoBody, 30.0);
}

TEST(Ephemeris, TwoBodyAndPerturbedAgreeAtTheEpochAndDriftApart) {
    const EphemerisStar ceres = CatalogueStarFromBuiltinData(2000001);
    std::string failure;
    const std::vector<YearDrift> drift = MeasureDrift(ceres, 2000, 2022, failure);
    EXPECT_EQ(failure, "");
    ASSERT_EQ(drift.size(), 23u);
    EXPECT_LT(drift.back().MaxArcseconds, 60.0);    // 2022, the elements' own year
    EXPECT_GT(drift.front().MaxArcseconds, 600.0);  // 2000: Jupiter has moved Ceres by arcminutes
}

TEST(TimeScales, LeapSecondsFrom1972AndDeltaTBefore) {
    EXPECT_DOUBLE_EQ(TTMinusUTC(2022, 6, 10), 69.184);
    EXPECT_DOUBLE_EQ(TTMinusUTC(2016, 12, 31), 68.184);
    EXPECT_DOUBLE_EQ(TTMinusUTC(2017, 1, 1), 69.184);
    EXPECT_DOUBLE_EQ(TTMinusUTC(1972, 1, 1), 42.184);
    EXPECT_NEAR(TTMinusUTC(1950, 1, 1), 29.0, 1.0);
    EXPECT_NEAR(TTMinusUTC(1900, 1, 1), -2.7, 1.0);
    EXPECT_NEAR(TTMinusUTC(1971, 12, 31), 42.2, 1.0);  // no jump where the rule changes
    EXPECT_DOUBLE_EQ(TTMinusUTC(2090, 1, 1), 69.184);  // after the table: its last value
    const JulianDay tt = CivilToTT(2000, 1, 1, 0.5);
    EXPECT_NEAR(tt.Value(), 2451545.0 + 64.184 / 86400, 1e-9);
}

TEST(Orbit, KeplerStatesAtPerihelionAndAcrossEccentricities) {
    OrbitalElements elements{1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 2451545.0};
    StateVector state = KeplerState(elements, 2451545.0);
    EXPECT_NEAR(Norm(state.Position), 1.0, 1e-12);
    EXPECT_NEAR(Norm(state.Velocity), kGaussK, 1e-12);  // circular speed at 1 au
    for (double e : {0.0, 0.3, 0.85, 0.97, 0.999}) {
        for (double m : {0.001, 1.0, 3.0, 3.14159, -2.0, 20.0}) {
            const double anomaly = SolveKepler(m, e);
            EXPECT_NEAR(anomaly - e * std::sin(anomaly), m, 1e-12) << "e " << e << " M " << m;
        }
    }
    elements = {0.5, 0.85, 12.0, 40.0, 70.0, 0.0, 2451545.0};
    EXPECT_NEAR(Norm(KeplerState(elements, 2451545.0).Position), 0.5, 1e-12);
    elements.MeanAnomaly = 180.0;
    EXPECT_NEAR(Norm(KeplerState(elements, 2451545.0).Position), 0.5 / 0.15 * 1.85,
                1e-9);  // aphelion Q
}

TEST(EphemerisFile, RoundTripsWithTheLayoutTheViewerReads) {
    TempFolder folder;
    EphemerisHeader header;
    header.SpkId = 0x80000007u;
    header.FirstYear = 2011;
    header.LastYear = 2012;
    header.EphemerisLink = HorizonsLink(header.SpkId);
    header.OrbitDiagramLink = OrbitDiagramLink(header.SpkId);
    header.PhysicalParameterLink = PhysicalParameterLink(header.SpkId);
    header.ElementsEpoch = 2459800.5;
    std::vector<EphemerisEntry> entries;
    for (int i = 0; i < 3; ++i) {
        EphemerisEntry entry;
        entry.Year = 2011;
        entry.Month = 12;
        entry.Day = 29 + i;
        entry.DayOfWeek = (5 + i) % 7;
        entry.Constellation = 80 + i;
        entry.Astrometric = {10.0 + i, 20.0};
        entry.Earth = {30.0, -40.0 + i};
        entry.Galactic = {359.5, 5.0};
        entry.Geometric = {0.25, 89.0};
        entries.push_back(entry);
    }
    const std::string path = folder / "x.Nvr";
    std::string error;
    ASSERT_TRUE(WriteEphemerisFile(path, header, entries, error)) << error;

    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    auto u32 = [&](std::size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
               static_cast<std::uint32_t>(b[at + 3]) << 24;
    };
    auto f64 = [&](std::size_t at) {
        double d;
        std::memcpy(&d, &b[at], 8);
        return d;
    };
    const std::uint32_t first = u32(0);
    EXPECT_EQ(first % 8, 0u);
    EXPECT_EQ(b.size(), first + 4 * 88u);
    EXPECT_EQ(std::string(b.begin() + 4, b.begin() + 12), "NivraEph");
    EXPECT_EQ(u32(108), 0x80000007u);
    EXPECT_EQ(u32(116), 2011u);
    EXPECT_EQ(u32(120), 2012u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[u32(168)])), header.EphemerisLink);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[u32(152)])), header.OrbitDiagramLink);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[u32(160)])),
              header.PhysicalParameterLink);
    EXPECT_EQ(header.EphemerisLink, "https://ssd.jpl.nasa.gov/horizons/app.html#/?sstr=2147483655");
    const std::size_t second = first + 88;
    EXPECT_EQ(u32(second), 1u);  // tag
    EXPECT_EQ(b[second + 4] | b[second + 5] << 8, 2011);
    EXPECT_EQ(b[second + 6], 12);
    EXPECT_EQ(b[second + 8], 6);  // day of the week
    EXPECT_EQ(b[second + 10], 30);
    EXPECT_EQ(u32(second + 20), 81u);
    EXPECT_DOUBLE_EQ(f64(second + 24), 11.0);  // astrometric longitude
    EXPECT_DOUBLE_EQ(f64(second + 32), 70.0);  // 90 - 20
    EXPECT_DOUBLE_EQ(f64(second + 40), 0.25);  // geometric
    EXPECT_DOUBLE_EQ(f64(second + 48), 1.0);
    EXPECT_DOUBLE_EQ(f64(second + 56), 359.5);  // galactic
    EXPECT_DOUBLE_EQ(f64(second + 72), 30.0);   // earth
    EXPECT_DOUBLE_EQ(f64(second + 80), 129.0);  // 90 - (-39)
    EXPECT_EQ(u32(first + 3 * 88), 0u);         // terminator

    std::optional<EphemerisFileContent> back = ReadEphemerisFile(path, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->Version, 1u);
    EXPECT_EQ(back->Header.SpkId, header.SpkId);
    EXPECT_EQ(back->Header.OrbitDiagramLink, header.OrbitDiagramLink);
    EXPECT_DOUBLE_EQ(back->Header.ElementsEpoch, 2459800.5);
    ASSERT_EQ(back->Entries.size(), 3u);
    EXPECT_EQ(back->Entries[2].Day, 31);
    EXPECT_EQ(back->Entries[2].DayOfWeek, 0);
    EXPECT_DOUBLE_EQ(back->Entries[2].Earth.Latitude, -38.0);

    // The viewer's reader sees the same file.
    std::optional<StarFile> star = LoadStarFile(path);
    ASSERT_TRUE(star);
    EXPECT_EQ(star->Link(StarLink::Ephemeris), header.EphemerisLink);
    int records = 0;
    for (EphemerisRecord record : star->FirstRecord()) {
        EXPECT_DOUBLE_EQ(record.Frame(CoordinateFrame::Galactic).FirstAngle, 359.5);
        ++records;
    }
    EXPECT_EQ(records, 3);

    // Another version or no magic: refused.
    std::vector<unsigned char> changed = b;
    changed[12] = 2;
    std::ofstream(folder / "v2.Nvr", std::ios::binary)
        .write(reinterpret_cast<const char*>(changed.data()), changed.size());
    EXPECT_FALSE(ReadEphemerisFile(folder / "v2.Nvr", error));
    EXPECT_NE(error.find("format version 2"), std::string::npos);
    changed = b;
    changed[4] = 'X';
    std::ofstream(folder / "foreign.Nvr", std::ios::binary)
        .write(reinterpret_cast<const char*>(changed.data()), changed.size());
    EXPECT_FALSE(ReadEphemerisFile(folder / "foreign.Nvr", error));
}

TEST(EphemerisRun, WritesDailyFilesAndMarksTheirStars) {
    TempFolder folder;
    const std::string catalogue = SmallCatalogue(folder, {2000001, 2000433, 2000004});
    EphemerisRun run;
    run.CataloguePath = catalogue;
    run.OutFolder = folder / "Datas";
    run.FirstYear = 2019;
    run.LastYear = 2020;
    run.SpkIds = {2000001, 2000433, 4242};
    EphemerisRunReport report;
    std::string error;
    std::vector<std::string> lines;
    ASSERT_TRUE(RunEphemeris(run, report, error, [&](const std::string& line) {
        lines.push_back(line);
    })) << error;
    EXPECT_EQ(report.FilesWritten, 2);
    EXPECT_EQ(report.Records, 2 * 731);
    ASSERT_EQ(report.Problems.size(), 1u);
    EXPECT_EQ(report.Problems[0], "4242: not in the catalogue");
    EXPECT_EQ(lines.size(), 2u);

    std::optional<EphemerisFileContent> eros =
        ReadEphemerisFile(folder / "Datas/2000433.Nvr", error);
    ASSERT_TRUE(eros) << error;
    EXPECT_EQ(eros->Header.FirstYear, 2019);
    EXPECT_EQ(eros->Header.LastYear, 2020);
    EXPECT_TRUE(eros->Header.Perturbed);
    ASSERT_EQ(eros->Entries.size(), 731u);
    EXPECT_EQ(eros->Entries.front().Month, 1);
    EXPECT_EQ(eros->Entries.front().Day, 1);
    EXPECT_EQ(eros->Entries.back().Month, 12);
    EXPECT_EQ(eros->Entries.back().Day, 31);
    for (std::size_t i = 1; i < eros->Entries.size(); ++i) {
        const EphemerisEntry& a = eros->Entries[i - 1];
        const EphemerisEntry& b = eros->Entries[i];
        const double step = CivilJulianDay(b.Year, b.Month, b.Day, 0).Value() -
                            CivilJulianDay(a.Year, a.Month, a.Day, 0).Value();
        ASSERT_DOUBLE_EQ(step, 1.0);
        EXPECT_EQ(b.DayOfWeek, (a.DayOfWeek + 1) % 7);
        EXPECT_EQ(b.Hour + b.Minute + b.Second, 0);
        EXPECT_GE(b.Astrometric.Longitude, 0.0);
        EXPECT_LT(b.Astrometric.Longitude, 360.0);
        EXPECT_GE(b.Constellation, 1);
        EXPECT_LE(b.Constellation, 88);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "Datas/2000004.Nvr"));

    std::unique_ptr<Catalogue> db = Catalogue::Open(catalogue, error);
    ASSERT_TRUE(db);
    const auto list = QueryStarList(*db);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);  // [DatasForIt] = 1 for the two written stars only
    EXPECT_EQ((*list)[0].Id, 2000001u);
    EXPECT_EQ((*list)[1].Id, 2000433u);
}

TEST(EphemerisRun, RefusesWhatItCannotDo) {
    TempFolder folder;
    EphemerisRun run;
    run.CataloguePath = folder / "none.db";
    run.OutFolder = folder / "Datas";
    EphemerisRunReport report;
    std::string error;
    EXPECT_FALSE(RunEphemeris(run, report, error, nullptr));
    EXPECT_EQ(error, folder / "none.db" + ": no such catalogue");
    EXPECT_FALSE(std::filesystem::exists(folder / "none.db"));

    run.CataloguePath = SmallCatalogue(folder, {2000001});
    run.FirstYear = 1899;
    EXPECT_FALSE(RunEphemeris(run, report, error, nullptr));
    EXPECT_NE(error.find("1900-2100"), std::string::npos);
    run.FirstYear = 2010;
    run.LastYear = 2009;
    EXPECT_FALSE(RunEphemeris(run, report, error, nullptr));

    // A viewer's catalogue without the elements' epoch is not one this tool wrote.
    TestData::WriteCatalogue(folder / "foreign.db", {{0, "All"}}, {TestData::Star{}});
    run.CataloguePath = folder / "foreign.db";
    run.FirstYear = 2010;
    run.LastYear = 2010;
    EXPECT_FALSE(RunEphemeris(run, report, error, nullptr));
    EXPECT_NE(error.find("not a catalogue written by nivra-data"), std::string::npos);
}

namespace {

// The heliocentric positions of `elements` integrated with the Sun alone, against the ellipse.
double LargestDriftFromTheEllipse(const OrbitalElements& elements, const Propagation& integrated,
                                  const std::vector<double>& times) {
    double largest = 0;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const Vector3 ellipse = KeplerState(elements, times[i]).Position;
        largest = std::max(largest, Norm(ellipse - integrated.States[i].Position) / Norm(ellipse));
    }
    return largest;
}

}  // namespace

TEST(OrbitPropagation, FollowsRealSungrazersAndGivesUpOnWhatItCannotFollow) {
    std::vector<double> times;
    for (int day = -150; day <= 150; ++day)
        times.push_back(2459800.5 + day + 0.0008);
    const PlanetTable planets(times.front(), times.back());
    // C/1963 R1 (Pereyra), a Kreutz sungrazer (q = 0.005 au), a day before perihelion; and the
    // closest orbit the bounds accept, through a perihelion at 0.0001 au.
    for (const OrbitalElements& grazer : {OrbitalElements{0.005020925779721426, 0.9999449154648058,
                                                          144.5, 7.9, 255.2, 359.9999, 2459800.5},
                                          OrbitalElements{kMinPerihelionDistance, 0.99999, 5.6,
                                                          125.5, 136.1, 359.99999, 2459800.5}}) {
        const Propagation result =
            IntegrateOrbit(KeplerState(grazer, grazer.Epoch), grazer.Epoch, times, planets, 0);
        ASSERT_EQ(result.Failure, "") << grazer.PerihelionDistance;
        EXPECT_LT(LargestDriftFromTheEllipse(grazer, result, times), 1e-6)
            << grazer.PerihelionDistance;
    }

    // Too close to the Sun: refused within the step floor instead of followed for ever.
    const OrbitalElements diver{1e-8, 0.999, 5.6, 125.5, 136.1, 359.9999, 2459800.5};
    const Propagation dived = PropagateOrbit(diver, times, OrbitModel::Perturbed, &planets);
    EXPECT_NE(dived.Failure.find("needs steps below 1e-07 days near JD 24598"), std::string::npos)
        << dived.Failure;
    EXPECT_TRUE(dived.States.empty());
    // An orbit of half a minute: more steps than the budget allows.
    const OrbitalElements spinner{1e-4, 0.0, 5.6, 125.5, 136.1, 0.0, 2459800.5};
    const Propagation spun = PropagateOrbit(spinner, times, OrbitModel::Perturbed, &planets);
    EXPECT_NE(spun.Failure.find("needs more than 10000000 integration steps"), std::string::npos)
        << spun.Failure;
}

TEST(EphemerisFile, RecordsTheViewerCannotDrawAreNeverWritten) {
    TempFolder folder;
    const std::string path = folder / "2000001.Nvr";
    std::ofstream(path) << "the old file";
    EphemerisHeader header;
    header.SpkId = 2000001;
    header.FirstYear = header.LastYear = 2020;
    EphemerisEntry good;
    good.Year = 2020;
    good.Month = 3;
    good.Day = 1;
    good.Constellation = 38;
    good.Earth = {359.999, -89.9};
    std::vector<std::pair<std::function<void(EphemerisEntry&)>, std::string>> damages = {
        {[](EphemerisEntry& e) { e.Astrometric.Longitude = NAN; },
         "the Astrometric longitude is nan"},
        {[](EphemerisEntry& e) { e.Geometric.Latitude = -INFINITY; },
         "the Geometric latitude is -inf"},
        {[](EphemerisEntry& e) { e.Galactic.Longitude = 360.0; }, "the Galactic longitude is 360"},
        {[](EphemerisEntry& e) { e.Earth.Latitude = 90.5; }, "the Earth latitude is 90.5"},
        {[](EphemerisEntry& e) { e.Constellation = 0; }, "constellation 0"},
        {[](EphemerisEntry& e) { e.Month = 13; }, "not a date"},
    };
    std::string error;
    for (const auto& [damage, reason] : damages) {
        std::vector<EphemerisEntry> entries = {good, good};
        entries[1].Day = 2;
        damage(entries[1]);
        EXPECT_FALSE(WriteEphemerisFile(path, header, entries, error)) << reason;
        EXPECT_NE(error.find("not writing " + path + ": the record of 2020-"), std::string::npos)
            << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the old file");
    EXPECT_TRUE(WriteEphemerisFile(path, header, {good}, error)) << error;
}

TEST(EphemerisFile, CompleteFilesAreToldFromDamagedOnes) {
    TempFolder folder;
    const EphemerisStar ceres = CatalogueStarFromBuiltinData(2000001);
    EphemerisHeader header;
    header.SpkId = 2000001;
    header.FirstYear = header.LastYear = 2020;
    const std::vector<EphemerisEntry> entries =
        ComputeEphemeris(ceres, 2020, 2020, OrbitModel::TwoBody).Entries;
    const std::string path = folder / "2000001.Nvr";
    std::string error;
    ASSERT_TRUE(WriteEphemerisFile(path, header, entries, error)) << error;
    EXPECT_TRUE(IsCompleteEphemerisFile(path, 2000001));
    EXPECT_FALSE(IsCompleteEphemerisFile(path, 2000002));  // another star's
    EXPECT_FALSE(IsCompleteEphemerisFile(folder / "missing.Nvr", 2000001));
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 1);
    EXPECT_FALSE(IsCompleteEphemerisFile(path, 2000001));
    std::filesystem::resize_file(path, size + 88);  // a record too many
    EXPECT_FALSE(IsCompleteEphemerisFile(path, 2000001));
    // A viewer's file without the magic of this tool.
    TestData::NvrFile::Daily(2000001, 2020, 2020).Write(path);
    EXPECT_FALSE(IsCompleteEphemerisFile(path, 2000001));
}

TEST(EphemerisRun, AStarThatCannotBeComputedIsNamedAndTheOthersAreWritten) {
    TempFolder folder;
    EphemerisStar ceres = CatalogueStarFromBuiltinData(2000001);
    EphemerisStar diver{2000002, "Diver", {1e-8, 0.999, 5.6, 125.5, 136.1, 359.9999, 2459800.5}};
    EphemerisStar old = ceres;
    old.SpkId = 2000003;
    old.Name = "Old";
    old.Elements.Epoch = 2341972.5;  // 1700
    EphemerisStar huge{2000004, "Huge", {0.9e200, 0.1, 3.1, 150.0, 229.1, 143.1, 2459800.5}};
    EphemerisRun run;
    run.OutFolder = folder.Path();
    run.FirstYear = run.LastYear = 2022;
    for (OrbitModel model : {OrbitModel::Perturbed, OrbitModel::TwoBody}) {
        run.Model = model;
        EphemerisRunReport report;
        const std::vector<std::uint32_t> written =
            WriteEphemerisFiles({ceres, diver, old, huge}, run, report, nullptr);
        const bool perturbed = model == OrbitModel::Perturbed;
        // The bare ellipse takes any epoch and any perihelion; the perturbed model does not.
        const std::vector<std::uint32_t> expected =
            perturbed ? std::vector<std::uint32_t>{2000001}
                      : std::vector<std::uint32_t>{2000001, 2000002, 2000003};
        EXPECT_EQ(written, expected);
        std::string problems;
        for (const std::string& line : report.Problems)
            problems += line + "\n";
        EXPECT_EQ(report.Problems.size(), perturbed ? 3u : 1u) << problems;
        EXPECT_NE(problems.find("2000004 Huge: "), std::string::npos) << problems;
        if (perturbed) {
            EXPECT_NE(problems.find("2000002 Diver: needs steps below"), std::string::npos)
                << problems;
            EXPECT_NE(problems.find("2000003 Old: the elements' epoch (JD 2341972.5, year 1700)"),
                      std::string::npos)
                << problems;
        } else {
            EXPECT_NE(problems.find("2000004 Huge: not writing "), std::string::npos) << problems;
        }
        EXPECT_FALSE(std::filesystem::exists(StarFilePath(folder.Path(), 2000004)));
    }
}

TEST(EphemerisRun, FilesDoNotDependOnTheNumberOfThreads) {
    TempFolder folder;
    const std::string catalogue = SmallCatalogue(folder, {2000001, 2000433, 2000004});
    std::vector<std::string> contents;
    for (int threads : {1, 3}) {
        EphemerisRun run;
        run.CataloguePath = catalogue;
        run.OutFolder = folder / ("Datas" + std::to_string(threads));
        run.FirstYear = 2019;
        run.LastYear = 2020;
        run.Threads = threads;
        EphemerisRunReport report;
        std::string error;
        ASSERT_TRUE(RunEphemeris(run, report, error, nullptr)) << error;
        std::string all;
        for (std::uint32_t id : {2000001u, 2000433u, 2000004u}) {
            std::ifstream in(StarFilePath(run.OutFolder, id), std::ios::binary);
            all += std::string(std::istreambuf_iterator<char>(in), {});
        }
        contents.push_back(all);
    }
    EXPECT_GT(contents[0].size(), 3 * 731 * 88u);
    EXPECT_TRUE(contents[0] == contents[1]);
}

TEST(DayContext, NutationStaysWithinThreeMilliarcsecondsOfIau2000A) {
    constexpr double kMilliarcsecond = M_PI / 180 / 3600 / 1000;  // radians
    for (int year = 1900; year <= 2100; year += 7) {
        for (int month = 1; month <= 12; month += 5) {
            const DayContext day = MakeDayContext(year, month, 1 + year % 28);
            double dpsi = 0;
            double deps = 0;
            eraNut06a(day.TT.Day1, day.TT.Day2, &dpsi, &deps);
            EXPECT_LT(std::fabs(day.NutationInLongitude - dpsi), 3 * kMilliarcsecond)
                << year << "-" << month;
        }
    }
}

TEST(EarthTable, StaysWithinThirtyMetresOfEpv00) {
    const double first = CivilJulianDay(1900, 1, 1, 0).Value();
    const double last = CivilJulianDay(2100, 12, 31, 0).Value();
    const EarthTable earth(first, last, 2);
    constexpr double kThirtyMetres = 2e-10;  // au (and au/day for the velocities)
    double worst = 0;
    for (double tt = first; tt <= last; tt += 97.31) {  // every phase of the two-day grid
        double table[2][2][3];
        double exact[2][2][3];
        earth.At(tt, table[0], table[1]);
        eraEpv00(tt, 0, exact[0], exact[1]);
        for (int v = 0; v < 2; ++v)
            for (int pv = 0; pv < 2; ++pv)
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::fabs(table[v][pv][c] - exact[v][pv][c]));
    }
    EXPECT_LT(worst, kThirtyMetres);
    EXPECT_GT(worst, 0.0);  // interpolated, not the samples themselves
}

namespace {

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The direction of the perihelion of the osculating ellipse (Newton's, with the Sun's GM) of a
// heliocentric state: the eccentricity vector.
Vector3 EccentricityVector(const StateVector& state) {
    const Vector3 h = Cross(state.Position, state.Velocity);
    return (1.0 / kSunGM) * Cross(state.Velocity, h) +
           (-1.0 / Norm(state.Position)) * state.Position;
}

// Osculating heliocentric elements of a state with the Sun's GM alone, ecliptic and equinox of
// J2000, as SBDB gives them.
OrbitalElements OsculatingElements(const StateVector& state, double epoch) {
    constexpr double kDegree = 180.0 / M_PI;
    const Vector3 r = EquatorialToEcliptic(state.Position);
    const Vector3 v = EquatorialToEcliptic(state.Velocity);
    const Vector3 h = Cross(r, v);
    const Vector3 e = EccentricityVector({r, v});
    const double eccentricity = Norm(e);
    const double a = 1.0 / (2.0 / Norm(r) - Dot(v, v) / kSunGM);
    const double node = std::atan2(h[0], -h[1]);
    const Vector3 towardsNode = {std::cos(node), std::sin(node), 0.0};
    const double perihelion =
        std::atan2(Dot(Cross(towardsNode, e), h) / Norm(h), Dot(towardsNode, e));
    const double anomaly = std::atan2(Dot(r, v) / (eccentricity * std::sqrt(kSunGM * a)),
                                      (1.0 - Norm(r) / a) / eccentricity);
    return {a * (1.0 - eccentricity),
            eccentricity,
            std::acos(h[2] / Norm(h)) * kDegree,
            node * kDegree,
            perihelion * kDegree,
            (anomaly - eccentricity * std::sin(anomaly)) * kDegree,
            epoch};
}

}  // namespace

TEST(OrbitPropagation, ApophisFollowsJplThroughItsPassByTheEarthIn2029) {
    // JPL's heliocentric ICRF states of 99942 Apophis (TDB), before and after it passes 38,000
    // km from the Earth on 2029-04-13; every kilometre of error before the pass grows to some
    // ten thousand after it.
    const double start = 2462138.5359989386;  // 2029-01-01
    const StateVector jplStart{
        {-5.5946538550488512e-01, 8.5647564757574512e-01, 3.0415066217102493e-01},
        {-1.3818324735921638e-02, -6.0088275597939191e-03, -2.5805044631309632e-03}};
    const double end = 2462503.0372426095;  // 2030-01-01
    const Vector3 jplEnd = {1.7028330901729331e-02, 1.2193934090901304e+00, 4.7823589236374386e-01};

    // The start as an SBDB export gives it: osculating ecliptic elements, written out in full.
    const OrbitalElements osculating = OsculatingElements(jplStart, start);
    char row[512];
    std::snprintf(row, sizeof row,
                  R"json({"fields": ["spkid", "full_name", "e", "q", "i", "om", "w", "ma", "epoch"],
                      "data": [["20099942", "99942 Apophis (2004 MN4)", "%.17g", "%.17g",
                                "%.17g", "%.17g", "%.17g", "%.17g", "%.17g"]]})json",
                  osculating.Eccentricity, osculating.PerihelionDistance, osculating.Inclination,
                  osculating.AscendingNode, osculating.ArgumentPerihelion, osculating.MeanAnomaly,
                  osculating.Epoch);
    CatalogueReport report;
    const CatalogueContent content =
        BuildCatalogue({{"apophis.json", ReadSbdbJson(QByteArray(row), "apophis.json")}}, report);
    ASSERT_EQ(content.Stars.size(), 1u);
    const CatalogueStar& star = content.Stars[0];
    const OrbitalElements elements{
        star.PerihelionDistance, star.Eccentricity, star.Inclination, star.AscendingNodeLongitude,
        star.ArgumentPerihelion, star.MeanAnomaly,  star.Epoch};
    ASSERT_LT(Norm(KeplerState(elements, start).Position - jplStart.Position), 1e-14);

    const PlanetTable planets(start, end);
    const Propagation propagated = PropagateOrbit(elements, {end}, OrbitModel::Perturbed, &planets);
    ASSERT_EQ(propagated.Failure, "");
    const Vector3 ours = propagated.States[0].Position;
    constexpr double kKilometre = 1.0 / 149597870.7;  // au
    EXPECT_LT(Norm(ours - jplEnd), 10000 * kKilometre);
    double heliocentric[2][3];
    double barycentric[2][3];
    eraEpv00(end, 0.0, heliocentric, barycentric);
    const Vector3 earth = {heliocentric[0][0], heliocentric[0][1], heliocentric[0][2]};
    EXPECT_LT(AngleArcseconds(ours - earth, jplEnd - earth), 30.0);

    // The steps resolve the pass: a tolerance a hundred times tighter ends within a few km.
    const Propagation tighter = IntegrateOrbit(KeplerState(elements, start), start, {end}, planets,
                                               kFullModel, kRelativeTolerance / 100);
    ASSERT_EQ(tighter.Failure, "");
    EXPECT_LT(Norm(tighter.States[0].Position - ours), 2 * kKilometre);
}

TEST(OrbitPropagation, TheSunsRelativisticTermTurnsMercurysPerihelion43ArcsecondsACentury) {
    // A Mercury alone with the Sun over 83 turns (20 years), seen at the same point of its
    // orbit: Newton's ellipse keeps its perihelion, the relativistic term turns it by
    // 6 pi GM / (c^2 a (1 - e^2)) a turn (Einstein 1915).
    const OrbitalElements mercury{
        0.38709893 * (1 - 0.20563069), 0.20563069, 7.00487, 48.33167, 29.12478, 174.79, 2451545.0};
    const double turn = 2 * M_PI / MeanMotion(mercury);
    const double epoch = mercury.Epoch;
    const std::vector<double> times = {epoch + 83 * turn};
    const PlanetTable planets(epoch, times.back());
    const StateVector start = KeplerState(mercury, epoch);
    const double a = SemiMajorAxis(mercury);
    const double e = mercury.Eccentricity;
    const double expected =
        83 * 6 * M_PI * kSunGM / (kLightSpeed * kLightSpeed * a * (1 - e * e)) * 180 / M_PI * 3600;
    const auto turned = [&](unsigned perturbers) {
        const Propagation run = IntegrateOrbit(start, epoch, times, planets, perturbers);
        EXPECT_EQ(run.Failure, "");
        return AngleArcseconds(EccentricityVector(start), EccentricityVector(run.States[0]));
    };
    EXPECT_LT(turned(0), 0.01);
    EXPECT_NEAR(turned(kSunRelativity), expected, 0.01 * expected);
    EXPECT_NEAR(expected / 83 * 100 / (turn / 365.25), 43.0, 0.1);  // a century's worth
}

TEST(PlanetTable, TheEarthAndTheMoonStayWithinMetresOfErfaAndOfTheRunsOwnEarth) {
    const double first = 2458849.5;  // 2020 to 2040
    const double last = first + 7305;
    const auto days = std::make_shared<const EarthTable>(first + 400, first + 800, 2);
    const PlanetTable alone(first, last, 2);
    const PlanetTable shared(first, last, 2, days.get());
    constexpr double kMetre = 1.0 / 149597870700.0;  // au
    double earthWorst = 0;
    double moonWorst = 0;
    for (double jd = first; jd <= last; jd += 0.737) {  // every phase of the one-day grid
        PlanetTable::Positions at;
        PlanetTable::Positions other;
        Vector3 sun;
        Vector3 otherSun;
        alone.PositionsAt(jd, 0.0, at, sun);
        shared.PositionsAt(jd, 0.0, other, otherSun);
        ASSERT_TRUE(at == other && sun == otherSun) << jd;
        double heliocentric[2][3];
        double barycentric[2][3];
        eraEpv00(jd, 0.0, heliocentric, barycentric);
        double moon[2][3];
        eraMoon98(jd, 0.0, moon);
        const Vector3 earth = {heliocentric[0][0], heliocentric[0][1], heliocentric[0][2]};
        earthWorst = std::max(earthWorst, Norm(at[PlanetTable::kEarth] - earth));
        moonWorst = std::max(moonWorst, Norm(at[PlanetTable::kMoon] - at[PlanetTable::kEarth] -
                                             Vector3{moon[0][0], moon[0][1], moon[0][2]}));
    }
    EXPECT_LT(earthWorst, 30 * kMetre);  // the EarthTable's bound
    EXPECT_LT(moonWorst, 5 * kMetre);
    EXPECT_GT(moonWorst, 0.0);  // interpolated, not the samples themselves
}
