#include "diagrams/DiagramInputs.h"

#include "data/Catalogue.h"
#include "data/CatalogueStatements.h"
#include "data/TextFormat.h"

std::optional<QString> DiagramTitle(const DiagramInputs& inputs, const char* caption) {
    if (inputs.Header == nullptr || !inputs.Title.SelectedStarName) {
        return std::nullopt;
    }
    return QString::fromStdString(FormatText("{%lu} - %s - %s - Years from %d to %d",
                                             static_cast<unsigned long>(inputs.Header->Id),
                                             inputs.Title.SelectedStarName->c_str(), caption,
                                             inputs.Header->FirstYear, inputs.Header->LastYear));
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
