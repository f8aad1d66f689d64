// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <limits>

#include "diagrams/OrbitsDiagram.h"
#include "drawing/Imaging.h"
#include "gui/DiagramPages.h"
#include "tests/DiagramFixture.h"

namespace {

using namespace OrbitsDiagram;

constexpr SpkId kStar = 2000433;

QRgb Rgb(std::uint32_t colorRef) {
    return RgbFromColorRef(colorRef) & RGB_MASK;
}

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & RGB_MASK;
}

// The scene painted on its whole canvas, without the crop.
QImage Canvas(const OrbitsScene& scene) {
    QImage canvas(scene.Canvas, QImage::Format_RGB32);
    QPainter painter(&canvas);
    PaintOrbits(painter, scene);
    painter.end();
    return canvas;
}

struct OrbitsTest : DiagramFixture {
    int TitleWidth(const QString& title) const {
        return QFontMetrics(fonts.TitleFont.Font).horizontalAdvance(title);
    }
    OrbitsScene Scene(const TestData::Star& star) {
        WriteStars({star});
        std::optional<OrbitsScene> scene = DescribeOrbits(Inputs(star.Id, star.Name));
        EXPECT_TRUE(scene);
        return scene.value_or(OrbitsScene{});
    }
};

}  // namespace

TEST(OrbitsGeometry, TheOrbitAxesAndDiscsFollowTheRow) {
    OrbitElementsRow row;
    row.Eccentricity = 0.5;
    row.SemiMajorAxis = 2;
    row.PerihelionDistance = 1;
    row.ApelionDistance = 3;
    // w = 400, b = 1.732 au so h = 346, m = 153.
    const std::optional<OrbitsDrawing> drawing = DrawOrbit(row, 200);
    ASSERT_TRUE(drawing);
    EXPECT_EQ(drawing->Orbit, (EllipseBox{0, 40, 400, 346}));
    EXPECT_EQ(drawing->MinorAxis, QLine(200, 40, 200, 346));
    EXPECT_EQ(drawing->MajorAxis, QLine(0, 193, 400, 193));
    EXPECT_EQ(drawing->Sun, (EllipseBox{80, 173, 120, 213}));
    EXPECT_EQ(drawing->AphelionDisc, (EllipseBox{85, 178, 115, 208}));

    // A negative axis is drawn with its absolute value.
    row.SemiMajorAxis = -2;
    EXPECT_EQ(DrawOrbit(row, 200)->Orbit, (EllipseBox{0, 40, 400, 346}));

    // An open orbit has no ellipse to draw.
    row.Eccentricity = 1;
    EXPECT_FALSE(DrawOrbit(row, 200));
    row.Eccentricity = 1.3;
    EXPECT_FALSE(DrawOrbit(row, 200));
}

TEST(OrbitsGeometry, TheScaleIsTwoHundredUpTo655AuThenFitsTheOrbitInTheWidestCanvas) {
    EXPECT_EQ(OrbitsPixelsPerAu(2.766), 200);
    EXPECT_EQ(OrbitsPixelsPerAu(-39.5), 200);
    EXPECT_EQ(OrbitsPixelsPerAu(67.9), 200);  // Eris and the other far bodies of the sample
    EXPECT_EQ(OrbitsPixelsPerAu(506), 200);   // Sedna
    EXPECT_EQ(OrbitsPixelsPerAu(655.36), 200);
    EXPECT_DOUBLE_EQ(OrbitsPixelsPerAu(700), 131072 / 700.0);
    EXPECT_DOUBLE_EQ(OrbitsPixelsPerAu(-8192), 16);
    EXPECT_EQ(OrbitsPixelsPerAu(std::numeric_limits<double>::infinity()), 200);

    OrbitElementsRow row;
    row.Eccentricity = 0.85;
    row.SemiMajorAxis = 5060;
    row.PerihelionDistance = 759;
    row.ApelionDistance = 9361;
    const std::optional<OrbitsDrawing> drawing = DrawOrbit(row, OrbitsPixelsPerAu(5060));
    ASSERT_TRUE(drawing);
    EXPECT_EQ(drawing->Orbit.Right, 131072);
    EXPECT_LT(drawing->Orbit.Bottom, 131072 + 40);
    EXPECT_NEAR(drawing->AphelionDisc.Left + 15, 131072 - 9361 * 131072 / 5060.0 / 2, 1);
}

