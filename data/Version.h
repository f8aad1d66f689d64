// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The version of Nivra's programs, from the build (the CMake project's version): what
// `--version` prints, the About box shows and the package carries.
inline constexpr const char* kNivraVersion = NIVRA_VERSION;
