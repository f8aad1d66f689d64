// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <filesystem>
#include <fstream>

#include "drawing/Imaging.h"
#include "tests/support/JpegMarkers.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

QImage Black(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & RGB_MASK) != (b.pixel(x, y) & RGB_MASK))
                return false;
    return true;
}

// The quantisation and Huffman tables of Annex K of the JPEG standard, which an optimised
// file does not use.
constexpr std::array<int, 16> kStandardLuminanceDcCounts = {0, 1, 5, 1, 1, 1, 1, 1,
                                                            1, 0, 0, 0, 0, 0, 0, 0};
constexpr std::array<int, 16> kStandardLuminanceAcCounts = {0, 2, 1, 3, 3, 2, 4, 3,
                                                            5, 5, 4, 4, 0, 0, 1, 0x7d};

}  // namespace

TEST(Imaging, InitialisesWithJpegSupport) {
    EXPECT_EQ(Imaging::LibraryInit(), 0);
}

TEST(Imaging, AutoCropKeepsTheSmallestRectangleOfDifferingPixels) {
    QImage image = Black(40, 30);
    image.setPixel(7, 4, qRgb(255, 255, 255));
    image.setPixel(31, 22, qRgb(1, 0, 0));  // zero tolerance: one step of red differs
    image.setPixel(12, 9, qRgb(0, 0, 200));
    std::optional<QImage> cropped = Imaging::AutoCrop(image, Qt::black);
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->size(), QSize(25, 19));
    EXPECT_TRUE(SamePixels(*cropped, image.copy(7, 4, 25, 19)));

    // The export look: black on white, cropped against white.
    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    white.setPixel(3, 8, qRgb(0, 0, 0));
    cropped = Imaging::AutoCrop(white, Qt::white);
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->size(), QSize(1, 1));
    EXPECT_EQ(cropped->pixel(0, 0) & RGB_MASK, 0u);
}

TEST(Imaging, AutoCropOfAnImageWithoutDifferingPixelsGivesNoImage) {
    EXPECT_FALSE(Imaging::AutoCrop(Black(16, 16), Qt::black));
    EXPECT_FALSE(Imaging::AutoCrop(QImage(), Qt::black));
    std::optional<QImage> whole = Imaging::AutoCrop(Black(5, 6), Qt::white);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), QSize(5, 6));
}

TEST(Imaging, CropTakesTheRectangleClippedToTheImage) {
    QImage image(20, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, y, qRgb(x * 10, y * 20, 7));
    std::optional<QImage> part = Imaging::Crop(image, QRect(3, 2, 5, 4));
    ASSERT_TRUE(part);
    EXPECT_TRUE(SamePixels(*part, image.copy(3, 2, 5, 4)));
    EXPECT_EQ(part->pixel(0, 0) & RGB_MASK, qRgb(30, 40, 7) & RGB_MASK);

    part = Imaging::Crop(image, QRect(15, 8, 100, 100));
    ASSERT_TRUE(part);
    EXPECT_EQ(part->size(), QSize(5, 2));

    EXPECT_FALSE(Imaging::Crop(image, QRect(20, 0, 5, 5)));
    EXPECT_FALSE(Imaging::Crop(image, QRect(2, 2, 0, 5)));
    EXPECT_FALSE(Imaging::Crop(image, QRect(-10, -10, 5, 5)));
}

TEST(Imaging, SavesProgressiveJpegAtQuality100WithOptimisedTables) {
    TempFolder folder;
    QImage image = Black(64, 48);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, 63, 47);
    painter.drawEllipse(10, 10, 30, 20);
    painter.end();
    const std::string path = folder / "chart.jpg";
    ASSERT_EQ(
        Imaging::SaveJpeg(QString::fromStdString(path), image, Imaging::ChartImageSaveParams()), 0);

    const JpegMarkers markers = ReadJpegMarkers(path);
    EXPECT_TRUE(markers.Valid);
    EXPECT_EQ(markers.FrameMarkers, std::vector<int>{0xC2});
    EXPECT_GT(markers.ScanCount, 1);
    ASSERT_FALSE(markers.QuantisationTables.empty());
    for (const auto& table : markers.QuantisationTables) {
        for (int value : table)
            EXPECT_EQ(value, 1);
    }
    ASSERT_FALSE(markers.HuffmanTables.empty());
    for (const auto& table : markers.HuffmanTables) {
        EXPECT_NE(table.Counts,
                  table.Class == 0 ? kStandardLuminanceDcCounts : kStandardLuminanceAcCounts);
    }

    Imaging::LoadedImage loaded;
    ASSERT_EQ(Imaging::LoadJpeg(QString::fromStdString(path), loaded), 0);
    EXPECT_EQ(loaded.Width, 64);
    EXPECT_EQ(loaded.Height, 48);
    EXPECT_EQ(loaded.Image.size(), QSize(64, 48));
}

TEST(Imaging, AFailedSaveReportsItAndLeavesTheOldFile) {
    TempFolder folder;
    EXPECT_NE(Imaging::SaveJpeg(QString::fromStdString(folder / "missing/chart.jpg"), Black(4, 4),
                                Imaging::ChartImageSaveParams()),
              0);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing/chart.jpg"));

    const std::string path = folder / "old.jpg";
    ASSERT_EQ(Imaging::SaveJpeg(QString::fromStdString(path), Black(8, 8),
                                Imaging::ChartImageSaveParams()),
              0);
    const auto size = std::filesystem::file_size(path);
    EXPECT_NE(
        Imaging::SaveJpeg(QString::fromStdString(path), QImage(), Imaging::ChartImageSaveParams()),
        0);
    EXPECT_EQ(std::filesystem::file_size(path), size);
}

TEST(Imaging, LoadingAMissingOrDamagedFileFails) {
    TempFolder folder;
    Imaging::LoadedImage loaded;
    EXPECT_NE(Imaging::LoadJpeg(QString::fromStdString(folder / "none.jpg"), loaded), 0);
    std::ofstream(folder / "bad.jpg") << "not a picture at all";
    EXPECT_NE(Imaging::LoadJpeg(QString::fromStdString(folder / "bad.jpg"), loaded), 0);
    EXPECT_EQ(loaded.Width, 0);
}
