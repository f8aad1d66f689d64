// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "export/SaveChartImage.h"

#include "charts/ChartCaptions.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
#include "data/TextFormat.h"
#include "drawing/MessageService.h"

namespace {

// The chart of `command`; for a Perihelion chart only when the catalogue gives the star's
// passage time and orbital period.
std::optional<QImage> Render(const ChartCommand& command, const RenderInputs& inputs,
                             const SaveContext& context, const ChartRender& render) {
    if (command.Kind != ChartKind::Perihelion) {
        return render(command.Kind, inputs, {});
    }
    if (context.Database == nullptr) {
        return std::nullopt;
    }
    const std::optional<PerihelionRow> row = QueryPerihelion(*context.Database, inputs.Header->Id);
    if (!row) {
        return std::nullopt;
    }
    return render(command.Kind, inputs, {row->TimePerihelionPassage, row->OrbitalPeriod});
}

}  // namespace

ChartRender ProgramChartRender() {
    return [](ChartKind kind, const RenderInputs& inputs, const PerihelionPassage& passage) {
        return RenderChart(kind, inputs, passage);
    };
}

ChartColours SaveColours(ChartLook look) {
    return look == ChartLook::Save ? kScreenColours : kExportColours;
}

std::string ChartImagePath(const std::string& imagesFolder, const std::string& fileLabel,
                           ChartFileFormat format) {
    return FormatText(format == ChartFileFormat::Png ? "%s/%s.png" : "%s/%s.jpg",
                      imagesFolder.c_str(), fileLabel.c_str());
}

const char* SaveOutcomeMessage(SaveOutcome::Status status) {
    switch (status) {
        case SaveOutcome::Status::Saved:
            return kSavedMessage;
        case SaveOutcome::Status::NotSaved:
            return kNotSavedMessage;
        case SaveOutcome::Status::NothingToSave:
            break;
    }
    return nullptr;
}

SaveOutcome SaveChartImage(const ChartCommand& command, const SaveContext& context,
                           const ChartRender& render) {
    const CurrentStar* star = context.Chart.Star;
    if (star == nullptr || star->Star() == nullptr) {
        return {};
    }
    const RenderInputs inputs =
        MakeRenderInputs(context.Chart, FrameTrack{star->Cursor(), command.Frame},
                         SaveCaption(command.Kind, command.Frame), SaveColours(command.Look));
    const std::optional<QImage> image = Render(command, inputs, context, render);
    if (!image) {
        return {};
    }
    SaveOutcome outcome;
    outcome.Path = ChartImagePath(context.ImagesFolder, command.FileLabel, context.Format);
    Imaging::SaveParams params = context.SaveParams;
    if (context.Format == ChartFileFormat::Png) {
        params = Imaging::SaveParams{"png", -1, false, false};
    }
    const bool saved = Imaging::SaveJpeg(QString::fromStdString(outcome.Path), *image, params) == 0;
    outcome.Result = saved ? SaveOutcome::Status::Saved : SaveOutcome::Status::NotSaved;
    if (context.ShowOutcome && context.Chart.Messages != nullptr) {
        context.Chart.Messages->Show(SaveOutcomeMessage(outcome.Result), MessageIcon::Information);
    }
    return outcome;
}
