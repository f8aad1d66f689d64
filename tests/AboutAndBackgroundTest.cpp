// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "cli/Startup.h"
#include "drawing/Imaging.h"
#include "gui/AboutBox.h"
#include "gui/BackgroundPicture.h"
#include "gui/InformationPanel.h"
#include "gui/MainWindow.h"
#include "tests/support/RecordedMessages.h"
#include "tests/support/TestData.h"

using TestData::TempFolder;

namespace {

// A JPEG whose left half is `left` and right half `right`.
void WritePicture(const std::string& path, QColor left, QColor right) {
    QImage image(64, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 32, 32, left);
    painter.fillRect(32, 0, 32, 32, right);
    painter.end();
    ASSERT_EQ(
        Imaging::SaveJpeg(QString::fromStdString(path), image, Imaging::ChartImageSaveParams()), 0);
}

bool Near(QColor seen, QColor expected) {
    return std::abs(seen.red() - expected.red()) < 40 &&
           std::abs(seen.green() - expected.green()) < 40 &&
           std::abs(seen.blue() - expected.blue()) < 40;
}

struct BackgroundTest : ::testing::Test {
    std::filesystem::path working = std::filesystem::current_path();
    TempFolder folder;
    RecordedMessages messages;
    std::unique_ptr<Session> session;
    void SetUp() override {
        TestData::MakeProgramFolder(folder.Path(), {{0, "All stars"}}, {}, {});
        std::filesystem::create_directories(folder / "Configuration");
        session = Startup(folder.Path(), messages).session;
        ASSERT_TRUE(session);
    }
    void TearDown() override { std::filesystem::current_path(working); }
    std::string Picture(const char* name) {
        return folder / ("Configuration/" + std::string(name));
    }
};

}  // namespace

