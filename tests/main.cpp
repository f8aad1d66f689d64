// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QApplication>
#include <QThreadPool>
#include <cstdlib>

// Every test runs with a QApplication on the offscreen platform, so widget tests need no display.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Qt's own worker threads (image scaling uses them) are ended before the process ends, so
    // that a leak check at exit sees no thread still running.
    QThreadPool::globalInstance()->waitForDone();
    return result;
}
