// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the benchmark catalogue: nivra_star_list_fixture DIR [COUNT] [--with-files]
// makes DIR/Nivra.db with COUNT stars (100,000 by default), all with [DatasForIt] = 1, so that
// `nivra stars --folder DIR` and the viewer can be timed on a catalogue of that size. With
// --with-files every star also gets a small ephemeris file in DIR/Datas (a header, its links and
// one year of records, hard links to a few copies), so the toolbar lists every star.
// nivra_star_list_fixture --statement prints the star list's statement, for timing sqlite3 on it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/StarListFixture.h"
#include "data/CatalogueStatements.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--statement") {
        std::fputs(CatalogueStatements::StarListQuery().c_str(), stdout);
        return 0;
    }
    bool withFiles = false;
    if (argc > 1 && std::string(argv[argc - 1]) == "--with-files") {
        withFiles = true;
        --argc;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s DIR [COUNT] [--with-files] | --statement\n", argv[0]);
        return 2;
    }
    const int count = argc == 3 ? std::atoi(argv[2]) : 100000;
    if (count <= 0) {
        std::fprintf(stderr, "COUNT must be a positive number\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    WriteStarListFixture(std::string(argv[1]) + "/Nivra.db", count);
    std::printf("%s/Nivra.db: %d stars\n", argv[1], count);
    if (withFiles) {
        const std::string datas = std::string(argv[1]) + "/Datas";
        std::printf("%s: %d ephemeris files\n", datas.c_str(),
                    WriteStarListFixtureFiles(datas, count));
    }
    return 0;
}
