// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/StarListFixture.h"

#include <QByteArray>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "sbdb/CatalogueRows.h"
#include "sbdb/SbdbReader.h"
#include "sbdb/ShippedExports.h"
#include "tests/support/TestData.h"
#include "writers/CatalogueFile.h"

namespace {

// "     1 Ceres (A801 AA)" -> "Ceres (A801 AA)"; "(2022 OU15)" stays.
std::string WithoutNumber(const std::string& fullName) {
    std::size_t at = fullName.find_first_not_of(' ');
    const std::size_t digits = fullName.find_first_not_of("0123456789", at);
    if (digits != at && digits < fullName.size() && fullName[digits] == ' ')
        at = digits + 1;
    return fullName.substr(at);
}

// The rows of the shipped asteroid export as a catalogue holds them, in the export's order: the
// 7,098 bodies nivra-data loads (one has neither a mean anomaly nor a time of perihelion).
CatalogueContent ShippedAsteroidRows() {
    const char* file = "asteroids.json";
    SbdbFile shipped = ReadSbdbJson(QByteArray::fromStdString(ReadShippedExport(file)), file);
    CatalogueAssembler assembler([](ProblemKind, const std::string&, const std::string&) {});
    CatalogueContent rows;
    for (std::size_t k = 0; k < shipped.Bodies.size(); ++k) {
        SbdbBody& body = shipped.Bodies[k];
        // Numbered as it will be in the catalogue, so that every body gets an SPK-ID.
        const auto number = static_cast<std::uint32_t>(k + 1);
        body.FullName = FixtureBodyName(body.FullName, 0, number);
        body.Number = number;
        std::optional<CatalogueStar> star = assembler.Admit(file, body);
        if (!star)
            continue;
        assembler.Keep(*star);
        rows.Stars.push_back(std::move(*star));
    }
    if (rows.Stars.empty())
        throw std::runtime_error("the shipped asteroid export gives no star: " + shipped.Error);
    rows.Classes = assembler.Classes();
    return rows;
}

}  // namespace

std::string FixtureBodyName(const std::string& fullName, int round, unsigned number) {
    std::string text = WithoutNumber(fullName);
    if (round > 0) {
        const std::size_t designation = text.find(" (");
        const std::size_t at = text[0] == '('
                                   ? text.size() - 1
                                   : (designation == std::string::npos ? text.size() : designation);
        text.insert(at, std::string(1, '-').append(std::to_string(round)));
    }
    return std::to_string(number).append(1, ' ').append(text);
}

void WriteStarListFixture(const std::string& path, int count) {
    const CatalogueContent shipped = ShippedAsteroidRows();
    const std::size_t templates = shipped.Stars.size();
    CatalogueContent content;
    content.Classes = shipped.Classes;
    content.Stars.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % templates;
        CatalogueStar star = shipped.Stars[k];
        star.SpkId = kStarListFixtureFirstId + static_cast<std::uint32_t>(i);
        star.FullName = FixtureBodyName(shipped.Stars[k].FullName,
                                        static_cast<int>(static_cast<std::size_t>(i) / templates),
                                        static_cast<unsigned>(i + 1));
        star.Name = DisplayName(star.FullName);
        star.DatasForIt = 1;
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
