// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Peak memory of loading one ephemeris file and walking its records.
//   nivra_star_file_memory write FILE   writes 120 years of daily records (1900-2019)
//   nivra_star_file_memory load FILE    loads it, walks it, prints the growth of the peak
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "data/StarFile.h"
#include "tests/support/TestData.h"

namespace {
long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s write|load FILE\n", argv[0]);
        return 2;
    }
    if (std::strcmp(argv[1], "write") == 0) {
        TestData::NvrFile::Daily(2000001, 1900, 2019).Write(argv[2]);
        return 0;
    }
    const long before = PeakKilobytes();
    std::optional<StarFile> star = LoadStarFile(argv[2]);
    if (!star) {
        std::fprintf(stderr, "cannot load %s\n", argv[2]);
        return 1;
    }
    long records = 0;
    double sum = 0;
    for (EphemerisRecord record : star->FirstRecord()) {
        sum += record.Frame(CoordinateFrame::Earth).FirstAngle;
        ++records;
    }
    const long after = PeakKilobytes();
    std::printf("file %zu bytes, %ld records (checksum %.3f)\n", star->Size(), records, sum);
    std::printf("peak resident memory: %ld KiB before loading, %ld KiB after, growth %ld KiB\n",
                before, after, after - before);
    return 0;
}
