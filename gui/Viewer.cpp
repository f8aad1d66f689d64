// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/Viewer.h"

#include <QApplication>
#include <QTimer>

#include "cli/Startup.h"
#include "gui/MainWindow.h"
#include "gui/StatusBar.h"

int RunViewer(const std::string& programFolder, MessageService& messages, bool verbose,
              std::optional<SpkId> star) {
    StartupResult started = Startup(programFolder, messages);
    if (!started.session) {
        return started.exitCode;
    }
    int exitCode = ExitCode::kNormal;
    {
        MainWindow window(*started.session, messages, verbose);
        window.ShowOverWorkArea();
        if (star) {
            QTimer::singleShot(0, &window, [&window, id = *star] { window.ChooseStarById(id); });
        }
        exitCode = QApplication::exec();
    }
    started.session.reset();  // catalogue closed, then SQLite and the imaging module shut down
    return exitCode;
}
