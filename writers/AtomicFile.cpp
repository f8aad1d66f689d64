#include "writers/AtomicFile.h"

#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::string_view kTemporaryMark = ".part-";

std::string TemporaryPath(const std::string& path) {
    return path + std::string(kTemporaryMark) + std::to_string(::getpid());
}

// Whether process `pid` may still be running (it exists, perhaps under another user).
bool ProcessRuns(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& named,
                           const std::function<bool(const std::string&, std::string&)>& write,
                           std::string& error, LinkUse links) {
    std::error_code linkError;
    struct stat link {};
    const bool isLink = ::lstat(named.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    const std::string path = isLink && links == LinkUse::ReplaceWhatItLeadsTo
                                 ? std::filesystem::weakly_canonical(named, linkError).string()
                                 : named;
    if (linkError) {
        error = "cannot replace " + named + ": " + linkError.message();
        return false;
    }
    // A device, a pipe or a socket under the name would give way to the rename (a folder does
    // not): only a file, or a link that is itself replaced, is.
    struct stat existing {};
    const bool replacesLink = isLink && links == LinkUse::ReplaceTheLink;
    if (!replacesLink && ::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        error = "cannot replace " + named + ": not a regular file";
        return false;
    }
    const std::string temporary = TemporaryPath(path);
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    bool written = false;
    std::string why;
    try {
        written = write(temporary, why);
    } catch (const std::exception& exception) {
        why = exception.what();
        written = false;
    }
    if (written) {
        struct stat old {};
        if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
            ::chmod(temporary.c_str(), old.st_mode & 07777) != 0) {
            why = std::strerror(errno);
            written = false;
        }
    }
    if (!written) {
        error = "cannot write " + named + ": " + why;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + named + ": " + std::strerror(errno);
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

bool WriteFileInPieces(const std::string& path, const void* data, std::size_t size,
                       std::size_t head, std::size_t piece, const std::function<void()>& afterPiece,
                       std::string& why) {
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) {
        why = std::strerror(errno);
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
            why = done < 0 ? std::strerror(errno) : "nothing written";
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
        why = std::strerror(errno);
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size, std::string& why) {
    return WriteFileInPieces(path, data, size, size, 0, {}, why);
}

int RemoveStaleTemporaryFiles(const std::string& folder,
                              const std::function<bool(std::string_view name)>& isOurs,
                              WhoseTemporaries whose) {
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::size_t mark = name.rfind(kTemporaryMark);
        if (mark == std::string::npos)
            continue;
        std::string digits = name.substr(mark + kTemporaryMark.size());
        // SQLite's rollback journal of a temporary catalogue a killed run was writing.
        for (const char* companion : {"-journal", "-wal", "-shm"}) {
            const std::string suffix = companion;
            if (digits.size() > suffix.size() &&
                digits.compare(digits.size() - suffix.size(), suffix.size(), suffix) == 0) {
                digits.resize(digits.size() - suffix.size());
                break;
            }
        }
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        if (!isOurs(std::string_view(name).substr(0, mark)) ||
            (whose == WhoseTemporaries::EndedProcesses && ProcessRuns(std::stol(digits))))
            continue;
        std::error_code ignored;
        if (std::filesystem::remove(entry->path(), ignored))
            ++removed;
    }
    return removed;
}

int RemoveStaleTemporariesOf(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string name = file.filename().string();
    const std::string folder = file.parent_path().empty() ? "." : file.parent_path().string();
    return RemoveStaleTemporaryFiles(folder, [&](std::string_view found) { return found == name; });
}
