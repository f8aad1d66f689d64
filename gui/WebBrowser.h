// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class MessageService;

// The default web browser and the pages the program opens in it.
namespace WebBrowser {

// Longest browser command the program reads (bytes); a longer one counts as not found.
inline constexpr std::size_t kMaxCommandBytes = 255;
// Longest command line, the page's address put in (characters).
inline constexpr std::size_t kMaxCommandLine = 1023;

// The fixed pages of the Help menu, by command (6004-6009); empty for any other command.
QString FixedPageAddress(int command);

// Whether `address` may be handed to the browser: it starts with "http://" or "https://" (in any
// case) and holds no control character. Anything else (an option such as "--gpu-launcher=...",
// a local file, a line break) is not opened.
bool IsWebAddress(const QString& address);

// Makes the first placeholder of a browser command a "%s": the character after the first '%'
// that has one becomes 's' ("%1" and "%u" become "%s"). Anything else is left as it is.
std::string RewritePlaceholder(std::string command);

// How to start the browser on one page: the program and its arguments, the page's address being
// exactly one argument (or no argument when the command has no placeholder).
struct Launch {
    QString Program;
    QStringList Arguments;
};

// The launch for `command` (a browser command as its desktop entry's Exec key holds it, after
// RewritePlaceholder) and `address`. The command is split into arguments by the desktop entry
// rules (double quotes; \" \` \$ \\ inside them); "%s" in an argument becomes the address, "%%"
// a '%', and every other field code is removed (an argument left empty by that is dropped). The
// command line with the address in is cut to kMaxCommandLine characters, which shortens the
// address. Nothing when the command is empty, its quotes are unbalanced, or its placeholder lies
// inside quotes (an argument a shell would read: the address could run commands there) or in
// the program's name.
std::optional<Launch> MakeLaunch(const std::string& command, const QString& address);

// Where the desktop keeps its choice of browser; tests put their own in.
struct BrowserLookup {
    // The desktop entry id of the default browser ("firefox-esr.desktop"), or empty.
    std::function<QString()> DefaultBrowserId;
    // Folders searched for "applications/<id>", in order of precedence.
    QStringList DataFolders;
};

// xdg-settings for the id; $XDG_DATA_HOME (or ~/.local/share) then $XDG_DATA_DIRS (or
// /usr/local/share:/usr/share) for the entries.
BrowserLookup DesktopBrowserLookup();

// OpenDefaultBrowser: the default browser's command (its desktop entry's Exec key in the
// [Desktop Entry] group) after RewritePlaceholder, read anew at each call; nothing when there is
// no default browser, its entry cannot be found or read, or the command is longer than
// kMaxCommandBytes.
std::optional<std::string> DefaultBrowserCommand(const BrowserLookup& lookup);

#ifdef _WIN32
// On Windows: the command of the user's choice of program for ".html", from the registry, after
// RewritePlaceholder; nothing when a step fails or the command is longer than 255 bytes.
std::optional<std::string> RegistryBrowserCommand();
// Starts that command with the address in place of its placeholder (cut to kMaxCommandLine
// characters); an address holding a double quote is not passed on.
bool StartWindowsBrowser(const std::string& command, const std::string& address);
#endif

// OpenWebPage: starts the default browser on `address` as a process of its own, or shows
// "Cannot find the default web browser!" when there is none. A browser that fails to start is
// not reported. An address IsWebAddress refuses opens nothing (callers say why).
void OpenWebPage(const QString& address, const BrowserLookup& lookup, MessageService& messages);

}  // namespace WebBrowser
