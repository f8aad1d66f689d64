#include "bench/StarListFixture.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "tests/support/TestData.h"
#include "writers/CatalogueFile.h"

void WriteStarListFixture(const std::string& path, int count) {
    CatalogueContent content;
    content.Classes = {
        {0, "All", ""},
        {1, "Main-belt Asteroid", "MBA"},
        {2, "Inner Main-belt Asteroid", "IMB"},
        {3, "Outer Main-belt Asteroid", "OMB"},
        {4, "Apollo", "APO"},
        {5, "Aten", "ATE"},
        {6, "Amor", "AMO"},
        {7, "Mars-crossing Asteroid", "MCA"},
        {8, "Jupiter Trojan", "TJN"},
        {9, "Centaur", "CEN"},
        {10, "TransNeptunian Object", "TNO"},
        {11, "Hungaria", "HUN"},
        {12, "Hilda", "HIL"},
        {19, "Near-Earth Objects", ""},
        {25, "Potentially Hazardous Asteroids", ""},
    };
    std::mt19937_64 random(20240101);
    std::uniform_real_distribution<double> unit(0, 1);
    content.Stars.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CatalogueStar star;
        star.SpkId = kStarListFixtureFirstId + static_cast<std::uint32_t>(i);
        char name[64];
        if (i % 3 == 0) {
            std::snprintf(name, sizeof name, "(%d) Asteroid %d", i + 1, i);
        } else {
            std::snprintf(name, sizeof name, "%d %c%c%d", 1990 + i % 35, 'A' + i % 24,
                          'A' + (i / 24) % 25, i % 997);
        }
        star.Name = name;
        star.FullName = name;
        star.OrbiteType = i % 14 < 5 ? 1 : 2 + i % 14 - 5;
        star.Neo = star.OrbiteType >= 4 && star.OrbiteType <= 6;
        star.Pha = star.Neo && i % 7 == 0;
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
        star.Epoch = 2459800.5;
        content.Stars.push_back(std::move(star));
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::string error;
    if (!WriteCatalogueFile(path, content, error))
        throw std::runtime_error(error);
}

int WriteStarListFixtureFiles(const std::string& datasFolder, int count) {
    namespace fs = std::filesystem;
    constexpr int kLinksPerCopy = 60000;
    fs::create_directories(datasFolder);
    TestData::NvrFile file = TestData::NvrFile::Daily(kStarListFixtureFirstId, 2001, 2001);
    std::string copy;
    bool links = true;
    for (int i = 0; i < count; ++i) {
        const std::string path =
            datasFolder + "/" + std::to_string(kStarListFixtureFirstId + i) + ".Nvr";
        std::error_code error;
        fs::remove(path, error);
        if (links && i % kLinksPerCopy == 0) {
            file.Write(path);
            copy = path;
            continue;
        }
        if (links) {
            fs::create_hard_link(copy, path, error);
            if (!error)
                continue;
            links = false;
        }
        file.Write(path);
    }
    return count;
}
