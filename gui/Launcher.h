#pragma once

#include <QString>

// What the desktop entry starts: the viewer on the user's program folder, after making the
// sample sky there on the first start.

// Makes a program folder from the sample data in `folder` with the nivra-data program
// `nivraData` (the shipped exports: 3,808 numbered asteroids, the ephemerides of 40 of them),
// showing a small window that says so while it works. False, with `error` holding what
// nivra-data said, when it fails.
bool PrepareSampleFolder(const QString& nivraData, const QString& folder, QString& error);

// Whether `folder` still needs the sample: it holds no catalogue, or the empty one the viewer
// leaves in a folder without any.
bool NeedsSample(const QString& folder);
