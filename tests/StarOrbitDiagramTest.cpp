// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <limits>

#include "diagrams/StarOrbitDiagram.h"
#include "gui/DiagramPages.h"
#include "tests/DiagramFixture.h"

namespace {

using namespace StarOrbitDiagram;

constexpr SpkId kCeres = 2000001;

OrbitElementsLookup RowLookup(double e, double a) {
    OrbitElementsRow row;
    row.Eccentricity = e;
    row.SemiMajorAxis = a;
    return {true, row};
}

QRgb Rgb(std::uint32_t colorRef) {
    return RgbFromColorRef(colorRef) & RGB_MASK;
}

bool HasColour(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & RGB_MASK) == colour)
                return true;
    return false;
}

// Whether a pixel of `area` shows `colour` over black at some coverage: text is drawn with
// grey-level antialiasing, so a small font may have no fully covered pixel.
bool HasShadeOf(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int strongest = std::max({qRed(colour), qGreen(colour), qBlue(colour)});
            const int seen = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (seen < 64)
                continue;
            const double cover = static_cast<double>(seen) / strongest;
            if (std::abs(qRed(pixel) - qRed(colour) * cover) <= 3 &&
                std::abs(qGreen(pixel) - qGreen(colour) * cover) <= 3 &&
                std::abs(qBlue(pixel) - qBlue(colour) * cover) <= 3) {
                return true;
            }
        }
    }
    return false;
}

struct StarOrbitTest : DiagramFixture {
    StarOrbitTest() { WriteStars({OrbitStar(kCeres, "Ceres", 0.0785, 2.766)}); }
};

}  // namespace

TEST(StarOrbitGeometry, PlanetsAndSunGetTheirBoxesPensAndLabelEndsOnTheCentreRow) {
    EXPECT_EQ(StarOrbitCentre(), QPoint(3007, 2986));
    const StarOrbitDrawing drawing = DrawStarOrbits(RowLookup(0.5, 1.0), "Star", 0xFFFFFF);
    struct Expected {
        const char* label;
        EllipseBox box;
        std::uint32_t pen;
        bool labelAtRight;
    };
    const Expected expected[] = {
        {"Neptune", {0, 0, 6014, 5972}, 0x0000FF, false},
        {"Uranus", {1088, 1089, 4925, 4882}, 0x00FF00, false},
        {"Saturn", {2049, 2049, 3965, 3922}, 0x00FFFF, false},
        {"Mars", {2855, 2854, 3159, 3117}, 0xFF0000, false},
        {"Earth", {2907, 2906, 3107, 3065}, 0xFF00FF, false},
        {"Venus", {2935, 2934, 3079, 3038}, 0xFFFF00, false},
        {"Mercury", {2968, 2968, 3045, 3003}, 0x004080, true},
        {"Jupiter", {2487, 2486, 3527, 3485}, 0xFF0080, false},
        // Half of Mercury's axes: a flat box, its top below its bottom.
        {"Sun", {2988, 2987, 3026, 2984}, 0x00FFFF, false},
        // a = 1, b = 0.866: w = 200, h = 173, half-axes 100 and 66.5.
        {"Star", {2907, 2919, 3107, 3052}, 0x0080FF, true},
    };
    ASSERT_EQ(drawing.Ellipses.size(), std::size(expected));
    for (std::size_t i = 0; i < drawing.Ellipses.size(); ++i) {
        const StarOrbitEllipse& orbit = drawing.Ellipses[i];
        SCOPED_TRACE(expected[i].label);
        EXPECT_EQ(orbit.Label, expected[i].label);
        EXPECT_EQ(orbit.Box, expected[i].box);
        EXPECT_EQ(orbit.Pen, expected[i].pen);
        const int end = expected[i].labelAtRight ? expected[i].box.Right : expected[i].box.Left;
        EXPECT_EQ(orbit.LabelOrigin, QPoint(end, 2986));
    }
    EXPECT_EQ(drawing.TextColour, 0x0099FFu);
}

