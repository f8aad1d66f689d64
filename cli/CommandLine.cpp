// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/CommandLine.h"

#include "cli/Options.h"
#include "cli/SubcommandList.h"

namespace {
CommandLine Failed(const QString& error) {
    CommandLine line;
    line.Action = CommandLine::Mode::Error;
    line.Error = error;
    return line;
}
}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            line.Action = CommandLine::Mode::Help;
            return line;
        }
        if (argument == "--version") {
            line.Action = CommandLine::Mode::Version;
            return line;
        }
        if (argument == "--folder" || argument.startsWith("--folder=")) {
            QString folder;
            if (argument == "--folder") {
                if (i + 1 >= arguments.size()) {
                    return Failed("--folder needs a folder");
                }
                folder = arguments[++i];
            } else {
                folder = argument.mid(QString("--folder=").size());
            }
            if (folder.isEmpty()) {
                return Failed("--folder needs a folder");
            }
            if (line.Folder) {
                return Failed("--folder is given twice");
            }
            line.Folder = folder;
            continue;
        }
        if (argument == "--star" || argument.startsWith("--star=")) {
            const QString text = argument == "--star"
                                     ? (i + 1 < arguments.size() ? arguments[++i] : QString())
                                     : argument.mid(QString("--star=").size());
            QString error;
            const std::optional<std::uint32_t> id = ParseStarOption("--star", text, error);
            if (!id) {
                return Failed(error);
            }
            if (line.Star) {
                return Failed("--star is given twice");
            }
            line.Star = id;
            continue;
        }
        if (argument == "--verbose") {
            if (line.Verbose) {
                return Failed("--verbose is given twice");
            }
            line.Verbose = true;
            continue;
        }
        return Failed(argument.startsWith("-")
                          ? QString("unknown option \"%1\"").arg(argument)
                          : QString("unexpected argument \"%1\"").arg(argument));
    }
    return line;
}

QString UsageText() {
    QString text =
        "Usage: nivra [--folder DIR] [--star SPKID] [--verbose]\n"
        "       nivra --help | --version\n"
        "\n"
        "Opens the Nivra viewer on a program folder: DIR, or the folder of the program when it\n"
        "holds a catalogue, else $XDG_DATA_HOME/nivra (~/.local/share/nivra).\n"
        "The folder holds Nivra.db, Datas/, Configuration/ and Images/.\n"
        "--star chooses that star as the window opens.\n"
        "--verbose also prints every status-bar text on standard error as\n"
        "\"status PART +MILLISECONDS TEXT\" (milliseconds since start-up).\n"
        "Exit codes: 0 closed; 1 no display; 2 a bad command line, or no folder for Nivra's\n"
        "data (no absolute HOME); 253 (-3) the catalogue cannot be opened; 255 (-1), 254 (-2)\n"
        "SQLite or JPEG reading cannot be started.\n";
    if (!Subcommands().empty()) {
        text += "\nWithout a display:\n";
        for (const Subcommand& command : Subcommands())
            text += QString::fromUtf8(command.Usage);
    }
    return text;
}
