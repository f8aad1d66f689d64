// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#ifdef __GLIBC__
#include <malloc.h>
#endif

// How much of the memory a program frees it keeps for its next allocations (glibc's malloc)
// instead of returning it to the system: memory that comes back from the system costs a page
// fault per 4 KiB at its first use. Both programs tune it once, as they start.
struct MemoryReuse {
    int MapAbove;   // bytes: a larger allocation gets pages of its own, returned when freed
    int TrimAbove;  // bytes: free memory at the top of the heap past this goes back
};

// The viewer and its subcommands: the lists of a catalogue of a million stars take and free tens
// of megabytes at a time, which glibc would otherwise map and unmap one by one (above 32 MiB).
inline constexpr MemoryReuse kStartUpMemoryReuse{1 << 30, 1 << 30};

// nivra-data: each star's records and file image (up to a few MB) are not faulted in again page
// by page for the next star, which saves about a quarter of the CPU time of a run of many stars.
inline constexpr MemoryReuse kEphemerisMemoryReuse{32 << 20, 256 << 20};

// Header-only, so that nivra-data takes it without linking the viewer's command line.
inline void KeepFreedMemory(const MemoryReuse& reuse) {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, reuse.MapAbove);
    mallopt(M_TRIM_THRESHOLD, reuse.TrimAbove);
#else
    (void)reuse;
#endif
}
