#pragma once

#include <chrono>
#include <optional>
#include <string>
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
// unchanged: a file added, removed or renamed changes the folder's modification time, and the
// folder is listed again. A listing made less than kSettleTime after the folder last changed is
// not kept, as a change within the same tick of the file system's clock would leave the time as
// it was; nor is one that holds symbolic links, whose targets may come and go elsewhere.
class StarFileListing {
  public:
    static constexpr std::chrono::seconds kSettleTime{2};

    explicit StarFileListing(std::string datasFolder) : folder_(std::move(datasFolder)) {}

    // The folder's files as they are now.
    const StarFileIndex& Current();

  private:
    struct Stamp {
        long long Device = 0, Inode = 0, Seconds = 0, Nanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> StampOf(const std::string& folder);

    std::string folder_;
    StarFileIndex index_;
    std::optional<Stamp> kept_;  // the folder's stamp when index_ was listed, if it may be kept
};
