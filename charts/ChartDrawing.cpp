// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "charts/ChartDrawing.h"

#include <algorithm>
#include <array>

#include "drawing/ChartImageMemory.h"

namespace {

constexpr QRgb kTrackRed = 0xFFFF0000;  // pure red, RGB32

// A rectangle with 64-bit edges, for marks far off the canvas.
struct Span {
    std::int64_t Left;
    std::int64_t Top;
    std::int64_t Right;   // inclusive
    std::int64_t Bottom;  // inclusive
    bool Empty() const { return Left > Right || Top > Bottom; }
};

Span Intersect(const Span& a, const Span& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

Span SpanOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.right(), rect.bottom()};
}

// The stamp's ink placed with its origin at (x, y).
Span InkSpan(const TextStamp& stamp, std::int64_t x, std::int64_t y) {
    return {x + stamp.Ink.left(), y + stamp.Ink.top(), x + stamp.Ink.right(),
            y + stamp.Ink.bottom()};
}

// One channel of `colour` laid over `below` with coverage `alpha` (0-255), rounded.
inline unsigned Blend(unsigned colour, unsigned below, unsigned alpha) {
    return (colour * alpha + below * (255 - alpha) + 127) / 255;
}

inline QRgb BlendPixel(QRgb colour, QRgb below, unsigned alpha) {
    return qRgb(static_cast<int>(Blend(qRed(colour), qRed(below), alpha)),
                static_cast<int>(Blend(qGreen(colour), qGreen(below), alpha)),
                static_cast<int>(Blend(qBlue(colour), qBlue(below), alpha)));
}

// Sets `count` pixels to `colour` at the speed of the processor's string stores, which write
// whole cache lines without reading them first.
void FillPixels(QRgb* pixels, std::size_t count, QRgb colour) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    asm volatile("rep stosl" : "+D"(pixels), "+c"(count) : "a"(colour) : "memory");
#else
    std::fill_n(pixels, count, colour);
#endif
}

// Point lists of finished drawings, kept for the next drawings of this thread: a chart has
// one point a record, tens of thousands, and the memory of such a list is slow to get anew.
thread_local std::vector<std::vector<ChartDrawing::Point>> spareLists;
constexpr std::size_t kSpareLists = 2;
constexpr std::size_t kLargestSparePoints = std::size_t{8} << 20;  // points

}  // namespace

ChartDrawing::ChartDrawing(QSize canvas, ChartColours colours)
    : canvas_(canvas), colours_(colours) {
    if (!spareLists.empty()) {
        points_ = std::move(spareLists.back());
        spareLists.pop_back();
        points_.clear();
    }
}

ChartDrawing::~ChartDrawing() {
    if (spareLists.size() < kSpareLists && points_.capacity() <= kLargestSparePoints) {
        spareLists.push_back(std::move(points_));
    }
}

void ChartDrawing::AddText(std::int64_t x, std::int64_t y, std::shared_ptr<const TextStamp> stamp,
                           bool opaque) {
    if (!stamp || (stamp->Ink.isEmpty() && (!opaque || stamp->Cell.isEmpty()))) {
        return;
    }
    texts_.push_back({points_.size(), x, y, stamp.get(), opaque && !stamp->Cell.isEmpty()});
    stamps_.push_back(std::move(stamp));
}

namespace {

// The level cell of an opaque text placed with its origin at (x, y).
Span CellSpan(const TextStamp& stamp, std::int64_t x, std::int64_t y) {
    return {x + stamp.Cell.left(), y + stamp.Cell.top(), x + stamp.Cell.right(),
            y + stamp.Cell.bottom()};
}

bool Inside(const Span& span, std::int64_t x, std::int64_t y) {
    return x >= span.Left && x <= span.Right && y >= span.Top && y <= span.Bottom;
}

}  // namespace

bool ChartDrawing::Hidden(std::size_t index) const {
    const Point point = points_[index];
    for (const Text& text : texts_) {
        if (text.Opaque && text.AfterPoints > index &&
            Inside(CellSpan(*text.Stamp, text.X, text.Y), point.X, point.Y)) {
            return true;
        }
    }
    return false;
}

bool ChartDrawing::InkIsVisible() const {
    // With a black or white background and the opposite text colour, any coverage moves a pixel
    // off the background, and blending never brings a pixel back to it; red is neither.
    return (colours_.Background == 0x000000 && colours_.Text == 0xFFFFFF) ||
           (colours_.Background == 0xFFFFFF && colours_.Text == 0x000000);
}

