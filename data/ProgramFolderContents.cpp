// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/ProgramFolderContents.h"

#include <sys/stat.h>

#include "data/StarFileIndex.h"
#include "data/TextFormat.h"

std::string ProgramFolderContents::Description() const {
    std::vector<std::string> parts;
    if (DanglingCatalogueLink)
        parts.push_back("a link Nivra.db to a file that is not there");
    else if (Catalogue)
        parts.push_back("a catalogue (Nivra.db)");
    if (EphemerisFiles > 0)
        parts.push_back(CountText(EphemerisFiles, "ephemeris file", "ephemeris files") + " (Datas)");
    parts.insert(parts.end(), Pictures.begin(), Pictures.end());
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

ProgramFolderContents LookAtProgramFolder(const std::string& folder) {
    ProgramFolderContents contents;
    struct stat status {};
    const std::string catalogue = folder + "/Nivra.db";
    if (::lstat(catalogue.c_str(), &status) == 0) {
        const bool emptyFile = S_ISREG(status.st_mode) && status.st_size == 0;
        contents.Catalogue = !emptyFile;
        struct stat target {};
        contents.DanglingCatalogueLink =
            S_ISLNK(status.st_mode) && ::stat(catalogue.c_str(), &target) != 0;
    }
    contents.EphemerisFiles = StarFileIndex::Read(folder + "/Datas").Size();
    for (const char* picture : {"Configuration/Background.jpg", "Configuration/BckAbout.jpg"}) {
        if (::lstat((folder + "/" + picture).c_str(), &status) == 0)
            contents.Pictures.push_back(picture);
    }
    contents.SampleUnfinished =
        ::lstat((folder + "/" + kSampleUnfinishedMark).c_str(), &status) == 0;
    return contents;
}
