// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>

#include "data/CoordinateFrame.h"
#include "data/StarFile.h"

// The track a chart draws: the records from a start record (the Cursor) to the terminating
// record, read in one frame. It stands for the address of the frame's FramePoint inside the
// start record; record and FramePoint advance together, 88 bytes a step.
struct FrameTrack {
    RecordWalk Records;
    CoordinateFrame Frame = CoordinateFrame::Astrometric;

    // Address of the frame's FramePoint in the start record (start + 24, 72, 56 or 40).
    const std::byte* FramePointAddress() const {
        return Records.Position() == nullptr ? nullptr
                                             : Records.Position() + FramePointOffset(Frame);
    }
};
