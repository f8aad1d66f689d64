// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <charconv>
#include <string>

// The shortest decimal text that reads back as exactly `value` ("1.0000001", "1e+200", "inf"),
// for quoting numbers in messages as a reader would have written them.
inline std::string NumberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
