// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <optional>

#include "cli/CommandLine.h"
#include "cli/ProgramFolders.h"
#include "cli/Startup.h"
#include "cli/SubcommandList.h"
#include "data/Version.h"
#include "gui/DisplayGuard.h"
#include "gui/MessageBoxes.h"
#include "gui/StatusBar.h"
#include "gui/Viewer.h"

namespace {

// A subcommand draws (fonts, images) but never shows a window: it runs on Qt's offscreen
// platform, so no display is needed, whatever the environment says.
int RunSubcommand(int argc, char* argv[], const Subcommand& command) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's offscreen platform looks for a runtime folder it never uses here: its warning that
    // XDG_RUNTIME_DIR is not set (on a server, a cron job) says nothing about the command.
    static QtMessageHandler passOn = nullptr;
    passOn = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (type == QtWarningMsg && text.startsWith("QStandardPaths: XDG_RUNTIME_DIR"))
                return;
            if (passOn != nullptr)
                passOn(type, context, text);
            else
                std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        });
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName("Nivra");
    return command.Run(QGuiApplication::arguments().mid(2));
}

}  // namespace

int main(int argc, char* argv[]) {
    MillisecondsSinceStartup();  // start-up time counts from here
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!arguments.isEmpty()) {
        if (const Subcommand* command = FindSubcommand(arguments.front()))
            return RunSubcommand(argc, argv, *command);
    }
    // The command line is read before anything graphical is made: --help and a bad command line
    // need no display.
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.Action) {
        case CommandLine::Mode::Help:
            std::fputs(UsageText().toLocal8Bit().constData(), stdout);
            return ExitCode::kNormal;
        case CommandLine::Mode::Version:
            std::printf("nivra %s\n", kNivraVersion);
            return ExitCode::kNormal;
        case CommandLine::Mode::Error:
            std::fprintf(stderr, "nivra: %s (see nivra --help)\n",
                         line.Error.toLocal8Bit().constData());
            return ExitCode::kUsage;
        case CommandLine::Mode::Viewer:
            break;
    }
    std::optional<QApplication> application;
    {
        const DisplayGuard guard("nivra");
        application.emplace(argc, argv);
    }
    QApplication::setApplicationName("Nivra");
    QApplication::setDesktopFileName("org.example.nivra");
    // The user's default folder is only looked for (and created) when no folder is named.
    QString why;
    const QString folder =
        line.Folder ? *line.Folder : DefaultProgramFolder(QApplication::applicationDirPath(), &why);
    if (folder.isEmpty()) {
        std::fprintf(stderr, "nivra: %s\n", why.toLocal8Bit().constData());
        return ExitCode::kUsage;
    }
    MessageBoxes messages;
    return RunViewer(QFile::encodeName(folder).toStdString(), messages, line.Verbose, line.Star);
}
