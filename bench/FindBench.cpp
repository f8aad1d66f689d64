// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The find field at the size of the whole SBDB, on a catalogue made by
// `nivra_find_fixture DIR 1400000`:
//   nivra_find_bench DIR            the index: its reading (time, memory), then each keystroke of
//                                   a few texts typed letter by letter (median and slowest of
//                                   RUNS finds of a screenful of 45 rows)
//   nivra_find_bench DIR --window   the viewer: start-up to a painted window (and its peak
//                                   memory), the index read after the field takes the focus, each
//                                   keystroke typed into the field until its list is shown (the
//                                   rows' names read from the catalogue), and the memory after
// One start-up per run of --window; run it five times for five start-ups in fresh processes.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "cli/Startup.h"
#include "data/StarFinder.h"
#include "drawing/MessageService.h"
#include "gui/FindField.h"
#include "gui/MainWindow.h"
#include "gui/Toolbar.h"

namespace {

// Texts a user types, letter by letter.
const char* const kTexts[] = {"Apophis", "99942", "2004 MN4", "2000433", "Hulst",    "halley",
                              "433",     "1P",    "2P/Encke", "Ceres",   "van de H", "e"};
constexpr std::size_t kRows = 45;  // a screenful of rows at 1080 pixels
constexpr int kRuns = 15;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A line of /proc/self/status (VmHWM: peak resident memory, VmRSS: resident now), megabytes; 0
// where /proc is not there.
double StatusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024;
    }
    return 0;
}

double Milliseconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The processor time this thread has taken, milliseconds: on a machine whose cores are shared
// with other work, the time a find costs whatever else runs.
double ThreadMilliseconds() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

int IndexBench(const std::string& folder) {
    std::string error;
    std::unique_ptr<Catalogue> catalogue =
        Catalogue::Open(folder + "/Nivra.db", error, Catalogue::Access::ReadOnly);
    if (!catalogue) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const double before = StatusMegabytes("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    std::optional<StarFinder> finder = ReadStarFinder(*catalogue, false);
    const double reading = Milliseconds(clock);
    if (!finder) {
        std::fprintf(stderr, "the bodies cannot be read: %s\n", catalogue->ErrorText().c_str());
        return 1;
    }
    catalogue.reset();
    std::printf("index of %zu bodies read in %.0f ms: %.1f MB held, resident memory %.1f MB more\n",
                finder->Size(), reading, static_cast<double>(finder->MemoryBytes()) / 1048576,
                StatusMegabytes("VmRSS:") - before);
    std::printf("each keystroke: median milliseconds of %d finds, wall clock/processor\n", kRuns);
    double slowest = 0, slowestProcessor = 0;
    for (const char* text : kTexts) {
        const std::string typed = text;
        std::printf("%-10s", text);
        for (std::size_t length = 1; length <= typed.size(); ++length) {
            const std::string keys = typed.substr(0, length);
            std::vector<double> times, processor;
            std::size_t count = 0;
            for (int run = 0; run < kRuns; ++run) {
                clock.restart();
                const double started = ThreadMilliseconds();
                count = finder->Find(keys, kRows).Count;
                processor.push_back(ThreadMilliseconds() - started);
                times.push_back(Milliseconds(clock));
            }
            slowest = std::max(slowest, *std::max_element(times.begin(), times.end()));
            slowestProcessor =
                std::max(slowestProcessor, *std::max_element(processor.begin(), processor.end()));
            std::printf(" %.1f/%.1f", Median(times), Median(processor));
            if (length == typed.size())
                std::printf(" ms (%zu matches)", count);
        }
        std::printf("\n");
    }
    std::printf("slowest keystroke of all runs: %.1f ms (processor %.1f ms)\n", slowest,
                slowestProcessor);
    return 0;
}

void Type(QWidget* field, QChar c) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(field, &release);
}

int WindowBench(const std::string& folder) {
    StandardErrorMessages messages;
    QElapsedTimer clock;
    clock.start();
    StartupResult started = Startup(folder, messages);
    if (!started.session)
        return 1;
    MainWindow window(*started.session, messages);
    window.resize(1920, 1080);
    window.ShowOverWorkArea();
    window.repaint();
    QApplication::processEvents();
    std::printf("start-up %.0f ms, peak memory %.0f MB, resident %.0f MB\n", Milliseconds(clock),
                StatusMegabytes("VmHWM:"), StatusMegabytes("VmRSS:"));

    FindField* field = window.Toolbar()->FindField();
    clock.restart();
    field->setFocus(Qt::ShortcutFocusReason);
    while (!field->IndexReady() && field->IndexProblem().isEmpty())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!field->IndexReady()) {
        std::fprintf(stderr, "%s\n", field->IndexProblem().toLocal8Bit().constData());
        return 1;
    }
    std::printf("index read in the background in %.0f ms (%zu bodies); resident %.0f MB\n",
                Milliseconds(clock), field->Finder()->Size(), StatusMegabytes("VmRSS:"));
    std::printf("each keystroke until its list is shown: milliseconds, wall clock/processor\n");
    std::vector<double> all, allProcessor;
    for (const char* text : kTexts) {
        std::printf("%-10s", text);
        for (const QChar c : QString(text)) {
            clock.restart();
            const double started = ThreadMilliseconds();
            Type(field, c);
            QApplication::processEvents();
            const double time = Milliseconds(clock);
            const double processor = ThreadMilliseconds() - started;
            all.push_back(time);
            allProcessor.push_back(processor);
            std::printf(" %.1f/%.1f", time, processor);
        }
        std::printf(" ms (%d rows: %s)\n", field->MatchList()->model()->rowCount(),
                    field->CountLine()->text().toLocal8Bit().constData());
        field->clear();
        QApplication::processEvents();
    }
    std::printf(
        "keystrokes: median %.1f ms (processor %.1f ms), slowest %.1f ms (processor %.1f ms); peak "
        "memory %.0f MB, resident %.0f MB\n",
        Median(all), Median(allProcessor), *std::max_element(all.begin(), all.end()),
        *std::max_element(allProcessor.begin(), allProcessor.end()), StatusMegabytes("VmHWM:"),
        StatusMegabytes("VmRSS:"));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "--window")) {
        std::fprintf(stderr, "usage: %s DIR [--window]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return argc == 3 ? WindowBench(argv[1]) : IndexBench(argv[1]);
}
