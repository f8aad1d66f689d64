// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Tracks for chart tests: records held in memory the way a loaded ephemeris file holds them.

#include <QImage>
#include <QPoint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "data/FrameTrack.h"
#include "drawing/Fonts.h"
#include "tests/support/TestData.h"

namespace ChartTracks {

// Records written as an ephemeris file writes them, followed by the terminating record unless
// `terminator` is false (the walk then ends with the data).
class TrackData {
  public:
    explicit TrackData(std::vector<TestData::Record> records, bool terminator = true) {
        TestData::NvrFile file;
        file.Records = std::move(records);
        file.Terminator = terminator;
        file.FirstYear = 2000;
        file.LastYear = 2019;
        bytes_ = file.Bytes();
        first_ = file.NaturalFirstRecordOffset();
        Header.Id = file.Id;
        Header.FirstYear = file.FirstYear;
        Header.LastYear = file.LastYear;
    }
    FrameTrack Track(CoordinateFrame frame = CoordinateFrame::Astrometric) const {
        return FrameTrack{RecordWalk(bytes_.data() + first_, bytes_.data() + bytes_.size()), frame};
    }
    StarFileHeader Header;

  private:
    std::vector<std::byte> bytes_;
    std::size_t first_ = 0;
};

struct Angles {
    double First;   // degrees
    double Second;  // degrees
};

// One record per point, Astrometric angles as given (the other frames elsewhere), dated one day
// apart at 00:00 from 1 January 2000, all in constellation 1.
inline std::vector<TestData::Record> AstrometricRecords(const std::vector<Angles>& points) {
    std::vector<TestData::Record> records;
    int year = 2000;
    int month = 1;
    int day = 1;
    for (const Angles& point : points) {
        TestData::Record record;
        record.Year = year;
        record.Month = month;
        record.Day = day;
        record.Astrometric = {point.First, point.Second};
        record.Earth = {100, 100};
        record.Galactic = {200, 120};
        record.Geometric = {300, 140};
        records.push_back(record);
        if (++day > TestData::DaysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    return records;
}

// The program's fonts, made once.
inline const FontTable& Fonts() {
    static const FontTable fonts = CreateFontTable();
    return fonts;
}

// Every pure red pixel of `image`, row by row.
inline std::vector<QPoint> RedPixels(const QImage& image) {
    std::vector<QPoint> red;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == 0xFF0000) {
                red.emplace_back(x, y);
            }
        }
    }
    return red;
}

// "" when both images have the same size and pixels, else where they first differ.
inline std::string FirstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return "sizes " + std::to_string(a.width()) + "x" + std::to_string(a.height()) + " and " +
               std::to_string(b.width()) + "x" + std::to_string(b.height());
    }
    for (int y = 0; y < a.height(); ++y) {
        const auto* left = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* right = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if ((left[x] & 0xFFFFFF) != (right[x] & 0xFFFFFF)) {
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
    }
    return "";
}

}  // namespace ChartTracks