QRect ChartDrawing::InkBounds() const {
    const Span canvas = SpanOf(CanvasRect());
    Span bounds{canvas.Right + 1, canvas.Bottom + 1, canvas.Left - 1, canvas.Top - 1};
    const bool anyOpaque =
        std::any_of(texts_.begin(), texts_.end(), [](const Text& text) { return text.Opaque; });
    for (std::size_t index = 0; index < points_.size(); ++index) {
        const Point point = points_[index];
        if (anyOpaque && Hidden(index))
            continue;
        bounds.Left = std::min<std::int64_t>(bounds.Left, point.X);
        bounds.Right = std::max<std::int64_t>(bounds.Right, point.X);
        bounds.Top = std::min<std::int64_t>(bounds.Top, point.Y);
        bounds.Bottom = std::max<std::int64_t>(bounds.Bottom, point.Y);
    }
    const auto include = [&bounds](std::int64_t left, std::int64_t top, std::int64_t right,
                                   std::int64_t bottom) {
        bounds.Left = std::min(bounds.Left, left);
        bounds.Top = std::min(bounds.Top, top);
        bounds.Right = std::max(bounds.Right, right);
        bounds.Bottom = std::max(bounds.Bottom, bottom);
    };
    for (const Text& text : texts_) {
        const TextStamp& stamp = *text.Stamp;
        if (stamp.Ink.isEmpty())
            continue;  // an opaque cell without ink changes nothing from the background
        const Span ink = InkSpan(stamp, text.X, text.Y);
        const Span inside = Intersect(ink, canvas);
        if (inside.Empty()) {
            continue;
        }
        if (inside.Left == ink.Left && inside.Top == ink.Top && inside.Right == ink.Right &&
            inside.Bottom == ink.Bottom) {
            include(ink.Left, ink.Top, ink.Right, ink.Bottom);  // a stamp's ink rectangle is tight
            continue;
        }
        // Cut by the canvas edge: only the covered pixels left on the canvas count.
        for (std::int64_t y = inside.Top; y <= inside.Bottom; ++y) {
            for (std::int64_t x = inside.Left; x <= inside.Right; ++x) {
                if (stamp.At(static_cast<int>(x - text.X), static_cast<int>(y - text.Y)) != 0) {
                    include(x, y, x, y);
                }
            }
        }
    }
    if (bounds.Empty()) {
        return QRect();
    }
    return QRect(QPoint(static_cast<int>(bounds.Left), static_cast<int>(bounds.Top)),
                 QPoint(static_cast<int>(bounds.Right), static_cast<int>(bounds.Bottom)));
}

namespace {

// Rows are painted in bands of about this many bytes, small enough to stay in the processor's
// cache while the band is filled and the marks that fall in it are drawn (measured best among
// 48 KiB to 2 MiB on the chart preparation benchmark).
constexpr std::size_t kBandBytes = std::size_t{1} << 20;

// Lists of indices grouped by band, each group in increasing order (a stable counting sort).
struct BandLists {
    std::vector<std::uint32_t> Starts;  // group b is Items[Starts[b], Starts[b + 1])
    std::vector<std::uint32_t> Items;

    void Reset(int bands) { Starts.assign(static_cast<std::size_t>(bands) + 2, 0); }
    void Count(int band) { ++Starts[static_cast<std::size_t>(band) + 2]; }
    // After every Count: makes room, then Place hands out the slots in order.
    void Arrange() {
        for (std::size_t i = 2; i < Starts.size(); ++i) {
            Starts[i] += Starts[i - 1];
        }
        Items.resize(Starts.back());
    }
    void Place(int band, std::uint32_t item) {
        Items[Starts[static_cast<std::size_t>(band) + 1]++] = item;
    }
    const std::uint32_t* Begin(int band) const {
        return Items.data() + Starts[static_cast<std::size_t>(band)];
    }
    const std::uint32_t* End(int band) const {
        return Items.data() + Starts[static_cast<std::size_t>(band) + 1];
    }
};

thread_local BandLists bandPoints;
thread_local BandLists bandTexts;
thread_local std::vector<std::uint16_t> bandOfRow;

}  // namespace