TEST_F(BackgroundTest, ThePictureIsStretchedOverTheWholeAreaWhateverItsAspect) {
    WritePicture(Picture("Background.jpg"), Qt::red, Qt::blue);
    BackgroundPicture picture(QString::fromStdString(Picture("Background.jpg")));
    QImage area(1000, 40, QImage::Format_RGB32);
    area.fill(Qt::black);
    QPainter painter(&area);
    picture.Paint(painter, area.rect());
    painter.end();
    EXPECT_TRUE(Near(area.pixelColor(10, 5), Qt::red));
    EXPECT_TRUE(Near(area.pixelColor(480, 35), Qt::red));
    EXPECT_TRUE(Near(area.pixelColor(520, 5), Qt::blue));
    EXPECT_TRUE(Near(area.pixelColor(999, 39), Qt::blue));

    // A picture replaced on disk shows at the next paint.
    std::filesystem::remove(Picture("Background.jpg"));
    WritePicture(Picture("Background.jpg"), Qt::green, Qt::green);
    std::filesystem::last_write_time(
        Picture("Background.jpg"),
        std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    QPainter again(&area);
    picture.Paint(again, area.rect());
    again.end();
    EXPECT_TRUE(Near(area.pixelColor(10, 5), Qt::green));
}

TEST_F(BackgroundTest, APhotographTooLargeToDecodeWholeIsDecodedAtTheSizeItIsDrawn) {
    // A camera photograph passes the decoder's memory limit (128 MB, 6000 x 6000 pixels and
    // more); the same here with a limit of 1 MB and a picture of 1200 x 800 pixels (3.7 MB).
    QImage photograph(1200, 800, QImage::Format_RGB32);
    photograph.fill(Qt::red);
    QPainter(&photograph).fillRect(600, 0, 600, 800, Qt::blue);
    ASSERT_EQ(Imaging::SaveJpeg(QString::fromStdString(Picture("Background.jpg")), photograph,
                                Imaging::ChartImageSaveParams()),
              0);
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    Imaging::LoadedImage whole;
    EXPECT_NE(Imaging::LoadJpeg(QString::fromStdString(Picture("Background.jpg")), whole), 0);
    Imaging::LoadedImage covering;
    EXPECT_EQ(Imaging::LoadJpeg(QString::fromStdString(Picture("Background.jpg")), covering,
                                QSize(140, 40)),
              0);
    EXPECT_EQ(covering.Image.size(), QSize(150, 100));  // 1/8: still covers 140 x 40
    EXPECT_EQ(QSize(covering.Width, covering.Height), QSize(1200, 800));

    BackgroundPicture picture(QString::fromStdString(Picture("Background.jpg")));
    QImage area(300, 40, QImage::Format_RGB32);
    area.fill(Qt::black);
    QPainter painter(&area);
    picture.Paint(painter, area.rect());
    painter.end();
    QImageReader::setAllocationLimit(limit);
    EXPECT_TRUE(Near(area.pixelColor(10, 20), Qt::red));
    EXPECT_TRUE(Near(area.pixelColor(290, 20), Qt::blue));
}

TEST_F(BackgroundTest, AMissingOrDamagedPictureLeavesThePlainBlackBackground) {
    MainWindow window(*session, messages);
    window.resize(1200, 700);
    window.show();
    QApplication::processEvents();
    const auto toolbarCorner = [&] {
        return window.Toolbar()->grab().toImage().pixelColor(window.Toolbar()->width() - 3, 3);
    };
    EXPECT_EQ(toolbarCorner(), QColor(Qt::black));
    std::ofstream(Picture("Background.jpg")) << "not a picture";
    window.Toolbar()->update();
    EXPECT_EQ(toolbarCorner(), QColor(Qt::black));
    WritePicture(Picture("Background.jpg"), Qt::white, Qt::white);
    EXPECT_TRUE(Near(toolbarCorner(), Qt::white));
}

TEST_F(BackgroundTest, TheInfosPageKeepsABandOfItsPictureAroundTheList) {
    WritePicture(Picture("Background.jpg"), Qt::yellow, Qt::yellow);
    MainWindow window(*session, messages);
    window.resize(1100, 800);
    window.show();
    window.Tabs()->setCurrentIndex(10);
    QApplication::processEvents();
    QWidget* page = window.Page(10);
    for (QSize size : {QSize(1100, 800), QSize(900, 640)}) {
        window.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(window.InfoPanel()->geometry(),
                  QRect(16, 16, page->width() - 32, page->height() - 32));
    }
    const QImage shown = page->grab().toImage();
    EXPECT_TRUE(Near(shown.pixelColor(5, 5), Qt::yellow));
    EXPECT_TRUE(Near(shown.pixelColor(page->width() - 5, page->height() - 5), Qt::yellow));
    // The list's header keeps the desktop's colour right of its last column.
    QHeaderView* header = window.InfoPanel()->horizontalHeader();
    const QImage strip = header->grab().toImage();
    EXPECT_EQ(strip.pixelColor(header->width() - 3, header->height() / 2),
              QApplication::palette().color(QPalette::Button));
}

TEST_F(BackgroundTest, TheAboutBoxShowsItsThreeWhiteLinesAndClosesByKey) {
    AboutBox about(nullptr, QString::fromStdString(folder / "Configuration"));
    EXPECT_EQ(about.windowTitle(), "About Nivra - Tarnlight");
    const QPoint size = about.UnitsToPixels(218, 150);
    EXPECT_EQ(about.size(), QSize(size.x(), size.y()));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        texts << label->text();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
        const QPoint width = about.UnitsToPixels(208, 8);
        EXPECT_EQ(label->width(), width.x());
    }
    EXPECT_EQ(texts, QStringList({"Nivra - Tarnlight", "Version 1.1.2", "Orbits Stars Viewer"}));
    EXPECT_EQ(about.findChildren<QAbstractButton*>().size(), 0);
    // A title and a close button only, as the dialog has them (the hints customise the frame).
    EXPECT_TRUE(about.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(about.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTimer::singleShot(0, &about, [&] {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(&about, &press);
        });
        about.exec();  // returns only when the key closed the box
        EXPECT_FALSE(about.isVisible());
    }
}

TEST_F(BackgroundTest, TheAboutCommandOpensTheBoxModallyOverTheWindow) {
    MainWindow window(*session, messages);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        opened = box != nullptr && box->parentWidget() == &window;
        if (box != nullptr)
            box->close();
    });
    window.Command(MenuCommand::kAbout);
    EXPECT_TRUE(opened);
}
