// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>
#include <filesystem>

#include "data/StarFile.h"
#include "tests/support/TestData.h"

// Loading a star's whole ephemeris file: 120 years of daily records (3.9 MB).
static void BM_LoadStarFile120Years(benchmark::State& state) {
    TestData::TempFolder folder;
    const std::string path = folder / "2000001.Nvr";
    TestData::NvrFile::Daily(2000001, 1900, 2019).Write(path);
    std::size_t records = 0;
    for (auto _ : state) {
        std::optional<StarFile> star = LoadStarFile(path);
        records = 0;
        for (EphemerisRecord record : star->FirstRecord()) {
            benchmark::DoNotOptimize(record.Frame(CoordinateFrame::Galactic));
            ++records;
        }
    }
    state.counters["records"] = static_cast<double>(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_LoadStarFile120Years)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
