// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <string>

// The program folder and every path derived from it. Paths are file-system bytes (UTF-8 on
// Linux); each derived path is the folder, a forward slash and the name.
struct ProgramFolders {
    std::string ProgramFolder;
    std::string ConfigurationFolder;  // "%s/Configuration": background pictures
    std::string ImagesFolder;         // "%s/Images": saved and exported charts
    std::string DatasFolder;          // "%s/Datas": one ephemeris file per star
    std::string DatabasePath;         // "%s/Nivra.db": the catalogue

    static ProgramFolders From(const std::string& programFolder);
};

// Sets the process's current directory back to the program folder.
void RestoreWorkingFolder(const ProgramFolders& folders);

// The program folder when none is named on the command line: `programDirectory` (the folder of
// the program itself) when it holds a catalogue, "Nivra.db"; otherwise the user's own folder for
// the program's data, $XDG_DATA_HOME/nivra (~/.local/share/nivra when it is unset, empty or
// relative), which is created when missing. An installed program lives in a system folder the
// user can neither fill with a catalogue nor write charts into. Only an absolute $HOME counts:
// without one (unset, empty or relative) there is no such folder, and the result is empty, with
// the reason in `why`.
// With `create` false the folder is only named, for a command that reads.
QString DefaultProgramFolder(const QString& programDirectory, QString* why = nullptr,
                             bool create = true);
