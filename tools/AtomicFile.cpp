#include "tools/AtomicFile.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

bool ReplaceFileAtomically(const std::string& path,
                           const std::function<bool(const std::string&, std::string&)>& write,
                           std::string& error) {
    const std::string temporary = path + ".part-" + std::to_string(::getpid());
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    bool written = false;
    try {
        written = write(temporary, error);
    } catch (const std::exception& exception) {
        error = exception.what();
        written = false;
    }
    if (!written) {
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        error = "cannot replace " + path + ": " + renameError.message();
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}
