#pragma once

#include <string>

// A catalogue of `count` stars, every one with [DatasForIt] = 1 and a class among twelve,
// written to `path` (replaced if it exists). Elements are drawn at random (a fixed seed) from
// main-belt-like ranges, with some mean motions of 0, zero diameters and negative anomalies
// among them; names mix numbered and provisional designations. No ephemeris file is needed for
// the star list.
void WriteStarListFixture(const std::string& path, int count);
