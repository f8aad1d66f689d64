// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/NameCollation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>
#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>

#include "data/CatalogueText.h"

namespace {

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorHandle = std::unique_ptr<UCollator, CollatorCloser>;

// ICU's collator for NameCollationLocale(), set up as QCollator sets up its own; nothing when
// ICU has no collator for it.
CollatorHandle OpenCollator(NameCase nameCase) {
    QString name = NameCollationLocale().bcp47Name();
    name.replace('-', '_');
    UErrorCode status = U_ZERO_ERROR;
    CollatorHandle collator(ucol_open(name.toLatin1().constData(), &status));
    if (U_FAILURE(status))
        return nullptr;
    ucol_setAttribute(collator.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator.get(), UCOL_STRENGTH,
                      nameCase == NameCase::Sensitive ? UCOL_DEFAULT_STRENGTH : UCOL_SECONDARY,
                      &status);
    ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    return U_FAILURE(status) ? nullptr : std::move(collator);
}

// Big-endian: the first byte of a key is the most significant.
std::uint64_t Prefix(const std::uint8_t* bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// Ranks from QCollator's own keys, where ICU cannot make them.
std::vector<std::uint32_t> RanksByQCollator(
    std::size_t count, const std::function<std::string_view(std::size_t)>& name, NameCase nameCase,
    std::size_t maxUnits) {
    QCollator collator(NameCollationLocale());
    collator.setCaseSensitivity(nameCase == NameCase::Sensitive ? Qt::CaseSensitive
                                                                : Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text = name(i);
        keys.push_back(collator.sortKey(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                .left(static_cast<qsizetype>(std::min<std::size_t>(maxUnits, 1u << 30)))));
    }
    std::vector<std::uint32_t> sorted(count);
    std::iota(sorted.begin(), sorted.end(), 0u);
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::uint32_t x, std::uint32_t y) {
        return keys[x].compare(keys[y]) < 0;
    });
    std::vector<std::uint32_t> ranks(count, 0);
    for (std::size_t i = 1; i < count; ++i) {
        ranks[sorted[i]] =
            ranks[sorted[i - 1]] + (keys[sorted[i - 1]].compare(keys[sorted[i]]) < 0 ? 1 : 0);
    }
    return ranks;
}

}  // namespace

std::vector<std::uint32_t> CollationRanks(std::size_t count,
                                          const std::function<std::string_view(std::size_t)>& name,
                                          NameCase nameCase, std::size_t maxUnits) {
    const CollatorHandle collator = OpenCollator(nameCase);
    if (!collator)
        return RanksByQCollator(count, name, nameCase, maxUnits);

    // Every key, ended by its zero byte, one after the other, written in place; then 16 zero
    // bytes, so that every key has 16 bytes to read.
    constexpr std::size_t kTypicalKey = 24;  // bytes: a name of some 15 characters
    // (Buffers of millions of entries are left uninitialised: every entry used is written.)
    std::size_t capacity = count * kTypicalKey + 16;
    auto keys = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    auto offsets = std::make_unique_for_overwrite<std::size_t[]>(count + 1);
    std::vector<UChar> units(256);
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text = name(i);
        std::int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(units.data(), static_cast<std::int32_t>(units.size()), &length,
                             text.data(), static_cast<std::int32_t>(text.size()), 0xFFFD, nullptr,
                             &status);
        if (static_cast<std::size_t>(length) > units.size()) {
            units.resize(static_cast<std::size_t>(length));
            status = U_ZERO_ERROR;
            u_strFromUTF8WithSub(units.data(), length, &length, text.data(),
                                 static_cast<std::int32_t>(text.size()), 0xFFFD, nullptr, &status);
        }
        length = static_cast<std::int32_t>(std::min<std::size_t>(maxUnits, length));
        for (;;) {
            const std::size_t room = capacity - 16 - used;
            const std::int32_t size =
                ucol_getSortKey(collator.get(), units.data(), length, keys.get() + used,
                                static_cast<std::int32_t>(std::min<std::size_t>(room, 1 << 30)));
            if (static_cast<std::size_t>(size) <= room) {
                offsets[i] = used;
                used += static_cast<std::size_t>(size);
                break;
            }
            capacity = std::max(capacity * 3 / 2, used + static_cast<std::size_t>(size) + 16);
            auto larger = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
            std::memcpy(larger.get(), keys.get(), used);
            keys = std::move(larger);
        }
    }
    offsets[count] = used;
    std::memset(keys.get() + used, 0, 16);

    struct Entry {
        std::uint64_t High, Low;
        std::uint32_t Index;
    };
    auto entries = std::make_unique_for_overwrite<Entry[]>(count);
    for (std::size_t i = 0; i < count; ++i) {
        // Bytes after a key's zero byte belong to the next key: they do not count.
        std::uint8_t prefix[16] = {};
        std::memcpy(prefix, keys.get() + offsets[i],
                    std::min<std::size_t>(16, offsets[i + 1] - offsets[i]));
        entries[i] = {Prefix(prefix), Prefix(prefix + 8), static_cast<std::uint32_t>(i)};
    }
    // 0 when the keys are equal, as strcmp.
    const auto compareRest = [&](const Entry& x, const Entry& y) {
        if (offsets[x.Index + 1] - offsets[x.Index] <= 16)
            return 0;  // the key ended within the equal prefix: both keys are that prefix
        return std::strcmp(reinterpret_cast<const char*>(keys.get() + offsets[x.Index] + 16),
                           reinterpret_cast<const char*>(keys.get() + offsets[y.Index] + 16));
    };
    std::sort(entries.get(), entries.get() + count, [&](const Entry& x, const Entry& y) {
        if (x.High != y.High)
            return x.High < y.High;
        if (x.Low != y.Low)
            return x.Low < y.Low;
        const int rest = compareRest(x, y);
        return rest != 0 ? rest < 0 : x.Index < y.Index;
    });
    std::vector<std::uint32_t> ranks(count);
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            const Entry& previous = entries[i - 1];
            const Entry& current = entries[i];
            if (previous.High != current.High || previous.Low != current.Low ||
                compareRest(previous, current) != 0) {
                ++rank;
            }
        }
        ranks[entries[i].Index] = rank;
    }
    return ranks;
}

std::vector<std::uint32_t> PositionsByRank(const std::vector<std::uint32_t>& ranks,
                                           bool ascending) {
    const std::uint32_t top = ranks.empty() ? 0 : *std::max_element(ranks.begin(), ranks.end());
    std::vector<std::uint32_t> start(static_cast<std::size_t>(top) + 2, 0);
    const auto bucket = [&](std::uint32_t rank) { return ascending ? rank : top - rank; };
    for (const std::uint32_t rank : ranks)
        ++start[bucket(rank) + 1];
    for (std::size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<std::uint32_t> positions(ranks.size());
    for (std::size_t i = 0; i < ranks.size(); ++i)
        positions[start[bucket(ranks[i])]++] = static_cast<std::uint32_t>(i);
    return positions;
}
