// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <optional>

#include "charts/RenderContract.h"
#include "data/CatalogueQueries.h"

class Catalogue;
struct FontTable;

// Everything a diagram render reads. Like the chart renders, the diagram renders are pure
// functions of these inputs and never touch a widget.
struct DiagramInputs {
    const FontTable* Fonts = nullptr;
    const Catalogue* Database = nullptr;
    const StarFileHeader* Header = nullptr;  // SpkId, FirstYear and LastYear of the loaded file
    ChartTitleInputs Title;                  // only the selected star's name is read
    ChartColours Colours = kScreenColours;
};

// A diagram's title line, "{%lu} - %s - <caption> - Years from %d to %d", with the file's first
// and last years whatever year is chosen in the toolbar, cut as the charts' title line is.
// Nothing when no star is selected or no file is loaded.
std::optional<QString> DiagramTitle(const DiagramInputs& inputs, const char* caption);

// The drawing step's own run of OrbitElementsQuery: whether its text could be prepared, and the
// row when one came.
struct OrbitElementsLookup {
    bool Prepared = false;
    std::optional<OrbitElementsRow> Row;
};
OrbitElementsLookup LookupOrbitElements(const Catalogue& catalogue, SpkId id);
