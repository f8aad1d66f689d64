// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <vector>

#include "cli/Subcommand.h"

// Every subcommand, in the order the usage lists them.
const std::vector<Subcommand>& Subcommands();

// The subcommand called `name`, or null.
const Subcommand* FindSubcommand(const QString& name);
