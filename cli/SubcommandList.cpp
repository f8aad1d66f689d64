// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/SubcommandList.h"

#include "cli/ExportCommand.h"
#include "cli/FindCommand.h"
#include "cli/InfoCommand.h"
#include "cli/StarsCommand.h"

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> commands = {
        InfoSubcommand(),
        StarsSubcommand(),
        {"export", kExportUsage, &RunExportCommand},
        FindSubcommand(),
    };
    return commands;
}

const Subcommand* FindSubcommand(const QString& name) {
    for (const Subcommand& command : Subcommands()) {
        if (name == QLatin1String(command.Name))
            return &command;
    }
    return nullptr;
}
