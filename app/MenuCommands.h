#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "charts/ChartKind.h"
#include "data/CoordinateFrame.h"

// The menu bar as data: every item's text and command identifier, in menu order.
struct MenuEntry {
    std::string Text;
    int Command = 0;               // 0 for a submenu or a separator
    std::vector<MenuEntry> Items;  // a submenu's items
    bool Separator = false;
};
const std::vector<MenuEntry>& MenuBarEntries();

// Command identifiers.
namespace MenuCommand {
inline constexpr int kFirstSave = 4001;    // 4001-4020
inline constexpr int kFirstExport = 5001;  // 5001-5020
inline constexpr int kChartCount = 20;
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

// What the main window does for each group of commands.
struct CommandActions {
    std::function<void(const ChartCommand&)> SaveChart;  // 4001-4020 and 5001-5020
    std::function<void(int command)> OpenWebPage;        // 6001-6009
    std::function<void()> ShowAbout;                     // 7001
};

// Runs the action of `command`; an unknown identifier, or a group without an action, does
// nothing. Returns whether the identifier is one of the menu's commands.
bool DispatchCommand(int command, const CommandActions& actions);
