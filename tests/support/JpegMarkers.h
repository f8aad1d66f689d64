// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string>
#include <vector>

// What a JPEG file's markers say, read by a small walker over its segments.
struct JpegMarkers {
    bool Valid = false;             // SOI first, EOI last, every segment whole
    std::vector<int> FrameMarkers;  // SOFn codes seen (0xC0 baseline, 0xC2 progressive)
    int ScanCount = 0;              // SOS segments
    std::vector<std::array<int, 64>> QuantisationTables;
    struct HuffmanTable {
        int Class = 0;  // 0 DC, 1 AC
        int Id = 0;
        std::array<int, 16> Counts{};
        std::vector<int> Symbols;
    };
    std::vector<HuffmanTable> HuffmanTables;
};

JpegMarkers ReadJpegMarkers(const std::string& path);
