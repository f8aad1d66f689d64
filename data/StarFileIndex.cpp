#include "data/StarFileIndex.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace {

// The SpkId whose file name, written with "%lu.Nvr", is `name`; nothing for any other name.
std::optional<SpkId> SpkIdOfFileName(const std::string& name) {
    constexpr std::string_view kExtension = ".Nvr";
    if (name.size() <= kExtension.size() ||
        name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0) {
        return std::nullopt;
    }
    const std::string_view digits(name.data(), name.size() - kExtension.size());
    if (digits.size() > 1 && digits[0] == '0')
        return std::nullopt;  // "%lu" writes no leading zero
    SpkId id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return id;
}

}  // namespace

StarFileIndex StarFileIndex::Read(const std::string& datasFolder) {
    StarFileIndex index;
    std::error_code error;
    std::filesystem::directory_iterator entries(datasFolder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::directory_entry& entry = *entries;
        const std::optional<SpkId> id = SpkIdOfFileName(entry.path().filename().string());
        if (!id)
            continue;
        std::error_code statError;
        if (entry.is_symlink(statError) && !std::filesystem::exists(entry.path(), statError))
            continue;  // a link to nothing
        index.ids_.insert(*id);
    }
    return index;
}
