// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/Shards.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::uint32_t kMaxShards = 1000000;

// A whole number of `text` from 0 to `high`, digits only.
std::optional<std::uint32_t> Number(const char* text, std::uint32_t high) {
    if (text == nullptr || *text < '0' || *text > '9')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > high)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::uint32_t ShardOf(std::uint32_t spkId, std::uint32_t count) {
    std::uint32_t h = spkId;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return count == 0 ? 0 : h % count;
}

std::optional<Shard> ParseShard(const std::string& text,
                                const std::function<const char*(const char*)>& environment,
                                std::string& error) {
    if (text == "slurm") {
        const auto variable = [&](const char* name) {
            return Number(environment(name), kMaxShards);
        };
        // A variable that is set must hold a task number: "-1" or "x" is out of range, not
        // missing.
        for (const char* name : {"SLURM_ARRAY_TASK_ID", "SLURM_ARRAY_TASK_COUNT",
                                 "SLURM_ARRAY_TASK_MIN", "SLURM_ARRAY_TASK_MAX"}) {
            const char* value = environment(name);
            if (value != nullptr && *value != '\0' && !variable(name)) {
                error = std::string("--shard slurm: ") + name + " = \"" + value +
                        "\" is out of range (a whole number from 0 to " +
                        std::to_string(kMaxShards) + ")";
                return std::nullopt;
            }
        }
        const std::optional<std::uint32_t> id = variable("SLURM_ARRAY_TASK_ID");
        const std::optional<std::uint32_t> count = variable("SLURM_ARRAY_TASK_COUNT");
        const std::optional<std::uint32_t> first = variable("SLURM_ARRAY_TASK_MIN");
        const std::optional<std::uint32_t> last = variable("SLURM_ARRAY_TASK_MAX");
        if (!id || !count || *count == 0) {
            error =
                "--shard slurm needs SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT (a task "
                "of a Slurm job array)";
            return std::nullopt;
        }
        if ((first && *first != 0) || (last && *last != *count - 1) || *id >= *count) {
            error = "--shard slurm needs an array numbered 0 to " + std::to_string(*count - 1) +
                    "; for another numbering (a rerun of some tasks) give --shard K/N";
            return std::nullopt;
        }
        return Shard{*id, *count};
    }
    const std::size_t slash = text.find('/');
    const std::optional<std::uint32_t> index =
        slash == std::string::npos ? std::nullopt
                                   : Number(text.substr(0, slash).c_str(), kMaxShards);
    const std::optional<std::uint32_t> count =
        slash == std::string::npos ? std::nullopt
                                   : Number(text.substr(slash + 1).c_str(), kMaxShards);
    if (!index || !count || *count == 0 || *index >= *count) {
        error = "--shard takes K/N (the K-th of N shards, K from 0 to N - 1, N at most " +
                std::to_string(kMaxShards) + ") or slurm, not \"" + text + "\"";
        return std::nullopt;
    }
    return Shard{*index, *count};
}
