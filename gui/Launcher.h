// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the desktop entry starts: the viewer on the user's program folder, after making the
// sample sky there on the first start.

// The launcher's command line.
struct LauncherCommandLine {
    enum class Mode { Run, Help, Version, Error } Action = Mode::Run;
    std::optional<QString> Folder;  // --folder DIR or --folder=DIR
    bool PrepareOnly = false;       // make the sample when needed, and stop there
    QString Error;                  // what is wrong with the line, for Mode::Error
};
LauncherCommandLine ParseLauncherArguments(const QStringList& arguments);

// What the launcher does with the program folder on a start.
struct FirstStart {
    enum class Step {
        OpenViewer,     // a catalogue is there
        MakeSample,     // nothing of the user's is there, or an unfinished sample is
        LeaveAsItIs,    // no catalogue, but the user's ephemeris files or pictures: not touched
        CannotOpen,     // "Nivra.db" is a link to a file that is not there
    } What = Step::OpenViewer;
    QString Said;  // what the user is told, for the last two
};

// Looks at `folder` and decides: the sample only ever fills a folder that holds nothing of the
// user's (the empty catalogue the viewer leaves aside), and finishes one it left unfinished.
FirstStart DecideFirstStart(const QString& folder);

// Makes a program folder from the sample data in `folder` with the nivra-data program
// `nivraData` (the shipped exports: 3,808 numbered asteroids, the ephemerides of 40 of them).
// With `window`, a small window says so while it works and can cancel it; without, what
// nivra-data prints goes to the launcher's own output. False, with `error` holding what
// nivra-data said, when it fails.
bool PrepareSampleFolder(const QString& nivraData, const QString& folder, bool window,
                         QString& error);
