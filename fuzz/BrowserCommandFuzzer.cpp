// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes how the viewer starts the default browser on a page: the placeholder rewrite of the
// browser's command and the split of the command into a program and its arguments. Whatever the
// command, the page's address must be exactly one argument when it is passed at all, and never
// the program: the command is run twice, with two addresses of the same length that differ in
// every character, and the two launches may differ in one argument only, by the address.
//
// An input is the command's bytes; after a zero byte, the bytes of the first address (without
// one, an address full of blanks, quotes and field codes).

#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "gui/WebBrowser.h"

namespace {

using WebBrowser::Launch;

// An address that would split, quote or run something if it were ever read as command text.
constexpr const char* kNastyAddress =
    "https://ssd.jpl.nasa.gov/x?a=1 2&b=\"3 4\"&c='5'%s%%%u\\\"$(id)`id`;id|id\t%";

// `address` with every character replaced by another: 'x', or 'y' where it was an 'x'.
QString OtherAddress(const QString& address) {
    QString other(address.size(), QChar('x'));
    for (qsizetype i = 0; i < address.size(); ++i) {
        if (address[i] == QChar('x')) {
            other[i] = QChar('y');
        }
    }
    return other;
}

// The rewrite changes at most the character after the first '%', into 's'.
void CheckRewrite(const std::string& command, const std::string& rewritten) {
    FuzzCheck(rewritten.size() == command.size(), "the rewrite keeps the command's length");
    const std::size_t percent = command.find('%');
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (percent != std::string::npos && i == percent + 1) {
            FuzzCheck(rewritten[i] == 's', "the first placeholder becomes %s");
        } else {
            FuzzCheck(rewritten[i] == command[i], "the rewrite changes nothing else");
        }
    }
}

void CheckLaunches(const std::string& command, const QString& first) {
    const QString second = OtherAddress(first);
    const std::optional<Launch> a = WebBrowser::MakeLaunch(command, first);
    const std::optional<Launch> b = WebBrowser::MakeLaunch(command, second);
    FuzzCheck(a.has_value() == b.has_value(), "the address never decides whether a launch is made");
    if (!a) {
        return;
    }
    FuzzCheck(!a->Program.isEmpty(), "a launch has a program");
    FuzzCheck(a->Program == b->Program, "the address is never the program or part of it");
    FuzzCheck(a->Arguments.size() == b->Arguments.size(),
              "the address never adds or removes an argument");

    // The address as the command line holds it: with a "%s" in the command, cut to what is
    // left of the command line's length.
    const QString text = QString::fromUtf8(command);
    const qsizetype room =
        text.contains("%s")
            ? static_cast<qsizetype>(WebBrowser::kMaxCommandLine) - (text.size() - 2)
            : first.size();
    const qsizetype length = std::clamp<qsizetype>(room, 0, first.size());
    int differing = 0;
    for (qsizetype i = 0; i < a->Arguments.size(); ++i) {
        const QString& x = a->Arguments[i];
        const QString& y = b->Arguments[i];
        if (x == y) {
            continue;
        }
        ++differing;
        FuzzCheck(x.size() == y.size(), "the two addresses make arguments of the same length");
        qsizetype at = 0;
        while (x[at] == y[at]) {
            ++at;
        }
        // Both addresses start where the arguments first differ, and the rest is the same.
        FuzzCheck(x.mid(at, length) == first.left(length) &&
                      y.mid(at, length) == second.left(length) &&
                      x.mid(at + length) == y.mid(at + length),
                  "the address stands whole in its argument");
    }
    FuzzCheck(differing <= 1, "the address is one argument");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    const std::string command = input.substr(0, zero);
    const QString address = zero == std::string::npos ? QString(kNastyAddress)
                                                      : QString::fromUtf8(input.substr(zero + 1));

    const std::string rewritten = WebBrowser::RewritePlaceholder(command);
    CheckRewrite(command, rewritten);
    CheckLaunches(rewritten, address);
    CheckLaunches(command, address);
    return 0;
}
