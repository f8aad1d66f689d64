// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/Subcommand.h"

// `nivra info --folder DIR --star SPKID`: prints the information panel's 31 rows for the star,
// one line per row, Name, Value, Informations and Formulas separated by tabs, in UTF-8.
Subcommand InfoSubcommand();
