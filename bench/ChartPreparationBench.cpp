// Chart preparation of one star choice, headless: the twenty chart images (four View, sixteen
// wide) of a star, drawn by the chart board exactly as the window draws them, against a plain
// memset of the same number of bytes, measured in the same run.
//
//   nivra_chart_bench [--folder=DIR --star=SPKID]... [benchmark flags]
//
// Each --folder/--star pair names a program folder (catalogue and Datas) and a star in it; the
// folder's name labels the benchmark. Without any, two synthetic files are made: 20 and 120 years
// of daily records. After the benchmarks, the peak resident memory of one preparation of each
// star is printed (Linux).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Fonts.h"
#include "app/MessageService.h"
#include "browse/ChartPreparation.h"
#include "charts/ChartBoard.h"
#include "charts/ChartPane.h"
#include "charts/FramePane.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
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
        std::string name = "star";
        if (catalogue_) {
            if (auto rows = QueryStarChoices(*catalogue_, 0)) {
                for (const StarChoiceRow& row : *rows)
                    if (row.Id == choice.Id)
                        name = row.Name;
            }
        }
        ChartBoardProviders providers;
        providers.TitleInputs = [name] { return ChartTitleInputs{name, 0}; };
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
        targets_.ShowStatus = [](const QString&) {};
        targets_.RefreshChart = [this](ChartKind kind, const FrameTrack& track,
                                       const QString& caption) {
            board_->RefreshChart(kind, track, caption);
        };
    }

    void Prepare() { PrepareCharts(star_, targets_); }

    // Bytes of the twenty images one preparation hands over.
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
    CurrentStar star_;
    StandardErrorMessages messages_;
    std::unique_ptr<QWidget> host_;
    std::unique_ptr<ChartBoard> board_;
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
    for (const StarChoice& choice : choices) {
        stars.push_back(std::make_unique<PreparedStar>(choice, fonts));
        PreparedStar* star = stars.back().get();
        star->Prepare();  // once, so the panes hold images of the sizes measured below
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
        // The same, each image in fresh memory as a new image gets it (page faults included).
        benchmark::RegisterBenchmark(("MemsetFreshImages/" + choice.Label).c_str(),
                                     [sizes](benchmark::State& state) {
                                         for (auto _ : state) {
                                             for (std::size_t size : sizes) {
                                                 void* bytes = std::malloc(size);
                                                 Escape(bytes);
                                                 std::memset(bytes, 0, size);
                                                 Escape(bytes);
                                                 std::free(bytes);
                                             }
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (std::size_t i = 0; i < stars.size(); ++i) {
        ResetPeakResident();
        const long before = StatusKilobytes("VmRSS:");
        stars[i]->Prepare();
        const long peak = StatusKilobytes("VmHWM:");
        std::printf(
            "peak resident memory, %s: %ld KiB before one preparation, peak %ld KiB "
            "(+%ld KiB)\n",
            choices[i].Label.c_str(), before, peak, peak - before);
    }
    return 0;
}
