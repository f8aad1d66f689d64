// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Catalogue.h"
#include "data/StarFile.h"

// The index behind the find field and `nivra find`: every body of the catalogue by its number,
// SPK-ID, name and designation, matched as the user types whatever the case, accents, blanks and
// punctuation (FindText.h).
//
// Each body is kept as its full name folded for finding (about 16 bytes for an SBDB name), where
// its number, name and designation lie in it (6 bytes), its SPK-ID and its class (6 bytes), and
// where its text starts (4 bytes): some 45 MB for the 1.4 million bodies of the whole SBDB. The
// folded names lie one after the other in blocks of 1 MiB, so that one search of a block finds
// every body whose name holds the text.
class StarFinder {
  public:
    // How a body matches a text, the best first.
    enum class Match : std::uint8_t {
        Exact,     // its number, SPK-ID, designation, name or whole full name is the text
        Prefix,    // its full name, or its name or designation and what follows, starts with it
        Contains,  // its full name holds the text
    };
    struct Found {
        std::uint32_t Row = 0;
        Match How = Match::Contains;
    };
    struct Result {
        // The best matches, at most the limit asked: by match, then by SPK-ID (numbered asteroids
        // by number, comets before asteroids).
        std::vector<Found> Best;
        std::size_t Count = 0;  // every body that matches
    };

    class Builder;
    class Typing;

    StarFinder() = default;
    StarFinder(StarFinder&&) = default;
    StarFinder& operator=(StarFinder&&) = default;

    // The bodies that match `text` (UTF-8, as typed); none when it holds no letter or digit.
    Result Find(std::string_view text, std::size_t limit) const;

    std::size_t Size() const { return ids_.size(); }
    SpkId Id(std::uint32_t row) const { return ids_[row]; }
    // The orbit-class code of the body, as added.
    int OrbitClass(std::uint32_t row) const;
    // The full name as added; empty unless the index keeps full names.
    std::string_view FullName(std::uint32_t row) const;
    // The bytes the index holds.
    std::size_t MemoryBytes() const;

  private:
    // Where the parts of a body's folded name lie in it (bytes; a length of 0: no such part).
    struct Layout {
        std::uint8_t KeyLength = 0;
        std::uint8_t NumberLength = 0;  // the number starts the name
        std::uint8_t NameStart = 0, NameLength = 0;
        std::uint8_t DesignationStart = 0, DesignationLength = 0;
    };
    static_assert(sizeof(Layout) == 6);
    static constexpr unsigned kBlockBits = 20;  // blocks of 1 MiB
    static constexpr std::size_t kBlockBytes = std::size_t{1} << kBlockBits;
    static constexpr std::size_t kMaxKey = 255;  // bytes of a folded name kept
    static constexpr std::uint16_t kNoClass = 0xFFFF;

    struct Tally;

    std::string_view Key(std::uint32_t row) const;
    bool IsExact(std::uint32_t row, std::string_view text) const;
    bool IsPrefix(std::uint32_t row, std::string_view text) const;
    // The matches of a folded text among every body, or among the bodies `within` (ascending
    // rows) only. With `holding`, every body whose folded name holds the text is put there, in
    // row order, as long as they are no more than `holdingLimit` (false when they are more).
    Result FindFolded(const std::string& text, std::size_t limit,
                      const std::vector<std::uint32_t>* within, std::vector<std::uint32_t>* holding,
                      std::size_t holdingLimit, bool& holdingWhole) const;
    // Appends a folded name to the blocks; returns where it starts.
    std::uint32_t Store(std::string_view key);

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::uint32_t> blockUsed_;         // bytes used in each block
    std::vector<std::uint32_t> blockFirstRow_;     // the first body of each block
    std::array<std::uint32_t, 256> byteCounts_{};  // how often each byte is in the names
    std::vector<std::uint32_t> starts_;  // per body: block << kBlockBits | offset, ascending
    std::vector<Layout> layouts_;
    std::vector<SpkId> ids_;  // ascending
    std::vector<std::uint16_t> classSlots_;
    std::vector<int> classCodes_;  // by slot
    bool keepsFullNames_ = false;
    std::string fullNames_;
    std::vector<std::uint32_t> fullNameStarts_;
};

// Bodies added one by one (in any order), then made into the index.
class StarFinder::Builder {
  public:
    // `keepFullNames`: the index also keeps each full name as given, for FullName();
    // `expectedRows` reserves room for that many bodies.
    explicit Builder(bool keepFullNames = false, std::size_t expectedRows = 0);
    // A body: its SPK-ID, its full name (UTF-8) and its orbit-class code.
    void Add(SpkId id, std::string_view fullName, int orbitClass);
    std::size_t Size() const { return finder_.ids_.size(); }
    StarFinder Finish();

  private:
    StarFinder finder_;
    std::string folded_;          // working space
    std::uint16_t lastSlot_ = 0;  // the class of the last body, most often the next one's
};

// The finds of a text typed letter by letter: the bodies whose folded name holds a text are all
// there is to search for a text that holds it ("apop" after "apo"), so each find after the first
// searches only the bodies the last one found, when they were few enough to keep (at most an
// eighth of the bodies: 0.7 MB for the whole SBDB).
class StarFinder::Typing {
  public:
    explicit Typing(const StarFinder& finder) : finder_(finder) {}
    Result Find(std::string_view text, std::size_t limit);

  private:
    const StarFinder& finder_;
    std::string folded_;                  // the last text, folded
    std::vector<std::uint32_t> holding_;  // the bodies whose folded names hold it
    bool holdingKnown_ = false;
};

// The index of every body of `catalogue`, in SPK-ID order, from its full names (from its names
// where it holds none: a catalogue older than the full-name column). `progress` is told the count
// of bodies read every 65,536 bodies. Nothing when the bodies cannot be listed (no star table) or
// the reading stopped on an error (a damaged page, or sqlite3_interrupt from another thread).
std::optional<StarFinder> ReadStarFinder(const Catalogue& catalogue, bool keepFullNames,
                                         const std::function<void(std::size_t)>& progress = {});
