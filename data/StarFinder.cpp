// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/StarFinder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <numeric>
#include <stdexcept>

#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
#include "data/FindText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Whether the `length` bytes at `a` and `b` are the same: compared here, not with memcmp, whose
// call costs more than the few bytes of a typed text.
bool SameBytes(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// Where `text` (not empty) first occurs in [at, end), or null: its byte at `pivot`, the rarest
// of its bytes among the folded names, is looked for with memchr, then the whole text compared
// around it.
const char* SearchByPivot(const char* at, const char* end, std::string_view text,
                          std::size_t pivot) {
    const auto size = static_cast<std::ptrdiff_t>(text.size());
    const auto before = static_cast<std::ptrdiff_t>(pivot);
    while (end - at >= size) {
        const auto* found = static_cast<const char*>(
            std::memchr(at + before, text[pivot], static_cast<std::size_t>(end - at - size + 1)));
        if (found == nullptr)
            return nullptr;
        const char* start = found - before;
        if (SameBytes(start, text.data(), text.size()))
            return start;
        at = start + 1;
    }
    return nullptr;
}

// The same for a text of two bytes or more, sixteen places at a time: the places where both its
// first and its last byte stand are found with two comparisons of sixteen bytes each, and only
// there is the rest compared (W. Mula, "SIMD-friendly algorithms for substring searching",
// 2016). Digits and the common letters, which stop a search for one byte at every other place,
// seldom stand in both places at once.
const char* Search(const char* at, const char* end, std::string_view text, std::size_t pivot) {
#if defined(__SSE2__)
    if (text.size() >= 2) {
        const std::size_t last = text.size() - 1;
        const __m128i firstByte = _mm_set1_epi8(text.front());
        const __m128i lastByte = _mm_set1_epi8(text.back());
        // Both loads of sixteen bytes stay before `end`.
        while (end - at >= static_cast<std::ptrdiff_t>(last + 16)) {
            const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + last));
            auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(starts, firstByte), _mm_cmpeq_epi8(ends, lastByte))));
            while (candidates != 0) {
                const char* start = at + std::countr_zero(candidates);
                if (SameBytes(start + 1, text.data() + 1, last - 1))
                    return start;
                candidates &= candidates - 1;
            }
            at += 16;
        }
    }
#endif
    return SearchByPivot(at, end, text, pivot);
}

// A text of decimal digits that an SPK-ID can be.
std::optional<SpkId> AsSpkId(std::string_view text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<SpkId>(value);
}

}  // namespace

StarFinder::Builder::Builder(bool keepFullNames, std::size_t expectedRows) {
    finder_.keepsFullNames_ = keepFullNames;
    finder_.starts_.reserve(expectedRows);
    finder_.layouts_.reserve(expectedRows);
    finder_.ids_.reserve(expectedRows);
    finder_.classSlots_.reserve(expectedRows);
    if (keepFullNames)
        finder_.fullNameStarts_.reserve(expectedRows);
}

