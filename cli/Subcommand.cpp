#include "cli/Subcommand.h"

#include <QFile>
#include <cstdio>

#include "cli/Startup.h"

int SubcommandUsageError(const Subcommand& command, const QString& problem) {
    std::fprintf(stderr, "nivra %s: %s\n\nUsage:\n%s", command.Name,
                 problem.toLocal8Bit().constData(), command.Usage);
    return ExitCode::kUsage;
}

std::optional<ParsedOptions> ReadSubcommandOptions(const Subcommand& command,
                                                   const QStringList& arguments,
                                                   const std::vector<OptionRule>& rules,
                                                   const QStringList& required, int& exitCode) {
    ParsedOptions options = ParseOptions(arguments, rules);
    if (!options.Error.isEmpty()) {
        exitCode = SubcommandUsageError(command, options.Error);
        return std::nullopt;
    }
    if (options.Help) {
        std::fputs(command.Usage, stdout);
        exitCode = ExitCode::kNormal;
        return std::nullopt;
    }
    for (const QString& name : required) {
        if (!options.Has(name)) {
            exitCode = SubcommandUsageError(command, QString("--%1 is required").arg(name));
            return std::nullopt;
        }
    }
    return options;
}

QString CatalogueReadFailureText(const Session& session, const QString& what) {
    return QString("%1 cannot be read from %2: %3")
        .arg(what, QFile::decodeName(session.Folders().DatabasePath.c_str()),
             QString::fromStdString(session.Database().ErrorText()));
}

int CatalogueReadFailure(const Session& session, const QString& what) {
    StandardErrorMessages messages;
    messages.Show(CatalogueReadFailureText(session, what), MessageIcon::Error);
    return 1;
}

StartupResult StartReadingFolder(const ParsedOptions& options) {
    StandardErrorMessages messages;
    return Startup(QFile::encodeName(options.Value("folder")).toStdString(), messages,
                   FolderUse::ReadOnly);
}
