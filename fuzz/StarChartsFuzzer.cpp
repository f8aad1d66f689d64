// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes what the viewer draws once a user chooses a star: chart preparation from the loaded
// file (the two diagrams, the five chart renders of the frame group chosen) and the information
// panel's values, with the catalogue row the choices give. The load, the links and the year seek
// themselves are the loading target's (StarFileFuzzer.cpp), which tries far more files a second.
//
// What an input costs is the pixels it paints and the shapes it strokes: the View chart is
// always its whole 1440 x 760 canvas (the window's size sets only its vertical scale), the other
// kinds are cut to what they draw on a 43200 x 400 canvas (the Years chart to the PlotExtents),
// the Orbits diagram is as wide as the orbit, and every paint of a diagram strokes its whole
// ellipses. So an input draws the charts of one frame group, not four (unless it asks for all
// four, as the window draws them), the Orbits diagram is cropped and made whole only when small,
// and the diagram pages are painted in small windows, each only where what it shows depends on
// the input.
//
// An input is a block of kChoicesSize bytes of choices (see Choices) followed by the bytes of
// the .Nvr file; a shorter input has zeros for the missing choices and an empty file.

#include <sqlite3.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "astro/InformationRows.h"
#include "charts/ChartContext.h"
#include "charts/ChartPreparation.h"
#include "charts/PixelMapping.h"
#include "charts/RenderContract.h"
#include "data/Catalogue.h"
#include "data/CatalogueQueries.h"
#include "data/CurrentStar.h"
#include "data/LittleEndian.h"
#include "diagrams/OrbitsDiagram.h"
#include "diagrams/StarOrbitDiagram.h"
#include "drawing/Fonts.h"
#include "drawing/MessageService.h"
#include "fuzz/FuzzSupport.h"

namespace {

// The selected star's name as the toolbar shows it.
constexpr const char* kSelectedStarName = "Ceres";
// The fixed perihelion passage (Julian day) and orbital period (days) of one Perihelion render:
// Ceres's passage of 2018 and its period.
constexpr double kFixedPassage = 2458238.7;
constexpr double kFixedPeriod = 1680.5;
// Values of the catalogue row when the input does not give them: Ceres.
constexpr StarInfoRow kCeres{0.0785, 2.766,  2.549, 10.59, 80.27, 73.64, 291.4,
                             1680.5, 0.2142, 2.983, 1.58,  3.34,  939.4, 9.07};
// The Orbits page finds the diagram's crop by painting strips 32 pixels deep across the orbit,
// each stroking the whole ellipse: up to this width the target does too (an orbit of 20 au); a
// wider orbit (up to 131,072 pixels, 50 ms a strip here) is painted in windows only, as its page
// shows it.
constexpr int kWidestCroppedOrbits = 4'096;  // pixels
// The Orbits diagram is made as a whole image (as Save and Export make it) when what it draws
// is at most this size; a larger one is painted in windows only.
constexpr qint64 kLargestWholeOrbits = 1'000'000;  // pixels
// The windows in which the diagram pages are painted, as a scrolled view shows them.
constexpr int kWindow = 96;  // pixels, square

// The choices block, little-endian:
//   0      flags: bit 0 the catalogue has a row for the star, bit 1 its values come from the
//          input (else Ceres's), bit 2 the charts and diagrams are drawn in the Export colours
//   1      the frame group whose charts are drawn: the lowest of bits 0 Astrometric, 1 Earth,
//          2 Galactic, 3 Geometric that is set; none set: all four in turn, as the window draws
//          them (the frames read different bytes of each record)
//   2      uint16 selected year: 0 "(All years)", else the year sought
//   4, 6   uint16 width and height of the main window's client area (pixels)
//   8      double TimePerihelionPassage (Julian day)
//   16     14 doubles: the row's values in StarInfoRow order (OrbitalPeriod also the
//          Perihelion chart's period)
constexpr std::size_t kChoicesSize = 128;

struct Choices {
    bool HasRow = false;
    bool ValuesFromInput = false;
    bool ExportColours = false;
    std::uint8_t FrameGroups = 0;
    int Year = 0;
    QSize Client;
    double Passage = 0;
    StarInfoRow Values;
};

Choices ReadChoices(const std::uint8_t* data, std::size_t size) {
    std::byte block[kChoicesSize] = {};
    std::memcpy(block, data, std::min(size, kChoicesSize));
    Choices choices;
    const auto flags = static_cast<std::uint8_t>(block[0]);
    choices.HasRow = (flags & 1) != 0;
    choices.ValuesFromInput = (flags & 2) != 0;
    choices.ExportColours = (flags & 4) != 0;
    const auto groups = static_cast<std::uint8_t>(static_cast<std::uint8_t>(block[1]) & 0x0F);
    // The lowest bit set, or all four.
    choices.FrameGroups = groups == 0 ? 0x0F : static_cast<std::uint8_t>(groups & -groups);
    choices.Year = LittleEndian::U16(block + 2);
    choices.Client = QSize(LittleEndian::U16(block + 4), LittleEndian::U16(block + 6));
    choices.Passage = LittleEndian::F64(block + 8);
    double* values[] = {&choices.Values.Eccentricity,
                        &choices.Values.SemiMajorAxis,
                        &choices.Values.PerihelionDistance,
                        &choices.Values.Inclination,
                        &choices.Values.AscendingNodeLongitude,
                        &choices.Values.ArgumentPerihelion,
                        &choices.Values.MeanAnomaly,
                        &choices.Values.OrbitalPeriod,
                        &choices.Values.MeanMotion,
                        &choices.Values.ApelionDistance,
                        &choices.Values.EarthMOID,
                        &choices.Values.AbsoluteMagnitude,
                        &choices.Values.Diameter,
                        &choices.Values.RotationPeriod};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        *values[i] = LittleEndian::F64(block + 16 + 8 * i);
    }
    return choices;
}

