// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <string>

// Texts of the numbers the information panel and the star list show.

// Longest "%.*f" text of a double with up to 15 decimals: sign, 309 integer digits, point,
// decimals.
inline constexpr std::size_t kLongestFixedText = 1 + 309 + 1 + 15;

// Writes the "%.*f" text of `value` (fixed notation, `decimals` from 0 to 15) at `out`, which
// has room for kLongestFixedText characters, exactly as the standard formatted printing gives it:
// correctly rounded, ties to even, "inf", "-inf", "nan" or "-nan" for the non-finite values.
// Returns the end of the text (nothing is terminated). Values below 2^52 in magnitude, every
// value of a real orbit, are written from their exact binary value with integer arithmetic,
// several times faster than snprintf or the standard library's general conversion, which
// writes the others: the star list writes 36 numbers for each of millions of stars.
char* WriteFixedText(char* out, double value, int decimals);

// The "%.*f" text of `value` as a string, complete for every double.
std::string FixedText(double value, int decimals);

// The "%.*f" text of `value` when it has at most `maxLength` characters; a longer one (only
// magnitudes above about 10^(maxLength - decimals - 2)) is given as "%.*e" with the same
// decimals instead, so the text stays short and still says the value.
std::string BoundedFixedText(double value, int decimals, std::size_t maxLength);
