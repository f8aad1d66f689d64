// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "astro/StarQuantities.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/StarFile.h"

// The rows of the "Infos" page: for each quantity its symbol, its value text, a description
// and the formula text that defines it. Texts are UTF-8 (², ³, × and ÷ as those characters).
// The panel and `nivra info` both show what InformationRows gives.

struct InformationRow {
    std::string Name;          // the symbol
    std::string Value;         // "%.15f" of the value, or the placeholder "0.00"
    std::string Informations;  // what the quantity is
    std::string Formulas;      // a description of its formula (the value is computed as the
                               // orbital formulas say, whatever this text shows)
};

struct InformationRowTexts {
    const char* Name;
    const char* Informations;
    const char* Formulas;
    Quantity Source;
};

inline constexpr std::size_t kInformationRowCount = 31;
extern const std::array<InformationRowTexts, kInformationRowCount> kInformationRows;

// The value of a row before any star, and for a star without a catalogue row.
inline constexpr const char* kInformationPlaceholder = "0.00";

// A value text is held in a 256-byte text: at most 255 characters. A "%.15f" text longer than
// that (magnitudes above about 10^239) is shown as "%.15e" instead.
inline constexpr std::size_t kInformationValueLength = 255;

// The value text of one row: "%.15f", bounded as above.
std::string InformationValueText(double value);

// The 31 rows for a star's catalogue values, or with "0.00" in every value when there are none.
std::vector<InformationRow> InformationRows(const std::optional<StarInfoRow>& star);

// The 31 rows for the star `id` as the catalogue holds it: "0.00" in every value when the
// catalogue has no row for it (or the statement cannot be prepared).
std::vector<InformationRow> InformationRows(const Catalogue& catalogue, SpkId id);
