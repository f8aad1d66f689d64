// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes an SBDB Query API export of COUNT bodies for timing `nivra-data catalogue` at the size
// of the whole SBDB:
//   nivra_sbdb_export_fixture FILE [COUNT]    (1,400,000 bodies by default, about 360 MB)
// Body i repeats row i % 7,099 of the shipped asteroid export (the same fields and values) under
// the new number i + 1 and a name of its own: "7100 Ceres-1 (A801 AA)", "7101 Pallas-1 (A802
// FA)", ... (FixtureBodyName). Every body is numbered, so every one gets an SPK-ID and is loaded:
// the catalogue made from it holds the stars of nivra_star_list_fixture's catalogue of that size.
#include <rapidjson/document.h>
#include <rapidjson/filewritestream.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/StarListFixture.h"
#include "sbdb/ShippedExports.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [COUNT]\n", argv[0]);
        return 2;
    }
    const long count = argc == 3 ? std::atol(argv[2]) : 1400000;
    if (count <= 0) {
        std::fprintf(stderr, "COUNT must be a positive number\n");
        return 2;
    }
    rapidjson::Document shipped;
    shipped.Parse(ReadShippedExport("asteroids.json").c_str());
    const rapidjson::Value& fields = shipped["fields"];
    const rapidjson::Value& rows = shipped["data"];
    const rapidjson::SizeType templates = rows.Size();

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<char> buffer(1 << 16);
    rapidjson::FileWriteStream stream(out, buffer.data(), buffer.size());
    rapidjson::Writer<rapidjson::FileWriteStream> writer(stream);
    writer.StartObject();
    writer.Key("signature");
    shipped["signature"].Accept(writer);
    writer.Key("fields");
    fields.Accept(writer);
    writer.Key("data");
    writer.StartArray();
    for (long i = 0; i < count; ++i) {
        const rapidjson::SizeType k = static_cast<rapidjson::SizeType>(i % templates);
        const rapidjson::Value& row = rows[k];
        writer.StartArray();
        const std::string name = FixtureBodyName(
            row[0].GetString(), static_cast<int>(i / templates), static_cast<unsigned>(i + 1));
        writer.String(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
        for (rapidjson::SizeType c = 1; c < row.Size(); ++c)
            row[c].Accept(writer);
        writer.EndArray();
    }
    writer.EndArray();
    writer.Key("count");
    writer.Int64(count);
    writer.EndObject();
    stream.Flush();
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("%s: %ld bodies\n", argv[1], count);
    return 0;
}
