#include "bench/StarListFixture.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "tests/support/TestData.h"

void WriteStarListFixture(const std::string& path, int count) {
    const std::vector<TestData::OrbitClass> classes = {
        {0, "All"},
        {1, "Main-belt Asteroid"},
        {2, "Inner Main-belt Asteroid"},
        {3, "Outer Main-belt Asteroid"},
        {4, "Apollo"},
        {5, "Aten"},
        {6, "Amor"},
        {7, "Mars-crossing Asteroid"},
        {8, "Jupiter Trojan"},
        {9, "Centaur"},
        {10, "TransNeptunian Object"},
        {11, "Hungaria"},
        {12, "Hilda"},
        {19, "Near-Earth Objects"},
        {25, "Potentially Hazardous Asteroids"},
    };
    std::mt19937_64 random(20240101);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<TestData::Star> stars;
    stars.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        TestData::Star star;
        star.Id = 2000001 + static_cast<std::uint32_t>(i);
        char name[64];
        if (i % 3 == 0) {
            std::snprintf(name, sizeof name, "(%d) Asteroid %d", i + 1, i);
        } else {
            std::snprintf(name, sizeof name, "%d %c%c%d", 1990 + i % 35, 'A' + i % 24,
                          'A' + (i / 24) % 25, i % 997);
        }
        star.Name = name;
        star.OrbiteType = 1 + i % 12;
        star.OrbiteTypeNeo = star.OrbiteType >= 4 && star.OrbiteType <= 6 ? 1 : 0;
        star.OrbiteTypePha = star.OrbiteTypeNeo && i % 7 == 0 ? 1 : 0;
        star.DatasForIt = 1;
        star.Eccentricity = unit(random) < 0.05 ? 0.6 + 0.39 * unit(random) : 0.35 * unit(random);
        star.SemiMajorAxis = 1.5 + 4 * unit(random);
        star.PerihelionDistance = star.SemiMajorAxis * (1 - star.Eccentricity);
        star.ApelionDistance = star.SemiMajorAxis * (1 + star.Eccentricity);
        star.Inclination = 40 * unit(random);
        star.AscendingNodeLongitude = 360 * unit(random);
        star.ArgumentPerihelion = 360 * unit(random);
        star.MeanAnomaly = 360 * unit(random) - (i % 10 == 0 ? 360 : 0);
        star.OrbitalPeriod = 365.25 * std::pow(star.SemiMajorAxis, 1.5);
        star.MeanMotion = i % 8 == 0 ? 0 : 360 / star.OrbitalPeriod;
        star.EarthMOID = 3 * unit(random);
        star.AbsoluteMagnitude = 10 + 10 * unit(random);
        star.Diameter = i % 4 == 0 ? 0 : 100 * unit(random);
        star.RotationPeriod = 2 + 28 * unit(random);
        star.GeometricAlbedo = 0.02 + 0.5 * unit(random);
        star.TimePerihelionPassage = 2451545.0 + 2000 * unit(random);
        stars.push_back(star);
    }
    TestData::WriteCatalogue(path, classes, stars);
}
