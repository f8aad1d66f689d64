// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/Options.h"

#include <algorithm>

ParsedOptions ParseOptions(const QStringList& arguments, const std::vector<OptionRule>& rules) {
    ParsedOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "-h" || argument == "--help") {
            options.Help = true;
            continue;
        }
        if (!argument.startsWith("--")) {
            options.Error = argument.startsWith("-")
                                ? QString("unknown option \"%1\"").arg(argument)
                                : QString("unexpected argument \"%1\"").arg(argument);
            return options;
        }
        QString name = argument.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype equals = name.indexOf('='); equals >= 0) {
            inlineValue = name.mid(equals + 1);
            name = name.left(equals);
        }
        const auto rule = std::find_if(rules.begin(), rules.end(),
                                       [&](const OptionRule& s) { return s.Name == name; });
        if (rule == rules.end()) {
            options.Error = QString("unknown option \"--%1\"").arg(name);
            return options;
        }
        if (options.Values.contains(name)) {
            options.Error = QString("--%1 is given twice").arg(name);
            return options;
        }
        if (!rule->TakesValue) {
            if (inlineValue) {
                options.Error = QString("--%1 takes no value").arg(name);
                return options;
            }
            options.Values.insert(name, QString());
            continue;
        }
        QString value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            options.Error = QString("--%1 needs a value").arg(name);
            return options;
        }
        if (value.isEmpty()) {
            options.Error = QString("--%1 needs a value").arg(name);
            return options;
        }
        options.Values.insert(name, value);
    }
    return options;
}

std::optional<std::uint32_t> ParseSpkId(const QString& text) {
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    unsigned long long value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c.unicode() - u'0');
    }
    if (value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> ParseStarOption(const QString& option, const QString& text,
                                             QString& error) {
    const std::optional<std::uint32_t> id = ParseSpkId(text);
    if (!id || *id == 0) {
        error = QString("%1 takes an SPK-ID, a whole number from 1 to 4294967295, not \"%2\"")
                    .arg(option, text);
        return std::nullopt;
    }
    return id;
}
