#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// What a symbolic link at the path of ReplaceFileAtomically has replaced.
enum class LinkUse {
    ReplaceTheLink,        // the link itself, by a new file: a link planted in a shared folder
                           // never leads the write elsewhere
    ReplaceWhatItLeadsTo,  // the file it leads to, the link staying: for a path the user named
};

// Replaces the file at `path` with what `write` puts into a temporary file beside it
// ("PATH.part-PID"), by one rename, so that the file is never seen half written, even by a run
// killed at any moment. `write` gets the temporary path and returns false with `why` set to the
// reason alone (the system's or SQLite's text). On failure, or when `write` throws, the
// temporary file is removed, the file at `path` is left as it was, and `error` names `path`
// with the reason ("cannot write DIR/Nivra.db: No space left on device"). A replaced file keeps
// its permission bits. Only a regular file is replaced: a pipe or device under the name is
// refused ("not a regular file"), and a folder stays, as the rename fails.
bool ReplaceFileAtomically(
    const std::string& path,
    const std::function<bool(const std::string& temporary, std::string& why)>& write,
    std::string& error, LinkUse links = LinkUse::ReplaceTheLink);

// Writes `size` bytes to a new file at `path` (replacing any); false with `why` set to the
// system's error text.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string& why);

// The same, written in pieces: the first `head` bytes, then pieces of `piece` bytes (the last may
// be shorter), `afterPiece` called after each piece is written.
bool WriteFileInPieces(const std::string& path, const void* data, std::size_t size,
                       std::size_t head, std::size_t piece, const std::function<void()>& afterPiece,
                       std::string& why);

// Which temporary files RemoveStaleTemporaryFiles takes for a killed run's.
enum class WhoseTemporaries {
    EndedProcesses,  // those whose process PID no longer runs on this machine
    Any,             // every one: the caller alone writes those names, so none is in use
};

// Removes the temporary files "NAME.part-PID" of `folder` that a killed run left (with the
// "-journal", "-wal" and "-shm" files SQLite keeps beside a database it is writing): those whose
// NAME `isOurs` accepts and that `whose` takes for a killed run's. Returns how many it removed.
int RemoveStaleTemporaryFiles(const std::string& folder,
                              const std::function<bool(std::string_view name)>& isOurs,
                              WhoseTemporaries whose = WhoseTemporaries::EndedProcesses);

// Removes the temporary files a killed run left of the file at `path` (see above).
int RemoveStaleTemporariesOf(const std::string& path);
