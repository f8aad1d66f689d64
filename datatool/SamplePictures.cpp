// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datatool/SamplePictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <random>

namespace {

constexpr unsigned kSeed = 1801;  // the pictures are the same at every run

void DrawStars(QPainter& painter, int width, int height, int count, std::mt19937& random,
               double band) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> nearBand(0.0, 0.09);
    for (int i = 0; i < count; ++i) {
        const double x = unit(random) * width;
        double y = unit(random) * height;
        if (band > 0 && unit(random) < band) {
            // The Milky Way: a gentle diagonal arc.
            const double t = x / width;
            y = height * (0.75 - 0.5 * t + 0.12 * std::sin(6.0 * t) + nearBand(random));
        }
        const double brightness = std::pow(unit(random), 3.0);
        const int level = 60 + static_cast<int>(195 * brightness);
        const double tint = unit(random);
        QColor colour(level, level, level);
        if (tint < 0.15)
            colour = QColor(level, level * 9 / 10, level * 7 / 10);  // yellowish
        else if (tint < 0.3)
            colour = QColor(level * 8 / 10, level * 9 / 10, level);  // bluish
        const double radius = 0.4 + 1.4 * brightness;
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(x, y), radius, radius);
    }
}

}  // namespace

QImage MakeStarField(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0.0, QColor(10, 18, 40));
    sky.setColorAt(0.55, QColor(4, 6, 16));
    sky.setColorAt(1.0, QColor(12, 8, 24));
    painter.fillRect(image.rect(), sky);
    std::mt19937 random(kSeed);
    DrawStars(painter, width, height, width * height / 900, random, 0.45);
    return image;
}

QImage MakeOrbitsPicture(int width, int height, const std::vector<OrbitalElements>& bodies) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(image.rect(), QColor(3, 4, 12));
    std::mt19937 random(kSeed + 1);
    DrawStars(painter, width, height, width * height / 700, random, 0.0);

    const QPointF sun(width * 0.5, height * 0.58);
    const double scale = std::min(width, height) * 0.40 / 5.4;  // pixels per au: Jupiter fits
    // The planets' orbits as circles, Mercury to Jupiter (au).
    painter.setBrush(Qt::NoBrush);
    for (double radius : {0.387, 0.723, 1.0, 1.524, 5.203}) {
        painter.setPen(QPen(QColor(90, 110, 150, 150), 1.0));
        painter.drawEllipse(sun, radius * scale, radius * scale);
    }
    // The bodies' orbits, projected on the ecliptic.
    const QColor palette[] = {QColor(255, 170, 90), QColor(120, 200, 255), QColor(190, 150, 255),
                              QColor(140, 230, 160), QColor(255, 120, 140)};
    int index = 0;
    for (const OrbitalElements& body : bodies) {
        OrbitalElements sample = body;
        QPainterPath path;
        constexpr int kSteps = 180;
        for (int step = 0; step <= kSteps; ++step) {
            sample.MeanAnomaly = 360.0 * step / kSteps;
            const Vector3 position =
                EquatorialToEcliptic(KeplerState(sample, sample.Epoch).Position);
            const QPointF point = sun + QPointF(position[0] * scale, -position[1] * scale);
            if (step == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        QColor colour = palette[index++ % 5];
        colour.setAlpha(170);
        painter.setPen(QPen(colour, 1.2));
        painter.drawPath(path);
    }
    QRadialGradient glow(sun, scale * 0.5);
    glow.setColorAt(0.0, QColor(255, 240, 190));
    glow.setColorAt(0.25, QColor(255, 200, 80));
    glow.setColorAt(1.0, QColor(255, 160, 40, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(sun, scale * 0.5, scale * 0.5);
    // Dark at the top, where the About box writes its lines in white.
    QLinearGradient veil(0, 0, 0, height * 0.45);
    veil.setColorAt(0.0, QColor(0, 0, 0, 215));
    veil.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.fillRect(QRectF(0, 0, width, height * 0.45), veil);
    return image;
}
