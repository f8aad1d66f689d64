// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/Imaging.h"

#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace Imaging {

namespace {
constexpr int kOk = 0;
constexpr int kFailed = 1;
}  // namespace

int LibraryInit() {
    const bool canRead = QImageReader::supportedImageFormats().contains("jpeg");
    const bool canWrite = QImageWriter::supportedImageFormats().contains("jpeg");
    return canRead && canWrite ? kOk : kFailed;
}

void LibraryExit() {}

SaveParams ChartImageSaveParams() {
    return SaveParams{};
}

int LoadJpeg(const QString& path, LoadedImage& out, QSize cover) {
    QImageReader reader(path, "jpeg");
    const QSize full = reader.size();
    if (cover.isValid() && full.isValid()) {
        // The JPEG decoder scales by 1/2, 1/4 and 1/8 while it reads, rounding up.
        int denominator = 1;
        while (denominator < 8 &&
               (full.width() + 2 * denominator - 1) / (2 * denominator) >= cover.width() &&
               (full.height() + 2 * denominator - 1) / (2 * denominator) >= cover.height()) {
            denominator *= 2;
        }
        if (denominator > 1) {
            reader.setScaledSize(QSize((full.width() + denominator - 1) / denominator,
                                       (full.height() + denominator - 1) / denominator));
        }
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return kFailed;
    }
    out.Width = full.isValid() ? full.width() : image.width();
    out.Height = full.isValid() ? full.height() : image.height();
    out.Image = std::move(image);
    return kOk;
}

std::optional<QRect> ContentRect(const QImage& image, QColor colour) {
    if (image.isNull()) {
        return std::nullopt;
    }
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    const QRgb key = colour.rgb() & RGB_MASK;
    int left = pixels.width();
    int right = -1;
    int top = pixels.height();
    int bottom = -1;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int first = -1;
        int last = -1;
        for (int x = 0; x < pixels.width(); ++x) {
            if ((line[x] & RGB_MASK) != key) {
                if (first < 0) {
                    first = x;
                }
                last = x;
            }
        }
        if (first >= 0) {
            left = std::min(left, first);
            right = std::max(right, last);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0) {
        return std::nullopt;
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::optional<QImage> AutoCrop(const QImage& image, QColor colour) {
    const std::optional<QRect> content = ContentRect(image, colour);
    return content ? std::optional(image.copy(*content)) : std::nullopt;
}

std::optional<QImage> Crop(const QImage& image, const QRect& rectangle) {
    const QRect inside = rectangle.intersected(image.rect());
    if (image.isNull() || inside.isEmpty()) {
        return std::nullopt;
    }
    return image.copy(inside);
}

int SaveJpeg(const QString& path, const QImage& image, const SaveParams& params) {
    if (image.isNull()) {
        return kFailed;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return kFailed;
    }
    QImageWriter writer(&file, params.Format);
    writer.setQuality(params.Quality);
    writer.setProgressiveScanWrite(params.Progressive);
    writer.setOptimizedWrite(params.OptimizedHuffman);
    if (!writer.write(image)) {
        file.cancelWriting();
        return kFailed;
    }
    return file.commit() ? kOk : kFailed;
}

}  // namespace Imaging