TEST(StarOrbitGeometry, ANegativeAxisIsDrawnWithItsAbsoluteValue) {
    const StarOrbitDrawing positive = DrawStarOrbits(RowLookup(0.3, 2.5), "S", 0);
    const StarOrbitDrawing negative = DrawStarOrbits(RowLookup(0.3, -2.5), "S", 0);
    ASSERT_EQ(negative.Ellipses.size(), 10u);
    EXPECT_EQ(negative.Ellipses.back().Box, positive.Ellipses.back().Box);
}

TEST(StarOrbitGeometry, AnOpenOrbitDrawsThePlanetsAndTheSunButNoStar) {
    for (double e : {1.0, 1.2, std::nan("")}) {
        const StarOrbitDrawing drawing = DrawStarOrbits(RowLookup(e, 3.0), "Comet", 0xFFFFFF);
        ASSERT_EQ(drawing.Ellipses.size(), 9u) << e;
        EXPECT_EQ(drawing.Ellipses.back().Label, "Sun");
        EXPECT_EQ(drawing.TextColour, 0x0099FFu);
    }
    EXPECT_EQ(DrawStarOrbits(RowLookup(0.5, std::numeric_limits<double>::infinity()), "S", 0)
                  .Ellipses.size(),
              9u);
}

TEST(StarOrbitGeometry, TheTitleColourFollowsWhatTheDrawingStepDid) {
    // The statement cannot be prepared: nothing drawn, a white title.
    StarOrbitDrawing drawing = DrawStarOrbits({false, std::nullopt}, "S", 0x123456);
    EXPECT_TRUE(drawing.Ellipses.empty());
    EXPECT_EQ(drawing.TextColour, 0xFFFFFFu);
    // No row: nothing drawn, the title in the colour given to the render.
    drawing = DrawStarOrbits({true, std::nullopt}, "S", 0x123456);
    EXPECT_TRUE(drawing.Ellipses.empty());
    EXPECT_EQ(drawing.TextColour, 0x123456u);
    // A row: the title follows the labels' colour.
    EXPECT_EQ(DrawStarOrbits(RowLookup(0.1, 2), "S", 0x123456).TextColour, 0x0099FFu);
}

TEST(StarOrbitGeometry, AHugeAxisCannotOverflowTheBox) {
    const StarOrbitDrawing drawing = DrawStarOrbits(RowLookup(0.999999, 1e12), "Far", 0);
    ASSERT_EQ(drawing.Ellipses.size(), 10u);
    const EllipseBox box = drawing.Ellipses.back().Box;
    EXPECT_LT(box.Left, -1000000);
    EXPECT_GT(box.Right, 1000000);
    EXPECT_LT(box.Left, box.Right);
}

TEST_F(StarOrbitTest, TheImageIsAlwaysSixThousandByAndShowsTheOrbitsAndTitle) {
    const std::optional<QImage> image = RenderStarOrbit(Inputs(kCeres, "Ceres"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(6000, 6040));
    // Neptune's left edge, just above its label: the two-pixel pen lies inside the box.
    EXPECT_EQ(image->pixel(0, 2980) & RGB_MASK, Rgb(0x0000FF));
    EXPECT_EQ(image->pixel(1, 2980) & RGB_MASK, Rgb(0x0000FF));
    EXPECT_EQ(image->pixel(2, 2980) & RGB_MASK, 0u);
    // The Sun's flat box covers rows 2984 to 2986 only.
    const QRgb yellow = Rgb(0x00FFFF);
    EXPECT_TRUE(HasColour(*image, QRect(2995, 2984, 20, 1), yellow));
    EXPECT_FALSE(HasColour(*image, QRect(2980, 2983, 50, 1), yellow));
    EXPECT_FALSE(HasColour(*image, QRect(2980, 2987, 50, 1), yellow));
    // The star's orbit (a = 2.766: box 2731 .. 3283) in its own pen, its label after it.
    EXPECT_TRUE(HasColour(*image, QRect(2729, 2980, 4, 12), Rgb(0x0080FF)));
    EXPECT_TRUE(HasShadeOf(*image, QRect(3283, 2960, 60, 40), Rgb(0x0099FF)));
    // The title, written last, in the labels' colour.
    EXPECT_TRUE(HasColour(*image, QRect(16, 16, 300, 20), Rgb(0x0099FF)));
    EXPECT_FALSE(HasColour(*image, QRect(16, 16, 300, 20), Rgb(0xFFFFFF)));

    // A star beyond Neptune is clipped; the image keeps its size.
    WriteStars({OrbitStar(kCeres, "Ceres", 0.1, 45)});
    const std::optional<QImage> wide = RenderStarOrbit(Inputs(kCeres, "Ceres"));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->size(), QSize(6000, 6040));
}

