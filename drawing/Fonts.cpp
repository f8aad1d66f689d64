// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {
constexpr const char* kFace = "Tahoma";
constexpr const char* kFaceFile = "/usr/share/wine/fonts/tahoma.ttf";  // Debian's fonts-wine
}  // namespace

QString ProgramFaceFamily() {
    static const QString family = [] {
        if (QFontDatabase::families().contains(kFace)) {
            return QString(kFace);
        }
        if (QFile::exists(kFaceFile)) {
            const int id = QFontDatabase::addApplicationFont(kFaceFile);
            const QStringList loaded = QFontDatabase::applicationFontFamilies(id);
            if (!loaded.isEmpty()) {
                return loaded.first();
            }
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

namespace {

std::uint16_t BigEndian16(const QByteArray& table, int offset) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(table[offset]) << 8) |
                                      static_cast<unsigned char>(table[offset + 1]));
}

// The face's Windows ascent and descent (usWinAscent, usWinDescent) in ems, from its OS/2 and
// head tables; nothing for a face without them.
struct WindowsMetrics {
    double Ascent;
    double Descent;
};

std::optional<WindowsMetrics> WindowsMetricsOf(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return std::nullopt;
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    constexpr int kWinAscent = 74;   // usWinAscent, then usWinDescent, in the OS/2 table
    constexpr int kUnitsPerEm = 18;  // in the head table
    if (os2.size() < kWinAscent + 4 || head.size() < kUnitsPerEm + 2)
        return std::nullopt;
    const double units = BigEndian16(head, kUnitsPerEm);
    const double ascent = BigEndian16(os2, kWinAscent);
    const double descent = BigEndian16(os2, kWinAscent + 2);
    if (!(units > 0) || !(ascent + descent > 0))
        return std::nullopt;
    return WindowsMetrics{ascent / units, descent / units};
}

}  // namespace

int CellAscent(const QFont& font) {
    if (const std::optional<WindowsMetrics> metrics = WindowsMetricsOf(font))
        return static_cast<int>(std::lround(font.pixelSize() * metrics->Ascent));
    return QFontMetrics(font).ascent();
}

double CellHeightInEms(const QFont& font) {
    if (const std::optional<WindowsMetrics> metrics = WindowsMetricsOf(font))
        return metrics->Ascent + metrics->Descent;
    QFont reference(font);
    reference.setPixelSize(1000);
    const QFontMetricsF metrics(reference);
    const double ems = (metrics.ascent() + metrics.descent()) / 1000.0;
    return ems > 0 ? ems : 1.0;
}

QFont FontForCellHeight(const QString& family, int cellHeight, int weight) {
    QFont font(family);
    // Windows draws weights below 400 of a face that has no light cut (Tahoma) at its regular
    // weight; Qt would pick a light cut of another face (DejaVu Sans ExtraLight), so the weights
    // 100 and 200 of the font table are asked as regular.
    font.setWeight(static_cast<QFont::Weight>(std::max(weight, static_cast<int>(QFont::Normal))));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(EmForCellHeight(font, cellHeight)))));
    return font;
}

double EmForCellHeight(const QFont& font, int cellHeight) {
    return cellHeight / CellHeightInEms(font);
}

FontTable CreateFontTable() {
    const QString family = ProgramFaceFamily();
    auto make = [&](int cellHeight, int escapement, int weight) {
        const QFont font = FontForCellHeight(family, cellHeight, weight);
        return ProgramFont{font, cellHeight, escapement, weight, CellAscent(font)};
    };
    FontTable fonts;
    fonts.LabelFont = make(14, 2400, 200);
    fonts.UiFont = make(14, 0, 100);
    fonts.TitleFont = make(20, 0, 100);
    fonts.AltLabelFont = make(14, 300, 200);
    return fonts;
}
