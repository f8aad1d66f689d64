// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/StarFileIndex.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <string_view>
#include <system_error>

#if __has_include(<dirent.h>)
#include <dirent.h>
#define NIVRA_HAS_DIRENT 1
#else
#include <filesystem>
#endif

#include "data/AscendingSearch.h"

namespace {

// The SpkId whose file name, written with "%lu.Nvr", is `name`; nothing for any other name.
std::optional<SpkId> SpkIdOfFileName(std::string_view name) {
    constexpr std::string_view kExtension = ".Nvr";
    if (name.size() <= kExtension.size() ||
        name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0) {
        return std::nullopt;
    }
    const std::string_view digits(name.data(), name.size() - kExtension.size());
    if (digits.size() > 1 && digits[0] == '0')
        return std::nullopt;  // "%lu" writes no leading zero
    SpkId id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return id;
}

// Whether `path` exists, following a symbolic link.
bool TargetExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

// Sorts SpkIds in two passes of 16 bits (a million of them in a few milliseconds).
void SortIds(std::vector<SpkId>& ids) {
    std::vector<SpkId> scratch(ids.size());
    for (const int shift : {0, 16}) {
        std::vector<std::size_t> start(65537, 0);
        for (const SpkId id : ids)
            ++start[((id >> shift) & 0xFFFF) + 1];
        for (std::size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        for (const SpkId id : ids)
            scratch[start[(id >> shift) & 0xFFFF]++] = id;
        ids.swap(scratch);
    }
}

}  // namespace

StarFileIndex StarFileIndex::Read(const std::string& datasFolder, std::string* error) {
    StarFileIndex index;
#ifdef NIVRA_HAS_DIRENT
    DIR* folder = ::opendir(datasFolder.c_str());
    if (folder == nullptr) {
        if (error != nullptr && errno != ENOENT)
            *error = datasFolder + ": " + std::strerror(errno);
        return index;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder);
        if (entry == nullptr) {
            if (error != nullptr && errno != 0)
                *error = datasFolder + ": " + std::strerror(errno);
            break;
        }
        const std::optional<SpkId> id = SpkIdOfFileName(entry->d_name);
        if (!id)
            continue;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            const std::string path = datasFolder + "/" + entry->d_name;
            struct stat status {};
            index.hasLinks_ = index.hasLinks_ || entry->d_type == DT_LNK ||
                              (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode));
            if (!TargetExists(path))
                continue;  // a link to nothing
        }
        index.ids_.push_back(*id);
    }
    ::closedir(folder);
#else
    std::error_code listing;
    std::filesystem::directory_iterator entries(datasFolder, listing);
    for (; !listing && entries != std::filesystem::directory_iterator();
         entries.increment(listing)) {
        const std::filesystem::directory_entry& entry = *entries;
        const std::optional<SpkId> id = SpkIdOfFileName(entry.path().filename().string());
        if (!id)
            continue;
        std::error_code statError;
        if (entry.is_symlink(statError)) {
            index.hasLinks_ = true;
            if (!std::filesystem::exists(entry.path(), statError))
                continue;  // a link to nothing
        }
        index.ids_.push_back(*id);
    }
    if (error != nullptr && listing && listing != std::errc::no_such_file_or_directory)
        *error = datasFolder + ": " + listing.message();
#endif
    SortIds(index.ids_);
    index.ids_.erase(std::unique(index.ids_.begin(), index.ids_.end()), index.ids_.end());
    return index;
}

bool StarFileIndex::Exists(SpkId id) const {
    return std::binary_search(ids_.begin(), ids_.end(), id);
}

bool StarFileIndex::Exists(SpkId id, std::size_t& from) const {
    from = SearchAscending(ids_, id, from);
    if (from < ids_.size() && ids_[from] == id) {
        ++from;
        return true;
    }
    return false;
}

std::optional<StarFileListing::Stamp> StarFileListing::StampOf(const std::string& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return std::nullopt;
#if defined(__APPLE__)
    const timespec modified = status.st_mtimespec;
    const timespec changed = status.st_ctimespec;
#elif defined(_WIN32)
    // Windows has no change time (st_ctime is the creation time there): the settle check alone
    // stands against a modification time set back.
    const timespec modified{status.st_mtime, 0};
    const timespec changed{status.st_ctime, 0};
#else
    const timespec modified = status.st_mtim;
    const timespec changed = status.st_ctim;
#endif
    return Stamp{static_cast<long long>(status.st_dev),   static_cast<long long>(status.st_ino),
                 static_cast<long long>(modified.tv_sec), static_cast<long long>(modified.tv_nsec),
                 static_cast<long long>(changed.tv_sec),  static_cast<long long>(changed.tv_nsec)};
}

bool StarFileListing::Settled(const Stamp& stamp,
                              std::chrono::steady_clock::time_point seen) const {
    if (firstSeen_ && firstSeen_->first == stamp && seen - firstSeen_->second >= settleTime_)
        return true;
    // The last change by the file server's clock: the change time, or a modification time set
    // ahead of it.
    const auto changed =
        std::max(std::chrono::seconds(stamp.ChangeSeconds) +
                     std::chrono::nanoseconds(stamp.ChangeNanoseconds),
                 std::chrono::seconds(stamp.Seconds) + std::chrono::nanoseconds(stamp.Nanoseconds));
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return now - changed >= settleTime_ + clockSkew_;
}

const StarFileIndex& StarFileListing::Current() {
    const auto seen = std::chrono::steady_clock::now();
    const std::optional<Stamp> before = StampOf(folder_);
    if (before && kept_ && *before == *kept_)
        return index_;
    index_ = StarFileIndex::Read(folder_);
    ++listings_;
    kept_.reset();
    if (!before || index_.HasLinks() || StampOf(folder_) != before) {
        firstSeen_.reset();
        return index_;
    }
    if (Settled(*before, seen))
        kept_ = before;
    if (!firstSeen_ || firstSeen_->first != *before)
        firstSeen_.emplace(*before, seen);
    return index_;
}