void StarFinder::Builder::Add(SpkId id, std::string_view fullName, int orbitClass) {
    const FullNameParts parts = SplitFullName(fullName);
    // The full name is folded piece by piece, cut where a part begins or ends, so that the place
    // of each part in the folded text is known.
    const std::string_view* const views[] = {&parts.Number, &parts.Name, &parts.Designation};
    std::array<std::size_t, 8> cuts{};
    std::size_t cutCount = 0;
    cuts[cutCount++] = 0;
    cuts[cutCount++] = fullName.size();
    std::array<std::size_t, 3> begins{}, ends{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (views[i]->empty())
            continue;
        begins[i] = static_cast<std::size_t>(views[i]->data() - fullName.data());
        ends[i] = begins[i] + views[i]->size();
        cuts[cutCount++] = begins[i];
        cuts[cutCount++] = ends[i];
    }
    for (std::size_t k = 1; k < cutCount; ++k) {  // at most eight: sorted by insertion
        for (std::size_t j = k; j > 0 && cuts[j - 1] > cuts[j]; --j)
            std::swap(cuts[j - 1], cuts[j]);
    }
    std::array<std::size_t, 8> foldedAt{};  // foldedAt[k]: where cut k falls in the folded text
    folded_.clear();
    for (std::size_t k = 0; k < cutCount; ++k) {
        if (k > 0)
            AppendFoldedForFinding(folded_, fullName.substr(cuts[k - 1], cuts[k] - cuts[k - 1]));
        foldedAt[k] = folded_.size();
    }
    const auto folded = [&](std::size_t offset) {
        const std::size_t k = static_cast<std::size_t>(
            std::lower_bound(cuts.begin(), cuts.begin() + static_cast<std::ptrdiff_t>(cutCount),
                             offset) -
            cuts.begin());
        return foldedAt[k];
    };

    // A folded name longer than kMaxKey bytes is cut at a character's start; a part past the
    // cut is cut with it.
    std::size_t keyLength = std::min(folded_.size(), kMaxKey);
    while (keyLength < folded_.size() && keyLength > 0 &&
           (static_cast<unsigned char>(folded_[keyLength]) & 0xC0) == 0x80) {
        --keyLength;
    }
    Layout layout;
    layout.KeyLength = static_cast<std::uint8_t>(keyLength);
    const auto place = [&](std::size_t i, std::uint8_t& start, std::uint8_t& length) {
        if (views[i]->empty())
            return;
        const std::size_t from = std::min(folded(begins[i]), keyLength);
        const std::size_t to = std::min(folded(ends[i]), keyLength);
        start = static_cast<std::uint8_t>(from);
        length = static_cast<std::uint8_t>(to - from);
    };
    std::uint8_t numberStart = 0;
    place(0, numberStart, layout.NumberLength);
    if (numberStart != 0)
        layout.NumberLength = 0;  // a number is only ever the start of the name
    place(1, layout.NameStart, layout.NameLength);
    place(2, layout.DesignationStart, layout.DesignationLength);

    finder_.starts_.push_back(finder_.Store(std::string_view(folded_).substr(0, keyLength)));
    finder_.layouts_.push_back(layout);
    finder_.ids_.push_back(id);

    std::vector<int>& codes = finder_.classCodes_;
    if (lastSlot_ >= codes.size() || codes[lastSlot_] != orbitClass) {
        const auto known = std::find(codes.begin(), codes.end(), orbitClass);
        if (known != codes.end()) {
            lastSlot_ = static_cast<std::uint16_t>(known - codes.begin());
        } else if (codes.size() < kNoClass) {
            lastSlot_ = static_cast<std::uint16_t>(codes.size());
            codes.push_back(orbitClass);
        } else {
            lastSlot_ = kNoClass;  // more classes than slots: this one is not kept
        }
    }
    finder_.classSlots_.push_back(lastSlot_);

    if (finder_.keepsFullNames_) {
        finder_.fullNameStarts_.push_back(static_cast<std::uint32_t>(finder_.fullNames_.size()));
        finder_.fullNames_.append(fullName);
    }
}

StarFinder StarFinder::Builder::Finish() {
    StarFinder& built = finder_;
    if (std::is_sorted(built.ids_.begin(), built.ids_.end()))
        return std::move(built);
    // Bodies added out of SPK-ID order are stored again in that order.
    std::vector<std::uint32_t> order(built.ids_.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return built.ids_[a] < built.ids_[b];
    });
    StarFinder sorted;
    sorted.keepsFullNames_ = built.keepsFullNames_;
    sorted.classCodes_ = built.classCodes_;
    for (const std::uint32_t row : order) {
        sorted.starts_.push_back(sorted.Store(built.Key(row)));
        sorted.layouts_.push_back(built.layouts_[row]);
        sorted.ids_.push_back(built.ids_[row]);
        sorted.classSlots_.push_back(built.classSlots_[row]);
        if (sorted.keepsFullNames_) {
            sorted.fullNameStarts_.push_back(static_cast<std::uint32_t>(sorted.fullNames_.size()));
            sorted.fullNames_.append(built.FullName(row));
        }
    }
    return sorted;
}

std::uint32_t StarFinder::Store(std::string_view key) {
    // Each folded name is followed by a line feed, which no folded text holds: a search never
    // runs from one name into the next.
    if (blocks_.empty() || blockUsed_.back() + key.size() + 1 > kBlockBytes) {
        if (blocks_.size() >= (std::size_t{1} << (32 - kBlockBits)))
            throw std::length_error("too many bodies for the find index");
        blocks_.push_back(std::unique_ptr<char[]>(new char[kBlockBytes]));  // filled as used
        blockUsed_.push_back(0);
        blockFirstRow_.push_back(static_cast<std::uint32_t>(starts_.size()));
    }
    const std::uint32_t offset = blockUsed_.back();
    for (const char c : key)
        ++byteCounts_[static_cast<unsigned char>(c)];
    char* at = blocks_.back().get() + offset;
    std::memcpy(at, key.data(), key.size());
    at[key.size()] = '\n';
    blockUsed_.back() += static_cast<std::uint32_t>(key.size() + 1);
    return static_cast<std::uint32_t>((blocks_.size() - 1) << kBlockBits) | offset;
}

