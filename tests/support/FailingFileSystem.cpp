// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Loaded with LD_PRELOAD into a program under test, this makes the file system fail where a test
// says, as a real one fails now and then, even for root (who may read any folder):
// NIVRA_TEST_UNLISTABLE=TEXT makes opendir() of a path that contains TEXT fail with EACCES, and
// NIVRA_TEST_FULL_DISK=TEXT makes every write to a file whose path contains TEXT fail with
// ENOSPC, as on a full disk.
#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Matches(const char* path, const char* setting) {
    const char* text = std::getenv(setting);
    return path != nullptr && text != nullptr && *text != '\0' && std::strstr(path, text) != nullptr;
}

// Whether descriptor `file` is open on a path that NIVRA_TEST_FULL_DISK names.
bool OnFullDisk(int file) {
    if (std::getenv("NIVRA_TEST_FULL_DISK") == nullptr)
        return false;
    char link[64];
    char path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", file);
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return false;
    path[length] = '\0';
    return Matches(path, "NIVRA_TEST_FULL_DISK");
}

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" DIR* opendir(const char* path) {
    static const auto real = Real<DIR* (*)(const char*)>("opendir");
    if (Matches(path, "NIVRA_TEST_UNLISTABLE")) {
        errno = EACCES;
        return nullptr;
    }
    return real(path);
}

extern "C" ssize_t write(int file, const void* data, size_t size) {
    static const auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    if (OnFullDisk(file)) {
        errno = ENOSPC;
        return -1;
    }
    return real(file, data, size);
}

extern "C" ssize_t pwrite64(int file, const void* data, size_t size, off_t offset) {
    static const auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    if (OnFullDisk(file)) {
        errno = ENOSPC;
        return -1;
    }
    return real(file, data, size, offset);
}

extern "C" ssize_t pwrite(int file, const void* data, size_t size, off_t offset) {
    static const auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    if (OnFullDisk(file)) {
        errno = ENOSPC;
        return -1;
    }
    return real(file, data, size, offset);
}
