// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The All Stars list at catalogue scale: 100,000 stars, every one with ephemeris data, or as many
// as --stars=N says (1400000 for the whole SBDB).
//   nivra_star_list_bench [--stars=N] [benchmark options]
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/StarListFixture.h"
#include "cli/MemoryReuse.h"
#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "drawing/Fonts.h"
#include "gui/StarListView.h"
#include "tests/support/TestData.h"

namespace {

int kStars = 100000;

// The fixture catalogue, written once per run.
const std::string& FixturePath() {
    static TestData::TempFolder folder;
    static const std::string path = [] {
        const std::string file = folder / "Nivra.db";
        WriteStarListFixture(file, kStars);
        return file;
    }();
    return path;
}

std::unique_ptr<Catalogue> OpenFixture() {
    std::string error;
    return Catalogue::Open(FixturePath(), error);
}

// A list as the All Stars page shows it: filled from the catalogue, on screen, painted.
struct ShownList {
    FontTable fonts = CreateFontTable();
    std::unique_ptr<Catalogue> catalogue = OpenFixture();
    StarListView view{nullptr, fonts, *catalogue, {}};

    ShownList() {
        view.resize(1600, 900);
        view.show();
        QApplication::processEvents();  // lays the view out, so it paints a page of rows
        view.viewport()->repaint();
    }
    void Click(int column) {
        emit view.horizontalHeader()->sectionClicked(column);
        view.viewport()->repaint();
    }
};

// From opening the catalogue to the first painted page of a filled list.
void BM_StarListFilled(benchmark::State& state) {
    FixturePath();
    for (auto _ : state) {
        ShownList list;
        benchmark::DoNotOptimize(list.view.RowCount());
    }
    state.counters["stars"] = kStars;
}
BENCHMARK(BM_StarListFilled)->Unit(benchmark::kMillisecond)->Iterations(5);

// One header click on a column and the repaint, alternately ascending and descending.
void BM_StarListSort(benchmark::State& state) {
    ShownList list;
    const int column = static_cast<int>(state.range(0));
    list.Click(column);  // the first click can prepare what later clicks reuse (names)
    for (auto _ : state) {
        list.Click(column);
    }
    state.SetLabel(kStarListColumns[column].Caption);
}
BENCHMARK(BM_StarListSort)
    ->Arg(4)   // "a", %.15f
    ->Arg(21)  // "Ta", negative and positive
    ->Arg(13)  // "Earth MOID", %.10f
    ->Arg(0)   // "SPK-ID"
    ->Arg(1)   // "Star", names in the locale's collation
    ->Arg(2)   // "Orbit"
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The first click on "Star" also makes every name's collation key.
void BM_StarListFirstSortByName(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<ShownList>();
        state.ResumeTiming();
        list->Click(1);
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StarListFirstSortByName)->Unit(benchmark::kMillisecond)->Iterations(5);

// Scrolling a page down and painting it.
void BM_StarListScrollPage(benchmark::State& state) {
    ShownList list;
    QScrollBar* bar = list.view.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(
            bar->value() + bar->pageStep() > bar->maximum() ? 0 : bar->value() + bar->pageStep());
        list.view.viewport()->repaint();
    }
}
BENCHMARK(BM_StarListScrollPage)->Unit(benchmark::kMillisecond)->Iterations(200);

// The lines `nivra stars` prints: every row's 39 texts written out (the catalogue's real orbits,
// every quantity worked out and every number written), without the reading.
void BM_StarListLines(benchmark::State& state) {
    const auto catalogue = OpenFixture();
    StarListModel model;
    model.Load(*catalogue);
    std::vector<char> buffer(1 << 20);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        char* at = buffer.data();
        for (int row = 0; row < model.RowCount(); ++row) {
            const std::size_t room = model.RowLineRoom(row);
            if (static_cast<std::size_t>(at - buffer.data()) + room > buffer.size()) {
                bytes += static_cast<std::size_t>(at - buffer.data());
                at = buffer.data();
            }
            at = model.WriteRowLine(at, row);
        }
        bytes += static_cast<std::size_t>(at - buffer.data());
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["ns_per_row"] = benchmark::Counter(
        static_cast<double>(model.RowCount()) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_StarListLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// Heap the model keeps per star (the rows read from the catalogue are freed after the fill).
void BM_StarListMemoryPerRow(benchmark::State& state) {
    const auto catalogue = OpenFixture();
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        StarListModel model;
        model.Load(*catalogue);
        const std::size_t after = mallinfo2().uordblks;
        state.counters["bytes_per_row"] =
            static_cast<double>(after - before) / static_cast<double>(model.RowCount());
    }
}
BENCHMARK(BM_StarListMemoryPerRow)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("--stars=", 0) == 0) {
            kStars = std::max(1, std::atoi(argv[i] + 8));
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            break;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    KeepFreedMemory(kStartUpMemoryReuse);  // as the viewer's start-up does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
