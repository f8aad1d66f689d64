// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/CatalogueQueries.h"

#include "data/CatalogueStatements.h"

namespace {

// The rows of a list statement.
template <typename Row, typename ReadRow>
std::optional<std::vector<Row>> List(const Catalogue& catalogue, const std::string& text,
                                     ReadRow read) {
    std::vector<Row> rows;
    const int count = catalogue.Run(text, StatementShape::List,
                                    [&](const CatalogueRow& row) { rows.push_back(read(row)); });
    if (count < 0) {
        return std::nullopt;
    }
    return rows;
}

template <typename Row, typename ReadRow>
std::optional<Row> Lookup(const Catalogue& catalogue, const std::string& text, ReadRow read) {
    std::optional<Row> result;
    catalogue.Run(text, StatementShape::Lookup,
                  [&](const CatalogueRow& row) { result = read(row); });
    return result;
}

// The fourteen values of the information panel, from `first` on in select-list order.
StarInfoRow ReadStarInfo(const CatalogueRow& row, int first) {
    double v[14];
    for (int i = 0; i < 14; ++i)
        v[i] = row.Double(first + i);
    return StarInfoRow{v[0], v[1], v[2], v[3],  v[4],  v[5],  v[6],
                       v[7], v[8], v[9], v[10], v[11], v[12], v[13]};
}

}  // namespace

std::optional<std::vector<OrbitClassRow>> QueryOrbitClasses(const Catalogue& catalogue) {
    return List<OrbitClassRow>(catalogue, CatalogueStatements::OrbitClassQuery(),
                               [](const CatalogueRow& row) {
                                   return OrbitClassRow{row.Int(0), row.Text(1)};
                               });
}

std::optional<int> ForEachStarChoice(const Catalogue& catalogue, int code,
                                     const std::function<void(const StarChoiceRowView&)>& onRow) {
    int handed = 0;
    const int count = catalogue.Run(CatalogueStatements::StarChoiceQuery(code),
                                    StatementShape::List, [&](const CatalogueRow& row) {
                                        if (!row.HoldsSpkId(0))
                                            return;
                                        ++handed;
                                        onRow({static_cast<SpkId>(row.Int(0)), row.TextView(1)});
                                    });
    if (count < 0)
        return std::nullopt;
    return handed;
}

std::optional<std::vector<StarChoiceRow>> QueryStarChoices(const Catalogue& catalogue, int code) {
    std::vector<StarChoiceRow> rows;
    if (!ForEachStarChoice(catalogue, code, [&](const StarChoiceRowView& row) {
            rows.push_back({row.Id, std::string(row.Name)});
        })) {
        return std::nullopt;
    }
    return rows;
}

std::optional<StarInfoRow> QueryStarInfo(const Catalogue& catalogue, SpkId id) {
    return Lookup<StarInfoRow>(catalogue, CatalogueStatements::StarInfoQuery(id),
                               [](const CatalogueRow& row) { return ReadStarInfo(row, 0); });
}

std::optional<int> ForEachStarListRow(const Catalogue& catalogue,
                                      const std::function<void(const StarListRowView&)>& onRow) {
    int handed = 0;
    const int count = catalogue.Run(
        CatalogueStatements::StarListQuery(), StatementShape::List, [&](const CatalogueRow& row) {
            if (!row.HoldsSpkId(2))
                return;
            ++handed;
            onRow({row.TextView(1), static_cast<SpkId>(row.Int(2)), row.TextView(3),
                   ReadStarInfo(row, 4), row.Double(18)});
        });
    if (count < 0)
        return std::nullopt;
    return handed;
}

std::optional<std::vector<StarListRow>> QueryStarList(const Catalogue& catalogue) {
    std::vector<StarListRow> rows;
    if (!ForEachStarListRow(catalogue, [&](const StarListRowView& row) {
            rows.push_back({std::string(row.Orbite), row.Id, std::string(row.Name), row.Values,
                            row.GeometricAlbedo});
        })) {
        return std::nullopt;
    }
    return rows;
}

bool StarListReadable(const Catalogue& catalogue) {
    // The star list's own text, its order left out and no row asked for.
    std::string text = CatalogueStatements::StarListQuery();
    if (const std::size_t order = text.rfind("ORDER BY"); order != std::string::npos)
        text.resize(order);
    text += " LIMIT 0";
    return catalogue.Run(text, StatementShape::Lookup, [](const CatalogueRow&) {}) >= 0 &&
           !catalogue.LastRunFailed();
}

std::optional<OrbitElementsRow> QueryOrbitElements(const Catalogue& catalogue, SpkId id) {
    return Lookup<OrbitElementsRow>(catalogue, CatalogueStatements::OrbitElementsQuery(id),
                                    [](const CatalogueRow& row) {
                                        return OrbitElementsRow{static_cast<SpkId>(row.Int(0)),
                                                                row.Double(1),
                                                                row.Double(2),
                                                                row.Double(3),
                                                                row.Double(4),
                                                                row.Double(5),
                                                                row.Double(6),
                                                                row.Double(7),
                                                                row.Double(8)};
                                    });
}

std::optional<PerihelionRow> QueryPerihelion(const Catalogue& catalogue, SpkId id) {
    return Lookup<PerihelionRow>(catalogue, CatalogueStatements::PerihelionQuery(id),
                                 [](const CatalogueRow& row) {
                                     return PerihelionRow{row.Double(2), row.Double(3)};
                                 });
}

namespace {

// A body's row of FindListQuery or FoundStarQuery.
FindRowView ReadFindRow(const CatalogueRow& row) {
    std::string_view fullName = row.TextView(1);
    if (fullName.find_first_not_of(' ') == std::string_view::npos)
        fullName = row.TextView(2);
    return {static_cast<SpkId>(row.Int(0)), fullName, row.Int(3)};
}

}  // namespace

std::optional<int> ForEachFindRow(const Catalogue& catalogue,
                                  const std::function<void(const FindRowView&)>& onRow) {
    int handed = 0;
    const auto read = [&](const CatalogueRow& row) {
        if (!row.HoldsSpkId(0))
            return;
        ++handed;
        onRow(ReadFindRow(row));
    };
    if (catalogue.Run(CatalogueStatements::FindListQuery(true), StatementShape::List, read) >= 0)
        return handed;
    // A catalogue without the full-name column.
    if (catalogue.Run(CatalogueStatements::FindListQuery(false), StatementShape::List, read) >= 0)
        return handed;
    return std::nullopt;
}

std::optional<std::vector<FoundStarRow>> QueryFoundStars(const Catalogue& catalogue,
                                                         const std::vector<SpkId>& ids) {
    std::vector<FoundStarRow> rows;
    if (ids.empty())
        return rows;
    const auto read = [&](const CatalogueRow& row) {
        if (!row.HoldsSpkId(0))
            return;
        const FindRowView view = ReadFindRow(row);
        rows.push_back({view.Id, std::string(view.FullName), view.OrbiteType});
    };
    for (const bool withFullNames : {true, false}) {
        if (catalogue.Run(CatalogueStatements::FoundStarsQuery(ids, withFullNames),
                          StatementShape::List, read) >= 0) {
            return rows;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> QueryStarCount(const Catalogue& catalogue) {
    std::optional<std::int64_t> count;
    catalogue.Run(CatalogueStatements::StarCountQuery(), StatementShape::Lookup,
                  [&](const CatalogueRow& row) { count = row.Int(0); });
    return count;
}
