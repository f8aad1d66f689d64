// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The long runs of nivra-data: daily perturbed ephemerides of 50 stars over 20 years and of 5
// stars over 200 years, each written and marked as `nivra-data ephemeris` does, on every core
// (the CPU column counts every thread); and one year of a close approach to the Earth.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "cli/MemoryReuse.h"
#include "ephemeris/OrbitPropagation.h"
#include "ephemeris/PlanetTable.h"
#include "sbdb/ShippedExports.h"
#include "tests/support/TestData.h"
#include "writers/CatalogueFile.h"
#include "writers/EphemerisRun.h"

namespace {

// A catalogue of the first `count` numbered asteroids of the built-in export.
std::string FirstAsteroids(const TestData::TempFolder& folder, std::size_t count) {
    CatalogueReport report;
    CatalogueContent content = BuildCatalogue(
        {{"asteroids.json",
          ReadSbdbJson(QByteArray::fromStdString(ReadShippedExport("asteroids.json")),
                       "asteroids.json")}},
        report);
    content.Stars.resize(std::min(count, content.Stars.size()));
    const std::string path = folder / "Nivra.db";
    std::string error;
    WriteCatalogueFile(path, content, error);
    return path;
}

// Arguments: stars, first year, last year.
void BM_EphemerisRun(benchmark::State& state) {
    TestData::TempFolder folder;
    EphemerisRun run;
    run.CataloguePath = FirstAsteroids(folder, static_cast<std::size_t>(state.range(0)));
    run.OutFolder = folder / "Datas";
    run.FirstYear = static_cast<int>(state.range(1));
    run.LastYear = static_cast<int>(state.range(2));
    long long records = 0;
    for (auto _ : state) {
        EphemerisRunReport report;
        std::string error;
        if (!RunEphemeris(run, report, error, nullptr)) {
            state.SkipWithError(error.c_str());
            break;
        }
        records += report.Records;
    }
    state.counters["records"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}

// 99942 Apophis from JPL's heliocentric state of 2029-01-01 across its pass 38,000 km from the
// Earth (2029-04-13) to 2030-01-01; the counter is how far it ends from JPL's state then, km.
void BM_CloseApproach(benchmark::State& state) {
    const double start = 2462138.5359989386;  // TDB
    const StateVector jplStart{
        {-5.5946538550488512e-01, 8.5647564757574512e-01, 3.0415066217102493e-01},
        {-1.3818324735921638e-02, -6.0088275597939191e-03, -2.5805044631309632e-03}};
    const double end = 2462503.0372426095;
    const Vector3 jplEnd = {1.7028330901729331e-02, 1.2193934090901304e+00, 4.7823589236374386e-01};
    const PlanetTable planets(start, end);
    double kilometres = 0;
    for (auto _ : state) {
        const Propagation run = IntegrateOrbit(jplStart, start, {end}, planets);
        if (!run.Failure.empty()) {
            state.SkipWithError(run.Failure.c_str());
            break;
        }
        kilometres = Norm(run.States[0].Position - jplEnd) * 149597870.7;
    }
    state.counters["km_from_jpl"] = kilometres;
}

}  // namespace

BENCHMARK(BM_CloseApproach)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EphemerisRun)
    ->Args({50, 2000, 2019})
    ->Args({5, 1900, 2099})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->MinTime(5.0);

int main(int argc, char** argv) {
    KeepFreedMemory(kEphemerisMemoryReuse);  // as nivra-data does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
