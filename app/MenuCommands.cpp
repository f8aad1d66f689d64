#include "app/MenuCommands.h"

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
