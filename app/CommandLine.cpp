#include "app/CommandLine.h"

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            line.Action = CommandLine::Mode::Help;
            return line;
        }
        if (argument == "--folder" || argument.startsWith("--folder=")) {
            QString folder;
            if (argument == "--folder") {
                if (i + 1 >= arguments.size()) {
                    return {CommandLine::Mode::Error, std::nullopt, "--folder needs a folder"};
                }
                folder = arguments[++i];
            } else {
                folder = argument.mid(QString("--folder=").size());
            }
            if (folder.isEmpty()) {
                return {CommandLine::Mode::Error, std::nullopt, "--folder needs a folder"};
            }
            line.Folder = folder;
            continue;
        }
        return {CommandLine::Mode::Error, std::nullopt,
                QString("unknown argument \"%1\"").arg(argument)};
    }
    return line;
}

QString UsageText() {
    return "Usage: nivra [--folder DIR]\n"
           "\n"
           "Opens the Nivra viewer on a program folder: DIR, or the folder of the program.\n"
           "The folder holds Nivra.db, Datas/, Configuration/ and Images/.\n";
}
