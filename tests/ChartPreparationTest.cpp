// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QStringList>
#include <filesystem>

#include "charts/ChartPreparation.h"
#include "tests/support/TestData.h"

using TestData::NvrFile;
using TestData::TempFolder;

namespace {

// Everything chart preparation asks for, in the order it was asked.
struct Recorder {
    QStringList events;
    std::vector<const std::byte*> points;

    ChartPreparationTargets Targets() {
        ChartPreparationTargets targets;
        targets.ShowStatus = [this](const QString& text) { events << "status " + text; };
        targets.RefreshOrbitsPane = [this] { events << "Orbits"; };
        targets.RefreshStarOrbitPane = [this] { events << "Star Orbite"; };
        targets.RefreshChart = [this](ChartKind, const FrameTrack& track, const QString& caption) {
            events << caption;
            points.push_back(track.FramePointAddress());
        };
        return targets;
    }
};

struct ChartPreparationTest : ::testing::Test {
    TempFolder folder;
    std::string datas = folder / "Datas";
    CurrentStar star{datas};
    ChartPreparationTest() {
        std::filesystem::create_directory(datas);
        NvrFile::Daily(2000001, 2001, 2002).Write(StarFilePath(datas, 2000001));
    }
};

}  // namespace

TEST_F(ChartPreparationTest, WithoutAStarNothingIsTouched) {
    Recorder recorder;
    PrepareCharts(star, recorder.Targets());
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST_F(ChartPreparationTest, DiagramsFirstThenEachFrameGroupInItsOrderThenReady) {
    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    Recorder recorder;
    PrepareCharts(star, recorder.Targets());
    const QStringList expected = {"status Preparing Star Orbit",
                                  "Orbits",
                                  "Star Orbite",
                                  "status Astrometric datas",
                                  "View Astrometric",
                                  "Travel Astrometric",
                                  "Constellations Astrometric",
                                  "Years Astrometric",
                                  "Perihelion Astrometric",
                                  "status Earth datas",
                                  "View Earth",
                                  "Travel Earth",
                                  "Constellations Earth",
                                  "Years Earth",
                                  "Perihelion Earth",
                                  "status Galactic datas",
                                  "View Galactic",
                                  "Travel Galactic",
                                  "Constellations Galactic",
                                  "Years Galactic",
                                  "Perihelion Galactic",
                                  "status Geometric datas",
                                  "View Geometric",
                                  "Travel Geometric",
                                  "Constellations Geometric",
                                  "Years Geometric",
                                  "Perihelion Geometric",
                                  "status Ready"};
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(ChartPreparationTest, EachGroupStartsAtItsFramePointInTheCursorRecord) {
    const StarFile* file = star.MakeCurrentStar(2000001);
    ASSERT_NE(file, nullptr);
    star.SeekYear(2002);
    const std::byte* cursor = star.Cursor().Position();
    ASSERT_EQ(cursor - file->FirstRecord().Position(), 365 * 88);

    Recorder recorder;
    PrepareCharts(star, recorder.Targets());
    ASSERT_EQ(recorder.points.size(), 20u);
    const std::ptrdiff_t offsets[] = {24, 72, 56, 40};  // Astrometric, Earth, Galactic, Geometric
    for (std::size_t chart = 0; chart < 20; ++chart)
        EXPECT_EQ(recorder.points[chart] - cursor, offsets[chart / 5]) << "chart " << chart;
}

TEST_F(ChartPreparationTest, MissingTargetsAreSkippedAndReadyStillComes) {
    ASSERT_NE(star.MakeCurrentStar(2000001), nullptr);
    QStringList statuses;
    ChartPreparationTargets targets;
    targets.ShowStatus = [&](const QString& text) { statuses << text; };
    PrepareCharts(star, targets);
    EXPECT_EQ(statuses, QStringList({"Preparing Star Orbit", "Astrometric datas", "Earth datas",
                                     "Galactic datas", "Geometric datas", "Ready"}));
}
