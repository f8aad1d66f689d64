// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <functional>

// Calls `body(i)` for every i in [0, count) on `threads` threads (the calling one among them),
// handing out indices in order as threads become free. The first exception a call throws is
// thrown again here once every thread has stopped; the indices not yet started are skipped.
void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& body);

// The threads to use when asked for `requested` (0: one per core).
unsigned ThreadsFor(int requested);
