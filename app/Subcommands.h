#pragma once

#include <QStringList>

// A subcommand of nivra ("nivra info ...", "nivra stars ...", "nivra export ..."). Subcommands
// never create a window and need no display.
struct Subcommand {
    const char* Name;
    const char* Usage;                         // one or more lines, each ending in '\n'
    int (*Run)(const QStringList& arguments);  // the arguments after the subcommand's name
};

// The subcommand called `name`, or null.
const Subcommand* FindSubcommand(const QString& name);

// Every subcommand, in the order the usage lists them.
const std::vector<Subcommand>& Subcommands();

// Prints "nivra NAME: PROBLEM" and the subcommand's usage on standard error; returns the exit
// code of a bad command line.
int SubcommandUsageError(const Subcommand& command, const QString& problem);
