// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QCollator>
#include <QString>
#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "data/CatalogueText.h"
#include "data/NameCollation.h"

namespace {

// The ranks QCollator's own comparison gives: equal texts share one.
std::vector<std::uint32_t> ReferenceRanks(const std::vector<std::string>& names,
                                          Qt::CaseSensitivity sensitivity, qsizetype units) {
    QCollator collator(NameCollationLocale());
    collator.setCaseSensitivity(sensitivity);
    std::vector<QString> texts;
    for (const std::string& name : names)
        texts.push_back(QString::fromStdString(name).left(units));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return collator.compare(texts[x], texts[y]) < 0;
    });
    std::vector<std::uint32_t> ranks(names.size());
    for (std::size_t i = 1; i < order.size(); ++i) {
        ranks[order[i]] =
            ranks[order[i - 1]] + (collator.compare(texts[order[i - 1]], texts[order[i]]) < 0);
    }
    return ranks;
}

}  // namespace

// Ranks made from ICU's sort keys, compared 16 bytes at a time, order names exactly as QCollator
// compares them: case, accents, punctuation, digits, long names that share their first 16 key
// bytes, names cut at 255 UTF-16 units (a character outside the BMP counts two).
TEST(NameCollation, RanksFollowTheLocalesCollationInBothStrengths) {
    std::vector<std::string> names = {"Ceres",
                                      "ceres",
                                      "CERES",
                                      "Céres",
                                      "Ceres ",
                                      " Ceres",
                                      "433 Eros",
                                      "(433) Eros",
                                      "1P/Halley",
                                      "1p/halley",
                                      "",
                                      "a-b",
                                      "ab",
                                      "a b",
                                      "Öpik",
                                      "Opik",
                                      "Zeta",
                                      "\xc2\xb2",
                                      "2",
                                      "10",
                                      "9",
                                      "\xf0\x9f\x8c\x9f star",
                                      "\xf0\x9f\x8c\x9f"};
    const std::string longName(300, 'x');
    names.push_back(longName + "a");  // the same as the next in their first 255 units
    names.push_back(longName + "b");
    names.push_back(std::string(254, 'y') + "\xf0\x9f\x8c\x9f");  // cut inside the pair
    names.push_back(std::string(254, 'y') + "\xf0\x9f\x8c\x9e");
    std::mt19937 random(3);
    const char* parts[] = {"Asteroid", "asteroid", "(2001 AB", "2001 ab", "é",
                           "e",        " ",        "-",        "1",       "Main-belt Asteroid ",
                           "Ä"};
    for (int i = 0; i < 600; ++i) {
        std::string name;
        for (int k = 0; k < 1 + static_cast<int>(random() % 5); ++k)
            name += parts[random() % std::size(parts)];
        names.push_back(name);
    }
    const auto nameAt = [&](std::size_t i) -> std::string_view { return names[i]; };
    EXPECT_EQ(CollationRanks(names.size(), nameAt, NameCase::Sensitive, 255),
              ReferenceRanks(names, Qt::CaseSensitive, 255));
    EXPECT_EQ(CollationRanks(names.size(), nameAt, NameCase::Insensitive),
              ReferenceRanks(names, Qt::CaseInsensitive, -1));

    // Positions by rank keep the positions of one rank in their order, either way.
    const std::vector<std::uint32_t> ranks = {2, 0, 1, 0, 2, 1};
    EXPECT_EQ(PositionsByRank(ranks), (std::vector<std::uint32_t>{1, 3, 2, 5, 0, 4}));
    EXPECT_EQ(PositionsByRank(ranks, false), (std::vector<std::uint32_t>{0, 4, 2, 5, 1, 3}));
    EXPECT_TRUE(PositionsByRank({}).empty());
}
