#pragma once

#include <string>
#include <unordered_set>

#include "data/StarFile.h"

// Which stars have an ephemeris file in the Datas folder, from one listing of the folder: for
// every SpkId it answers what a test for the existence of "%s/%lu.Nvr" would (a directory of that
// name exists too; a symbolic link exists when its target does). Made for catalogues of many
// thousands of stars, where one test per star would be slow.
class StarFileIndex {
  public:
    // Lists `datasFolder` now; a missing or unreadable folder holds no file.
    static StarFileIndex Read(const std::string& datasFolder);

    bool Exists(SpkId id) const { return ids_.count(id) != 0; }
    std::size_t Size() const { return ids_.size(); }

  private:
    std::unordered_set<SpkId> ids_;
};
