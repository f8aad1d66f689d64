// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// What the command line asks of the program.
struct CommandLine {
    enum class Mode { Viewer, Help, Version, Error };
    Mode Action = Mode::Viewer;
    std::optional<QString> Folder;      // --folder DIR: the program folder
    bool Verbose = false;               // --verbose: every status-bar text also on standard error
    std::optional<std::uint32_t> Star;  // --star SPKID: the star chosen as the window opens
    QString Error;                      // what was wrong, for Mode::Error
};

// Reads the arguments that follow the program's name (when they do not name a subcommand).
CommandLine ParseCommandLine(const QStringList& arguments);

// The usage text printed for --help and after a bad command line.
QString UsageText();