std::string_view StarFinder::Key(std::uint32_t row) const {
    const std::uint32_t start = starts_[row];
    return std::string_view(blocks_[start >> kBlockBits].get() + (start & (kBlockBytes - 1)),
                            layouts_[row].KeyLength);
}

int StarFinder::OrbitClass(std::uint32_t row) const {
    const std::uint16_t slot = classSlots_[row];
    return slot < classCodes_.size() ? classCodes_[slot] : -1;
}

std::string_view StarFinder::FullName(std::uint32_t row) const {
    if (!keepsFullNames_)
        return {};
    const std::size_t start = fullNameStarts_[row];
    const std::size_t end =
        row + 1 < fullNameStarts_.size() ? fullNameStarts_[row + 1] : fullNames_.size();
    return std::string_view(fullNames_).substr(start, end - start);
}

std::size_t StarFinder::MemoryBytes() const {
    return blocks_.size() * kBlockBytes + blockUsed_.capacity() * sizeof(std::uint32_t) +
           blockFirstRow_.capacity() * sizeof(std::uint32_t) +
           starts_.capacity() * sizeof(std::uint32_t) + layouts_.capacity() * sizeof(Layout) +
           ids_.capacity() * sizeof(SpkId) + classSlots_.capacity() * sizeof(std::uint16_t) +
           classCodes_.capacity() * sizeof(int) + fullNames_.capacity() +
           fullNameStarts_.capacity() * sizeof(std::uint32_t);
}

bool StarFinder::IsExact(std::uint32_t row, std::string_view text) const {
    const Layout& layout = layouts_[row];
    const std::size_t length = text.size();
    // Lengths first: most bodies are told apart without reading their names.
    if (layout.KeyLength != length && layout.NumberLength != length &&
        layout.NameLength != length && layout.DesignationLength != length) {
        return false;
    }
    const std::string_view key = Key(row);
    return (layout.KeyLength == length && key == text) ||
           (layout.NumberLength == length && key.starts_with(text)) ||
           (layout.NameLength == length && key.substr(layout.NameStart, length) == text) ||
           (layout.DesignationLength == length &&
            key.substr(layout.DesignationStart, length) == text);
}

bool StarFinder::IsPrefix(std::uint32_t row, std::string_view text) const {
    const Layout& layout = layouts_[row];
    const std::string_view key = Key(row);
    return key.starts_with(text) ||
           (layout.NameLength > 0 && key.substr(layout.NameStart).starts_with(text)) ||
           (layout.DesignationLength > 0 && key.substr(layout.DesignationStart).starts_with(text));
}

// The best rows of each kind of match, in row (SPK-ID) order, and the count of all. Once a kind
// has `limit` rows no later row of it can be shown, and once the exact matches are `limit` rows
// nothing else can: from then on a row is only counted, or checked for an exact match.
struct StarFinder::Tally {
    std::size_t Limit;
    std::array<std::vector<std::uint32_t>, 3> Best;
    std::size_t Count = 0;

    bool Full(Match how) const { return Best[static_cast<std::size_t>(how)].size() >= Limit; }
    void Add(Match how, std::uint32_t row) { Best[static_cast<std::size_t>(how)].push_back(row); }

    void Record(const StarFinder& finder, std::uint32_t row, std::string_view text) {
        ++Count;
        if (Full(Match::Exact))
            return;
        if (finder.IsExact(row, text)) {
            Add(Match::Exact, row);
        } else if (!Full(Match::Prefix)) {
            if (finder.IsPrefix(row, text))
                Add(Match::Prefix, row);
            else if (!Full(Match::Contains))
                Add(Match::Contains, row);
        }
    }
};

StarFinder::Result StarFinder::Find(std::string_view text, std::size_t limit) const {
    bool holdingWhole = false;
    return FindFolded(FoldedForFinding(text), limit, nullptr, nullptr, 0, holdingWhole);
}