class CountedMessages : public MessageService {
  public:
    void Show(const QString&, MessageIcon) override { ++shown; }
    int shown = 0;
};

// What lasts for the whole run: the fonts, a Datas folder for the file and an in-memory
// catalogue with the viewer's tables.
struct Session {
    FontTable Fonts;
    TemporaryFolder Datas;
    std::unique_ptr<Catalogue> Database;

    Session() {
        StartGuiApplication();
        Fonts = CreateFontTable();
        std::string error;
        Database = Catalogue::Open(":memory:", error);
        FuzzCheck(Database != nullptr, "an in-memory catalogue opens");
        Execute(
            "CREATE TABLE [Orbites] ([Index] INTEGER, [Name] TEXT);"
            "INSERT INTO [Orbites] VALUES (1, 'Main-belt Asteroid');"
            "CREATE TABLE [AllStars] ([SpkId] INTEGER, [Name] TEXT, [OrbiteType] INTEGER, "
            "[OrbiteTypeNeo] INTEGER, [OrbiteTypePha] INTEGER, [DatasForIt] INTEGER, "
            "[Eccentricity] REAL, [SemiMajorAxis] REAL, [PerihelionDistance] REAL, "
            "[Inclination] REAL, [AscendingNodeLongitude] REAL, [ArgumentPerihelion] REAL, "
            "[MeanAnomaly] REAL, [OrbitalPeriod] REAL, [MeanMotion] REAL, "
            "[ApelionDistance] REAL, [EarthMOID] REAL, [AbsoluteMagnitude] REAL, "
            "[Diameter] REAL, [RotationPeriod] REAL, [GeometricAlbedo] REAL, "
            "[TimePerihelionPassage] REAL)");
    }
    void Execute(const char* sql) const {
        FuzzCheck(sqlite3_exec(Database->Handle(), sql, nullptr, nullptr, nullptr) == SQLITE_OK,
                  "the catalogue statement runs");
    }

    // The catalogue then holds one row for `id` with `values`, or none.
    void PutRow(bool hasRow, SpkId id, const StarInfoRow& values, double passage) const {
        Execute("DELETE FROM [AllStars]");
        if (!hasRow) {
            return;
        }
        sqlite3_stmt* insert = nullptr;
        FuzzCheck(sqlite3_prepare_v2(Database->Handle(),
                                     "INSERT INTO [AllStars] VALUES (?1, 'Ceres', 1, 0, 0, 1, ?2, "
                                     "?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, "
                                     "0.09, ?16)",
                                     -1, &insert, nullptr) == SQLITE_OK,
                  "the row's statement prepares");
        sqlite3_bind_int64(insert, 1, id);
        const double row[] = {values.Eccentricity,
                              values.SemiMajorAxis,
                              values.PerihelionDistance,
                              values.Inclination,
                              values.AscendingNodeLongitude,
                              values.ArgumentPerihelion,
                              values.MeanAnomaly,
                              values.OrbitalPeriod,
                              values.MeanMotion,
                              values.ApelionDistance,
                              values.EarthMOID,
                              values.AbsoluteMagnitude,
                              values.Diameter,
                              values.RotationPeriod,
                              passage};
        for (int i = 0; i < static_cast<int>(std::size(row)); ++i) {
            sqlite3_bind_double(insert, 2 + i, row[i]);
        }
        FuzzCheck(sqlite3_step(insert) == SQLITE_DONE, "the row is written");
        sqlite3_finalize(insert);
    }
};

Session* session = nullptr;

