// Writes the star list's benchmark catalogue: nivra_star_list_fixture DIR [COUNT]
// makes DIR/Nivra.db with COUNT stars (100,000 by default), all with [DatasForIt] = 1, so that
// `nivra stars --folder DIR` and the viewer can be timed on a catalogue of that size.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "bench/StarListFixture.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s DIR [COUNT]\n", argv[0]);
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
    return 0;
}
