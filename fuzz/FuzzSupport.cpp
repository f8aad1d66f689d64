// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz/FuzzSupport.h"

#include <stdlib.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

void FuzzCheck(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The application is never destroyed (see below), so the font caches fontconfig filled for it
// are still held at exit; they are no leak of an input.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

void StartGuiApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "nivra_fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics may already be gone before it.
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

TemporaryFolder::TemporaryFolder() {
    // A target writes and removes a file for each input: on a memory file system that costs
    // little, where a disk's file system (ext4) takes longer over it than over the input.
    std::error_code error;
    const std::filesystem::path base =
        qEnvironmentVariableIsEmpty("TMPDIR") && std::filesystem::is_directory("/dev/shm", error)
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
    std::string pattern = base / "nivra-fuzz-XXXXXX";
    FuzzCheck(mkdtemp(pattern.data()) != nullptr, "a temporary folder can be made");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    FuzzCheck(out != nullptr, "the input's file can be written");
    FuzzCheck(size == 0 || std::fwrite(data, 1, size, out) == size, "the file is written whole");
    FuzzCheck(std::fclose(out) == 0, "the file is closed");
}
