// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace {

constexpr std::string_view kTemporaryMark = ".part-";

std::string SystemText(int error) {
    return std::strerror(error);
}

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// This machine's name as it goes into a temporary name: letters, digits, '.' and '_' kept, any
// other byte (a '-' among them, which separates the parts of the name) made '_'.
const std::string& HostTag() {
    static const std::string tag = [] {
        char name[HOST_NAME_MAX + 1] = {};
        if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
            return std::string("host");
        std::string text(name);
        for (char& c : text) {
            const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              (c >= '0' && c <= '9') || c == '.' || c == '_';
            if (!kept)
                c = '_';
        }
        return text;
    }();
    return tag;
}

// "NAME.part-HOST-PID-RANDOM" beside `path`, made with O_EXCL | O_NOFOLLOW: a name that was
// free, now this process's own. Nothing, with `why`, when no file can be made there.
std::optional<std::string> MakeTemporaryFile(const std::string& path, std::string& why) {
    static thread_local std::mt19937_64 random{std::random_device{}() ^
                                               static_cast<std::uint64_t>(::getpid())};
    const std::string stem =
        path + std::string(kTemporaryMark) + HostTag() + "-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        const std::string temporary = stem + suffix;
        const int file =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (file >= 0) {
            ::close(file);
            return temporary;
        }
        if (errno != EEXIST) {
            why = SystemText(errno);
            return std::nullopt;
        }
    }
    why = "no free temporary name";
    return std::nullopt;
}

// Whether process `pid` may still be running (it exists, perhaps under another user).
bool ProcessRuns(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Gives the finished temporary file the owner, group and mode of the file it replaces (as far as
// this process may) and syncs it to the disk.
bool SealTemporary(const std::string& temporary, const std::string& replaced, std::string& why) {
    const int file = ::open(temporary.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0) {
        why = SystemText(errno);
        return false;
    }
    struct stat made {};
    struct stat old {};
    bool sealed = ::fstat(file, &made) == 0 && S_ISREG(made.st_mode);
    if (!sealed)
        why = "the temporary file was replaced by something else";
    if (sealed && ::stat(replaced.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Only root may give a file away; anyone may keep a group they belong to. The mode goes
        // last, as a change of owner clears the set-ID bits.
        if ((old.st_uid != made.st_uid || old.st_gid != made.st_gid) &&
            ::fchown(file, old.st_uid, old.st_gid) != 0 && old.st_gid != made.st_gid) {
            [[maybe_unused]] const int kept = ::fchown(file, static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(file, old.st_mode & 07777) != 0) {
            why = SystemText(errno);
            sealed = false;
        }
    }
    if (sealed && ::fsync(file) != 0) {
        why = SystemText(errno);
        sealed = false;
    }
    if (::close(file) != 0 && sealed) {
        why = SystemText(errno);
        sealed = false;
    }
    return sealed;
}

// The parts of a temporary name "NAME.part-HOST-PID-RANDOM" (or the older "NAME.part-PID", made
// on this machine), with a companion suffix of SQLite's taken off.
struct TemporaryName {
    std::string_view Name;
    std::string_view Host;  // empty for the older form
    long Pid = 0;
};

std::optional<TemporaryName> ParseTemporaryName(std::string_view file) {
    const std::size_t mark = file.rfind(kTemporaryMark);
    if (mark == std::string_view::npos || mark == 0)
        return std::nullopt;
    std::string_view rest = file.substr(mark + kTemporaryMark.size());
    for (std::string_view companion : {"-journal", "-wal", "-shm"}) {
        if (rest.size() > companion.size() && rest.substr(rest.size() - companion.size()) == companion) {
            rest.remove_suffix(companion.size());
            break;
        }
    }
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 9 &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    TemporaryName parsed{file.substr(0, mark), {}, 0};
    if (digits(rest)) {
        parsed.Pid = std::stol(std::string(rest));
        return parsed;
    }
    const std::size_t last = rest.rfind('-');
    if (last == std::string_view::npos || last == 0)
        return std::nullopt;
    const std::size_t middle = rest.rfind('-', last - 1);
    if (middle == std::string_view::npos || middle == 0)
        return std::nullopt;
    const std::string_view pid = rest.substr(middle + 1, last - middle - 1);
    const std::string_view random = rest.substr(last + 1);
    if (!digits(pid) || random.empty() ||
        random.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    parsed.Host = rest.substr(0, middle);
    parsed.Pid = std::stol(std::string(pid));
    return parsed;
}

}  // namespace

std::optional<std::string> ReplacementTarget(const std::string& path, LinkUse links,
                                             std::string& why) {
    if (links == LinkUse::ReplaceTheLink)
        return path;
    std::string target = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(target.c_str(), &status) != 0) {
            if (errno == ENOENT)
                return target;  // not there yet: made where the chain ends
            why = SystemText(errno);
            return std::nullopt;
        }
        if (!S_ISLNK(status.st_mode))
            return target;
        std::string leads(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), leads.data(), leads.size());
        if (length < 0 || static_cast<std::size_t>(length) >= leads.size()) {
            why = length < 0 ? SystemText(errno) : "a link too long";
            return std::nullopt;
        }
        leads.resize(static_cast<std::size_t>(length));
        target = !leads.empty() && leads[0] == '/' ? leads : FolderOf(target) + "/" + leads;
    }
    why = SystemText(ELOOP);
    return std::nullopt;
}

bool ReplaceFileAtomically(const std::string& named,
                           const std::function<bool(const std::string&, std::string&)>& write,
                           std::string& error, LinkUse links, FolderSync sync) {
    std::string why;
    const std::optional<std::string> target = ReplacementTarget(named, links, why);
    if (!target) {
        error = "cannot replace " + named + ": " + why;
        return false;
    }
    const std::string& path = *target;
    // A device, a pipe or a socket under the name would give way to the rename (a folder does
    // not): only a file, or a link that is itself replaced, is.
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        error = "cannot replace " + named + ": not a regular file";
        return false;
    }
    const std::optional<std::string> temporary = MakeTemporaryFile(path, why);
    if (!temporary) {
        error = "cannot write " + named + ": " + why;
        return false;
    }
    bool written = false;
    try {
        written = write(*temporary, why) && SealTemporary(*temporary, path, why);
    } catch (const std::exception& exception) {
        why = exception.what();
        written = false;
    }
    if (!written) {
        error = "cannot write " + named + ": " + why;
        ::unlink(temporary->c_str());
        return false;
    }
    if (::rename(temporary->c_str(), path.c_str()) != 0) {
        error = "cannot replace " + named + ": " + SystemText(errno);
        ::unlink(temporary->c_str());
        return false;
    }
    if (sync == FolderSync::Now && !SyncFolder(FolderOf(path), why)) {
        error = "replaced " + named + ", but its folder could not be synced: " + why;
        return false;
    }
    return true;
}

