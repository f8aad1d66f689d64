// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>

#include "charts/ChartKind.h"
#include "data/CoordinateFrame.h"

// The Save and Export commands: one per chart kind and frame, in the order of their menus.
namespace MenuCommand {
inline constexpr int kFirstSave = 4001;    // 4001-4020
inline constexpr int kFirstExport = 5001;  // 5001-5020
inline constexpr int kChartCount = 20;
}  // namespace MenuCommand

// Save writes a chart white on black (the on-screen look), Export black on white.
enum class ChartLook { Save, Export };

// What a Save or Export command asks for.
struct ChartCommand {
    int Command = 0;
    ChartLook Look = ChartLook::Save;
    ChartKind Kind = ChartKind::View;
    CoordinateFrame Frame = CoordinateFrame::Astrometric;
    std::string FileLabel;  // the JPEG's name in the Images folder, without ".jpg"
};

// The chart command of identifier `command` (4001-4020, 5001-5020), or nothing.
std::optional<ChartCommand> DecodeChartCommand(int command);
// The Save or Export command for a chart.
int ChartCommandId(ChartLook look, ChartKind kind, CoordinateFrame frame);
