// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <set>

#include "gui/MenuCommands.h"

namespace {

void Collect(const std::vector<MenuEntry>& entries, std::vector<int>& commands) {
    for (const MenuEntry& entry : entries) {
        if (entry.Command != 0)
            commands.push_back(entry.Command);
        Collect(entry.Items, commands);
    }
}

}  // namespace

TEST(MenuCommands, TheMenuTreeHasEveryTextAndIdentifier) {
    const auto& bar = MenuBarEntries();
    ASSERT_EQ(bar.size(), 4u);
    EXPECT_EQ(bar[0].Text, "Save");
    EXPECT_EQ(bar[1].Text, "Export");
    EXPECT_EQ(bar[2].Text, "JPL");
    EXPECT_EQ(bar[3].Text, "&Help");

    for (int m = 0; m < 2; ++m) {
        ASSERT_EQ(bar[m].Items.size(), 5u);
        const char* kinds[] = {"Constellations", "Perihelion", "Travel", "View", "Years"};
        const char* frames[] = {"Astrometric", "Earth", "Galactic", "Geometric"};
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(bar[m].Items[k].Text, kinds[k]);
            ASSERT_EQ(bar[m].Items[k].Items.size(), 4u);
            for (int f = 0; f < 4; ++f) {
                EXPECT_EQ(bar[m].Items[k].Items[f].Text, frames[f]);
                EXPECT_EQ(bar[m].Items[k].Items[f].Command, (m == 0 ? 4001 : 5001) + 4 * k + f);
            }
        }
    }
    const auto& jpl = bar[2].Items;
    ASSERT_EQ(jpl.size(), 3u);
    EXPECT_EQ(jpl[0].Text, "Ephemeris");
    EXPECT_EQ(jpl[0].Command, 6001);
    EXPECT_EQ(jpl[1].Text, "Orbit diagram");
    EXPECT_EQ(jpl[2].Text, "Physical Parameter");
    EXPECT_EQ(jpl[2].Command, 6003);

    const auto& help = bar[3].Items;
    ASSERT_EQ(help.size(), 4u);
    EXPECT_EQ(help[0].Text, "Nivra's friends");
    ASSERT_EQ(help[0].Items.size(), 5u);
    const char* friends[] = {"XnView", "SqLite", "Pelles C Compiler", "NASA JPL",
                             "Ultimate Packer for eXecutables"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(help[0].Items[i].Text, friends[i]);
        EXPECT_EQ(help[0].Items[i].Command, 6004 + i);
    }
    EXPECT_EQ(help[1].Text, "About Nivra - Tarnlight");
    EXPECT_EQ(help[1].Command, 7001);
    EXPECT_TRUE(help[2].Separator);
    EXPECT_EQ(help[3].Text, "Nivra on the Ouaibe");
    EXPECT_EQ(help[3].Command, 6009);

    std::vector<int> commands;
    Collect(bar, commands);
    EXPECT_EQ(commands.size(), 50u);
    EXPECT_EQ(std::set<int>(commands.begin(), commands.end()).size(), 50u);
}

TEST(MenuCommands, ChartCommandsDecodeToKindFrameAndFileLabel) {
    auto c = DecodeChartCommand(4001);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Look, ChartLook::Save);
    EXPECT_EQ(c->Kind, ChartKind::Constellations);
    EXPECT_EQ(c->Frame, CoordinateFrame::Astrometric);
    EXPECT_EQ(c->FileLabel, "View Cnst Astro");

    c = DecodeChartCommand(4016);
    EXPECT_EQ(c->Kind, ChartKind::View);
    EXPECT_EQ(c->Frame, CoordinateFrame::Geometric);
    EXPECT_EQ(c->FileLabel, "View - Geo");

    c = DecodeChartCommand(5010);
    EXPECT_EQ(c->Look, ChartLook::Export);
    EXPECT_EQ(c->Kind, ChartKind::Travel);
    EXPECT_EQ(c->Frame, CoordinateFrame::Earth);
    EXPECT_EQ(c->FileLabel, "Export Travel Earth");

    c = DecodeChartCommand(5019);
    EXPECT_EQ(c->Kind, ChartKind::Years);
    EXPECT_EQ(c->Frame, CoordinateFrame::Galactic);
    EXPECT_EQ(c->FileLabel, "Export Years Galac");
    EXPECT_EQ(DecodeChartCommand(5014)->FileLabel, "Export View - Earth");
    EXPECT_EQ(DecodeChartCommand(4006)->FileLabel, "View Peri Earth");

    EXPECT_FALSE(DecodeChartCommand(4000));
    EXPECT_FALSE(DecodeChartCommand(4021));
    EXPECT_FALSE(DecodeChartCommand(5021));
    for (int id = 4001; id <= 5020; ++id) {
        if (auto command = DecodeChartCommand(id)) {
            EXPECT_EQ(ChartCommandId(command->Look, command->Kind, command->Frame), id);
        }
    }
}

TEST(MenuCommands, TheDispatcherRoutesByIdentifierAndIgnoresUnknownOnes) {
    std::vector<std::string> calls;
    CommandActions actions;
    actions.SaveChart = [&](const ChartCommand& c) { calls.push_back("chart " + c.FileLabel); };
    actions.OpenWebPage = [&](int id) { calls.push_back("web " + std::to_string(id)); };
    actions.ShowAbout = [&] { calls.push_back("about"); };

    EXPECT_TRUE(DispatchCommand(4013, actions));
    EXPECT_TRUE(DispatchCommand(5002, actions));
    EXPECT_TRUE(DispatchCommand(6001, actions));
    EXPECT_TRUE(DispatchCommand(6009, actions));
    EXPECT_TRUE(DispatchCommand(7001, actions));
    EXPECT_FALSE(DispatchCommand(0, actions));
    EXPECT_FALSE(DispatchCommand(6010, actions));
    EXPECT_FALSE(DispatchCommand(7002, actions));
    EXPECT_EQ(calls, (std::vector<std::string>{"chart View - Astro", "chart Export Cnst Earth",
                                               "web 6001", "web 6009", "about"}));
    // Commands whose action does not exist yet do nothing.
    EXPECT_TRUE(DispatchCommand(4001, CommandActions{}));
}
