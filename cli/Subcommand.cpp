// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/Subcommand.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "cli/ProgramFolders.h"
#include "cli/Startup.h"

int SubcommandUsageError(const Subcommand& command, const QString& problem) {
    std::fprintf(stderr, "nivra %s: %s (see nivra %s --help)\n", command.Name,
                 problem.toLocal8Bit().constData(), command.Name);
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

std::optional<QString> SubcommandFolder(const Subcommand& command, const ParsedOptions& options,
                                        int& exitCode) {
    if (options.Has("folder"))
        return options.Value("folder");
    QString why;
    const QString folder =
        DefaultProgramFolder(QCoreApplication::applicationDirPath(), &why, /*create=*/false);
    if (folder.isEmpty()) {
        exitCode = SubcommandUsageError(command, why);
        return std::nullopt;
    }
    return folder;
}

StartupResult StartReadingFolder(const QString& folder) {
    StandardErrorMessages messages;
    return Startup(QFile::encodeName(folder).toStdString(), messages, FolderUse::ReadOnly);
}
