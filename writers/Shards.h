// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// A slice of the bodies an ephemeris run computes, so that N runs (the tasks of a cluster job
// array) share one job without talking to each other: every body belongs to exactly one of the
// N shards, chosen from its SPK-ID alone, so the N shards together compute exactly the bodies of
// one run, whatever order they run in and wherever.
struct Shard {
    std::uint32_t Index = 0;  // K: 0 to Count - 1
    std::uint32_t Count = 1;  // N: at least 1
};

// The shard of `spkId` among `count`: the SPK-ID is mixed first (MurmurHash3's 32-bit
// finaliser), so that bodies with neighbouring or regularly spaced SPK-IDs spread evenly.
std::uint32_t ShardOf(std::uint32_t spkId, std::uint32_t count);

inline bool InShard(std::uint32_t spkId, const Shard& shard) {
    return ShardOf(spkId, shard.Count) == shard.Index;
}

// Reads --shard's value: "K/N" (0 <= K < N, N at most 1,000,000), or "slurm" for the task of a
// Slurm job array numbered 0 to N - 1: K from SLURM_ARRAY_TASK_ID, N from
// SLURM_ARRAY_TASK_COUNT (an array numbered otherwise, or with gaps, is refused: give "K/N").
// `environment` reads a variable (null when unset). Nothing, with `error` saying why, for
// anything else.
std::optional<Shard> ParseShard(const std::string& text,
                                const std::function<const char*(const char*)>& environment,
                                std::string& error);
