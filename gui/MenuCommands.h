// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "export/ChartCommands.h"

// The menu bar as data: every item's text and command identifier, in menu order.
struct MenuEntry {
    std::string Text;
    int Command = 0;               // 0 for a submenu or a separator
    std::vector<MenuEntry> Items;  // a submenu's items
    bool Separator = false;
};
const std::vector<MenuEntry>& MenuBarEntries();

// Command identifiers besides Save and Export's.
namespace MenuCommand {
inline constexpr int kEphemeris = 6001;
inline constexpr int kOrbitDiagram = 6002;
inline constexpr int kPhysicalParameter = 6003;
inline constexpr int kXnView = 6004;
inline constexpr int kSqLite = 6005;
inline constexpr int kPellesC = 6006;
inline constexpr int kNasaJpl = 6007;
inline constexpr int kUpx = 6008;
inline constexpr int kHomePage = 6009;
inline constexpr int kAbout = 7001;
}  // namespace MenuCommand

// What the main window does for each group of commands.
struct CommandActions {
    std::function<void(const ChartCommand&)> SaveChart;  // 4001-4020 and 5001-5020
    std::function<void(int command)> OpenWebPage;        // 6001-6009
    std::function<void()> ShowAbout;                     // 7001
};

// Runs the action of `command`; an unknown identifier, or a group without an action, does
// nothing. Returns whether the identifier is one of the menu's commands.
bool DispatchCommand(int command, const CommandActions& actions);
