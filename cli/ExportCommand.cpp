// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/ExportCommand.h"

#include <QFile>
#include <algorithm>

#include "charts/ChartPreparation.h"
#include "cli/Options.h"
#include "cli/Startup.h"
#include "cli/Subcommand.h"
#include "data/CatalogueQueries.h"
#include "data/CatalogueText.h"
#include "data/CurrentStar.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"

const char kExportUsage[] =
    "  nivra export --star SPKID [--folder DIR] [--year YEAR] [--look save|export|both]\n"
    "               [--kind constellations|perihelion|travel|view|years|all]\n"
    "               [--frame astrometric|earth|galactic|geometric|all] [--format jpeg|png]\n"
    "      Writes the charts of a star into DIR/Images as the Save and Export menu commands\n"
    "      do after choosing the star (and the year, 1900-2019) in the window; one line per\n"
    "      file: its path and the command's message. Defaults: --look both, --kind all,\n"
    "      --frame all, --format jpeg (png: the same pixels without loss, \".png\").\n"
    "      The files are named by chart, not by star: another star's export replaces them.\n"
    "      Without --folder, the folder the viewer takes. Exit 0 when every file was\n"
    "      written, 1 otherwise, 2 a bad command line, 253 (-3) the catalogue cannot be\n"
    "      opened.\n";

namespace {

// The toolbar's year choices: "(All years)" and the years 1900 to 2019.
constexpr int kFirstSelectableYear = 1900;
constexpr int kLastSelectableYear = 2019;
constexpr const char* kNothingSaved = "Nothing was saved";

// Reads option --`name` into `chosen`: the values it names, in menu order (a name, without regard
// to case, or `all`). False, with `error` saying why, when the value names none.
template <typename Value, std::size_t N>
bool Choose(const ParsedOptions& options, const QString& name, const std::array<Value, N>& values,
            const std::array<const char*, N>& names, const char* all, std::vector<Value>& chosen,
            QString& error) {
    if (!options.Has(name)) {
        return true;
    }
    const QString given = options.Value(name);
    std::vector<Value> picked;
    QStringList words;
    for (std::size_t i = 0; i < N; ++i) {
        words << names[i];
        if (given.compare(all, Qt::CaseInsensitive) == 0 ||
            given.compare(names[i], Qt::CaseInsensitive) == 0) {
            picked.push_back(values[i]);
        }
    }
    if (picked.empty()) {
        error = QString("--%1 takes %2 or %3").arg(name, words.join(", "), all);
        return false;
    }
    chosen = std::move(picked);
    return true;
}

// The star's name as the star selector shows it when every star with a file is listed: nothing
// when the star is not listed, or when the list cannot be read (then `readFailed` is set).
std::optional<std::string> StarName(const Catalogue& catalogue, SpkId id, bool& readFailed) {
    const auto stars = QueryStarChoices(catalogue, 0);
    readFailed = !stars || catalogue.LastRunFailed();
    if (readFailed) {
        return std::nullopt;
    }
    const auto star = std::find_if(stars->begin(), stars->end(),
                                   [id](const StarChoiceRow& row) { return row.Id == id; });
    return star == stars->end() ? std::nullopt : std::optional(CatalogueTextAsUtf8(star->Name));
}

}  // namespace

std::optional<ExportRequest> ParseExportRequest(const QStringList& arguments, QString& error) {
    const ParsedOptions options = ParseOptions(
        arguments, {{"folder"}, {"star"}, {"year"}, {"look"}, {"kind"}, {"frame"}, {"format"}});
    if (!options.Error.isEmpty()) {
        error = options.Error;
        return std::nullopt;
    }
    ExportRequest request;
    if (!options.Has("star")) {
        error = "--star is required";
        return std::nullopt;
    }
    request.Folder = options.Value("folder");  // empty: the folder the viewer takes
    const std::optional<std::uint32_t> star = ParseStarOption("--star", options.Value("star"), error);
    if (!star)
        return std::nullopt;
    request.Star = *star;
    bool number = false;
    if (options.Has("year")) {
        const int year = options.Value("year").toInt(&number);
        if (!number || year < kFirstSelectableYear || year > kLastSelectableYear) {
            error = "--year takes a year from 1900 to 2019, as the year selector offers";
            return std::nullopt;
        }
        // The 1900 item carries the same value as "(All years)" and behaves like it.
        request.Year = year == kFirstSelectableYear ? 0 : year;
    }
    if (!Choose(options, "look", std::array{ChartLook::Save, ChartLook::Export},
                std::array{"save", "export"}, "both", request.Looks, error) ||
        !Choose(options, "kind", kAllChartKinds,
                std::array{"constellations", "perihelion", "travel", "view", "years"}, "all",
                request.Kinds, error) ||
        !Choose(options, "frame", kAllFrames,
                std::array{"astrometric", "earth", "galactic", "geometric"}, "all", request.Frames,
                error)) {
        return std::nullopt;
    }
    if (options.Has("format")) {
        const QString format = options.Value("format").toLower();
        if (format != "jpeg" && format != "png") {
            error = "--format takes jpeg or png";
            return std::nullopt;
        }
        request.Format = format == "png" ? ChartFileFormat::Png : ChartFileFormat::Jpeg;
    }
    return request;
}

