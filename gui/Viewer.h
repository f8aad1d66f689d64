// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>

#include "data/StarFile.h"

class MessageService;

// Runs the viewer on a program folder (file-system bytes): start-up, the main window shown
// over the work area, the event loop, then shutdown. Returns the process exit code. Needs a
// running QApplication. `verbose` also prints every status-bar text on standard error.
// `star`: chosen as the window opens, as if the user had picked it.
int RunViewer(const std::string& programFolder, MessageService& messages, bool verbose = false,
              std::optional<SpkId> star = std::nullopt);
