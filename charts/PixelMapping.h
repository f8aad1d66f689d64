// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <cstdint>
#include <limits>

// Where a track point lands on a chart's canvas. Columns grow to the right, rows downward; there
// is no flip: a larger FirstAngle lies further right, a larger SecondAngle further down.

// `value` rounded to the nearest integer with ties to even (rint in the default rounding mode),
// as a 32-bit integer. A value beyond the 32-bit range, or not a number, gives the most negative
// integer (what the x86 conversion yields), so such a point lies outside every canvas.
inline std::int32_t RoundToPixel(double value) {
    // Inside the 32-bit range every double is rounded by adding and taking away 2^52: the sum
    // leaves no bits below 1, so the addition itself rounds to nearest with ties to even.
    constexpr double kShift = 4503599627370496.0;  // 2^52
    if (!(value > -2147483648.5 && value < 2147483647.5)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    const double rounded = value >= 0 ? (value + kShift) - kShift : -((-value + kShift) - kShift);
    return static_cast<std::int32_t>(rounded);
}

// Rows of every chart lie 40 pixels below the SecondAngle they show.
inline constexpr int kRowOffset = 40;  // pixels

// Canvases: the four wide kinds draw 120 turns of 360 columns (one per degree of FirstAngle);
// the View draws 360 degrees at 4 pixels per degree.
inline constexpr QSize kWideCanvas{43200, 400};  // pixels
inline constexpr QSize kViewCanvas{1440, 760};   // pixels
inline constexpr int kViewPixelsPerDegree = 4;

// The seam unwrapping of the wide kinds. A track that crosses 360 degrees going forward goes on
// to the right, one that crosses 0 going back goes on to the left, one turn (360 columns) each
// time. A daily step is far shorter than half a turn, so a step whose rounded FirstAngle falls
// by more than 180 degrees crossed 360 going forward, and one that rises by more than 180
// crossed 0 going back; this catches every crossing, also a step from 359.5 or more onto 0.5 or
// more (360 onto 1 once rounded). The first point is taken against a previous one at column 0:
// a track whose first point rounds to 359 or more lies one turn to the left until it first
// crosses 360.
class SeamUnwrapping {
  public:
    // The canvas column of the next point of the track, whose FirstAngle rounds to `x0` degrees.
    std::int64_t Column(std::int32_t x0) {
        if (first_) {
            first_ = false;
            if (x0 >= 359) {
                turnOffset_ -= 360;
            }
        } else if (static_cast<std::int64_t>(previousX0_) - x0 > 180) {
            turnOffset_ += 360;
        } else if (static_cast<std::int64_t>(x0) - previousX0_ > 180) {
            turnOffset_ -= 360;
        }
        previousX0_ = x0;
        return static_cast<std::int64_t>(x0) + turnOffset_;
    }

  private:
    bool first_ = true;
    std::int64_t turnOffset_ = 0;  // TurnOffset, pixels: a whole number of turns
    std::int32_t previousX0_ = 0;  // degrees, without the offset
};

// The View chart's vertical scale k = 4 / (W / H), in pixels per degree of SecondAngle, for a main
// window whose client area is W x H pixels. A client area without width stands for no window:
// the scale of 1920 x 1080. A zero height with some width gives 0 (every point on row 40).
double ViewVerticalScale(QSize mainClientSize);

struct ViewPixel {
    std::int32_t X = 0;  // column
    std::int32_t Y = 0;  // row
};

// The View chart's pixel of a point (FirstAngle and SecondAngle in degrees), at vertical scale
// `k`. A FirstAngle from 359 up to 360 is taken one turn lower (X - 360), onto column 0 or off the
// canvas.
inline ViewPixel MapViewPoint(double firstAngle, double secondAngle, double k) {
    if (firstAngle >= 359 && firstAngle < 360) {
        firstAngle -= 360;
    }
    return ViewPixel{RoundToPixel(firstAngle * kViewPixelsPerDegree),
                     RoundToPixel(secondAngle * k + kRowOffset)};
}
