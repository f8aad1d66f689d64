// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "export/ChartCommands.h"

#include <array>

namespace {

// The file labels of the Save and Export commands, by kind (menu order) and frame (menu order).
constexpr std::array<std::array<const char*, 4>, 5> kSaveLabels = {{
    {"View Cnst Astro", "View Cnst Earth", "View Cnst Galac", "View Cnst Geo"},
    {"View Peri Astro", "View Peri Earth", "View Peri Galac", "View Peri Geo"},
    {"View Travel Astro", "View Travel Earth", "View Travel Galac", "View Travel Geo"},
    {"View - Astro", "View - Earth", "View - Galac", "View - Geo"},
    {"View Years Astro", "View Years Earth", "View Years Galac", "View Years Geo"},
}};

constexpr std::array<std::array<const char*, 4>, 5> kExportLabels = {{
    {"Export Cnst Astro", "Export Cnst Earth", "Export Cnst Galac", "Export Cnst Geo"},
    {"Export Peri Astro", "Export Peri Earth", "Export Peri Galac", "Export Peri Geo"},
    {"Export Travel Astro", "Export Travel Earth", "Export Travel Galac", "Export Travel Geo"},
    {"Export View - Astro", "Export View - Earth", "Export View - Galac", "Export View - Geo"},
    {"Export Years Astro", "Export Years Earth", "Export Years Galac", "Export Years Geo"},
}};

}  // namespace

std::optional<ChartCommand> DecodeChartCommand(int command) {
    using namespace MenuCommand;
    ChartLook look;
    int offset;
    if (command >= kFirstSave && command < kFirstSave + kChartCount) {
        look = ChartLook::Save;
        offset = command - kFirstSave;
    } else if (command >= kFirstExport && command < kFirstExport + kChartCount) {
        look = ChartLook::Export;
        offset = command - kFirstExport;
    } else {
        return std::nullopt;
    }
    const int kind = offset / 4;
    const int frame = offset % 4;
    const auto& labels = look == ChartLook::Save ? kSaveLabels : kExportLabels;
    return ChartCommand{command, look, kAllChartKinds[kind], kAllFrames[frame],
                        labels[kind][frame]};
}

int ChartCommandId(ChartLook look, ChartKind kind, CoordinateFrame frame) {
    const int first = look == ChartLook::Save ? MenuCommand::kFirstSave : MenuCommand::kFirstExport;
    return first + static_cast<int>(kind) * 4 + static_cast<int>(frame);
}
