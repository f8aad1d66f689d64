// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/JpegMarkers.h"

#include <fstream>
#include <iterator>

JpegMarkers ReadJpegMarkers(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    JpegMarkers markers;
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) {
        return markers;
    }
    std::size_t at = 2;
    while (at + 1 < b.size()) {
        if (b[at] != 0xFF) {
            return markers;
        }
        const int marker = b[at + 1];
        at += 2;
        if (marker == 0xD9) {
            markers.Valid = at == b.size();
            return markers;
        }
        if (marker == 0xFF) {  // fill byte
            --at;
            continue;
        }
        if (at + 2 > b.size()) {
            return markers;
        }
        const std::size_t length = (static_cast<std::size_t>(b[at]) << 8) | b[at + 1];
        if (length < 2 || at + length > b.size()) {
            return markers;
        }
        const std::size_t body = at + 2;
        const std::size_t end = at + length;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            markers.FrameMarkers.push_back(marker);
        } else if (marker == 0xDB) {
            for (std::size_t p = body; p < end;) {
                const int precision = b[p] >> 4;
                ++p;
                std::array<int, 64> table{};
                for (int& value : table) {
                    value = precision == 0 ? b[p] : (b[p] << 8) | b[p + 1];
                    p += precision == 0 ? 1 : 2;
                }
                markers.QuantisationTables.push_back(table);
            }
        } else if (marker == 0xC4) {
            for (std::size_t p = body; p < end;) {
                JpegMarkers::HuffmanTable table;
                table.Class = b[p] >> 4;
                table.Id = b[p] & 0x0F;
                ++p;
                int total = 0;
                for (int i = 0; i < 16; ++i) {
                    table.Counts[static_cast<std::size_t>(i)] = b[p + static_cast<std::size_t>(i)];
                    total += b[p + static_cast<std::size_t>(i)];
                }
                p += 16;
                table.Symbols.assign(b.begin() + static_cast<std::ptrdiff_t>(p),
                                     b.begin() + static_cast<std::ptrdiff_t>(p) + total);
                p += static_cast<std::size_t>(total);
                markers.HuffmanTables.push_back(table);
            }
        }
        at = end;
        if (marker == 0xDA) {
            ++markers.ScanCount;
            // Entropy-coded data runs to the next marker that is not a stuffed zero or a restart.
            while (at + 1 < b.size() && !(b[at] == 0xFF && b[at + 1] != 0x00 &&
                                          !(b[at + 1] >= 0xD0 && b[at + 1] <= 0xD7))) {
                ++at;
            }
        }
    }
    return markers;
}
