// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

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

// The SPK-ID of an option that names a star (--star): from 1 to 4294967295. Nothing, with
// `error` saying so in the words every program uses, for anything else.
std::optional<std::uint32_t> ParseStarOption(const QString& option, const QString& text,
                                             QString& error);
