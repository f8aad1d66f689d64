// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a program folder holds that is worth keeping: what makes the sample sky refuse to fill
// it, and what the launcher tells the user it found there.
struct ProgramFolderContents {
    // "Nivra.db" is there and is not the empty file the viewer leaves in a folder without a
    // catalogue: a catalogue of the user's, or a link, a folder or anything else in its place.
    bool Catalogue = false;
    // "Nivra.db" is a symbolic link that leads nowhere (a disk not mounted, say); then Catalogue
    // is true too.
    bool DanglingCatalogueLink = false;
    std::size_t EphemerisFiles = 0;     // "Datas/<SPK-ID>.Nvr" entries of any kind
    std::vector<std::string> Pictures;  // "Configuration/Background.jpg", ... that are there
    // A sample sky was being made here and did not finish: what it left is its own.
    bool SampleUnfinished = false;

    // Whether any of the user's things are there (an unfinished sample's aside).
    bool HoldsAnything() const { return Catalogue || EphemerisFiles > 0 || !Pictures.empty(); }
    // "a catalogue (Nivra.db), 3 ephemeris files (Datas), Configuration/Background.jpg".
    std::string Description() const;
};

// The name of the file that marks a sample sky in the making, in the program folder.
inline constexpr const char* kSampleUnfinishedMark = ".nivra-sample-unfinished";

// Looks at the program folder `folder` (a missing folder holds nothing).
ProgramFolderContents LookAtProgramFolder(const std::string& folder);
