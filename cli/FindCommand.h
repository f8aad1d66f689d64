// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cli/Subcommand.h"

// `nivra find --folder DIR TEXT`: prints the bodies of the catalogue that match TEXT as the
// viewer's find field lists them (exact matches of a number, SPK-ID, designation or name first,
// then those that start with it, then those that hold it), every one of them, one line each:
// SPK-ID, full name, class name and "file" or "no file", separated by tabs, in UTF-8. Exit 0
// when a body matches, 1 when none does.
Subcommand FindSubcommand();
