#include "app/ProgramFolders.h"

#include <filesystem>
#include <system_error>

#include "data/TextFormat.h"

ProgramFolders ProgramFolders::From(const std::string& programFolder) {
    const char* folder = programFolder.c_str();
    return ProgramFolders{programFolder, FormatText("%s/Configuration", folder),
                          FormatText("%s/Images", folder), FormatText("%s/Datas", folder),
                          FormatText("%s/Nivra.db", folder)};
}

void RestoreWorkingFolder(const ProgramFolders& folders) {
    std::error_code ignored;
    std::filesystem::current_path(folders.ProgramFolder, ignored);
}
