#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

// What the command line asks of the program.
struct CommandLine {
    enum class Mode { Viewer, Help, Error };
    Mode Action = Mode::Viewer;
    std::optional<QString> Folder;  // --folder DIR: the program folder
    bool Verbose = false;           // --verbose: every status-bar text also on standard error
    QString Error;                  // what was wrong, for Mode::Error
};

// Reads the arguments that follow the program's name (when they do not name a subcommand).
CommandLine ParseCommandLine(const QStringList& arguments);

// The usage text printed for --help and after a bad command line.
QString UsageText();

// Options of a subcommand: each "--name" either takes the next argument as its value or stands
// alone. "--name=value" is accepted for options that take a value.
struct OptionRule {
    QString Name;  // without the leading "--"
    bool TakesValue = true;
};

struct ParsedOptions {
    QMap<QString, QString> Values;  // by name; a flag has an empty value
    QString Error;                  // empty when the arguments were understood
    bool Help = false;              // -h or --help

    bool Has(const QString& name) const { return Values.contains(name); }
    QString Value(const QString& name) const { return Values.value(name); }
};

// Reads `arguments` against `rules`; an unknown option, a missing value, an option given twice or
// a stray argument is an error.
ParsedOptions ParseOptions(const QStringList& arguments, const std::vector<OptionRule>& rules);

// An SPK-ID written in decimal digits only (no sign, no blank), at most 4294967295.
std::optional<std::uint32_t> ParseSpkId(const QString& text);
