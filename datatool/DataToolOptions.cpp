// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datatool/DataToolOptions.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <set>

#include "ephemeris/EphemerisComputation.h"

namespace {

// A whole number written as digits, with a '-' before them at most: no blank on either side,
// so that " 1" and "1 " are refused alike.
bool ParseNumber(const std::string& text, long long low, long long high, long long& value) {
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= digits || text[digits] < '0' || text[digits] > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0' && value >= low && value <= high;
}

}  // namespace

DataToolOptions ParseDataToolOptions(const std::vector<std::string>& arguments) {
    DataToolOptions options;
    std::set<std::string>& given = options.Given;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        // "--name=value" is "--name value", as in nivra's own options.
        std::optional<std::string> inlineValue;
        if (argument.rfind("--", 0) == 0) {
            if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
                inlineValue = argument.substr(equals + 1);
                argument.resize(equals);
            }
            if (!given.insert(argument).second) {
                options.Error = argument + " is given twice";
                break;
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue) {
                if (inlineValue->empty())
                    options.Error = argument + " needs a value";
                return *inlineValue;
            }
            if (i + 1 >= arguments.size()) {
                options.Error = argument + " needs a value";
                return {};
            }
            return arguments[++i];
        };
        auto flag = [&](bool& set) {
            if (inlineValue)
                options.Error = argument + " takes no value";
            set = true;
        };
        long long number = 0;
        if (argument == "--out") {
            options.Out = value();
        } else if (argument == "--catalogue") {
            options.Catalogue = value();
        } else if (argument == "--from" || argument == "--to") {
            const std::string text = value();
            if (!options.Error.empty())
                break;
            if (!ParseNumber(text, kFirstEphemerisYear, kLastEphemerisYear, number)) {
                options.Error = argument + " takes a year from " +
                                std::to_string(kFirstEphemerisYear) + " to " +
                                std::to_string(kLastEphemerisYear) + ", not \"" + text + "\"";
                break;
            }
            (argument == "--from" ? options.From : options.To) = static_cast<int>(number);
        } else if (argument == "--spk") {
            // One or more SPK-IDs follow.
            std::vector<std::string> texts;
            if (inlineValue)
                texts.push_back(*inlineValue);
            while (i + 1 < arguments.size() && arguments[i + 1].rfind("-", 0) != 0)
                texts.push_back(arguments[++i]);
            if (texts.empty())
                options.Error = "--spk needs at least one SPK-ID";
            for (const std::string& text : texts) {
                if (!ParseNumber(text, 1, 4294967295LL, number)) {
                    options.Error = "--spk takes an SPK-ID, a whole number from 1 to "
                                    "4294967295, not \"" +
                                    text + "\"";
                    return options;
                }
                options.Spk.push_back(static_cast<std::uint32_t>(number));
            }
        } else if (argument == "--class") {
            const std::string text = value();
            if (!ParseNumber(text, -2147483648LL, 2147483647LL, number))
                options.Error = "--class takes an orbit-class code, not \"" + text + "\"";
            options.OrbitClass = static_cast<int>(number);
        } else if (argument == "--shard") {
            const std::string text = value();
            if (options.Error.empty()) {
                options.Part = ParseShard(
                    text, [](const char* name) { return std::getenv(name); }, options.Error);
            }
        } else if (argument == "--datas") {
            options.Datas = value();
        } else if (argument == "--two-body") {
            flag(options.TwoBody);
        } else if (argument == "--no-wait") {
            flag(options.NoWait);
        } else if (argument == "--force") {
            flag(options.Force);
        } else if (argument == "--verbose") {
            flag(options.Verbose);
        } else if (argument == "--threads") {
            const std::string text = value();
            if (!ParseNumber(text, 1, 1024, number))
                options.Error = "--threads takes 1 to 1024, not \"" + text + "\"";
            options.Threads = static_cast<int>(number);
        } else if (argument.rfind("-", 0) == 0 && argument.size() > 1) {
            options.Error = "unknown option \"" + argument + "\"";
        } else {
            options.Files.push_back(argument);
        }
        if (!options.Error.empty())
            break;
    }
    if (options.Error.empty() && options.From > options.To) {
        options.Error = "--from " + std::to_string(options.From) + " comes after --to " +
                        std::to_string(options.To);
    }
    return options;
}
