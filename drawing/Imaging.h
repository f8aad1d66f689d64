// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

// The program's imaging module: JPEG loading and saving and the crops of rendered charts.
// Every call that can fail returns a status, 0 meaning success.
namespace Imaging {

// Makes sure JPEG files can be both read and written; 0 when they can.
int LibraryInit();
void LibraryExit();

// How every JPEG of the program is written.
struct SaveParams {
    QByteArray Format = "jpeg";
    int Quality = 100;             // 0-100
    bool Progressive = true;       // progressive scans
    bool OptimizedHuffman = true;  // Huffman tables computed for the image
};
SaveParams ChartImageSaveParams();

struct LoadedImage {
    QImage Image;
    int Width = 0;   // pixels
    int Height = 0;  // pixels
};
// Loads a JPEG file; 0 and the image with the file's size, non-zero when the file is missing or
// cannot be decoded. When `cover` is given (pixels), a picture larger than needed to cover it is
// decoded smaller, at the smallest of 1/2, 1/4 and 1/8 of its size that still covers it: the
// decoder scales while it reads, so a photograph of many megapixels drawn over a window needs
// no more memory than the window (and is never refused for its size).
int LoadJpeg(const QString& path, LoadedImage& out, QSize cover = QSize());

// The smallest rectangle of `image` holding every pixel whose colour differs from `colour` in
// any of red, green or blue (zero tolerance). Nothing when every pixel has that colour.
std::optional<QRect> ContentRect(const QImage& image, QColor colour);

// The part of `image` inside ContentRect: the image cut to what differs from `colour`.
std::optional<QImage> AutoCrop(const QImage& image, QColor colour);

// The part of `image` inside `rectangle` (x, y, width, height in pixels), clipped to the image.
// Nothing when no pixel of the image lies in it.
std::optional<QImage> Crop(const QImage& image, const QRect& rectangle);

// Writes `image` as a JPEG file. 0 only when the whole file was written; on failure an earlier
// file of that name is left as it was.
int SaveJpeg(const QString& path, const QImage& image, const SaveParams& params);

}  // namespace Imaging
