// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <optional>
#include <string>

// How a writer of a catalogue meets another writer at work on the same catalogue.
struct LockWaiting {
    bool Wait = true;  // wait for the other to finish; false: fail at once (--no-wait)
    // Told once, when the writer starts to wait ("waiting for PID 4242, which is writing ...").
    std::function<void(const std::string& line)> Say;
};

// The right to change one catalogue, held by one writer at a time: a catalogue rebuild, the
// marking step of an ephemeris run, mark and sample each hold it from before they read what they
// will change until their rename, so no writer undoes another's work. It is an advisory lock
// (flock) on the file "NAME.lock" beside the catalogue (beside the end of its chain of links, so
// that two names of one catalogue share it), which holds the PID of its holder; the file stays
// there. Readers (the viewer, info, stars, export, an ephemeris run reading its stars) never take
// it: the catalogue is replaced in one rename, so they see the old one or the new one.
class CatalogueLock {
  public:
    // Takes the lock of the catalogue at `cataloguePath`, waiting for another holder when
    // `waiting.Wait`. Nothing, with `error` saying why (naming the holder's PID when it can),
    // when the lock is held and not waited for, or cannot be taken.
    static std::optional<CatalogueLock> Take(const std::string& cataloguePath,
                                             const LockWaiting& waiting, std::string& error);

    CatalogueLock(CatalogueLock&& other) noexcept;
    CatalogueLock& operator=(CatalogueLock&&) = delete;
    CatalogueLock(const CatalogueLock&) = delete;
    ~CatalogueLock();

    // "DIR/Nivra.db.lock": the lock file of the catalogue at `cataloguePath`.
    static std::string LockFileOf(const std::string& cataloguePath);

  private:
    explicit CatalogueLock(int file) : file_(file) {}
    int file_ = -1;
};
