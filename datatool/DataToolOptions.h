// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "writers/Shards.h"

// The options of a nivra-data command line after its subcommand, as given: which of them a
// subcommand needs is its own affair. `Error` says what is wrong with the line (an unknown or
// repeated option, a value out of range), empty when nothing is.
struct DataToolOptions {
    std::string Out;
    std::string Catalogue;
    int From = 2000;
    int To = 2019;
    std::vector<std::uint32_t> Spk;
    std::vector<std::string> Files;
    bool TwoBody = false;
    bool NoWait = false;  // fail at once when another writer holds the catalogue
    bool Force = false;   // sample: fill a folder that holds a catalogue, files or pictures
    bool Verbose = false;  // a line per star even on a terminal
    int Threads = 0;
    std::optional<int> OrbitClass;
    std::optional<Shard> Part;
    std::string Datas;
    std::set<std::string> Given;  // the options given, "--out" ...
    std::string Error;
};

DataToolOptions ParseDataToolOptions(const std::vector<std::string>& arguments);
