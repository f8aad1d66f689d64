#include "cli/InfoCommand.h"

#include <cstdio>
#include <optional>
#include <string>

#include "astro/InformationRows.h"
#include "cli/Options.h"
#include "cli/Startup.h"

namespace {

constexpr const char* kInfoUsage =
    "  nivra info --folder DIR --star SPKID\n"
    "      Prints the Infos page's 31 rows for the star SPKID, tab-separated:\n"
    "      Name, Value, Informations, Formulas.\n";

int RunInfo(const QStringList& arguments) {
    const Subcommand command = InfoSubcommand();
    int exitCode = 0;
    const std::optional<ParsedOptions> read = ReadSubcommandOptions(
        command, arguments, {{"folder"}, {"star"}}, {"folder", "star"}, exitCode);
    if (!read)
        return exitCode;
    const ParsedOptions& options = *read;
    const std::optional<SpkId> id = ParseSpkId(options.Value("star"));
    if (!id) {
        return SubcommandUsageError(
            command, QString("--star needs an SPK-ID from 0 to 4294967295, not \"%1\"")
                         .arg(options.Value("star")));
    }

    const StartupResult started = StartReadingFolder(options);
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