bool SyncFolder(const std::string& folder, std::string& why) {
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) {
        why = SystemText(errno);
        return false;
    }
    const bool synced = ::fsync(directory) == 0 || errno == EINVAL || errno == EROFS;
    if (!synced)
        why = SystemText(errno);
    ::close(directory);
    return synced;
}

bool WriteFileInPieces(const std::string& path, const void* data, std::size_t size,
                       std::size_t head, std::size_t piece, const std::function<void()>& afterPiece,
                       std::string& why) {
    const int file = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0) {
        why = SystemText(errno);
        return false;
    }
    const char* at = static_cast<const char*>(data);
    std::size_t written = 0;
    std::size_t pieceEnd = std::min(size, head);
    while (written < size) {
        const ssize_t done = ::write(file, at + written, pieceEnd - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            why = done < 0 ? SystemText(errno) : "nothing written";
            ::close(file);
            return false;
        }
        written += static_cast<std::size_t>(done);
        if (written == pieceEnd) {
            if (written > head && afterPiece)
                afterPiece();
            pieceEnd = piece > 0 ? std::min(size, written + piece) : size;
        }
    }
    if (::close(file) != 0) {
        why = SystemText(errno);
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string& why) {
    return WriteFileInPieces(path, data, size, size, 0, {}, why);
}

bool CopyFileInto(const std::string& from, const std::string& to, std::string& why) {
    const int source = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) {
        why = SystemText(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        why = S_ISREG(status.st_mode) ? SystemText(errno) : "not a regular file";
        ::close(source);
        return false;
    }
    const int target = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (target < 0) {
        why = SystemText(errno);
        ::close(source);
        return false;
    }
    bool copied = true;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            why = SystemText(errno);
            copied = false;
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(target, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                why = put < 0 ? SystemText(errno) : "nothing written";
                copied = false;
                break;
            }
            done += put;
        }
        if (!copied)
            break;
    }
    ::close(source);
    if (::close(target) != 0 && copied) {
        why = SystemText(errno);
        copied = false;
    }
    return copied;
}

int RemoveStaleTemporaryFiles(const std::string& folder,
                              const std::function<bool(std::string_view name)>& isOurs,
                              WhoseTemporaries whose) {
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string file = entry->path().filename().string();
        const std::optional<TemporaryName> parsed = ParseTemporaryName(file);
        if (!parsed || !isOurs(parsed->Name))
            continue;
        if (whose == WhoseTemporaries::EndedProcesses) {
            // Another machine's temporary file (a folder shared by a cluster's nodes) is left to
            // it: its process cannot be looked for from here.
            if (!parsed->Host.empty() && parsed->Host != HostTag())
                continue;
            if (ProcessRuns(parsed->Pid))
                continue;
        }
        std::error_code ignored;
        if (std::filesystem::remove(entry->path(), ignored))
            ++removed;
    }
    return removed;
}

int RemoveStaleTemporariesOf(const std::string& path) {
    std::string why;
    const std::string target =
        ReplacementTarget(path, LinkUse::ReplaceWhatItLeadsTo, why).value_or(path);
    const std::string name = std::filesystem::path(target).filename().string();
    return RemoveStaleTemporaryFiles(FolderOf(target),
                                     [&](std::string_view found) { return found == name; });
}
