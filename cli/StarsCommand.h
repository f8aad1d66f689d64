// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/Subcommand.h"

// `nivra stars --folder DIR [--sort COLUMN[,COLUMN...]]`: prints the "All Stars" list, one line
// per row with its 39 texts separated by tabs, in UTF-8, after one header click per COLUMN
// (0-38) in the order given.
Subcommand StarsSubcommand();
