// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// The SBDB exports shipped with Nivra and built into nivra-data (resources/data), by name:
// "asteroids.json", "comets.json". Empty when unknown.
std::string ReadShippedExport(const char* name);
