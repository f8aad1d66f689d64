// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/Catalogue.h"
#include "diagrams/DiagramInputs.h"
#include "drawing/Fonts.h"
#include "tests/support/TestData.h"

// A catalogue of a few stars in a temporary folder, the program's fonts, and diagram inputs for
// one of the stars as the toolbar would give them.
struct DiagramFixture : ::testing::Test {
    TestData::TempFolder folder;
    FontTable fonts = CreateFontTable();
    std::unique_ptr<Catalogue> catalogue;
    StarFileHeader header;

    void WriteStars(const std::vector<TestData::Star>& stars) {
        const std::string path = folder / "Nivra.db";
        TestData::WriteCatalogue(path, {{1, "Main-belt Asteroid"}}, stars);
        std::string error;
        catalogue = Catalogue::Open(path, error);
        ASSERT_NE(catalogue, nullptr) << error;
    }

    DiagramInputs Inputs(SpkId id, const std::string& name) {
        header.Id = id;
        header.FirstYear = 2000;
        header.LastYear = 2019;
        DiagramInputs inputs;
        inputs.Fonts = &fonts;
        inputs.Database = catalogue.get();
        inputs.Header = &header;
        inputs.Title.SelectedStarName = name;
        inputs.Title.SelectedYear = 0;
        return inputs;
    }
};

inline TestData::Star OrbitStar(SpkId id, const std::string& name, double e, double a) {
    TestData::Star star;
    star.Id = id;
    star.Name = name;
    star.Eccentricity = e;
    star.SemiMajorAxis = a;
    star.PerihelionDistance = a * (1 - e);
    star.ApelionDistance = a * (1 + e);
    return star;
}
