// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cmath>

// A 3-vector and a 3x3 matrix of doubles, with the few operations the ephemeris needs.
using Vector3 = std::array<double, 3>;
using Matrix3 = std::array<Vector3, 3>;

inline Vector3 operator+(const Vector3& a, const Vector3& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline Vector3 operator-(const Vector3& a, const Vector3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline Vector3 operator*(double s, const Vector3& a) {
    return {s * a[0], s * a[1], s * a[2]};
}
inline Vector3& operator+=(Vector3& a, const Vector3& b) {
    a = a + b;
    return a;
}
inline double Dot(const Vector3& a, const Vector3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline double Norm(const Vector3& a) {
    return std::sqrt(Dot(a, a));
}

inline Vector3 operator*(const Matrix3& m, const Vector3& v) {
    return {Dot(m[0], v), Dot(m[1], v), Dot(m[2], v)};
}

// Rotation of the axes about x by `angle` (radians), as ERFA's eraRx applies it.
inline Matrix3 AxisRotationX(double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {{{1, 0, 0}, {0, c, s}, {0, -s, c}}};
}

// Longitude in [0, 2pi) and latitude in [-pi/2, pi/2] of a direction (radians).
struct Spherical {
    double Longitude = 0;
    double Latitude = 0;
};
inline Spherical ToSpherical(const Vector3& v) {
    const double xy = std::hypot(v[0], v[1]);
    double longitude = xy == 0 ? 0.0 : std::atan2(v[1], v[0]);
    if (longitude < 0) {
        longitude += 2 * M_PI;
    }
    if (longitude >= 2 * M_PI) {
        longitude -= 2 * M_PI;
    }
    const double latitude = (xy == 0 && v[2] == 0) ? 0.0 : std::atan2(v[2], xy);
    return {longitude, latitude};
}
