#include "fuzz/FuzzSupport.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

void FuzzCheck(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The application is never destroyed (see below), so the font caches fontconfig filled for it
// are still held at exit; they are no leak of an input.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

void StartGuiApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "nivra_fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics may already be gone before it.
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}
