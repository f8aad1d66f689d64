// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

// Watches the making of a program's application object: without a display to open (no
// DISPLAY or WAYLAND_DISPLAY, a display that does not answer), Qt stops the process with its
// platform plugin's advice; the guard says so in one line instead ("nivra: no display: set
// DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen") and exits with 1. Qt's warnings
// while it tries are kept back, and passed on once a display was opened. Make one just before
// the QApplication, and let it go right after.
class DisplayGuard {
  public:
    explicit DisplayGuard(const char* program);
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

  private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QtMessageHandler previous_ = nullptr;
};
