// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up and orbit-class changes of the viewer on a large catalogue whose stars all have an
// ephemeris file (made by `nivra_star_list_fixture DIR 100000 --with-files`):
//   nivra_toolbar_bench DIR [RUNS]
// prints, for each run, the time from start-up to the window shown and painted (with the peak
// memory of the process by then, which the first run gives for start-up alone), and the time of
// each class change (all stars -> class 1 -> all stars), then the medians. Run it with RUNS = 1
// five times for five start-ups in fresh processes.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/Startup.h"
#include "drawing/MessageService.h"
#include "gui/MainWindow.h"
#include "gui/Toolbar.h"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The process's peak resident memory so far (VmHWM), megabytes; 0 where /proc is not there.
double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

double Milliseconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Chooses an orbit class as a user does, and returns how long until the star list was refilled.
double ChooseClass(::Toolbar& toolbar, int code) {
    QComboBox* classes = toolbar.OrbitClassSelector();
    QElapsedTimer clock;
    clock.start();
    const int index = classes->findData(code);
    classes->setCurrentIndex(index);
    emit classes->activated(index);
    QApplication::processEvents();
    return Milliseconds(clock);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [RUNS]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string folder = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    StandardErrorMessages messages;
    std::vector<double> startups, toClass, toAll;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        StartupResult started = Startup(folder, messages);
        if (!started.session)
            return 1;
        {
            MainWindow window(*started.session, messages);
            window.ShowOverWorkArea();
            window.repaint();
            QApplication::processEvents();
            const double startup = Milliseconds(clock);
            const double peak = PeakMegabytes();
            ::Toolbar& toolbar = *window.Toolbar();
            const int stars = toolbar.StarSelector()->count();
            const double one = ChooseClass(toolbar, 1);
            const int classStars = toolbar.StarSelector()->count();
            const double all = ChooseClass(toolbar, 0);
            std::printf(
                "run %d: start-up %.0f ms (%d stars listed, peak memory %.0f MB); class change to "
                "%d stars %.0f ms, back to all %d stars %.0f ms\n",
                run + 1, startup, stars, peak, classStars, one, toolbar.StarSelector()->count(),
                all);
            startups.push_back(startup);
            toClass.push_back(one);
            toAll.push_back(all);
        }
    }
    std::printf("median: start-up %.0f ms, class change %.0f ms, back to all stars %.0f ms\n",
                Median(startups), Median(toClass), Median(toAll));
    return 0;
}
