// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// nivra-launcher: what the desktop entry starts. On the first start, when the user's program
// folder holds nothing of the user's, it makes the sample sky there with nivra-data; then it
// opens the viewer on that folder.
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/ProgramFolders.h"
#include "data/Version.h"
#include "drawing/MessageService.h"
#include "gui/DisplayGuard.h"
#include "gui/Launcher.h"
#include "gui/MessageBoxes.h"

namespace {

const char kUsage[] =
    "Usage: nivra-launcher [--folder DIR] [--prepare-only]\n"
    "\n"
    "Opens the Nivra viewer on DIR, or on the folder the viewer would choose itself (the\n"
    "folder of the program when it holds a catalogue, else $XDG_DATA_HOME/nivra). When that\n"
    "folder holds no catalogue, no ephemeris file and no picture, the sample sky is made there\n"
    "first with nivra-data; a folder with any of these is opened as it is.\n"
    "--prepare-only makes the sample when needed and stops there (no display needed).\n"
    "       nivra-launcher --help | --version\n"
    "Exit codes: 0 done (the viewer's own when it opened); 1 no display, the sample could not\n"
    "be made, or the catalogue is a link to nothing; 2 a bad command line, or no folder for\n"
    "Nivra's data (no absolute HOME).\n";

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const LauncherCommandLine line = ParseLauncherArguments(arguments);
    switch (line.Action) {
        case LauncherCommandLine::Mode::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case LauncherCommandLine::Mode::Version:
            std::printf("nivra-launcher %s\n", kNivraVersion);
            return 0;
        case LauncherCommandLine::Mode::Error:
            std::fprintf(stderr, "nivra-launcher: %s (see nivra-launcher --help)\n",
                         line.Error.toLocal8Bit().constData());
            return 2;
        case LauncherCommandLine::Mode::Run:
            break;
    }

    // Preparing alone needs no display; showing the sample's window and the viewer do.
    std::unique_ptr<QCoreApplication> application;
    if (line.PrepareOnly) {
        application = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        const DisplayGuard guard("nivra-launcher");
        application = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName("Nivra");
    if (!line.PrepareOnly)
        QApplication::setDesktopFileName("org.example.nivra");
    const auto say = [&](const QString& text, MessageIcon icon) {
        if (line.PrepareOnly)
            std::fprintf(stderr, "nivra-launcher: %s\n", text.toLocal8Bit().constData());
        else
            MessageBoxes().Show(text, icon);
    };

    const QString programs = QCoreApplication::applicationDirPath();
    QString folder = line.Folder.value_or(QString());
    if (!line.Folder) {
        QString why;
        folder = DefaultProgramFolder(programs, &why);
        if (folder.isEmpty()) {
            std::fprintf(stderr, "nivra-launcher: %s\n", why.toLocal8Bit().constData());
            return 2;
        }
    }
    const FirstStart start = DecideFirstStart(folder);
    switch (start.What) {
        case FirstStart::Step::MakeSample: {
            QString error;
            if (!PrepareSampleFolder(programs + "/nivra-data", folder, !line.PrepareOnly, error)) {
                say(error, MessageIcon::Error);
                return 1;
            }
            break;
        }
        case FirstStart::Step::CannotOpen:
            say(start.Said, MessageIcon::Error);
            return 1;
        case FirstStart::Step::LeaveAsItIs:
            say(start.Said, MessageIcon::Information);
            break;
        case FirstStart::Step::OpenViewer:
            break;
    }
    if (line.PrepareOnly)
        return 0;
    // The viewer takes this process's place.
    const std::string viewer = QFile::encodeName(programs + "/nivra").toStdString();
    const std::string folderBytes = QFile::encodeName(folder).toStdString();
    std::vector<char*> command = {const_cast<char*>(viewer.c_str()), const_cast<char*>("--folder"),
                                  const_cast<char*>(folderBytes.c_str()), nullptr};
    execv(viewer.c_str(), command.data());
    const QString error = QString("Cannot start %1").arg(QFile::decodeName(viewer.c_str()));
    MessageBoxes().Show(error, MessageIcon::Error);
    return 1;
}
