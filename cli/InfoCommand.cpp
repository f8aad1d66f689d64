// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/InfoCommand.h"

#include <cstdio>
#include <optional>
#include <string>

#include "astro/InformationRows.h"
#include "cli/Options.h"
#include "cli/Startup.h"

namespace {

constexpr const char* kInfoUsage =
    "  nivra info --star SPKID [--folder DIR]\n"
    "      Prints the Infos page's 31 rows for the star SPKID, tab-separated:\n"
    "      Name, Value, Informations, Formulas. Without --folder, the folder the viewer\n"
    "      takes. Exit 0 done, 1 the catalogue cannot be read or is not there, 2 a bad\n"
    "      command line, 253 (-3) the catalogue cannot be opened.\n";

int RunInfo(const QStringList& arguments) {
    const Subcommand command = InfoSubcommand();
    int exitCode = 0;
    const std::optional<ParsedOptions> read =
        ReadSubcommandOptions(command, arguments, {{"folder"}, {"star"}}, {"star"}, exitCode);
    if (!read)
        return exitCode;
    const ParsedOptions& options = *read;
    QString problem;
    const std::optional<SpkId> id = ParseStarOption("--star", options.Value("star"), problem);
    if (!id)
        return SubcommandUsageError(command, problem);
    const std::optional<QString> folder = SubcommandFolder(command, options, exitCode);
    if (!folder)
        return exitCode;

    const StartupResult started = StartReadingFolder(*folder);
    if (!started.session) {
        return started.exitCode;
    }
    const Catalogue& catalogue = started.session->Database();
    const std::vector<InformationRow> rows = InformationRows(catalogue, *id);
    if (catalogue.LastRunFailed()) {
        // No row is "0.00" everywhere; a statement that failed is not.
        return CatalogueReadFailure(*started.session, QString("The values of star %1").arg(*id));
    }
    std::string out;
    for (const InformationRow& row : rows) {
        out += row.Name + '\t' + row.Value + '\t' + row.Informations + '\t' + row.Formulas + '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? ExitCode::kNormal : 1;
}

}  // namespace

Subcommand InfoSubcommand() {
    return {"info", kInfoUsage, RunInfo};
}
