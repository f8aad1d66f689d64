// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <optional>
#include <string>

#include "data/StarFile.h"

// What a load of a star's file found there.
struct StarLoad {
    enum class Status {
        Loaded,      // the star's own file, its records ended by the terminating record
        CutShort,    // the star's own file, whose data ends before any terminating record (a copy
                     // broken off, say): it is made current and draws the Records it holds
        Unreadable,  // missing, empty, unreadable, read short, 2 GiB or larger, or too damaged
                     // to walk: nothing changed
        OtherStar,   // a file whose header names star FileId, not the star asked for (a file
                     // saved under another star's name): nothing changed
    };
    Status Result = Status::Unreadable;
    SpkId FileId = 0;         // the SPK-ID of the file's header (Loaded, CutShort, OtherStar)
    std::size_t Records = 0;  // the whole records before the end of the run (Loaded, CutShort)
};

// The star the user chose: its whole ephemeris file and the Cursor, the record every chart
// starts from. Before the first choice there is no star and the Cursor walk is empty.
class CurrentStar {
  public:
    explicit CurrentStar(std::string datasFolder);

    // Loads the star's file and makes it current, with the Cursor on its first record, then
    // runs the refresh hook. When the file cannot be loaded, or is the file of another star,
    // returns null and changes nothing. LastLoad() tells which.
    const StarFile* MakeCurrentStar(SpkId id);
    // What the last MakeCurrentStar found; Unreadable before the first.
    const StarLoad& LastLoad() const { return lastLoad_; }

    // Moves the Cursor from the first record to the first record of `year` and returns the first
    // year drawn from there on. A year before the first record's leaves the Cursor on the first
    // record (everything from that year on is drawn) and returns the first record's year; a
    // later year that no record carries stops the Cursor at the terminating record (or the end
    // of the data) and returns `year`. Without a star, returns `year`.
    int SeekYear(int year);

    const StarFile* Star() const { return star_ ? &*star_ : nullptr; }
    // The records from the Cursor to the end of the run; empty while no star is current.
    RecordWalk Cursor() const;

    // Called after every successful load with the new star (the information panel refills here).
    void SetRefreshHook(std::function<void(const StarFile&)> hook) { refresh_ = std::move(hook); }

    // Lets the file's memory go; afterwards no star is current.
    void Release();

  private:
    std::string datasFolder_;
    std::optional<StarFile> star_;
    std::size_t cursorOffset_ = 0;
    std::function<void(const StarFile&)> refresh_;
    StarLoad lastLoad_;
};
