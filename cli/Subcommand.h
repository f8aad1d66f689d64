// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "cli/Options.h"
#include "cli/Startup.h"

// A subcommand of nivra ("nivra info ...", "nivra stars ...", "nivra export ..."). Subcommands
// never create a window and need no display.
struct Subcommand {
    const char* Name;
    const char* Usage;                         // one or more lines, each ending in '\n'
    int (*Run)(const QStringList& arguments);  // the arguments after the subcommand's name
};

// Prints "nivra NAME: PROBLEM (see nivra NAME --help)" on standard error; returns the exit code
// of a bad command line.
int SubcommandUsageError(const Subcommand& command, const QString& problem);

// A subcommand's options, read against `rules`, with every option of `required` (names without
// "--", each taking a value) present. Nothing when the command should end at once: after a bad
// command line (the problem and the usage on standard error, `exitCode` 2) or after --help (the
// usage on standard output, `exitCode` 0).
std::optional<ParsedOptions> ReadSubcommandOptions(const Subcommand& command,
                                                   const QStringList& arguments,
                                                   const std::vector<OptionRule>& rules,
                                                   const QStringList& required, int& exitCode);

// After a catalogue statement stopped on an error: "WHAT cannot be read from PATH: REASON".
QString CatalogueReadFailureText(const Session& session, const QString& what);
// Prints that text on standard error; returns the exit code of a failed command (1).
int CatalogueReadFailure(const Session& session, const QString& what);

// The program folder of a subcommand: --folder's, or else the one the viewer takes without it
// (its own folder when it holds a catalogue, else $XDG_DATA_HOME/nivra), which is not created.
// Nothing when there is none (no absolute HOME): said on standard error, `exitCode` 2.
std::optional<QString> SubcommandFolder(const Subcommand& command, const ParsedOptions& options,
                                        int& exitCode);

// Start-up on `folder` for a command that only reads: nothing is created there, and a failure is
// said on standard error.
StartupResult StartReadingFolder(const QString& folder);
