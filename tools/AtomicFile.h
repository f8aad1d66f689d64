#pragma once

#include <functional>
#include <string>

// Replaces the file at `path` with what `write` puts into a temporary file beside it, by one
// rename. `write` gets the temporary path and returns false (with `error` set) on failure; then,
// or when it throws, the temporary file is removed and the file at `path` is left as it was.
bool ReplaceFileAtomically(
    const std::string& path,
    const std::function<bool(const std::string& temporary, std::string& error)>& write,
    std::string& error);
