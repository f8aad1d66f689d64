// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sbdb/CatalogueRows.h"
#include "writers/CatalogueLock.h"

// What WriteCatalogueFromExports did.
struct CatalogueFileOutcome {
    enum class Result {
        Written,      // the catalogue was replaced
        FileError,    // a file could not be read as an export: nothing written
        NoBody,       // no body could be loaded: nothing written
        CannotRead,   // the Datas folder could not be listed, or another writer holds the
                      // catalogue and was not waited for: nothing written, `Error` says why
        CannotWrite,  // the catalogue could not be written: `Error` says why
    } Outcome = Result::CannotWrite;
    std::size_t Stars = 0;
    std::size_t StarsWithFiles = 0;  // [DatasForIt] = 1
    std::size_t Classes = 0;
    std::string Error;
};

// Builds the catalogue at `path` from SBDB exports of any size, as BuildCatalogue,
// MarkStarsWithCompleteFiles (with `datasFolder`) and WriteCatalogueFile would, but reading
// each export in pieces and writing each row as it comes, so that memory does not grow with the
// exports. The catalogue at `path` is replaced only by a complete one, and only when every file
// was read and `datasFolder`, when it is there, was listed whole. The catalogue's lock is held
// throughout, taken as `waiting` says.
// `read` is told how many bytes of the exports have been read of how many (each regular file
// counts twice, as it is read twice; 0 when a pipe's size is not known).
CatalogueFileOutcome WriteCatalogueFromExports(
    const std::string& path, const std::vector<std::string>& files,
    const std::string& datasFolder, const ProblemSink& problems, const LockWaiting& waiting = {},
    const std::function<void(std::uint64_t done, std::uint64_t total)>& read = {});

// Sets [DatasForIt] = 1 for the stars of `content` that have a complete ephemeris file of this
// tool in `datasFolder` (what a rebuilt catalogue keeps of the one it replaces). False, with
// `error`, when the folder is there but cannot be listed whole.
bool MarkStarsWithCompleteFiles(CatalogueContent& content, const std::string& datasFolder,
                                std::string& error);

// Writes the catalogue at `path`, replacing any file there in one step, holding the catalogue's
// lock (taken as `waiting` says); on failure the old file stays and `error` says why.
bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error, const LockWaiting& waiting = {});
// The same for a caller that holds the lock already, since before it read what `content` keeps
// of the catalogue it replaces.
bool WriteCatalogueFile(const std::string& path, const CatalogueContent& content,
                        std::string& error, const CatalogueLock& held);
