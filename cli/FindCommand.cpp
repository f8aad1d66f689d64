// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/FindCommand.h"

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "cli/Options.h"
#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
#include "data/FindText.h"
#include "data/StarFileIndex.h"
#include "data/StarFinder.h"

namespace {

constexpr const char* kFindUsage =
    "  nivra find [--folder DIR] TEXT\n"
    "      Prints the bodies whose number, name, designation or SPK-ID match TEXT (case,\n"
    "      accents, blanks and punctuation do not matter), best first, one tab-separated\n"
    "      line each: SPK-ID, full name, class, \"file\" or \"no file\". Without --folder,\n"
    "      the folder the viewer takes. Exit 0 with matches, 1 without (or the catalogue\n"
    "      cannot be read or is not there), 2 a bad command line, 253 (-3) the catalogue\n"
    "      cannot be opened.\n";

// Control characters (a tab, a line break) of a catalogue text become blanks, so that each body
// stays one line of four fields.
void AppendFoundField(std::string& out, std::string_view text) {
    for (const char c : text)
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
}

bool WriteFindLines(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

int RunFind(const QStringList& arguments) {
    const Subcommand command = FindSubcommand();
    // The words of the text are every argument that is no option (or an option's value), so
    // that `nivra find 2004 MN4` needs no quotes; after "--" every argument is a word.
    QStringList options, words;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--") {
            words += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith('-')) {
            words << argument;
            continue;
        }
        options << argument;
        if (argument == "--folder" && i + 1 < arguments.size())
            options << arguments[++i];
    }
    int exitCode = 0;
    const std::optional<ParsedOptions> read =
        ReadSubcommandOptions(command, options, {{"folder"}}, {}, exitCode);
    if (!read)
        return exitCode;
    const QString text = words.join(' ').trimmed();
    if (text.isEmpty())
        return SubcommandUsageError(command, "a TEXT to find is needed");
    if (FoldedForFinding(text.toStdString()).empty()) {
        return SubcommandUsageError(command,
                                    QString("\"%1\" holds no letter or digit to find").arg(text));
    }

    const std::optional<QString> folder = SubcommandFolder(command, *read, exitCode);
    if (!folder)
        return exitCode;
    const StartupResult started = StartReadingFolder(*folder);
    if (!started.session)
        return started.exitCode;
    const Catalogue& catalogue = started.session->Database();
    const std::optional<StarFinder> finder = ReadStarFinder(catalogue, true);
    if (!finder)
        return CatalogueReadFailure(*started.session, "The bodies");
    std::map<int, std::string> classes;
    for (const OrbitClassRow& row :
         QueryOrbitClasses(catalogue).value_or(std::vector<OrbitClassRow>{})) {
        classes.emplace(row.Index, CatalogueTextAsUtf8(row.Name));
    }
    const StarFileIndex files = StarFileIndex::Read(started.session->Folders().DatasFolder);

    const StarFinder::Result result = finder->Find(text.toStdString(), finder->Size());
    constexpr std::size_t kChunk = 1 << 20;
    std::string out;
    bool written = true;
    for (const StarFinder::Found& found : result.Best) {
        const SpkId id = finder->Id(found.Row);
        const int code = finder->OrbitClass(found.Row);
        out += std::to_string(id);
        out += '\t';
        AppendFoundField(out, finder->FullName(found.Row));
        out += '\t';
        const auto name = classes.find(code);
        AppendFoundField(out,
                         name != classes.end() ? name->second : "class " + std::to_string(code));
        out += files.Exists(id) ? "\tfile\n" : "\tno file\n";
        if (out.size() >= kChunk) {
            written = written && WriteFindLines(out);
            out.clear();
        }
    }
    written = written && WriteFindLines(out) && std::fflush(stdout) == 0;
    if (!written)
        return 1;
    return result.Count > 0 ? ExitCode::kNormal : 1;
}

}  // namespace

Subcommand FindSubcommand() {
    return {"find", kFindUsage, RunFind};
}
