// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sbdb/ProblemSummary.h"

#include "data/TextFormat.h"

#include <algorithm>

void ProblemSummary::Add(ProblemKind kind, const std::string& line, const std::string& reason) {
    const auto k = static_cast<std::size_t>(kind);
    ++counts_[k];
    if (kind == ProblemKind::FileError) {
        shown_[k].push_back(line);  // one per file: never summed up
        return;
    }
    auto [entry, added] = reasons_[k].try_emplace(reason);
    if (added)
        entry->second.Order = reasons_[k].size();
    if (++entry->second.Total <= kShownPerReason)
        shown_[k].push_back(line);
}

std::vector<std::string> ProblemSummary::Lines() const {
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < kKinds; ++k) {
        lines.insert(lines.end(), shown_[k].begin(), shown_[k].end());
        std::vector<std::pair<std::size_t, std::string>> counted;
        for (const auto& [reason, entry] : reasons_[k]) {
            if (entry.Total <= kShownPerReason)
                continue;
            const std::size_t more = entry.Total - kShownPerReason;
            const std::string what =
                static_cast<ProblemKind>(k) == ProblemKind::Note
                    ? CountText(more, "more value", "more values") + " left unknown"
                    : CountText(more, "more body", "more bodies") + " left out";
            counted.emplace_back(entry.Order, what + " for the same reason: " + reason);
        }
        std::sort(counted.begin(), counted.end());
        for (auto& [order, line] : counted)
            lines.push_back(std::move(line));
    }
    return lines;
}

std::size_t ProblemSummary::Count(ProblemKind kind) const {
    return counts_[static_cast<std::size_t>(kind)];
}
