// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

// A data file built into nivra-data (the files of resources/data), by name: the engine's
// constellation tables "roman1987.dat" and "names.dat", and whatever a library above registers
// in the same resource folder (the shipped SBDB exports of sbdb/ShippedExports.h). Empty when
// unknown.
std::string ReadBuiltinData(const char* name);
