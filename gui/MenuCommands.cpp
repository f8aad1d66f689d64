// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/MenuCommands.h"

namespace {

std::vector<MenuEntry> ChartMenu(int firstCommand) {
    std::vector<MenuEntry> kinds;
    int command = firstCommand;
    for (ChartKind kind : kAllChartKinds) {
        MenuEntry entry{std::string(ChartKindName(kind)), 0, {}, false};
        for (CoordinateFrame frame : kAllFrames) {
            entry.Items.push_back({std::string(FrameName(frame)), command++, {}, false});
        }
        kinds.push_back(std::move(entry));
    }
    return kinds;
}

std::vector<MenuEntry> BuildMenuBar() {
    using namespace MenuCommand;
    return {
        {"Save", 0, ChartMenu(kFirstSave), false},
        {"Export", 0, ChartMenu(kFirstExport), false},
        {"JPL",
         0,
         {{"Ephemeris", kEphemeris, {}, false},
          {"Orbit diagram", kOrbitDiagram, {}, false},
          {"Physical Parameter", kPhysicalParameter, {}, false}},
         false},
        {"&Help",
         0,
         {{"Nivra's friends",
           0,
           {{"XnView", kXnView, {}, false},
            {"SqLite", kSqLite, {}, false},
            {"Pelles C Compiler", kPellesC, {}, false},
            {"NASA JPL", kNasaJpl, {}, false},
            {"Ultimate Packer for eXecutables", kUpx, {}, false}},
           false},
          {"About Nivra - Tarnlight", kAbout, {}, false},
          {"", 0, {}, true},
          {"Nivra on the Ouaibe", kHomePage, {}, false}},
         false},
    };
}

}  // namespace

const std::vector<MenuEntry>& MenuBarEntries() {
    static const std::vector<MenuEntry> entries = BuildMenuBar();
    return entries;
}

bool DispatchCommand(int command, const CommandActions& actions) {
    using namespace MenuCommand;
    if (std::optional<ChartCommand> chart = DecodeChartCommand(command)) {
        if (actions.SaveChart) {
            actions.SaveChart(*chart);
        }
        return true;
    }
    if (command >= kEphemeris && command <= kHomePage) {
        if (actions.OpenWebPage) {
            actions.OpenWebPage(command);
        }
        return true;
    }
    if (command == kAbout) {
        if (actions.ShowAbout) {
            actions.ShowAbout();
        }
        return true;
    }
    return false;
}
