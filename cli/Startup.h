// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <memory>

#include "cli/ProgramFolders.h"
#include "data/Catalogue.h"
#include "drawing/Imaging.h"
#include "drawing/MessageService.h"

// Exit codes of the program.
namespace ExitCode {
inline constexpr int kNormal = 0;
inline constexpr int kSqliteInit = -1;
inline constexpr int kImagingInit = -2;
inline constexpr int kCatalogueOpen = -3;
inline constexpr int kUsage = 2;        // bad command line
inline constexpr int kNoCatalogue = 1;  // a command that only reads found no catalogue
}  // namespace ExitCode

// How a run uses its program folder.
enum class FolderUse {
    Viewer,       // creates the Images folder; a missing catalogue is created empty
    WriteCharts,  // creates the Images folder; the catalogue is opened read-only and must exist
    ReadOnly,     // creates nothing: the catalogue is opened read-only and must exist
};

// What start-up brings up for the run: the folders, both libraries, the catalogue connection
// and the JPEG save settings. Its end closes the catalogue, then shuts SQLite and the imaging
// module down, in that order.
class Session {
  public:
    Session(ProgramFolders folders, std::unique_ptr<Catalogue> catalogue);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const ProgramFolders& Folders() const { return folders_; }
    const Catalogue& Database() const { return *catalogue_; }
    Catalogue& Database() { return *catalogue_; }
    const Imaging::SaveParams& ChartImageSaveParams() const { return saveParams_; }

  private:
    ProgramFolders folders_;
    std::unique_ptr<Catalogue> catalogue_;
    Imaging::SaveParams saveParams_;
};

struct StartupResult {
    std::unique_ptr<Session> session;  // null when start-up failed
    int exitCode = ExitCode::kNormal;  // the failure's exit code
};

// Start-up up to the main window: derives the paths from `programFolder` (file-system bytes,
// made absolute), makes it the current directory, creates the Images folder, initialises SQLite
// and the imaging module and opens the catalogue. A failure shuts down what was brought up,
// shows its message and returns its exit code. A catalogue that cannot be opened
// (ExitCode::kCatalogueOpen) is said with SQLite's reason, or, when the program folder does not
// exist or is no folder, with that ("The folder PATH does not exist", "PATH is not a folder").
// Unless `use` is FolderUse::Viewer a missing catalogue is a failure ("There is no catalogue
// PATH", ExitCode::kNoCatalogue) found before anything is created or brought up.
StartupResult Startup(const std::string& programFolder, MessageService& messages,
                      FolderUse use = FolderUse::Viewer);
