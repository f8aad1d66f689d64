// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/CatalogueLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "writers/AtomicFile.h"

namespace {

// The PID written in the lock file by its holder; empty when there is none to read.
std::string HolderOf(int file) {
    char text[32] = {};
    const ssize_t got = ::pread(file, text, sizeof text - 1, 0);
    if (got <= 0)
        return {};
    std::string pid(text, static_cast<std::size_t>(got));
    pid = pid.substr(0, pid.find_first_not_of("0123456789"));
    return pid;
}

}  // namespace

std::string CatalogueLock::LockFileOf(const std::string& cataloguePath) {
    std::string why;
    return ReplacementTarget(cataloguePath, LinkUse::ReplaceWhatItLeadsTo, why)
               .value_or(cataloguePath) +
           ".lock";
}

std::optional<CatalogueLock> CatalogueLock::Take(const std::string& cataloguePath,
                                                 const LockWaiting& waiting, std::string& error) {
    const std::string path = LockFileOf(cataloguePath);
    // Not through a link, and never anything but a file: a pipe under the name must not hold the
    // writer up, nor a link lead it to lock (or make) a file elsewhere.
    const int file =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (file < 0) {
        error = "cannot lock " + cataloguePath + ": " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = "cannot lock " + cataloguePath + ": " + path + " is not a regular file";
        ::close(file);
        return std::nullopt;
    }
    int taken = 0;
    while ((taken = ::flock(file, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (taken != 0 && errno == EWOULDBLOCK) {
        const std::string holder = HolderOf(file);
        const std::string who = holder.empty() ? "another process" : "PID " + holder;
        if (!waiting.Wait) {
            error = cataloguePath + " is being written by " + who + "; not waiting (--no-wait)";
            ::close(file);
            return std::nullopt;
        }
        if (waiting.Say)
            waiting.Say("waiting for " + who + ", which is writing " + cataloguePath);
        while ((taken = ::flock(file, LOCK_EX)) != 0 && errno == EINTR) {
        }
    }
    if (taken != 0) {
        error = "cannot lock " + cataloguePath + ": " + std::strerror(errno);
        ::close(file);
        return std::nullopt;
    }
    // The holder's PID, for a writer that finds the lock taken. Should it not be written, the
    // lock is held all the same; only the holder's name is missing for the others.
    const std::string pid = std::to_string(::getpid()) + "\n";
    [[maybe_unused]] const ssize_t written = ::pwrite(file, pid.data(), pid.size(), 0);
    return CatalogueLock(file);
}

CatalogueLock::CatalogueLock(CatalogueLock&& other) noexcept : file_(other.file_) {
    other.file_ = -1;
}

CatalogueLock::~CatalogueLock() {
    if (file_ < 0)
        return;
    // No PID is left behind for the next writer to take for its holder's.
    [[maybe_unused]] const int emptied = ::ftruncate(file_, 0);
    ::close(file_);  // releases the lock
}
