// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Chart preparation of one star choice, headless: the Orbits and Star Orbite diagrams and the
// twenty chart images (four View, sixteen wide) of a star, drawn by their pages and the chart
// board exactly as the window draws them, against a plain memset of the same number of bytes,
// measured in the same run. The diagram pages keep descriptions, not images: they hand over no
// image bytes (they paint only what is visible, when it is shown).
//
//   nivra_chart_bench [--folder=DIR --star=SPKID]... [benchmark flags]
//
// Each --folder/--star pair names a program folder (catalogue and Datas) and a star in it; the
// folder's name labels the benchmark. Without any, two synthetic files are made: 20 and 120 years
// of daily records. After the benchmarks come the time and peak resident memory of the first
// preparation of each star, and the peak of a later one (Linux).
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <sys/resource.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "charts/ChartPreparation.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
#include "data/TextFormat.h"
#include "diagrams/DiagramInputs.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"
#include "gui/ChartBoard.h"
#include "gui/ChartPane.h"
#include "gui/DiagramPages.h"
#include "gui/FramePane.h"
#include "gui/ViewPane.h"
#include "tests/support/TestData.h"

namespace {

struct StarChoice {
    std::string Label;
    std::string Folder;
    SpkId Id = 0;
};

// One star loaded and a chart board with its eight pages, as the main window holds them.
class PreparedStar {
  public:
    PreparedStar(const StarChoice& choice, const FontTable& fonts)
        : star_(choice.Folder + "/Datas"), host_(new QWidget) {
        std::string error;
        catalogue_ = Catalogue::Open(choice.Folder + "/Nivra.db", error);
        if (star_.MakeCurrentStar(choice.Id) == nullptr) {
            std::fprintf(stderr, "cannot load star %u from %s\n", choice.Id, choice.Folder.c_str());
            std::exit(1);
        }
        name_ = "star";
        if (catalogue_) {
            if (auto rows = QueryStarChoices(*catalogue_, 0)) {
                for (const StarChoiceRow& row : *rows)
                    if (row.Id == choice.Id)
                        name_ = row.Name;
            }
        }
        ChartBoardProviders providers;
        providers.TitleInputs = [this] { return ChartTitleInputs{name_, 0}; };
        providers.MainClientSize = [] { return QSize(1920, 1080); };
        providers.Star = &star_;
        providers.Database = catalogue_.get();
        providers.Messages = &messages_;
        board_ = std::make_unique<ChartBoard>(fonts, providers);
        for (CoordinateFrame frame : kAllFrames)
            board_->CreateViewPage(frame, host_.get());
        for (ChartKind kind : {ChartKind::Travel, ChartKind::Constellations, ChartKind::Years,
                               ChartKind::Perihelion})
            board_->CreateChartPage(kind, host_.get());
        orbitsPage_ = CreateOrbitsPage(host_.get());
        starOrbitPage_ = CreateStarOrbitPage(host_.get());
        diagramInputs_.Fonts = &fonts;
        diagramInputs_.Database = catalogue_.get();
        diagramInputs_.Header = &star_.Star()->Header();
        diagramInputs_.Title = ChartTitleInputs{name_, 0};
        targets_.RefreshOrbitsPane = [this] { RefreshOrbitsPane(*orbitsPage_, diagramInputs_); };
        targets_.RefreshStarOrbitPane = [this] {
            RefreshStarOrbitPane(*starOrbitPage_, diagramInputs_);
        };
        targets_.ShowStatus = [](const QString&) {};
        targets_.RefreshChart = [this](ChartKind kind, const FrameTrack& track,
                                       const QString& caption) {
            board_->RefreshChart(kind, track, caption);
        };
    }

    void Prepare() { PrepareCharts(star_, targets_); }

    // Shows the pages in a 1920 x 1000 window with the Astrometric View page in front, as the
    // main window shows them after start-up (its preparation then also paints that page).
    void ShowAstrometricView() {
        host_->resize(1920, 1000);
        for (QWidget* child :
             host_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            child->setGeometry(0, 0, 1920, 1000);
            child->setVisible(child == board_->ViewPage(CoordinateFrame::Astrometric));
        }
        host_->show();
        QApplication::processEvents();
    }

    // Bytes of the twenty chart images one preparation hands over (the diagrams hand over none).
    std::vector<std::size_t> OutputSizes() const {
        std::vector<std::size_t> sizes(4, std::size_t{1440} * 760 * 4);
        for (ChartKind kind : {ChartKind::Travel, ChartKind::Constellations, ChartKind::Years,
                               ChartKind::Perihelion})
            for (CoordinateFrame frame : kAllFrames)
                sizes.push_back(static_cast<std::size_t>(
                    board_->ChartPage(kind)->Pane(frame)->Chart().sizeInBytes()));
        return sizes;
    }
    std::size_t Records() const {
        std::size_t count = 0;
        for ([[maybe_unused]] EphemerisRecord record : star_.Cursor())
            ++count;
        return count;
    }

  private:
    std::unique_ptr<Catalogue> catalogue_;
    std::string name_;
    CurrentStar star_;
    StandardErrorMessages messages_;
    std::unique_ptr<QWidget> host_;
    std::unique_ptr<ChartBoard> board_;
    DiagramPage* orbitsPage_ = nullptr;
    DiagramPage* starOrbitPage_ = nullptr;
    DiagramInputs diagramInputs_;
    ChartPreparationTargets targets_;
};

// Page faults of this process so far that needed no disk.
long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void Escape(void* pointer) {
    asm volatile("" : : "g"(pointer) : "memory");
}

// Resident memory figures of this process from /proc/self/status, in KiB (0 elsewhere).
long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return 0;
}

