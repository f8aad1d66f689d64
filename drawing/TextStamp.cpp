// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/TextStamp.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <mutex>

#include "drawing/Fonts.h"

namespace {

// Kept stamps before the store starts afresh (a few hundred names, years and titles a session).
constexpr qsizetype kMaxKeptStamps = 4096;

// The text drawn white on a transparent image, rotated about its origin; `reach` (text
// coordinates, rotated) is the part of the plane the image shows.
QImage DrawRotatedText(const ProgramFont& font, const QString& text, const QRect& reach) {
    QImage image(reach.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font.Font);
    painter.setPen(Qt::white);
    painter.translate(-reach.left(), -reach.top());
    painter.rotate(font.RotationDegrees());
    // The origin is the top-left corner of the text cell; the baseline lies the font's Windows
    // ascent below it, as the Windows text call places it.
    painter.drawText(QPoint(0, font.Ascent), text);
    return image;
}

// The smallest rectangle of `image` holding every pixel with some coverage; empty when none.
QRect CoveredRect(const QImage& image) {
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

std::shared_ptr<const TextStamp> DrawStamp(const ProgramFont& font, const QString& text) {
    auto stamp = std::make_shared<TextStamp>();
    const QFontMetrics metrics(font.Font);
    // What the glyphs may cover, in text coordinates (origin at the cell's top-left).
    const QRect cell(0, 0, std::max(1, metrics.horizontalAdvance(text)),
                     std::max(font.CellHeight, font.Ascent + metrics.descent()));
    const QRect glyphs = metrics.boundingRect(text).translated(0, font.Ascent);
    QTransform rotation;
    rotation.rotate(font.RotationDegrees());
    const QRect estimate = rotation.mapRect(QRectF(cell.united(glyphs))).toAlignedRect();

    // A margin for antialiased edges; should the glyphs still reach the image's border, the
    // estimate was short and the text is drawn again with ample room.
    QImage image;
    QRect reach;
    QRect covered;
    for (const int margin : {3, 32}) {
        reach = estimate.adjusted(-margin, -margin, margin, margin);
        image = DrawRotatedText(font, text, reach);
        covered = CoveredRect(image);
        if (covered.isEmpty() ||
            (covered.left() > 0 && covered.top() > 0 && covered.right() < image.width() - 1 &&
             covered.bottom() < image.height() - 1)) {
            break;
        }
    }
    stamp->Cell = QRect(0, 0, metrics.horizontalAdvance(text), font.CellHeight);
    if (covered.isEmpty()) {
        return stamp;
    }
    stamp->Ink = covered.translated(reach.topLeft());
    stamp->Coverage.reserve(static_cast<std::size_t>(covered.width()) *
                            static_cast<std::size_t>(covered.height()));
    for (int y = covered.top(); y <= covered.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        TextStamp::RowSpan span{1, 0};
        for (int x = covered.left(); x <= covered.right(); ++x) {
            const int alpha = qAlpha(line[x]);
            stamp->Coverage.push_back(static_cast<std::uint8_t>(alpha));
            if (alpha != 0) {
                const auto column = static_cast<std::uint16_t>(x - covered.left());
                if (span.First > span.Last) {
                    span.First = column;
                }
                span.Last = column;
            }
        }
        stamp->Rows.push_back(span);
    }
    return stamp;
}

}  // namespace

TextStamps::TextStamps(const ProgramFont& font)
    : font_(font),
      key_(font.Font.key() + QChar(0x1F) + QString::number(font.Escapement) + QChar(0x1F)) {}

std::shared_ptr<const TextStamp> TextStamps::operator()(const QString& text) const {
    static std::mutex mutex;
    static QHash<QString, std::shared_ptr<const TextStamp>> kept;
    const QString key = key_ + text;
    {
        const std::lock_guard lock(mutex);
        if (const auto found = kept.constFind(key); found != kept.constEnd()) {
            return *found;
        }
    }
    std::shared_ptr<const TextStamp> stamp = DrawStamp(font_, text);
    const std::lock_guard lock(mutex);
    if (kept.size() >= kMaxKeptStamps) {
        kept.clear();
    }
    kept.insert(key, stamp);
    return stamp;
}

std::shared_ptr<const TextStamp> StampText(const ProgramFont& font, const QString& text) {
    return TextStamps(font)(text);
}
