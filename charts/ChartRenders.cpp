// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QColor>
#include <cstdio>
#include <cstring>
#include <limits>

#include "charts/ChartDrawing.h"
#include "charts/ConstellationTable.h"
#include "charts/PerihelionLabels.h"
#include "charts/PixelMapping.h"
#include "charts/RenderContract.h"
#include "data/LittleEndian.h"
#include "drawing/Fonts.h"
#include "drawing/Imaging.h"
#include "drawing/MessageService.h"
#include "drawing/TextBytes.h"
#include "drawing/TextStamp.h"

namespace {

// Where the title line starts on every canvas.
constexpr int kTitleX = 16;  // pixels
constexpr int kTitleY = 16;  // pixels
// Constellation names stand this many rows below (odd changes) or above (even changes) their
// point.
constexpr int kConstellationLabelRows = 32;  // pixels
// Texts are formatted into buffers of this size, as the title line and the labels always were.
constexpr std::size_t kTextBuffer = 256;  // bytes, with the terminating zero

QString StampedText(const char* format, auto... values) {
    char text[kTextBuffer];
    std::snprintf(text, sizeof text, format, values...);
    return QString::fromLatin1(text);
}

// How a kind's image is cut out of its canvas.
enum class Cut { None, Auto, ToExtents };

void ShowFailure(const RenderInputs& inputs) {
    if (inputs.Messages != nullptr) {
        inputs.Messages->Show(kRenderFailureText, MessageIcon::Error);
    }
}

// The Years crop: from the canvas origin, max x wide and max y + 40 high, both truncated.
QRect ExtentsRect(const PlotExtents& extents) {
    const auto truncated = [](double value) -> std::int64_t {
        if (!(value > -1e9 && value < 1e9)) {
            return value > 0 ? 1'000'000'000 : -1'000'000'000;
        }
        return static_cast<std::int64_t>(value);
    };
    const std::int64_t width = truncated(extents.MaxX);
    const std::int64_t height = truncated(extents.MaxY) + kRowOffset;
    if (width <= 0 || height <= 0) {
        return QRect();
    }
    return QRect(0, 0, static_cast<int>(std::min<std::int64_t>(width, kWideCanvas.width())),
                 static_cast<int>(std::min<std::int64_t>(height, kWideCanvas.height())));
}

// Calls `plot(record, point)` for every record of the track, in order, with the record's
// FramePoint in the track's frame. The walk stops at the terminating record and where the loaded
// data leaves no room for a whole record.
template <typename Plot>
void ForEachPoint(const FrameTrack& track, Plot plot) {
    const std::size_t offset = FramePointOffset(track.Frame);
    for (RecordWalk walk = track.Records; !walk.AtEnd();
         walk = RecordWalk(walk.Position() + StarFileLayout::kRecordSize, walk.DataEnd())) {
        const std::byte* point = walk.Position() + offset;
        plot(EphemerisRecord(walk.Position()),
             FramePoint{LittleEndian::F64(point), LittleEndian::F64(point + 8)});
    }
}

void PlotViewTrack(const FrameTrack& track, double k, PlotExtents& extents, ChartDrawing& drawing) {
    extents.MaxX = 0;
    extents.MaxY = 0;
    ForEachPoint(track, [&](EphemerisRecord, const FramePoint& point) {
        const ViewPixel pixel = MapViewPoint(point.FirstAngle, point.SecondAngle, k);
        extents.MaxX = pixel.X;
        extents.MaxY = pixel.Y;
        drawing.AddPoint(pixel.X, pixel.Y);
    });
}

// Travel and Years: the row is the rounded SecondAngle plus 40, and the PlotExtents grow to the
// point's column and its rounded SecondAngle (without the 40 rows).
struct ExtendingPoint {
    std::int64_t X;
    std::int64_t Y;
};
ExtendingPoint MapAndExtend(const FramePoint& point, SeamUnwrapping& seam, PlotExtents& extents) {
    const std::int64_t x = seam.Column(RoundToPixel(point.FirstAngle));
    const std::int32_t rounded = RoundToPixel(point.SecondAngle);
    if (!(extents.MaxX >= static_cast<double>(x))) {
        extents.MaxX = static_cast<double>(x);
    }
    if (!(extents.MaxY >= rounded)) {
        extents.MaxY = rounded;
    }
    return {x, static_cast<std::int64_t>(rounded) + kRowOffset};
}

void PlotTravelTrack(const FrameTrack& track, PlotExtents& extents, ChartDrawing& drawing) {
    SeamUnwrapping seam;
    ForEachPoint(track, [&](EphemerisRecord, const FramePoint& point) {
        const ExtendingPoint at = MapAndExtend(point, seam, extents);
        drawing.AddPoint(at.X, at.Y);
    });
}

void PlotYearsTrack(const FrameTrack& track, const FontTable& fonts, PlotExtents& extents,
                    ChartDrawing& drawing) {
    const TextStamps labels(fonts.LabelFont);
    SeamUnwrapping seam;
    int previousYear = 0;
    ForEachPoint(track, [&](EphemerisRecord record, const FramePoint& point) {
        const ExtendingPoint at = MapAndExtend(point, seam, extents);
        drawing.AddPoint(at.X, at.Y);
        const int year = record.Year();
        if (year != previousYear) {
            drawing.AddText(at.X, at.Y,
                            labels(StampedText("%lu", static_cast<unsigned long>(year))));
        }
        previousYear = year;
    });
}

// Constellations and Perihelion: the row is SecondAngle + 40, rounded.
struct WidePoint {
    std::int64_t X;
    std::int64_t Y;
};
WidePoint MapWidePoint(const FramePoint& point, SeamUnwrapping& seam) {
    return {seam.Column(RoundToPixel(point.FirstAngle)),
            RoundToPixel(point.SecondAngle + kRowOffset)};
}

void PlotConstellationsTrack(const FrameTrack& track, const FontTable& fonts,
                             ChartDrawing& drawing) {
    const TextStamps belowLabels(fonts.LabelFont);
    const TextStamps aboveLabels(fonts.AltLabelFont);
    SeamUnwrapping seam;
    std::int32_t previous = 0;
    unsigned changes = 0;
    ForEachPoint(track, [&](EphemerisRecord record, const FramePoint& point) {
        const WidePoint at = MapWidePoint(point, seam);
        drawing.AddPoint(at.X, at.Y);
        const std::int32_t number = record.ConstellationNumber();
        if (number != previous) {
            ++changes;
            const bool below = changes % 2 == 1;
            const std::string_view name = ConstellationName(number);
            if (!name.empty()) {
                drawing.AddText(
                    at.X, below ? at.Y + kConstellationLabelRows : at.Y - kConstellationLabelRows,
                    (below ? belowLabels : aboveLabels)(
                        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
            }
        }
        previous = number;
    });
}

void PlotPerihelionTrack(const FrameTrack& track, const FontTable& fonts,
                         const PerihelionPassage& passage, ChartDrawing& drawing) {
    const std::array<PassageLabel, 3> passages = PassageLabels(passage.Time, passage.Period);
    const TextStamps labels(fonts.LabelFont);
    SeamUnwrapping seam;
    ForEachPoint(track, [&](EphemerisRecord record, const FramePoint& point) {
        const WidePoint at = MapWidePoint(point, seam);
        drawing.AddPoint(at.X, at.Y);
        const RecordDate date = record.Date();
        const double day = RecordJulianDay(date);
        for (const PassageLabel& label : passages) {
            if (day == label.Day) {
                drawing.AddText(at.X, at.Y, labels(PassageLabelText(date, label)));
            }
        }
    });
}

// Cuts the chart's image out of its drawing; nothing when there is no image to show.
std::optional<QImage> CutImage(const ChartDrawing& drawing, Cut cut, const QRect& extentsRect,
                               const ChartColours& colours, RenderPath path) {
    if (cut == Cut::None || path == RenderPath::FullCanvas) {
        return drawing.Paint(drawing.CanvasRect());
    }
    if (path == RenderPath::Fast && (cut == Cut::ToExtents || drawing.InkIsVisible())) {
        const QRect window = cut == Cut::Auto ? drawing.InkBounds() : extentsRect;
        return window.isEmpty() ? std::nullopt : drawing.Paint(window);
    }
    const std::optional<QImage> canvas = drawing.Paint(drawing.CanvasRect());
    if (!canvas) {
        return std::nullopt;
    }
    if (cut == Cut::Auto) {
        return Imaging::AutoCrop(*canvas, QColor(RgbFromColorRef(colours.Background)));
    }
    return Imaging::Crop(*canvas, extentsRect);
}

}  // namespace

std::optional<QString> FormatChartTitle(const ChartTitleInputs& title, const StarFileHeader* header,
                                        const QString& caption) {
    if (header == nullptr || !title.SelectedStarName || title.SelectedYear == -1) {
        return std::nullopt;
    }
    const int startYear = title.SelectedYear == 0 ? header->FirstYear : title.SelectedYear;
    std::string line(kTextBuffer, '\0');
    std::snprintf(line.data(), line.size(), "{%lu} - %s - %s - Years from %d to %d",
                  static_cast<unsigned long>(header->Id), title.SelectedStarName->c_str(),
                  caption.toUtf8().constData(), startYear, header->LastYear);
    line.resize(std::strlen(line.c_str()));
    return QString::fromUtf8(CutUtf8(std::move(line), kTextBuffer - 1));
}

std::optional<QImage> RenderChart(ChartKind kind, const RenderInputs& inputs,
                                  const PerihelionPassage& passage, RenderPath path) {
    const std::optional<QString> title =
        FormatChartTitle(inputs.Title, inputs.Header, inputs.Caption);
    if (!title || inputs.Fonts == nullptr) {
        return std::nullopt;
    }
    const FontTable& fonts = *inputs.Fonts;
    PlotExtents unshared;
    PlotExtents& extents = inputs.Extents != nullptr ? *inputs.Extents : unshared;

    ChartDrawing drawing(kind == ChartKind::View ? kViewCanvas : kWideCanvas, inputs.Colours);
    Cut cut = Cut::Auto;
    switch (kind) {
        case ChartKind::View:
            PlotViewTrack(inputs.Track, ViewVerticalScale(inputs.MainClientSize), extents, drawing);
            cut = Cut::None;
            break;
        case ChartKind::Travel:
            PlotTravelTrack(inputs.Track, extents, drawing);
            break;
        case ChartKind::Years:
            PlotYearsTrack(inputs.Track, fonts, extents, drawing);
            cut = Cut::ToExtents;
            break;
        case ChartKind::Constellations:
            PlotConstellationsTrack(inputs.Track, fonts, drawing);
            break;
        case ChartKind::Perihelion:
            PlotPerihelionTrack(inputs.Track, fonts, passage, drawing);
            break;
    }
    // The Constellations, Perihelion and Years plots draw their labels with a transparent text
    // background and leave it so; after the View and Travel plots the title is drawn opaque, its
    // cell filled with the background colour over whatever lies there.
    const bool opaqueTitle = kind == ChartKind::View || kind == ChartKind::Travel;
    drawing.AddText(kTitleX, kTitleY, StampText(fonts.TitleFont, *title), opaqueTitle);

    std::optional<QImage> image = CutImage(
        drawing, cut, cut == Cut::ToExtents ? ExtentsRect(extents) : QRect(), inputs.Colours, path);
    if (!image) {
        ShowFailure(inputs);
    }
    return image;
}

std::optional<QImage> RenderViewChart(const RenderInputs& inputs) {
    return RenderChart(ChartKind::View, inputs);
}

std::optional<QImage> RenderPerihelionChart(const RenderInputs& inputs, double passage,
                                            double period) {
    return RenderChart(ChartKind::Perihelion, inputs, PerihelionPassage{passage, period});
}
