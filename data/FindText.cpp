// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/FindText.h"

#include <QChar>
#include <QList>
#include <QString>

namespace {

void AppendCodePoint(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Latin letters that carry their accent in their shape, so that no decomposition takes it off:
// written as the letters a reader of names types for them (lower case; upper case is folded
// first).
const char* LetterWithoutAccent(char32_t code) {
    switch (code) {
        case U'\u00DF':  // ß
            return "ss";
        case U'\u00E6':  // æ
            return "ae";
        case U'\u0153':  // œ
            return "oe";
        case U'\u00F8':  // ø
            return "o";
        case U'\u0142':  // ł
            return "l";
        case U'\u0111':  // đ
        case U'\u00F0':  // ð
            return "d";
        case U'\u00FE':  // þ
            return "th";
        case U'\u0131':  // dotless ı
            return "i";
        case U'\u0127':  // ħ
            return "h";
        default:
            return nullptr;
    }
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// A run of characters outside ASCII: decomposed, marks dropped, letters and digits folded.
void AppendFoldedNonAscii(std::string& out, std::string_view run) {
    const QString decomposed = QString::fromUtf8(run.data(), static_cast<qsizetype>(run.size()))
                                   .normalized(QString::NormalizationForm_KD);
    for (const char32_t code : decomposed.toUcs4()) {
        if (code < 0x80) {
            const char c = static_cast<char>(code);
            if (IsAsciiDigit(c) || (c >= 'a' && c <= 'z'))
                out += c;
            else if (c >= 'A' && c <= 'Z')
                out += static_cast<char>(c - 'A' + 'a');
            continue;
        }
        if (!QChar::isLetterOrNumber(code))
            continue;  // marks, blanks, punctuation
        const char32_t folded = QChar::toCaseFolded(code);
        if (const char* plain = LetterWithoutAccent(folded))
            out += plain;
        else
            AppendCodePoint(out, folded);
    }
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// What stands between "(" at the start of `text` and its ")" (or the end of the text).
std::string_view InBrackets(std::string_view text) {
    if (text.empty() || text.front() != '(')
        return {};
    text.remove_prefix(1);
    const std::size_t close = text.rfind(')');
    return Trimmed(close == std::string_view::npos ? text : text.substr(0, close));
}

// "1P", "73P", "1I", "C", "P", "D", "X", "I", "A": the part of a comet's (or interstellar
// body's) designation before its "/".
bool IsCometPrefix(std::string_view prefix) {
    if (prefix.empty())
        return false;
    const char last = prefix.back();
    if (last != 'P' && last != 'C' && last != 'D' && last != 'X' && last != 'I' && last != 'A')
        return false;
    for (std::size_t i = 0; i + 1 < prefix.size(); ++i) {
        if (!IsAsciiDigit(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

void AppendFoldedForFinding(std::string& out, std::string_view utf8) {
    std::size_t at = 0;
    while (at < utf8.size()) {
        const char c = utf8[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            if (IsAsciiDigit(c) || (c >= 'a' && c <= 'z'))
                out += c;
            else if (c >= 'A' && c <= 'Z')
                out += static_cast<char>(c - 'A' + 'a');
            ++at;
            continue;
        }
        // A combining mark after an ASCII letter is dropped with its run.
        std::size_t end = at;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80)
            ++end;
        AppendFoldedNonAscii(out, utf8.substr(at, end - at));
        at = end;
    }
}

std::string FoldedForFinding(std::string_view utf8) {
    std::string out;
    AppendFoldedForFinding(out, utf8);
    return out;
}

FullNameParts SplitFullName(std::string_view fullName) {
    const std::string_view text = Trimmed(fullName);
    FullNameParts parts;
    if (text.empty())
        return parts;

    // A numbered asteroid: "433 Eros (A898 PA)", "613858 (2007 TA418)", "134340 Pluto".
    std::size_t digits = 0;
    while (digits < text.size() && IsAsciiDigit(text[digits]))
        ++digits;
    if (digits > 0 && digits < text.size() && text[digits] == ' ') {
        parts.Number = text.substr(0, digits);
        const std::string_view rest = Trimmed(text.substr(digits + 1));
        if (!rest.empty() && rest.front() == '(') {
            parts.Designation = InBrackets(rest);
            return parts;
        }
        const std::size_t bracket = rest.find(" (");
        parts.Name = Trimmed(rest.substr(0, bracket));
        if (bracket != std::string_view::npos)
            parts.Designation = InBrackets(Trimmed(rest.substr(bracket)));
        return parts;
    }
    // An unnumbered asteroid: "(2022 OU15)".
    if (text.front() == '(') {
        parts.Designation = InBrackets(text);
        return parts;
    }
    // A comet: "1P/Halley", "C/1995 O1 (Hale-Bopp)", "D/1993 F2-A (Shoemaker-Levy 9)".
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos && IsCometPrefix(text.substr(0, slash))) {
        if (slash > 1) {
            // Numbered: the number and letter are the designation, the rest the name (an
            // alternative designation in brackets after it is no part of the name).
            parts.Designation = text.substr(0, slash);
            const std::string_view rest = text.substr(slash + 1);
            parts.Name = Trimmed(rest.substr(0, rest.find(" (")));
            return parts;
        }
        const std::size_t bracket = text.find(" (");
        parts.Designation = Trimmed(text.substr(0, bracket));
        if (bracket != std::string_view::npos)
            parts.Name = InBrackets(Trimmed(text.substr(bracket)));
        return parts;
    }
    parts.Name = text;
    return parts;
}