TEST_F(OrbitsTest, TheSunIsARingAroundTheAphelionDiscWhenQIsTheAphelionDistance) {
    // q = a (1 - e), Q = a (1 + e): both discs are centred 100 a (1 - e) pixels from the left.
    const OrbitsScene scene = Scene(OrbitStar(kStar, "Eros", 0.2229, 1.458));
    ASSERT_TRUE(scene.Drawing);
    const QImage canvas = Canvas(scene);
    const QPoint sun = QRect(QPoint(scene.Drawing->Sun.Left, scene.Drawing->Sun.Top),
                             QPoint(scene.Drawing->Sun.Right, scene.Drawing->Sun.Bottom))
                           .center();
    EXPECT_EQ(At(canvas, sun.x(), sun.y()), Rgb(kAphelionBrush));
    EXPECT_EQ(At(canvas, sun.x() + 10, sun.y()), Rgb(kAphelionBrush));
    EXPECT_EQ(At(canvas, sun.x() + 17, sun.y() + 1), Rgb(kSunBrush));
    EXPECT_EQ(At(canvas, sun.x() - 17, sun.y() + 1), Rgb(kSunBrush));
    // The major axis runs from the left edge through the middle of the orbit's box.
    EXPECT_EQ(At(canvas, 0, scene.Drawing->MajorAxis.y1()), Rgb(kAxisPen));
    EXPECT_EQ(At(canvas, scene.Drawing->Orbit.Right / 2, 60), Rgb(kAxisPen));
}

TEST_F(OrbitsTest, TheImageIsTheCanvasCutToItsDrawingAndBeginsAtItsLeftmostPixel) {
    for (const TestData::Star& star :
         {OrbitStar(kStar, "Eros", 0.2229, 1.458), OrbitStar(kStar, "Hektor", 0.0238, 5.264),
          OrbitStar(kStar, "Backwards", 0.3, -4.0), OrbitStar(kStar, "Flat", 0.995, 6.0)}) {
        SCOPED_TRACE(star.Name);
        const OrbitsScene scene = Scene(star);
        const std::optional<QImage> image = RenderOrbits(scene);
        const std::optional<QImage> expected =
            Imaging::AutoCrop(Canvas(scene), ColourOf(scene.Colours.Background));
        ASSERT_TRUE(image && expected);
        EXPECT_TRUE(*image == *expected);
        if (!scene.Drawing)
            continue;
        // The major axis starts at the canvas's left edge, so nothing was cut on the left.
        bool leftColumnDrawn = false;
        for (int y = 0; y < image->height(); ++y)
            leftColumnDrawn = leftColumnDrawn || At(*image, 0, y) == Rgb(kAxisPen);
        EXPECT_TRUE(leftColumnDrawn);
    }
}

TEST_F(OrbitsTest, TheCanvasIsTheOrbitOrTwiceTheTitleWhicheverIsWider) {
    // a = 10 au: 2000 pixels, wider than twice the title.
    OrbitsScene scene = Scene(OrbitStar(kStar, "Wide", 0.1, 10));
    EXPECT_EQ(scene.Canvas, QSize(2000, 2040));
    EXPECT_EQ(scene.Title, "{2000433} - Wide - Orbites - Years from 2000 to 2019");
    // a = 1 au: the title is wider than half the canvas would be.
    scene = Scene(OrbitStar(kStar, "A star with a long name", 0.1, 1));
    const int twice = 2 * TitleWidth(scene.Title);
    ASSERT_GT(twice, 200);
    EXPECT_EQ(scene.Canvas, QSize(twice, twice + 40));
    std::optional<QImage> image = RenderOrbits(scene);
    ASSERT_TRUE(image);
    EXPECT_GT(image->width(), 200);  // the title, not the 200-pixel orbit, sets the width
    // A negative axis as stored: the canvas comes from the title, the orbit from |a|.
    scene = Scene(OrbitStar(kStar, "Backwards", 0.1, -10));
    EXPECT_EQ(scene.Canvas.width(), 2 * TitleWidth(scene.Title));
    ASSERT_TRUE(scene.Drawing);
    EXPECT_EQ(scene.Drawing->Orbit.Right, 2000);
}