TEST_F(StarOrbitTest, TheTitleNamesTheStarAndTheFilesYearsAlsoAfterAYearChoice) {
    DiagramInputs inputs = Inputs(kCeres, "Ceres");
    inputs.Title.SelectedYear = 2010;
    const std::optional<StarOrbitScene> scene = DescribeStarOrbit(inputs);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->Title, "{2000001} - Ceres - Star Orbite - Years from 2000 to 2019");
    EXPECT_EQ(scene->Id, kCeres);
    EXPECT_EQ(scene->Drawing.Ellipses.back().Label, "Ceres");
}

TEST_F(StarOrbitTest, NothingWithoutASelectedStarOrACatalogueRow) {
    DiagramInputs inputs = Inputs(kCeres, "Ceres");
    inputs.Title.SelectedStarName.reset();
    EXPECT_FALSE(DescribeStarOrbit(inputs));
    EXPECT_FALSE(DescribeStarOrbit(Inputs(2000002, "Pallas")));
}

TEST_F(StarOrbitTest, AnUndrawnSceneShowsOnlyTheBackgroundAndTheTitle) {
    std::optional<StarOrbitScene> scene = DescribeStarOrbit(Inputs(kCeres, "Ceres"));
    ASSERT_TRUE(scene);
    scene->Drawing = DrawStarOrbits({true, std::nullopt}, "Ceres", 0xFFFFFF);
    const std::optional<QImage> image = RenderStarOrbit(*scene);
    ASSERT_TRUE(image);
    EXPECT_TRUE(HasColour(*image, QRect(16, 16, 300, 20), Rgb(0xFFFFFF)));
    // Below the title every pixel is background.
    int drawn = 0;
    for (int y = 60; y < image->height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image->constScanLine(y));
        drawn += static_cast<int>(std::count_if(
            line, line + image->width(), [](QRgb pixel) { return (pixel & RGB_MASK) != 0; }));
    }
    EXPECT_EQ(drawn, 0);
}

TEST_F(StarOrbitTest, ThePageShowsTheVisiblePartAsTheImageHasItAndKeepsItWithoutARow) {
    DiagramPage* page = CreateStarOrbitPage(nullptr);
    std::unique_ptr<DiagramPage> owner(page);
    EXPECT_EQ(page->objectName(), "NVR_STAR_ORBIT");
    page->resize(700, 500);
    page->show();
    ASSERT_TRUE(RefreshStarOrbitPane(*page, Inputs(kCeres, "Ceres")));
    EXPECT_EQ(page->ShownStar(), kCeres);
    EXPECT_EQ(page->PictureSize(), QSize(6000, 6040));
    // It opens with the Sun in the middle of the view.
    const QPoint middle(page->viewport()->width() / 2, page->viewport()->height() / 2);
    EXPECT_EQ(
        QPoint(page->horizontalScrollBar()->value(), page->verticalScrollBar()->value()) + middle,
        StarOrbitCentre());

    const std::optional<QImage> full = RenderStarOrbit(Inputs(kCeres, "Ceres"));
    ASSERT_TRUE(full);
    for (QPoint wanted : {QPoint(0, 0), QPoint(2700, 2800), QPoint(6000, 6040)}) {
        page->horizontalScrollBar()->setValue(wanted.x());
        page->verticalScrollBar()->setValue(wanted.y());
        const QPoint scroll(page->horizontalScrollBar()->value(),
                            page->verticalScrollBar()->value());
        const QImage shown =
            page->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected = full->copy(QRect(scroll, shown.size()));
        EXPECT_TRUE(shown == expected) << scroll.x() << "," << scroll.y();
    }

    // A star without a catalogue row leaves the previous picture.
    EXPECT_FALSE(RefreshStarOrbitPane(*page, Inputs(2000002, "Pallas")));
    EXPECT_EQ(page->ShownStar(), kCeres);
}
