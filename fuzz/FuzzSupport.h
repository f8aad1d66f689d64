#pragma once

#include <cstddef>
#include <cstdint>

// What the fuzz targets share.

// Stops the run with `what` on standard error when a property a target checks does not hold;
// libFuzzer then reports the input as a crash and keeps it.
void FuzzCheck(bool holds, const char* what);

// Starts the one QGuiApplication of the process on the offscreen platform (unless
// QT_QPA_PLATFORM names another), for the fonts and the text drawing of the renders.
void StartGuiApplication();