bool Inside(const StarFile& star, const std::byte* at) {
    return at >= star.Data() && at <= star.Data() + star.Size();
}

// Whether every edge row and column of `image` holds a pixel of another colour than
// `background`: the image is the smallest rectangle around what differs from it.
bool IsTightCrop(const QImage& image, QRgb background) {
    const auto differs = [&](int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) != background; };
    const auto rowDiffers = [&](int y) {
        for (int x = 0; x < image.width(); ++x) {
            if (differs(x, y)) {
                return true;
            }
        }
        return false;
    };
    const auto columnDiffers = [&](int x) {
        for (int y = 0; y < image.height(); ++y) {
            if (differs(x, y)) {
                return true;
            }
        }
        return false;
    };
    return !image.isNull() && rowDiffers(0) && rowDiffers(image.height() - 1) && columnDiffers(0) &&
           columnDiffers(image.width() - 1);
}

// `image`: what a render gave; `failureShown`: whether it showed its failure message.
void CheckChart(ChartKind kind, const std::optional<QImage>& image, bool failureShown,
                const ChartColours& colours) {
    FuzzCheck(image.has_value() != failureShown, "a render without an image says so, once");
    if (!image) {
        return;
    }
    switch (kind) {
        case ChartKind::View:
            FuzzCheck(image->size() == kViewCanvas, "the View chart is its whole canvas");
            break;
        case ChartKind::Years:
            FuzzCheck(
                image->width() <= kWideCanvas.width() && image->height() <= kWideCanvas.height(),
                "the Years chart lies inside its canvas");
            break;
        case ChartKind::Constellations:
        case ChartKind::Perihelion:
        case ChartKind::Travel:
            FuzzCheck(image->width() <= kWideCanvas.width() &&
                          image->height() <= kWideCanvas.height() &&
                          IsTightCrop(*image, RgbFromColorRef(colours.Background) & 0xFFFFFF),
                      "an auto-cropped chart is cut tight around what was drawn");
            break;
    }
}

// `paint` run as a view scrolled to each of `corners` paints: into a small window, clipped to it.
template <typename Paint>
void PaintWindows(const std::vector<QPoint>& corners, Paint paint) {
    QImage window(kWindow, kWindow, QImage::Format_RGB32);
    for (const QPoint& corner : corners) {
        QPainter painter(&window);
        painter.setClipRect(window.rect());
        painter.translate(-corner);
        paint(painter);
    }
}

// The Orbits page: no catalogue row can ask for a canvas wider than the widest orbit or twice
// the title, the drawing lies inside the canvas, and so does the crop.
void RefreshOrbits(const DiagramInputs& inputs) {
    const std::optional<OrbitsScene> scene = DescribeOrbits(inputs);
    if (!scene) {
        return;
    }
    const int titleWidth =
        QFontMetrics(inputs.Fonts->TitleFont.Font).horizontalAdvance(scene->Title);
    FuzzCheck(scene->Canvas.width() <= std::max(OrbitsDiagram::kMaxOrbitWidth, 2 * titleWidth) &&
                  scene->Canvas.height() == scene->Canvas.width() + 40,
              "the Orbits canvas is no wider than the widest orbit or twice the title");
    const QRect bounds = OrbitsContentBounds(*scene);
    FuzzCheck(QRect(QPoint(0, 0), scene->Canvas).contains(bounds) || bounds.isEmpty(),
              "the Orbits drawing lies inside its canvas");
    const QPoint half(kWindow / 2, kWindow / 2);
    const auto paint = [&](QPainter& painter) { PaintOrbits(painter, *scene); };
    // The orbit as drawn: a negative semi-major axis leaves it wider than its canvas.
    const qint64 orbitWidth = scene->Drawing ? static_cast<qint64>(scene->Drawing->Orbit.Right) -
                                                   scene->Drawing->Orbit.Left
                                             : 0;
    if (std::max<qint64>(bounds.width(), orbitWidth) > kWidestCroppedOrbits) {
        PaintWindows({bounds.topLeft(), QPoint(bounds.right(), bounds.top()) - half,
                      bounds.center() - half, bounds.bottomRight() - half},
                     paint);
        return;
    }
    if (static_cast<qint64>(bounds.width()) * bounds.height() <= kLargestWholeOrbits) {
        // The render finds the crop itself; its image is the crop.
        const std::optional<QImage> image = RenderOrbits(*scene);
        FuzzCheck(
            !image || (image->width() <= bounds.width() && image->height() <= bounds.height() &&
                       IsTightCrop(*image, RgbFromColorRef(inputs.Colours.Background) & 0xFFFFFF)),
            "the Orbits image is its crop, cut tight around what was drawn");
        return;
    }
    const std::optional<QRect> crop = OrbitsCropRect(*scene);
    if (!crop) {
        return;
    }
    FuzzCheck(bounds.contains(*crop), "the Orbits crop lies inside what is drawn");
    PaintWindows({crop->topLeft(), crop->topRight() - half, crop->bottomLeft() - half,
                  crop->center() - half},
                 paint);
}

