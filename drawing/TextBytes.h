// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

// Small helpers for texts held as bytes.

// Latin-1 bytes as a QString: the program's own fixed names (chart kinds, frames, captions).
QString Latin1Text(std::string_view bytes);

// The UTF-8 text `text` cut to at most `maxBytes` bytes, never through a character: a character
// that no longer fits whole, or that was already incomplete at the end, is left out.
std::string CutUtf8(std::string text, std::size_t maxBytes);
