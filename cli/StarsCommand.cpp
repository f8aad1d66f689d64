// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/StarsCommand.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "browse/StarListModel.h"
#include "cli/Options.h"
#include "cli/Startup.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueStatements.h"

namespace {

constexpr const char* kStarsUsage =
    "  nivra stars [--folder DIR] [--sort COLUMN[,COLUMN...]]\n"
    "      Prints the All Stars list (the stars that have an ephemeris file), one\n"
    "      tab-separated line of 39 texts per star, after clicking the headers of the given\n"
    "      columns (0-38) in turn: --sort 4,4 is two clicks on \"a\", descending. Without\n"
    "      --folder, the folder the viewer takes. Exit 0 done, 1 the list cannot be read or\n"
    "      the catalogue is not there, 2 a bad command line, 253 (-3) the catalogue cannot\n"
    "      be opened.\n";

// Column numbers separated by commas, each from 0 to 38.
std::optional<std::vector<int>> ParseColumns(const QString& text) {
    std::vector<int> columns;
    for (const QString& item : text.split(',')) {
        bool number = false;
        const int column = item.toInt(&number);
        if (!number || item.isEmpty() || !item[0].isDigit() || column >= kStarListColumnCount) {
            return std::nullopt;
        }
        columns.push_back(column);
    }
    return columns;
}

int RunStars(const QStringList& arguments) {
    const Subcommand command = StarsSubcommand();
    int exitCode = 0;
    const std::optional<ParsedOptions> read =
        ReadSubcommandOptions(command, arguments, {{"folder"}, {"sort"}}, {}, exitCode);
    if (!read)
        return exitCode;
    const ParsedOptions& options = *read;
    std::vector<int> clicks;
    if (options.Has("sort")) {
        const std::optional<std::vector<int>> columns = ParseColumns(options.Value("sort"));
        if (!columns) {
            return SubcommandUsageError(
                command, QString("--sort needs column numbers from 0 to 38 separated by commas, "
                                 "not \"%1\"")
                             .arg(options.Value("sort")));
        }
        clicks = *columns;
    }

    const std::optional<QString> folder = SubcommandFolder(command, options, exitCode);
    if (!folder)
        return exitCode;

    const StartupResult started = StartReadingFolder(*folder);
    if (!started.session) {
        return started.exitCode;
    }
    const Catalogue& catalogue = started.session->Database();

    // Lines are made in a buffer and written a megabyte at a time: a catalogue of 1.4 million
    // stars prints a gigabyte.
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk + StarListModel::RowLineRoom(0, 0));
    std::size_t used = 0;
    bool written = true;
    const auto writeOut = [&] {
        written = written && std::fwrite(buffer.data(), 1, used, stdout) == used;
        used = 0;
    };
    // Room for a line of at most `room` bytes at the end of the buffer.
    const auto lineAt = [&](std::size_t room) {
        if (used + room > buffer.size()) {
            writeOut();
            if (room > buffer.size())
                buffer.resize(room);
        }
        return buffer.data() + used;
    };
    const auto lineEnds = [&](const char* end) {
        used = static_cast<std::size_t>(end - buffer.data());
        if (used >= kChunk)
            writeOut();
    };
    if (clicks.empty()) {
        // In the statement's order, each row printed as it is read: nothing is kept. The list is
        // stepped through once first, so that a list that cannot be read whole (a damaged page)
        // prints nothing.
        catalogue.Run(CatalogueStatements::StarListQuery(), StatementShape::List,
                      [](const CatalogueRow&) {});
        if (catalogue.LastRunFailed())
            return CatalogueReadFailure(*started.session, "The star list");
        std::string scratch;
        ForEachStarListRow(catalogue, [&](const StarListRowView& row) {
            if (!written)
                return;
            const std::size_t room = StarListModel::RowLineRoom(row.Name.size(), row.Orbite.size());
            lineEnds(StarListModel::WriteRowLine(lineAt(room), row, scratch));
        });
        if (catalogue.LastRunFailed())
            return CatalogueReadFailure(*started.session, "The star list");
    } else {
        StarListModel list;
        list.Load(catalogue);
        if (catalogue.LastRunFailed()) {
            // The viewer shows what it got; a listing that is not whole is not printed as if it
            // were.
            return CatalogueReadFailure(*started.session, "The star list");
        }
        for (const int column : clicks) {
            list.SortByColumn(column);
        }
        for (int row = 0; row < list.RowCount() && written; ++row) {
            lineEnds(list.WriteRowLine(lineAt(list.RowLineRoom(row)), row));
        }
    }
    writeOut();
    written = written && std::fflush(stdout) == 0;
    return written ? ExitCode::kNormal : 1;
}

}  // namespace

Subcommand StarsSubcommand() {
    return {"stars", kStarsUsage, RunStars};
}
