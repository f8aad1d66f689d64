// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstring>
#include <memory>

#include "data/Catalogue.h"
#include "diagrams/OrbitsDiagram.h"
#include "diagrams/StarOrbitDiagram.h"
#include "drawing/Fonts.h"
#include "tests/support/TestData.h"

// The two diagrams as chart preparation refreshes them: the page keeps a description and paints
// only what is visible, so a refresh is the catalogue lookups, the geometry and, for the Orbits
// diagram, the strips that find its crop. For comparison: the whole images, and a memset of
// their bytes.
namespace {

// Fonts need a running application; the benchmarks run on the offscreen platform.
bool EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "nivra_bench";
        static char* argv[] = {name, nullptr};
        static QGuiApplication application(argc, argv);
    }
    return true;
}

struct Diagrams {
    bool application = EnsureApplication();
    TestData::TempFolder folder;
    FontTable fonts = CreateFontTable();
    std::unique_ptr<Catalogue> catalogue;
    StarFileHeader header;

    // A star of eccentricity `e` and semi-major axis `a` (au).
    Diagrams(double e, double a) {
        TestData::Star star;
        star.Id = 2000001;
        star.Name = "Bench";
        star.Eccentricity = e;
        star.SemiMajorAxis = a;
        star.PerihelionDistance = a * (1 - e);
        star.ApelionDistance = a * (1 + e);
        TestData::WriteCatalogue(folder / "Nivra.db", {{1, "Bench"}}, {star});
        std::string error;
        catalogue = Catalogue::Open(folder / "Nivra.db", error);
        header.Id = 2000001;
        header.FirstYear = 2000;
        header.LastYear = 2019;
    }
    DiagramInputs Inputs() {
        DiagramInputs inputs;
        inputs.Fonts = &fonts;
        inputs.Database = catalogue.get();
        inputs.Header = &header;
        inputs.Title.SelectedStarName = "Bench";
        inputs.Title.SelectedYear = 0;
        return inputs;
    }
};

// Ceres (2.77 au), Pluto (39.4 au, the widest orbit at 200 pixels per au), Sedna (521 au).
constexpr double kOrbits[][2] = {{0.0786, 2.7666}, {0.2502, 39.445}, {0.8535, 521.23}};

void StarOrbitRefresh(benchmark::State& state) {
    Diagrams diagrams(0.0786, 2.7666);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DescribeStarOrbit(diagrams.Inputs()));
    }
}
BENCHMARK(StarOrbitRefresh)->Unit(benchmark::kMillisecond);

void OrbitsRefresh(benchmark::State& state) {
    Diagrams diagrams(kOrbits[state.range(0)][0], kOrbits[state.range(0)][1]);
    for (auto _ : state) {
        const std::optional<OrbitsScene> scene = DescribeOrbits(diagrams.Inputs());
        benchmark::DoNotOptimize(OrbitsCropRect(*scene));
    }
}
BENCHMARK(OrbitsRefresh)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The first screen's worth of the Star Orbite page, 1920 x 1000 pixels at its centre.
void StarOrbitVisiblePaint(benchmark::State& state) {
    Diagrams diagrams(0.0786, 2.7666);
    const StarOrbitScene scene = *DescribeStarOrbit(diagrams.Inputs());
    QImage screen(1920, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&screen);
        painter.translate(-2047, -2486);
        PaintStarOrbit(painter, scene);
    }
}
BENCHMARK(StarOrbitVisiblePaint)->Unit(benchmark::kMillisecond);

void StarOrbitWholeImage(benchmark::State& state) {
    Diagrams diagrams(0.0786, 2.7666);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderStarOrbit(diagrams.Inputs()));
    }
}
BENCHMARK(StarOrbitWholeImage)->Unit(benchmark::kMillisecond);

void OrbitsWholeImage(benchmark::State& state) {
    Diagrams diagrams(kOrbits[state.range(0)][0], kOrbits[state.range(0)][1]);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::optional<QImage> image = RenderOrbits(diagrams.Inputs());
        bytes = static_cast<std::size_t>(image->sizeInBytes());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(OrbitsWholeImage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A fresh buffer of `bytes` written once: what the goals call the memset of the output.
void MemsetOf(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        std::unique_ptr<char[]> buffer(new char[bytes]);
        std::memset(buffer.get(), 0, bytes);
        benchmark::DoNotOptimize(buffer.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MemsetOf)->Arg(6000 * 6040 * 4)->Arg(7889 * 7621 * 4)->Unit(benchmark::kMillisecond);

}  // namespace
