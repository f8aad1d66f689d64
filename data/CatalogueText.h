// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLocale>
#include <string>
#include <string_view>

// A text as the catalogue stores it (names of stars and orbit classes), in UTF-8: the bytes
// themselves when they are valid UTF-8, otherwise read as Windows-1252, the 8-bit character set
// older catalogues were written in (0xB2 is "²", 0xF6 "ö").
std::string CatalogueTextAsUtf8(std::string_view bytes);
// The same appended to `out`, without a text of its own in between.
void AppendCatalogueTextAsUtf8(std::string& out, std::string_view bytes);

// The locale whose collation orders names (the star list's "Star" and "Orbit" columns, the
// toolbar's lists): the user's, or US English when the user's is the plain "C" locale, whose
// order is that of the character codes (every capital before every small letter, "é" after
// "z") rather than the dictionary order the lists are meant to have.
QLocale NameCollationLocale();
