// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/MenuBar.h"

#include <QMenuBar>

#include "gui/MenuCommands.h"

namespace {

void AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries,
                const std::function<void(int)>& onCommand) {
    for (const MenuEntry& entry : entries) {
        if (entry.Separator) {
            menu->addSeparator();
        } else if (!entry.Items.empty()) {
            AddEntries(menu->addMenu(QString::fromStdString(entry.Text)), entry.Items, onCommand);
        } else {
            QAction* action = menu->addAction(QString::fromStdString(entry.Text));
            action->setData(entry.Command);
            const int command = entry.Command;
            QObject::connect(action, &QAction::triggered, menu,
                             [onCommand, command] { onCommand(command); });
        }
    }
}

}  // namespace

QMenuBar* CreateMenuBar(QWidget* parent, const std::function<void(int)>& onCommand) {
    auto* bar = new QMenuBar(parent);
    for (const MenuEntry& entry : MenuBarEntries()) {
        QMenu* menu = bar->addMenu(QString::fromStdString(entry.Text));
        AddEntries(menu, entry.Items, onCommand);
    }
    return bar;
}