TEST_F(OrbitsTest, AnOpenOrbitShowsTheTitleAlone) {
    const OrbitsScene scene = Scene(OrbitStar(kStar, "Comet", 1.05, -20));
    EXPECT_FALSE(scene.Drawing);
    EXPECT_EQ(scene.Canvas.width(), 2 * TitleWidth(scene.Title));
    const std::optional<QImage> image = RenderOrbits(scene);
    ASSERT_TRUE(image);
    EXPECT_LE(image->width(), TitleWidth(scene.Title) + 2);
    EXPECT_LE(image->height(), fonts.TitleFont.CellHeight + 2);
}

TEST_F(OrbitsTest, BeyondSixHundredAuTheOrbitIsScaledDownAndTheTitleSaysSo) {
    // Sedna at 506 au: the usual scale, 101,200 pixels wide; cropped in strips, never drawn whole.
    OrbitsScene scene = Scene(OrbitStar(kStar, "Sedna", 0.85, 506));
    EXPECT_EQ(scene.Canvas, QSize(101200, 101240));
    EXPECT_EQ(scene.Title, "{2000433} - Sedna - Orbites - Years from 2000 to 2019");
    std::optional<QRect> crop = OrbitsCropRect(scene);
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->left(), 0);
    EXPECT_EQ(crop->width(), 101200);

    // C/2004 R2 (ASAS) at 1.6 million au: as wide as the widest canvas, and the title gives the
    // scale to three significant digits.
    scene = Scene(OrbitStar(kStar, "C/2004 R2 (ASAS)", 0.99999993, 1.6e6));
    EXPECT_EQ(scene.Canvas, QSize(131072, 131112));
    EXPECT_EQ(scene.Title,
              "{2000433} - C/2004 R2 (ASAS) - Orbites - Years from 2000 to 2019 - "
              "1 au = 0.041 pixels");
    crop = OrbitsCropRect(scene);
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->width(), 131072);
}

TEST_F(OrbitsTest, NothingWithoutASelectedStarOrACatalogueRow) {
    WriteStars({OrbitStar(kStar, "Eros", 0.2229, 1.458)});
    DiagramInputs inputs = Inputs(kStar, "Eros");
    inputs.Title.SelectedStarName.reset();
    EXPECT_FALSE(RenderOrbits(inputs));
    EXPECT_FALSE(RenderOrbits(Inputs(2000001, "Ceres")));
}

TEST_F(OrbitsTest, ThePageShowsTheCroppedImageAndKeepsItWithoutARow) {
    WriteStars({OrbitStar(kStar, "Eros", 0.2229, 1.458)});
    std::unique_ptr<DiagramPage> page(CreateOrbitsPage(nullptr));
    EXPECT_EQ(page->objectName(), "NVR_ORBITES");
    page->resize(400, 300);
    // The title keeps the file's years whatever year is chosen.
    DiagramInputs inputs = Inputs(kStar, "Eros");
    inputs.Title.SelectedYear = 2012;
    inputs.Colours = kExportColours;  // the page always draws in the screen colours
    ASSERT_TRUE(RefreshOrbitsPane(*page, inputs));
    EXPECT_EQ(page->ShownStar(), kStar);
    inputs.Colours = kScreenColours;
    const std::optional<QImage> image = RenderOrbits(inputs);
    ASSERT_TRUE(image);
    EXPECT_EQ(page->PictureSize(), image->size());
    page->horizontalScrollBar()->setValue(100);
    const QPoint scroll(page->horizontalScrollBar()->value(), page->verticalScrollBar()->value());
    const QImage shown = page->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == image->copy(QRect(scroll, shown.size())));

    EXPECT_FALSE(RefreshOrbitsPane(*page, Inputs(2000001, "Ceres")));
    EXPECT_EQ(page->ShownStar(), kStar);
}

TEST(OrbitsGeometry, ALineToAPointDrawsEveryPixelButThatPoint) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    DrawLineTo(painter, QPoint(0, 5), QPoint(10, 5), Qt::white);
    DrawLineTo(painter, QPoint(3, 0), QPoint(3, 4), Qt::white);
    painter.end();
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(image.pixelColor(x, 5), QColor(Qt::white)) << x;
    EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::black));
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(image.pixelColor(3, y), QColor(Qt::white)) << y;
    EXPECT_EQ(image.pixelColor(3, 4), QColor(Qt::black));
}
