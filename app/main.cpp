#include <QApplication>
#include <QFile>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/MessageBoxes.h"
#include "app/Startup.h"
#include "app/Viewer.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Nivra");
    QApplication::setDesktopFileName("nivra");

    const CommandLine line = ParseCommandLine(QApplication::arguments().mid(1));
    switch (line.Action) {
        case CommandLine::Mode::Help:
            std::fputs(UsageText().toLocal8Bit().constData(), stdout);
            return ExitCode::kNormal;
        case CommandLine::Mode::Error:
            std::fprintf(stderr, "nivra: %s\n\n%s", line.Error.toLocal8Bit().constData(),
                         UsageText().toLocal8Bit().constData());
            return ExitCode::kUsage;
        case CommandLine::Mode::Viewer:
            break;
    }
    const QString folder = line.Folder.value_or(QApplication::applicationDirPath());
    MessageBoxes messages;
    return RunViewer(QFile::encodeName(folder).toStdString(), messages);
}