// Restarts the kernel's peak-resident count (VmHWM) from the current resident size.
void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::vector<StarChoice> SyntheticChoices(const TestData::TempFolder& folder) {
    std::vector<StarChoice> choices;
    for (auto [years, id] : {std::pair{20, 2000001u}, std::pair{120, 2000002u}}) {
        const std::string dir = folder / (std::to_string(years) + "-years");
        TestData::Star star;
        star.Id = id;
        star.Name = "Synthetic " + std::to_string(years);
        star.TimePerihelionPassage = 2451545.0;
        TestData::MakeProgramFolder(dir, {{0, "All"}}, {star},
                                    {TestData::NvrFile::Daily(id, 2019 - years + 1, 2019)});
        choices.push_back({std::to_string(years) + "-years-synthetic", dir, id});
    }
    return choices;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<StarChoice> choices;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--folder=", 9) == 0) {
            std::string folder = argv[i] + 9;
            const std::size_t slash = folder.find_last_of('/', folder.size() - 2);
            choices.push_back(
                {slash == std::string::npos ? folder : folder.substr(slash + 1), folder, 0});
        } else if (std::strncmp(argv[i], "--star=", 7) == 0 && !choices.empty()) {
            choices.back().Id = static_cast<SpkId>(std::strtoul(argv[i] + 7, nullptr, 10));
        } else {
            rest.push_back(argv[i]);
        }
    }
    int restCount = static_cast<int>(rest.size());
    QApplication application(restCount, rest.data());
    TestData::TempFolder synthetic;
    if (choices.empty())
        choices = SyntheticChoices(synthetic);

    const FontTable fonts = CreateFontTable();
    std::vector<std::unique_ptr<PreparedStar>> stars;
    std::vector<std::string> firstRuns;
    for (const StarChoice& choice : choices) {
        stars.push_back(std::make_unique<PreparedStar>(choice, fonts));
        PreparedStar* star = stars.back().get();
        // The first preparation of the run, with empty panes and nothing kept from before; it
        // also gives the panes images of the sizes measured below.
        ResetPeakResident();
        const long before = StatusKilobytes("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        star->Prepare();
        const std::chrono::duration<double, std::milli> first =
            std::chrono::steady_clock::now() - start;
        const long peak = StatusKilobytes("VmHWM:");
        firstRuns.push_back(FormatText(
            "%s: first preparation %.1f ms; resident memory %ld KiB before, peak %ld KiB "
            "(+%ld KiB)",
            choice.Label.c_str(), first.count(), before, peak, peak - before));
        const std::vector<std::size_t> sizes = star->OutputSizes();
        std::size_t total = 0;
        for (std::size_t size : sizes)
            total += size;
        const double records = static_cast<double>(star->Records());

        benchmark::RegisterBenchmark(("PrepareCharts/" + choice.Label).c_str(),
                                     [star, total, records](benchmark::State& state) {
                                         const long faults = MinorFaults();
                                         for (auto _ : state)
                                             star->Prepare();
                                         state.counters["faults"] = benchmark::Counter(
                                             static_cast<double>(MinorFaults() - faults),
                                             benchmark::Counter::kAvgIterations);
                                         state.counters["output_MiB"] = total / 1048576.0;
                                         state.counters["records"] = records;
                                     })
            ->Unit(benchmark::kMillisecond);
        // The bytes of the twenty images written once into memory already in use.
        benchmark::RegisterBenchmark(("MemsetOutputBytes/" + choice.Label).c_str(),
                                     [total](benchmark::State& state) {
                                         std::vector<unsigned char> bytes(total, 1);
                                         for (auto _ : state) {
                                             std::memset(bytes.data(), 0, total);
                                             Escape(bytes.data());
                                         }
                                         state.counters["output_MiB"] = total / 1048576.0;
                                     })
            ->Unit(benchmark::kMillisecond);
        // The same bytes in pages new to the process, as a plain program writing new images
        // would get them (the system finds and clears each page first).
        benchmark::RegisterBenchmark(("MemsetNewPages/" + choice.Label).c_str(),
                                     [sizes](benchmark::State& state) {
                                         for (auto _ : state) {
                                             for (std::size_t size : sizes) {
                                                 void* bytes =
                                                     mmap(nullptr, size, PROT_READ | PROT_WRITE,
                                                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                                                 std::memset(bytes, 0, size);
                                                 Escape(bytes);
                                                 munmap(bytes, size);
                                             }
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
    // The window's case: the same preparation with the Astrometric View page shown.
    for (std::size_t i = 0; i < stars.size(); ++i) {
        PreparedStar* star = stars[i].get();
        benchmark::RegisterBenchmark(("PrepareChartsViewShown/" + choices[i].Label).c_str(),
                                     [star](benchmark::State& state) {
                                         star->ShowAstrometricView();
                                         for (auto _ : state)
                                             star->Prepare();
                                     })
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (const std::string& line : firstRuns)
        std::printf("%s\n", line.c_str());
    for (std::size_t i = 0; i < stars.size(); ++i) {
        ResetPeakResident();
        const long before = StatusKilobytes("VmRSS:");
        stars[i]->Prepare();
        const long peak = StatusKilobytes("VmHWM:");
        std::printf(
            "%s: a later preparation; resident memory %ld KiB before, peak %ld KiB "
            "(+%ld KiB)\n",
            choices[i].Label.c_str(), before, peak, peak - before);
    }
    return 0;
}
