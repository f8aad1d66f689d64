// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What a symbolic link at the path of ReplaceFileAtomically has replaced.
enum class LinkUse {
    ReplaceTheLink,        // the link itself, by a new file: a link planted in a shared folder
                           // never leads the write elsewhere
    ReplaceWhatItLeadsTo,  // the file it leads to, the link staying (also when that file does
                           // not exist yet): for a path the user named
};

// When the folder of a replaced file is synced, so that its rename outlives a power cut.
enum class FolderSync {
    Now,    // after the rename
    Later,  // by the caller, once for many files written into one folder (SyncFolder)
};

// Replaces the file at `path` with what `write` puts into a temporary file beside it, by one
// rename, so that the file is never seen half written, even by a run killed at any moment, and a
// power cut leaves the old file or the new one, never an empty one: the temporary file is synced
// before the rename and the folder after it (or later, as `sync` says).
//
// The temporary file is made anew in the folder of the file replaced (the link's target, for
// ReplaceWhatItLeadsTo), under a name no other writer uses ("NAME.part-HOST-PID-RANDOM", made
// with O_EXCL | O_NOFOLLOW): two writers, on one machine or on two that share the folder, never
// share one, and nothing planted under a name can lead the write elsewhere. `write` gets its
// path (the file exists, empty; open it without following links) and returns false with `why`
// set to the reason alone (the system's or SQLite's text). On failure, or when `write` throws,
// the temporary file is removed, the file at `path` is left as it was, and `error` names `path`
// with the reason ("cannot write DIR/Nivra.db: No space left on device").
//
// A replaced file keeps its permission bits, and its owner and group where the process may set
// them (root always may). Only a regular file is replaced: a pipe or device under the name is
// refused ("not a regular file"), and a folder stays, as the rename fails.
bool ReplaceFileAtomically(
    const std::string& path,
    const std::function<bool(const std::string& temporary, std::string& why)>& write,
    std::string& error, LinkUse links = LinkUse::ReplaceTheLink,
    FolderSync sync = FolderSync::Now);

// The file a replacement of `path` writes: `path` itself, or for ReplaceWhatItLeadsTo the end of
// its chain of symbolic links, which need not exist yet. Nothing, with `why`, when the chain
// cannot be followed (a loop, a folder that cannot be read).
std::optional<std::string> ReplacementTarget(const std::string& path, LinkUse links,
                                             std::string& why);

// Writes `size` bytes to the file at `path`, which must exist (a temporary file of
// ReplaceFileAtomically); its content is replaced and no link is followed. False with `why` set
// to the system's error text.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string& why);

// The same, written in pieces: the first `head` bytes, then pieces of `piece` bytes (the last may
// be shorter), `afterPiece` called after each piece is written.
bool WriteFileInPieces(const std::string& path, const void* data, std::size_t size,
                       std::size_t head, std::size_t piece, const std::function<void()>& afterPiece,
                       std::string& why);

// Copies the regular file at `from` into the existing file at `to` (a temporary file), without
// following a link at `to`. False with `why` set to the system's error text.
bool CopyFileInto(const std::string& from, const std::string& to, std::string& why);

// Which temporary files RemoveStaleTemporaryFiles takes for a killed run's.
enum class WhoseTemporaries {
    EndedProcesses,  // those made on this machine by a process that no longer runs
    Any,             // every one: the caller alone writes those names, so none is in use
};

// Removes the temporary files of `folder` that killed runs left (with the "-journal", "-wal" and
// "-shm" files SQLite keeps beside a database it is writing): those whose NAME `isOurs` accepts
// and that `whose` takes for a killed run's. The temporary files of other machines sharing the
// folder are left to them unless `whose` is Any. Returns how many it removed.
int RemoveStaleTemporaryFiles(const std::string& folder,
                              const std::function<bool(std::string_view name)>& isOurs,
                              WhoseTemporaries whose = WhoseTemporaries::EndedProcesses);

// Removes the temporary files killed runs left of the file at `path`, where they are made: beside
// the end of its chain of links.
int RemoveStaleTemporariesOf(const std::string& path);

// Syncs the folder `folder` (after a rename into it); false with `why` on an error the file
// system reports (one that cannot sync folders at all is no error).
bool SyncFolder(const std::string& folder, std::string& why);
