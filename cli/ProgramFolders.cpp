// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#include "data/TextFormat.h"

ProgramFolders ProgramFolders::From(const std::string& given) {
    // "DIR/" and "DIR/." name DIR: without the trailing separator every derived path has one
    // slash ("DIR/Datas", not "DIR//Datas"). The root keeps its slash.
    std::string programFolder = given;
    for (;;) {
        if (programFolder.size() > 1 && programFolder.back() == '/') {
            programFolder.pop_back();
        } else if (programFolder.size() > 2 &&
                   programFolder.compare(programFolder.size() - 2, 2, "/.") == 0) {
            programFolder.resize(programFolder.size() - 2);
            if (programFolder.empty())
                programFolder.assign(1, '/');
        } else {
            break;
        }
    }
    const char* folder = programFolder == "/" ? "" : programFolder.c_str();
    return ProgramFolders{programFolder, FormatText("%s/Configuration", folder),
                          FormatText("%s/Images", folder), FormatText("%s/Datas", folder),
                          FormatText("%s/Nivra.db", folder)};
}

void RestoreWorkingFolder(const ProgramFolders& folders) {
    std::error_code ignored;
    std::filesystem::current_path(folders.ProgramFolder, ignored);
}

QString DefaultProgramFolder(const QString& programDirectory, QString* why, bool create) {
    if (QFileInfo(programDirectory + "/Nivra.db").exists())
        return programDirectory;
    // A relative $XDG_DATA_HOME or $HOME is no setting (it would name a folder below wherever the
    // program was started), nor is an empty one (it would name a folder below the root).
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home)) {
            if (why != nullptr) {
                *why = "no folder for Nivra's data: neither XDG_DATA_HOME nor HOME is an absolute "
                       "path (HOME is " +
                       (qEnvironmentVariableIsSet("HOME") ? "\"" + home + "\"" : "unset") +
                       "); name one with --folder DIR";
            }
            return {};
        }
        dataHome = home + "/.local/share";
    }
    const QString folder = QDir::cleanPath(dataHome + "/nivra");
    if (create)
        QDir().mkpath(folder);
    return folder;
}
