// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/DisplayGuard.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace {

const char* program = "nivra";
std::vector<std::pair<QtMsgType, QString>>* keptBack = nullptr;

}  // namespace

DisplayGuard::DisplayGuard(const char* name) {
    program = name;
    keptBack = new std::vector<std::pair<QtMsgType, QString>>();
    previous_ = qInstallMessageHandler(&DisplayGuard::Handle);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(previous_);
    // A display was opened: what Qt said on the way is said now, as it would have been.
    for (const auto& [type, text] : *keptBack) {
        const QMessageLogContext context;
        if (previous_ != nullptr)
            previous_(type, context, text);
        else
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    delete keptBack;
    keptBack = nullptr;
}

void DisplayGuard::Handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        keptBack->emplace_back(type, text);
        return;
    }
    // The only fatal stop while the application object is made: no platform plugin could start,
    // which on a desktop means no display.
    std::fprintf(stderr, "%s: no display: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen\n",
                 program);
    std::fflush(stderr);
    ::_exit(1);
}
