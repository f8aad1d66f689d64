// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/MessageService.h"

#include <cstdio>

void StandardErrorMessages::Show(const QString& text, MessageIcon /*icon*/) {
    std::fprintf(stderr, "%s: %s\n", kMessageCaption, text.toLocal8Bit().constData());
    std::fflush(stderr);
}