// The Star Orbit page: a window at the label of the orbit drawn last (the star's, when it has
// one), which stands on that orbit. The planets' orbits are the same for every input, the title
// is drawn as the Orbits page draws its own, and each window strokes all ten orbits.
void RefreshStarOrbit(const DiagramInputs& inputs) {
    const std::optional<StarOrbitScene> scene = DescribeStarOrbit(inputs);
    if (!scene) {
        return;
    }
    QPoint corner(0, 0);
    if (!scene->Drawing.Ellipses.empty()) {
        corner = scene->Drawing.Ellipses.back().LabelOrigin - QPoint(kWindow / 2, kWindow / 2);
    }
    PaintWindows({corner}, [&](QPainter& painter) { PaintStarOrbit(painter, *scene); });
}

void CheckInformationRows(const std::vector<InformationRow>& rows) {
    FuzzCheck(rows.size() == kInformationRowCount, "the information panel has its 31 rows");
    for (const InformationRow& row : rows) {
        FuzzCheck(!row.Value.empty() && row.Value.size() <= kInformationValueLength,
                  "every value text fits its 256-byte text");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static Session theSession;
    session = &theSession;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Choices choices = ReadChoices(data, size);
    const std::uint8_t* file = data + std::min(size, kChoicesSize);
    const std::size_t fileSize = size - std::min(size, kChoicesSize);

    // The file is chosen under its own SPK-ID, as the star selector finds it, and the star's
    // catalogue row carries it too; the row is put in place before the load, whose refresh
    // fills the panel.
    SpkId headerId = 0;
    if (fileSize >= StarFileLayout::kHeaderSize) {
        headerId =
            LittleEndian::U32(reinterpret_cast<const std::byte*>(file) + StarFileLayout::kSpkId);
    }
    const std::string path = StarFilePath(session->Datas.Path(), headerId);
    WriteWholeFile(path, file, fileSize);
    session->PutRow(choices.HasRow, headerId, choices.ValuesFromInput ? choices.Values : kCeres,
                    choices.ValuesFromInput ? choices.Passage : kFixedPassage);

    CurrentStar current(session->Datas.Path());
    current.SetRefreshHook([](const StarFile& star) {
        CheckInformationRows(InformationRows(*session->Database, star.Header().Id));
    });
    const StarFile* star = current.MakeCurrentStar(headerId);
    std::filesystem::remove(path);
    if (star == nullptr) {
        return 0;
    }
    FuzzCheck(star->Size() == fileSize, "the whole file is loaded");

    if (choices.Year != 0) {
        current.SeekYear(choices.Year);
    }
    FuzzCheck(Inside(*star, current.Cursor().Position()), "the Cursor lies inside the file");

    FontTable& fonts = session->Fonts;
    const ChartColours colours = choices.ExportColours ? kExportColours : kScreenColours;
    const ChartTitleInputs title{kSelectedStarName, choices.Year};
    PlotExtents extents;
    CountedMessages messages;
    const DiagramInputs diagramInputs{&fonts, session->Database.get(), &star->Header(), title,
                                      colours};

    ChartPreparationTargets targets;
    targets.RefreshOrbitsPane = [&] { RefreshOrbits(diagramInputs); };
    targets.RefreshStarOrbitPane = [&] { RefreshStarOrbit(diagramInputs); };
    targets.RefreshChart = [&](ChartKind kind, const FrameTrack& track, const QString& caption) {
        if ((choices.FrameGroups & (1u << static_cast<unsigned>(track.Frame))) == 0) {
            return;
        }
        const RenderInputs inputs = MakeRenderInputs(
            ChartContext{&fonts, title, &current, &extents, &messages, choices.Client}, track,
            caption, colours);
        const auto render = [&](const PerihelionPassage& passage) {
            const int shown = messages.shown;
            const std::optional<QImage> image = RenderChart(kind, inputs, passage);
            FuzzCheck(messages.shown <= shown + 1, "a render shows at most one message");
            CheckChart(kind, image, messages.shown == shown + 1, colours);
        };
        if (kind != ChartKind::Perihelion) {
            render({});
            return;
        }
        render({kFixedPassage, kFixedPeriod});
        if (const std::optional<PerihelionRow> row =
                QueryPerihelion(*session->Database, star->Header().Id)) {
            render({row->TimePerihelionPassage, row->OrbitalPeriod});
        }
    };
    PrepareCharts(current, targets);
    return 0;
}
