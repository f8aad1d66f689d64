// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The default browser on Windows: the user's choice of program for ".html" in the registry.
#include "gui/WebBrowser.h"

#include <windows.h>

namespace WebBrowser {

std::optional<std::string> RegistryBrowserCommand() {
    HKEY user = nullptr;
    if (RegOpenCurrentUser(KEY_QUERY_VALUE, &user) != ERROR_SUCCESS)
        return std::nullopt;
    char progId[256] = {};
    DWORD size = sizeof progId;
    const LSTATUS choice = RegGetValueA(
        user, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.html\\UserChoice",
        "Progid", RRF_RT_REG_SZ, nullptr, progId, &size);
    RegCloseKey(user);
    if (choice != ERROR_SUCCESS)
        return std::nullopt;
    char keyName[300] = {};
    wsprintfA(keyName, "%s\\shell\\open", progId);
    HKEY open = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_READ, &open) != ERROR_SUCCESS)
        return std::nullopt;
    char command[256] = {};
    size = sizeof command;
    const LSTATUS read =
        RegGetValueA(open, "command", nullptr, RRF_RT_REG_SZ, nullptr, command, &size);
    RegCloseKey(open);
    if (read != ERROR_SUCCESS)
        return std::nullopt;
    return RewritePlaceholder(command);
}

bool StartWindowsBrowser(const std::string& command, const std::string& address) {
    // A quote in the address could end the quoted argument it is put into: such an address is
    // not passed on.
    if (address.find('"') != std::string::npos)
        return false;
    std::string line = command;
    if (const std::size_t placeholder = line.find("%s"); placeholder != std::string::npos)
        line.replace(placeholder, 2, address);
    if (line.size() > kMaxCommandLine)
        line.resize(kMaxCommandLine);
    WinExec(line.c_str(), SW_RESTORE);
    return true;
}

}  // namespace WebBrowser
