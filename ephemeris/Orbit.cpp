// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/Orbit.h"

namespace {
constexpr double kDegree = M_PI / 180.0;
}

Vector3 EclipticToEquatorial(const Vector3& v) {
    return AxisRotationX(-kObliquityJ2000) * v;
}

Vector3 EquatorialToEcliptic(const Vector3& v) {
    return AxisRotationX(kObliquityJ2000) * v;
}

double SemiMajorAxis(const OrbitalElements& elements) {
    return elements.PerihelionDistance / (1.0 - elements.Eccentricity);
}

double MeanMotion(const OrbitalElements& elements) {
    const double a = SemiMajorAxis(elements);
    return kGaussK / (a * std::sqrt(a));
}

double SolveKepler(double meanAnomaly, double eccentricity) {
    const double m = std::remainder(meanAnomaly, 2 * M_PI);  // in [-pi, pi]
    double e = eccentricity < 0.8 ? m : (m < 0 ? -M_PI : M_PI);
    for (int i = 0; i < 50; ++i) {
        const double f = e - eccentricity * std::sin(e) - m;
        const double step = f / (1.0 - eccentricity * std::cos(e));
        e -= step;
        if (std::fabs(step) < 1e-15) {
            break;
        }
    }
    return e + (meanAnomaly - m);
}

StateVector KeplerState(const OrbitalElements& elements, double jd) {
    const double a = SemiMajorAxis(elements);
    const double n = MeanMotion(elements);
    const double ecc = elements.Eccentricity;
    const double m = elements.MeanAnomaly * kDegree + n * (jd - elements.Epoch);
    const double anomaly = SolveKepler(m, ecc);
    const double cosE = std::cos(anomaly);
    const double sinE = std::sin(anomaly);
    const double root = std::sqrt(1.0 - ecc * ecc);
    const double rate = n / (1.0 - ecc * cosE);  // dE/dt

    // In the orbital plane: x towards perihelion.
    const double x = a * (cosE - ecc);
    const double y = a * root * sinE;
    const double vx = -a * sinE * rate;
    const double vy = a * root * cosE * rate;

    const double cw = std::cos(elements.ArgumentPerihelion * kDegree);
    const double sw = std::sin(elements.ArgumentPerihelion * kDegree);
    const double cn = std::cos(elements.AscendingNode * kDegree);
    const double sn = std::sin(elements.AscendingNode * kDegree);
    const double ci = std::cos(elements.Inclination * kDegree);
    const double si = std::sin(elements.Inclination * kDegree);
    // Columns of the rotation Rz(node) Rx(i) Rz(w) applied to the plane's x and y axes.
    const Vector3 p = {cn * cw - sn * sw * ci, sn * cw + cn * sw * ci, sw * si};
    const Vector3 q = {-cn * sw - sn * cw * ci, -sn * sw + cn * cw * ci, cw * si};
    const Vector3 position = x * p + y * q;
    const Vector3 velocity = vx * p + vy * q;
    return {EclipticToEquatorial(position), EclipticToEquatorial(velocity)};
}
