#include "gui/Viewer.h"

#include <QApplication>

#include "cli/Startup.h"
#include "gui/MainWindow.h"
#include "gui/StatusBar.h"

int RunViewer(const std::string& programFolder, MessageService& messages, bool verbose) {
    StartupResult started = Startup(programFolder, messages);
    if (!started.session) {
        return started.exitCode;
    }
    int exitCode = ExitCode::kNormal;
    {
        MainWindow window(*started.session, messages, verbose);
        window.ShowOverWorkArea();
        exitCode = QApplication::exec();
    }
    started.session.reset();  // catalogue closed, then SQLite and the imaging module shut down
    return exitCode;
}
