// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

// Texts as the find field compares them. A name is found whatever the case, the accents, the
// blanks and the punctuation it is typed with: "Hulst", "van de hulst" and "VandeHulst" all find
// "van de Hulst", "darrest" finds "d'Arrest", "2004mn4" finds "2004 MN4" and "2p/encke" finds
// "2P/Encke".

// `utf8` folded for finding, appended to `out`: its letters in lower case without their accents
// (the marks of the compatibility decomposition dropped, "é" -> "e", "²" -> "2"; "ß" -> "ss",
// "æ" -> "ae", "œ" -> "oe", "ø" -> "o", "ł" -> "l", "đ" and "ð" -> "d", "þ" -> "th", "ı" -> "i"),
// its digits, and nothing else: blanks, apostrophes, hyphens, slashes and brackets are dropped.
// Letters of other scripts stay, case-folded, in UTF-8. `utf8` must be valid UTF-8 (as
// CatalogueTextAsUtf8 and QString give it).
void AppendFoldedForFinding(std::string& out, std::string_view utf8);
std::string FoldedForFinding(std::string_view utf8);

// The parts of an SBDB full name that the find field matches on their own, as views into the
// full name (empty when the body has no such part):
//
//   "433 Eros (A898 PA)"        Number "433", Name "Eros", Designation "A898 PA"
//   "1663 van den Bos (1926 PE)" Number "1663", Name "van den Bos", Designation "1926 PE"
//   "613858 (2007 TA418)"       Number "613858", Designation "2007 TA418"
//   "(2022 OU15)", "(6344 P-L)" Designation "2022 OU15", "6344 P-L"
//   "134340 Pluto"              Number "134340", Name "Pluto"
//   "1P/Halley", "6P/d'Arrest"  Designation "1P", "6P"; Name "Halley", "d'Arrest"
//   "C/1995 O1 (Hale-Bopp)"     Designation "C/1995 O1", Name "Hale-Bopp"
//   "Ceres" (no known form)     Name "Ceres"
//
// Blanks around the full name and around each part are no part of it.
struct FullNameParts {
    std::string_view Number;       // the asteroid number, digits only
    std::string_view Name;         // the body's name
    std::string_view Designation;  // provisional or survey designation; a comet's designation
};
FullNameParts SplitFullName(std::string_view fullName);