StarFinder::Result StarFinder::FindFolded(const std::string& text, std::size_t limit,
                                          const std::vector<std::uint32_t>* within,
                                          std::vector<std::uint32_t>* holding,
                                          std::size_t holdingLimit, bool& holdingWhole) const {
    Result result;
    holdingWhole = holding != nullptr;
    if (holding != nullptr)
        holding->clear();
    if (text.empty() || ids_.empty() || limit == 0)
        return result;

    // The bodies whose SPK-ID is the text (a run of rows, as the rows are in SPK-ID order) are
    // exact matches whatever their names hold.
    std::size_t idFirst = 0, idEnd = 0;
    if (const std::optional<SpkId> id = AsSpkId(text)) {
        const auto [first, end] = std::equal_range(ids_.begin(), ids_.end(), *id);
        idFirst = static_cast<std::size_t>(first - ids_.begin());
        idEnd = static_cast<std::size_t>(end - ids_.begin());
    }

    std::size_t pivot = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (byteCounts_[static_cast<unsigned char>(text[i])] <
            byteCounts_[static_cast<unsigned char>(text[pivot])]) {
            pivot = i;
        }
    }
    Tally tally{limit, {}, 0};
    const auto holds = [&](std::uint32_t row) {
        if (holding != nullptr && holdingWhole) {
            if (holding->size() < holdingLimit)
                holding->push_back(row);
            else
                holdingWhole = false;
        }
        if (row < idFirst || row >= idEnd)
            tally.Record(*this, row, text);
    };
    if (within != nullptr) {
        for (const std::uint32_t row : *within) {
            if (Key(row).find(text) != std::string_view::npos)
                holds(row);
        }
    } else {
        for (std::size_t block = 0; block < blocks_.size(); ++block) {
            const char* const data = blocks_[block].get();
            const char* const end = data + blockUsed_[block];
            const std::size_t rowEnd =
                block + 1 < blocks_.size() ? blockFirstRow_[block + 1] : ids_.size();
            std::size_t row = blockFirstRow_[block];
            const char* at = data;
            while (const char* hit = Search(at, end, text, pivot)) {
                // The body whose name holds the hit: the last one of the block that starts at
                // or before it (names follow one another, so this only ever steps forwards).
                const auto offset = static_cast<std::uint32_t>(hit - data);
                while (row + 1 < rowEnd && (starts_[row + 1] & (kBlockBytes - 1)) <= offset)
                    ++row;
                holds(static_cast<std::uint32_t>(row));
                at = data + (starts_[row] & (kBlockBytes - 1)) + layouts_[row].KeyLength + 1;
                ++row;
                if (row >= rowEnd)
                    break;
            }
        }
    }
    for (std::size_t row = idFirst; row < idEnd; ++row) {
        std::vector<std::uint32_t>& exact = tally.Best[static_cast<std::size_t>(Match::Exact)];
        exact.insert(std::lower_bound(exact.begin(), exact.end(), row),
                     static_cast<std::uint32_t>(row));
        if (exact.size() > limit)
            exact.pop_back();
        ++tally.Count;
    }

    result.Count = tally.Count;
    for (std::size_t how = 0; how < tally.Best.size(); ++how) {
        for (const std::uint32_t row : tally.Best[how]) {
            if (result.Best.size() < limit)
                result.Best.push_back({row, static_cast<Match>(how)});
        }
    }
    return result;
}

StarFinder::Result StarFinder::Typing::Find(std::string_view text, std::size_t limit) {
    const std::string folded = FoldedForFinding(text);
    // The bodies that held the last text hold every text that holds it.
    const bool narrower =
        holdingKnown_ && !folded_.empty() && folded.find(folded_) != std::string::npos;
    std::vector<std::uint32_t> holding;
    bool whole = false;
    const Result result = finder_.FindFolded(folded, limit, narrower ? &holding_ : nullptr,
                                             &holding, finder_.Size() / 8, whole);
    folded_ = folded;
    holdingKnown_ = whole;
    if (whole)
        holding_ = std::move(holding);
    else
        holding_ = {};
    return result;
}

std::optional<StarFinder> ReadStarFinder(const Catalogue& catalogue, bool keepFullNames,
                                         const std::function<void(std::size_t)>& progress) {
    constexpr std::size_t kProgressEvery = 65536;
    // The count comes from the class index, without reading the rows: room is made once.
    const std::optional<std::int64_t> count = QueryStarCount(catalogue);
    StarFinder::Builder builder(keepFullNames,
                                count && *count > 0 ? static_cast<std::size_t>(*count) : 0);
    std::string text;
    try {
        const std::optional<int> rows = ForEachFindRow(catalogue, [&](const FindRowView& row) {
            text.clear();
            AppendCatalogueTextAsUtf8(text, row.FullName);
            builder.Add(row.Id, text, row.OrbiteType);
            if (progress && builder.Size() % kProgressEvery == 0)
                progress(builder.Size());
        });
        if (!rows || catalogue.LastRunFailed())
            return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
    return builder.Finish();
}
