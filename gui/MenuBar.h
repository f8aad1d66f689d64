// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QMenuBar;
class QWidget;

// Builds the menu bar from the program's menu entries; every item with a command identifier
// calls `onCommand` with it when chosen. The identifier is also the action's data().
QMenuBar* CreateMenuBar(QWidget* parent, const std::function<void(int)>& onCommand);
