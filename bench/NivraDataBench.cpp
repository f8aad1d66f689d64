// The long runs of nivra-data: daily perturbed ephemerides of 50 stars over 20 years and of 5
// stars over 200 years, each written and marked as `nivra-data ephemeris` does, on every core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "cli/MemoryReuse.h"
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

}  // namespace

BENCHMARK(BM_EphemerisRun)
    ->Args({50, 2000, 2019})
    ->Args({5, 1900, 2099})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(5.0);

int main(int argc, char** argv) {
    KeepFreedMemory(kEphemerisMemoryReuse);  // as nivra-data does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
