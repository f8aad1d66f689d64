#pragma once

#include <string>

// A data file built into nivra-data (the constellation tables and the SBDB exports of tools/data),
// by name: "roman1987.dat", "names.dat", "asteroids.json", "comets.json". Empty when unknown.
std::string ReadBuiltinData(const char* name);
