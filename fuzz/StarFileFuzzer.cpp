// Fuzzes everything the viewer does with a star's ephemeris file once a user chooses the star:
// the load, the header and link texts, the year seek, the chart preparation (the two diagrams,
// the five chart renders of each frame group chosen) and the information panel's values.
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
#include "gui/WebBrowser.h"

namespace {

// The star the toolbar has chosen: the file's name in the Datas folder.
constexpr SpkId kChosenStar = 2000001;
// The selected star's name as the toolbar shows it.
constexpr const char* kSelectedStarName = "Ceres";
// The fixed perihelion passage (Julian day) and orbital period (days) of one Perihelion render:
// Ceres's passage of 2018 and its period.
constexpr double kFixedPassage = 2458238.7;
constexpr double kFixedPeriod = 1680.5;
// Values of the catalogue row when the input does not give them: Ceres.
constexpr StarInfoRow kCeres{0.0785, 2.766,  2.549, 10.59, 80.27, 73.64, 291.4,
                             1680.5, 0.2142, 2.983, 1.58,  3.34,  939.4, 9.07};
// The Orbits diagram is made as a whole image (as Save and Export make it) up to this size;
// a larger one is painted in windows only, as its page shows it: a whole image of the largest
// orbit (8000 x 8040 pixels) takes longer than an input may.
constexpr qint64 kLargestWholeOrbits = 1'000'000;  // pixels
// The windows in which the diagram pages are painted, as a scrolled view shows them.
constexpr int kWindow = 96;  // pixels, square

// The choices block, little-endian:
//   0      flags: bit 0 the catalogue has a row for the star, bit 1 its values come from the
//          input (else Ceres's), bit 2 the charts and diagrams are drawn in the Export colours
//   1      the frame groups whose charts are drawn: bit 0 Astrometric, 1 Earth, 2 Galactic,
//          3 Geometric; none set: all four (the frames read different bytes of each record)
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
    choices.FrameGroups = static_cast<std::uint8_t>(block[1]) & 0x0F;
    if (choices.FrameGroups == 0) {
        choices.FrameGroups = 0x0F;
    }
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
    std::string Datas;
    std::unique_ptr<Catalogue> Database;

    Session() {
        StartGuiApplication();
        Fonts = CreateFontTable();
        std::string pattern = (std::filesystem::temp_directory_path() / "nivra-fuzz-XXXXXX");
        FuzzCheck(mkdtemp(pattern.data()) != nullptr, "a temporary Datas folder can be made");
        Datas = pattern;
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
    ~Session() { std::filesystem::remove_all(Datas); }

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

// The links as the Help menu opens them: each must lie whole inside the file, and the browser
// must get it as its one argument (cut to what the command line holds).
void OpenLinks(const StarFile& star) {
    const std::string browser = WebBrowser::RewritePlaceholder("firefox-esr %u");
    for (const StarLink which :
         {StarLink::Ephemeris, StarLink::OrbitDiagram, StarLink::PhysicalParameter}) {
        const std::optional<std::string_view> link = star.Link(which);
        if (!link) {
            continue;
        }
        const auto* begin = reinterpret_cast<const std::byte*>(link->data());
        FuzzCheck(Inside(star, begin) && begin + link->size() < star.Data() + star.Size() &&
                      begin[link->size()] == std::byte{0},
                  "a link text and its zero lie inside the file");
        const QString address = QString::fromUtf8(link->data(), link->size());
        const std::optional<WebBrowser::Launch> launch = WebBrowser::MakeLaunch(browser, address);
        const auto room = static_cast<qsizetype>(WebBrowser::kMaxCommandLine) -
                          static_cast<qsizetype>(browser.size() - 2);
        FuzzCheck(launch && launch->Program == "firefox-esr" && launch->Arguments.size() == 1 &&
                      launch->Arguments.front() == address.left(room),
                  "the browser gets the link as its one argument");
    }
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
// the title, and the crop lies inside the canvas.
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
    const std::optional<QRect> crop = OrbitsCropRect(*scene);
    if (!crop) {
        return;
    }
    FuzzCheck(QRect(QPoint(0, 0), scene->Canvas).contains(*crop),
              "the Orbits crop lies inside its canvas");
    if (static_cast<qint64>(crop->width()) * crop->height() <= kLargestWholeOrbits) {
        const std::optional<QImage> image = RenderOrbits(*scene);
        FuzzCheck(image && image->size() == crop->size() &&
                      IsTightCrop(*image, RgbFromColorRef(inputs.Colours.Background) & 0xFFFFFF),
                  "the Orbits image is its crop, cut tight around what was drawn");
        return;
    }
    const QPoint half(kWindow / 2, kWindow / 2);
    PaintWindows({crop->topLeft(), crop->topRight() - half, crop->bottomLeft() - half,
                  crop->center() - half},
                 [&](QPainter& painter) { PaintOrbits(painter, *scene); });
}

// The Star Orbit page: windows at the title and at every orbit's label and box corner.
void RefreshStarOrbit(const DiagramInputs& inputs) {
    const std::optional<StarOrbitScene> scene = DescribeStarOrbit(inputs);
    if (!scene) {
        return;
    }
    const QPoint half(kWindow / 2, kWindow / 2);
    std::vector<QPoint> corners = {QPoint(0, 0)};
    for (const StarOrbitEllipse& orbit : scene->Drawing.Ellipses) {
        corners.push_back(orbit.LabelOrigin - half);
        corners.push_back(QPoint(orbit.Box.Left, orbit.Box.Top) - half);
    }
    PaintWindows(corners, [&](QPainter& painter) { PaintStarOrbit(painter, *scene); });
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

    const std::string path = StarFilePath(session->Datas, kChosenStar);
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        FuzzCheck(out != nullptr, "the star's file can be written");
        FuzzCheck(std::fwrite(file, 1, fileSize, out) == fileSize, "the file is written whole");
        std::fclose(out);
    }

    // The star's catalogue row carries the SpkId of the file's header, as every lookup asks
    // for that one; it is put in place before the load, whose refresh fills the panel.
    SpkId headerId = 0;
    if (fileSize >= StarFileLayout::kHeaderSize) {
        headerId =
            LittleEndian::U32(reinterpret_cast<const std::byte*>(file) + StarFileLayout::kSpkId);
    }
    session->PutRow(choices.HasRow, headerId, choices.ValuesFromInput ? choices.Values : kCeres,
                    choices.ValuesFromInput ? choices.Passage : kFixedPassage);

    CurrentStar current(session->Datas);
    current.SetRefreshHook([](const StarFile& star) {
        CheckInformationRows(InformationRows(*session->Database, star.Header().Id));
    });
    const StarFile* star = current.MakeCurrentStar(kChosenStar);
    std::filesystem::remove(path);
    if (star == nullptr) {
        return 0;
    }
    FuzzCheck(star->Size() == fileSize, "the whole file is loaded");
    FuzzCheck(Inside(*star, star->FirstRecord().Position()), "the first record lies inside");

    OpenLinks(*star);

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