std::optional<QImage> ChartDrawing::Paint(const QRect& window) const {
    const QRect area = window.intersected(CanvasRect());
    if (area.isEmpty()) {
        return std::nullopt;
    }
    QImage image = NewChartImage(area.size());
    if (image.isNull()) {
        return std::nullopt;
    }
    const QRgb background = RgbFromColorRef(colours_.Background);
    const QRgb text = RgbFromColorRef(colours_.Text);
    auto* const bits = reinterpret_cast<QRgb*>(image.bits());
    const auto stride = static_cast<std::size_t>(image.bytesPerLine()) / sizeof(QRgb);

    // The text colour over the background at every coverage, the blend most text pixels need.
    std::array<QRgb, 256> overBackground;
    for (unsigned alpha = 0; alpha < 256; ++alpha) {
        overBackground[alpha] = BlendPixel(text, background, alpha);
    }

    const Span clip = SpanOf(area);
    const int left = area.left();
    const int top = area.top();
    const int right = area.right();
    const int bottom = area.bottom();
    const int bandRows =
        static_cast<int>(std::max<std::size_t>(1, kBandBytes / (stride * sizeof(QRgb))));
    const int bands = (area.height() + bandRows - 1) / bandRows;
    // The band of each row of the area.
    bandOfRow.resize(static_cast<std::size_t>(area.height()));
    for (int row = 0; row < area.height(); ++row) {
        bandOfRow[static_cast<std::size_t>(row)] = static_cast<std::uint16_t>(row / bandRows);
    }
    const auto bandOf = [&](int y) { return bandOfRow[static_cast<std::size_t>(y - top)]; };

    // The points of each band and the texts that reach into it, in drawing order.
    bandPoints.Reset(bands);
    for (const Point& point : points_) {
        if (point.X >= left && point.X <= right && point.Y >= top && point.Y <= bottom) {
            bandPoints.Count(bandOf(point.Y));
        }
    }
    bandPoints.Arrange();
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const Point point = points_[i];
        if (point.X >= left && point.X <= right && point.Y >= top && point.Y <= bottom) {
            bandPoints.Place(bandOf(point.Y), static_cast<std::uint32_t>(i));
        }
    }
    std::vector<Span> inks(texts_.size());
    std::vector<Span> cells(texts_.size(), Span{0, 0, -1, -1});
    std::vector<Span> reaches(texts_.size());
    bandTexts.Reset(bands);
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        const Text& mark = texts_[i];
        inks[i] = mark.Stamp->Ink.isEmpty() ? Span{0, 0, -1, -1}
                                            : Intersect(InkSpan(*mark.Stamp, mark.X, mark.Y), clip);
        if (mark.Opaque)
            cells[i] = Intersect(CellSpan(*mark.Stamp, mark.X, mark.Y), clip);
        reaches[i] = inks[i];
        if (!cells[i].Empty()) {
            reaches[i] = inks[i].Empty() ? cells[i]
                                         : Span{std::min(inks[i].Left, cells[i].Left),
                                                std::min(inks[i].Top, cells[i].Top),
                                                std::max(inks[i].Right, cells[i].Right),
                                                std::max(inks[i].Bottom, cells[i].Bottom)};
        }
        if (!reaches[i].Empty()) {
            for (std::int64_t band = (reaches[i].Top - top) / bandRows;
                 band <= (reaches[i].Bottom - top) / bandRows; ++band) {
                bandTexts.Count(static_cast<int>(band));
            }
        }
    }
    bandTexts.Arrange();
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        if (!reaches[i].Empty()) {
            for (std::int64_t band = (reaches[i].Top - top) / bandRows;
                 band <= (reaches[i].Bottom - top) / bandRows; ++band) {
                bandTexts.Place(static_cast<int>(band), static_cast<std::uint32_t>(i));
            }
        }
    }

    for (int band = 0; band < bands; ++band) {
        const int firstRow = top + band * bandRows;
        const int lastRow = std::min(bottom, firstRow + bandRows - 1);
        FillPixels(bits + static_cast<std::size_t>(firstRow - top) * stride,
                   stride * static_cast<std::size_t>(lastRow - firstRow + 1), background);

        const std::uint32_t* point = bandPoints.Begin(band);
        const std::uint32_t* const pointsEnd = bandPoints.End(band);
        const auto drawPointsBefore = [&](std::size_t limit) {
            for (; point != pointsEnd && *point < limit; ++point) {
                const Point at = points_[*point];
                bits[static_cast<std::size_t>(at.Y - top) * stride +
                     static_cast<std::size_t>(at.X - left)] = kTrackRed;
            }
        };
        for (const std::uint32_t* index = bandTexts.Begin(band); index != bandTexts.End(band);
             ++index) {
            const Text& mark = texts_[*index];
            drawPointsBefore(mark.AfterPoints);
            const TextStamp& stamp = *mark.Stamp;
            const Span& cell = cells[*index];
            for (std::int64_t y = std::max<std::int64_t>(cell.Top, firstRow);
                 y <= std::min<std::int64_t>(cell.Bottom, lastRow); ++y) {
                FillPixels(&bits[static_cast<std::size_t>(y - top) * stride +
                                 static_cast<std::size_t>(cell.Left - left)],
                           static_cast<std::size_t>(cell.Right - cell.Left + 1), background);
            }
            const Span& ink = inks[*index];
            const std::int64_t inkLeft = mark.X + stamp.Ink.left();
            for (std::int64_t y = std::max<std::int64_t>(ink.Top, firstRow);
                 y <= std::min<std::int64_t>(ink.Bottom, lastRow); ++y) {
                const auto row = static_cast<std::size_t>(y - mark.Y - stamp.Ink.top());
                const TextStamp::RowSpan span = stamp.Rows[row];
                const std::int64_t from = std::max<std::int64_t>(inkLeft + span.First, ink.Left);
                const std::int64_t to = std::min<std::int64_t>(inkLeft + span.Last, ink.Right);
                const std::uint8_t* coverage =
                    &stamp.Coverage[row * static_cast<std::size_t>(stamp.Ink.width())];
                QRgb* line = &bits[static_cast<std::size_t>(y - top) * stride];
                for (std::int64_t x = from; x <= to; ++x) {
                    const unsigned alpha = coverage[x - inkLeft];
                    if (alpha == 0) {
                        continue;
                    }
                    QRgb& target = line[x - left];
                    target = target == background ? overBackground[alpha]
                                                  : BlendPixel(text, target, alpha);
                }
            }
        }
        drawPointsBefore(points_.size());
    }
    return image;
}
