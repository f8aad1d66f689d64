#pragma once

#include <string>

// A catalogue of `count` stars, every one with [DatasForIt] = 1, written to `path` (replaced if
// it exists) as nivra-data writes catalogues ([SpkId] the primary key, an index on the class).
// Five stars in fourteen are of class 1 (500,000 of 1,400,000), the others spread over classes 2
// to 10. Elements are drawn at random (a fixed seed) from main-belt-like ranges, with some mean
// motions of 0, zero diameters and negative anomalies among them; names mix numbered and
// provisional designations. No ephemeris file is needed for the star list.
void WriteStarListFixture(const std::string& path, int count);

// Gives every star of such a catalogue an ephemeris file in `datasFolder`: a small file (a header,
// its links and one year of records), the same bytes for all, as hard links to a few copies (a
// file takes at most 60,000 links, below ext4's limit of 65,000), so that a catalogue of 1.4
// million stars has its files in seconds and a few megabytes. Where the file system has no hard
// links, each star gets a copy. Returns the number of files.
int WriteStarListFixtureFiles(const std::string& datasFolder, int count);

// The first SpkId of the stars, the next ones following without gaps.
inline constexpr unsigned kStarListFixtureFirstId = 2000001;
