// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "diagrams/DiagramInputs.h"

#include "data/Catalogue.h"
#include "data/CatalogueStatements.h"

std::optional<QString> DiagramTitle(const DiagramInputs& inputs, const char* caption) {
    // The charts' title line as with "(All years)": a diagram reads no selected year.
    return FormatChartTitle({inputs.Title.SelectedStarName, 0}, inputs.Header, caption);
}

OrbitElementsLookup LookupOrbitElements(const Catalogue& catalogue, SpkId id) {
    OrbitElementsLookup lookup;
    lookup.Row = QueryOrbitElements(catalogue, id);
    // Without a row, one more run tells a missing row from a text that cannot be prepared.
    lookup.Prepared = lookup.Row.has_value() ||
                      catalogue.Run(CatalogueStatements::OrbitElementsQuery(id),
                                    StatementShape::Lookup, [](const CatalogueRow&) {}) >= 0;
    return lookup;
}