int RunExport(const ExportRequest& request, const ChartRender& render, std::FILE* out,
              MessageService& errors) {
    StartupResult started =
        Startup(QFile::encodeName(request.Folder).toStdString(), errors, FolderUse::WriteCharts);
    if (!started.session) {
        return started.exitCode;
    }
    const Session& session = *started.session;
    bool readFailed = false;
    const std::optional<std::string> name = StarName(session.Database(), request.Star, readFailed);
    if (readFailed) {
        errors.Show(CatalogueReadFailureText(session, "The star list"), MessageIcon::Error);
        return 1;
    }
    if (!name) {
        errors.Show(
            QString("star %1 is not in the catalogue or has no ephemeris file").arg(request.Star),
            MessageIcon::Error);
        return 1;
    }
    CurrentStar star(session.Folders().DatasFolder);
    if (star.MakeCurrentStar(request.Star) == nullptr) {
        QString problem = QString("the ephemeris file of star %1 cannot be read").arg(request.Star);
        if (star.LastLoad().Result == StarLoad::Status::OtherStar) {
            problem += QString(": %1 holds star %2")
                           .arg(QFile::decodeName(
                               StarFilePath(session.Folders().DatasFolder, request.Star).c_str()))
                           .arg(star.LastLoad().FileId);
        }
        errors.Show(problem, MessageIcon::Error);
        return 1;
    }
    if (star.LastLoad().Result == StarLoad::Status::CutShort) {
        // The charts are drawn from what the file holds, as in the window.
        errors.Show(QString("File cut short: %1 records").arg(star.LastLoad().Records),
                    MessageIcon::Information);
    }
    // The titles give the first year drawn: a year before the file starts at its first record.
    const int drawnYear = request.Year != 0 ? star.SeekYear(request.Year) : 0;
    const FontTable fonts = CreateFontTable();
    const ChartTitleInputs title{*name, drawnYear};

    // Chart preparation, for what it leaves in the PlotExtents: only the View, Travel and Years
    // plots touch them, so only those are drawn.
    PlotExtents extents;
    ChartContext chart;
    chart.Fonts = &fonts;
    chart.Title = title;
    chart.Star = &star;
    chart.Extents = &extents;
    chart.Messages = &errors;
    // The replay draws charts nobody asked for: what they would say is not shown.
    ChartContext replay = chart;
    replay.Messages = nullptr;
    ChartPreparationTargets preparation;
    preparation.RefreshChart = [&](ChartKind kind, const FrameTrack& track,
                                   const QString& caption) {
        if (kind == ChartKind::View || kind == ChartKind::Travel || kind == ChartKind::Years) {
            render(kind, MakeRenderInputs(replay, track, caption), {});
        }
    };
    PrepareCharts(star, preparation);

    SaveContext context;
    context.Chart = chart;
    context.Database = &session.Database();
    context.ImagesFolder = session.Folders().ImagesFolder;
    context.SaveParams = session.ChartImageSaveParams();
    context.Format = request.Format;
    context.ShowOutcome = false;  // printed on the file's line
    bool everyFileWritten = true;
    for (ChartLook look : request.Looks) {
        for (ChartKind kind : request.Kinds) {
            for (CoordinateFrame frame : request.Frames) {
                const ChartCommand command = *DecodeChartCommand(ChartCommandId(look, kind, frame));
                const SaveOutcome outcome = SaveChartImage(command, context, render);
                const std::string path =
                    ChartImagePath(context.ImagesFolder, command.FileLabel, context.Format);
                const char* message = SaveOutcomeMessage(outcome.Result);
                std::fprintf(out, "%s\t%s\n", path.c_str(),
                             message != nullptr ? message : kNothingSaved);
                everyFileWritten = everyFileWritten && outcome.Result == SaveOutcome::Status::Saved;
            }
        }
    }
    std::fflush(out);
    return everyFileWritten ? 0 : 1;
}

int RunExportCommand(const QStringList& arguments) {
    if (arguments.contains("--help") || arguments.contains("-h")) {
        std::fputs(kExportUsage, stdout);
        return ExitCode::kNormal;
    }
    const Subcommand command{"export", kExportUsage, nullptr};
    QString error;
    std::optional<ExportRequest> request = ParseExportRequest(arguments, error);
    if (!request) {
        return SubcommandUsageError(command, error);
    }
    if (request->Folder.isEmpty()) {
        int exitCode = 0;
        ParsedOptions noFolder;
        const std::optional<QString> folder = SubcommandFolder(command, noFolder, exitCode);
        if (!folder)
            return exitCode;
        request->Folder = *folder;
    }
    StandardErrorMessages errors;
    return RunExport(*request, ProgramChartRender(), stdout, errors);
}
