// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// nivra-data: builds the catalogue and the ephemeris files that the Nivra viewer reads.
#include <csignal>
#include <cstdio>
#include <exception>

#include "cli/MemoryReuse.h"
#include "datatool/DataToolCommands.h"

int main(int argc, char* argv[]) {
    // A reader that goes away (nivra-data ... | head) must not stop a run half-way: output
    // to it is lost, the files and the catalogue are finished.
    std::signal(SIGPIPE, SIG_IGN);
    KeepFreedMemory(kEphemerisMemoryReuse);
    try {
        return RunDataTool(argc, argv);
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "nivra-data: stopped: %s\n", exception.what());
    } catch (...) {
        std::fprintf(stderr, "nivra-data: stopped by an unknown error\n");
    }
    return kDataToolFailed;
}
