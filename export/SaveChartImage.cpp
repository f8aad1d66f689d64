#include "export/SaveChartImage.h"

#include "app/MessageService.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
#include "data/TextFormat.h"

namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

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

QString SaveCaption(ChartKind kind, CoordinateFrame frame) {
    const QString name =
        kind == ChartKind::Constellations ? QStringLiteral("Cnst") : Latin1(ChartKindName(kind));
    return name + ' ' + Latin1(FrameName(frame));
}

ChartColours SaveColours(ChartLook look) {
    return look == ChartLook::Save ? kScreenColours : kExportColours;
}

std::string ChartImagePath(const std::string& imagesFolder, const std::string& fileLabel,
                           ChartFileFormat format) {
    return FormatText(format == ChartFileFormat::Png ? "%s/%s.png" : "%s/%s.jpg",
                      imagesFolder.c_str(), fileLabel.c_str());
}

SaveOutcome SaveChartImage(const ChartCommand& command, const SaveContext& context,
                           const ChartRender& render) {
    if (context.Star == nullptr || context.Star->Star() == nullptr) {
        return {};
    }
    RenderInputs inputs;
    inputs.Fonts = context.Fonts;
    inputs.Title = context.Title;
    inputs.Header = &context.Star->Star()->Header();
    inputs.Colours = SaveColours(command.Look);
    inputs.Caption = SaveCaption(command.Kind, command.Frame);
    inputs.Track = FrameTrack{context.Star->Cursor(), command.Frame};
    inputs.Extents = context.Extents;
    inputs.Messages = context.Messages;
    inputs.MainClientSize = context.MainClientSize;

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
    if (context.Messages != nullptr) {
        context.Messages->Show(saved ? kSavedMessage : kNotSavedMessage, MessageIcon::Information);
    }
    return outcome;
}
