// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The four frames in which an ephemeris record gives a star's place, in the order of every
// menu, tab and chart preparation.
enum class CoordinateFrame { Astrometric, Earth, Galactic, Geometric };

inline constexpr std::array<CoordinateFrame, 4> kAllFrames = {
    CoordinateFrame::Astrometric, CoordinateFrame::Earth, CoordinateFrame::Galactic,
    CoordinateFrame::Geometric};

// Byte offset of the frame's FramePoint inside an 88-byte EphemerisRecord. The record stores
// the frames as Astrometric, Geometric, Galactic, Earth, so every user picks a frame by name.
constexpr std::size_t FramePointOffset(CoordinateFrame frame) {
    switch (frame) {
        case CoordinateFrame::Astrometric:
            return 24;
        case CoordinateFrame::Geometric:
            return 40;
        case CoordinateFrame::Galactic:
            return 56;
        case CoordinateFrame::Earth:
            return 72;
    }
    return 24;
}

constexpr std::string_view FrameName(CoordinateFrame frame) {
    switch (frame) {
        case CoordinateFrame::Astrometric:
            return "Astrometric";
        case CoordinateFrame::Earth:
            return "Earth";
        case CoordinateFrame::Galactic:
            return "Galactic";
        case CoordinateFrame::Geometric:
            return "Geometric";
    }
    return "";
}
