#pragma once

#include <functional>
#include <optional>
#include <string>

#include "data/StarFile.h"

// The star the user chose: its whole ephemeris file and the Cursor, the record every chart
// starts from. Before the first choice there is no star and the Cursor walk is empty.
class CurrentStar {
  public:
    explicit CurrentStar(std::string datasFolder);

    // Loads the star's file and makes it current, with the Cursor on its first record, then
    // runs the refresh hook. When the file cannot be loaded, returns null and changes nothing.
    const StarFile* MakeCurrentStar(SpkId id);

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
};
