// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/Startup.h"

#include <sqlite3.h>
#include <QFile>
#include <filesystem>
#include <system_error>

#include "cli/MemoryReuse.h"

Session::Session(ProgramFolders folders, std::unique_ptr<Catalogue> catalogue)
    : folders_(std::move(folders)),
      catalogue_(std::move(catalogue)),
      saveParams_(Imaging::ChartImageSaveParams()) {}

Session::~Session() {
    catalogue_.reset();
    sqlite3_shutdown();
    Imaging::LibraryExit();
}

namespace {

// Why the catalogue cannot be opened: SQLite's reason, or, where SQLite only says that it cannot
// open the file, the program folder that is missing or is no folder.
QString CatalogueOpenFailureText(const ProgramFolders& folders, const std::string& error) {
    const QString folder = QFile::decodeName(folders.ProgramFolder.c_str());
    std::error_code unknown;
    const std::filesystem::file_status status =
        std::filesystem::status(folders.ProgramFolder, unknown);
    if (status.type() == std::filesystem::file_type::not_found)
        return QString("The folder %1 does not exist").arg(folder);
    if (!unknown && status.type() != std::filesystem::file_type::directory)
        return QString("%1 is not a folder").arg(folder);
    return QString::fromLocal8Bit(error);
}

}  // namespace

StartupResult Startup(const std::string& programFolder, MessageService& messages, FolderUse use) {
    KeepFreedMemory(kStartUpMemoryReuse);
    // The folder becomes the current directory below, so a relative one is made absolute first.
    std::error_code absoluteError;
    const std::filesystem::path absolute = std::filesystem::absolute(programFolder, absoluteError);
    ProgramFolders folders =
        ProgramFolders::From(absoluteError ? programFolder : absolute.lexically_normal().string());
    RestoreWorkingFolder(folders);
    // Only a catalogue known to be missing is called so; one that cannot even be looked at (a
    // folder without read permission) fails at its opening below, with the system's reason.
    std::error_code unknown;
    if (use != FolderUse::Viewer && !std::filesystem::exists(folders.DatabasePath, unknown) &&
        !unknown) {
        messages.Show(QString("There is no catalogue %1")
                          .arg(QFile::decodeName(folders.DatabasePath.c_str())),
                      MessageIcon::Error);
        return {nullptr, ExitCode::kNoCatalogue};
    }
    if (use != FolderUse::ReadOnly) {
        std::error_code ignored;  // an existing Images folder is fine; a failure shows at save
        std::filesystem::create_directory(folders.ImagesFolder, ignored);
    }

    if (sqlite3_initialize() != SQLITE_OK) {
        messages.Show("Cannot initialize SqLite", MessageIcon::Error);
        return {nullptr, ExitCode::kSqliteInit};
    }
    if (Imaging::LibraryInit() != 0) {
        sqlite3_shutdown();
        messages.Show("Cannot initialize GFL", MessageIcon::Error);
        return {nullptr, ExitCode::kImagingInit};
    }
    std::string error;
    std::unique_ptr<Catalogue> catalogue =
        Catalogue::Open(folders.DatabasePath, error,
                        use == FolderUse::Viewer ? Catalogue::Access::CreateIfMissing
                                                 : Catalogue::Access::ReadOnly);
    if (!catalogue) {
        sqlite3_shutdown();
        Imaging::LibraryExit();
        messages.Show(CatalogueOpenFailureText(folders, error), MessageIcon::Error);
        return {nullptr, ExitCode::kCatalogueOpen};
    }
    return {std::make_unique<Session>(std::move(folders), std::move(catalogue)), ExitCode::kNormal};
}
