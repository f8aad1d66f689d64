// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/StarFile.h"

// Which stars have an ephemeris file in the Datas folder, from one listing of the folder: for
// every SpkId it answers what a test for the existence of "%s/%lu.Nvr" would (a directory of that
// name exists too; a symbolic link exists when its target does). Made for catalogues of millions
// of stars, where one test per star would be slow: the SpkIds are kept sorted, 4 bytes each.
class StarFileIndex {
  public:
    // Lists `datasFolder` now; a missing or unreadable folder holds no file. With `error`, a
    // folder that is there but cannot be listed whole (no permission to read it, an error of the
    // file system half-way) is said there instead ("DIR: Permission denied"), for a writer that
    // must not take a folder it cannot read for an empty one; a missing folder is no error.
    static StarFileIndex Read(const std::string& datasFolder, std::string* error = nullptr);

    bool Exists(SpkId id) const;
    // The same for SpkIds asked in ascending order (as the catalogue lists them), each search
    // going on from where the last one stopped: `from` starts at 0 and is kept between calls.
    bool Exists(SpkId id, std::size_t& from) const;
    std::size_t Size() const { return ids_.size(); }
    // Whether a file of a star was a symbolic link, whose answer may change with its target.
    bool HasLinks() const { return hasLinks_; }

  private:
    std::vector<SpkId> ids_;  // ascending, each once
    bool hasLinks_ = false;
};

// The listing of one Datas folder, kept from one fill of a list to the next while the folder is
// unchanged: a file added, removed or renamed changes the folder's change time (st_ctime), which
// no tool can set back (rsync -a, tar x, cp -p and touch -r set the modification time back, never
// the change time), and the folder is listed again. Nor is one that holds symbolic links kept,
// as their targets may come and go elsewhere.
//
// A folder changed again within the same tick of the file system's clock keeps its stamp, so a
// listing is kept only once the folder has settled, that is when either
// - the stamp was already seen at least the settle time earlier by this machine's steady clock
//   (every change within its tick came before this listing began, whatever the file server's
//   clock says), or
// - the folder's last change lies more than the settle time plus the clock skew in the past of
//   this machine's clock (a folder left alone for minutes is kept at its first listing, even
//   from a file server whose clock runs that skew behind).
class StarFileListing {
  public:
    // The coarsest tick of a file system's clock: FAT's 2 s.
    static constexpr std::chrono::milliseconds kSettleTime{2000};
    // How far a file server's clock may run behind this machine's: the 5 minutes Kerberos
    // allows, and with it NFS over Kerberos.
    static constexpr std::chrono::milliseconds kClockSkew{300000};

    explicit StarFileListing(std::string datasFolder,
                             std::chrono::milliseconds settleTime = kSettleTime,
                             std::chrono::milliseconds clockSkew = kClockSkew)
        : folder_(std::move(datasFolder)), settleTime_(settleTime), clockSkew_(clockSkew) {}

    // The folder's files as they are now.
    const StarFileIndex& Current();
    // How many times the folder has been listed.
    std::size_t Listings() const { return listings_; }

  private:
    struct Stamp {
        long long Device = 0, Inode = 0;
        long long Seconds = 0, Nanoseconds = 0;              // modification time
        long long ChangeSeconds = 0, ChangeNanoseconds = 0;  // change time
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> StampOf(const std::string& folder);
    // Whether a listing of a folder stamped `stamp`, begun after `seen`, can be kept.
    bool Settled(const Stamp& stamp, std::chrono::steady_clock::time_point seen) const;

    std::string folder_;
    std::chrono::milliseconds settleTime_;
    std::chrono::milliseconds clockSkew_;
    StarFileIndex index_;
    std::optional<Stamp> kept_;  // the folder's stamp when index_ was listed, if it may be kept
    // The stamp of the last listing and when it was first seen.
    std::optional<std::pair<Stamp, std::chrono::steady_clock::time_point>> firstSeen_;
    std::size_t listings_ = 0;
};
