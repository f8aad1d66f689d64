// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "data/Catalogue.h"

#include <cstring>

#include <sqlite3.h>

int CatalogueRow::Int(int column) const {
    return sqlite3_column_int(statement_, column);
}

bool CatalogueRow::HoldsSpkId(int column) const {
    const sqlite3_int64 value = sqlite3_column_int64(statement_, column);
    return value >= 0 && value <= 0xFFFFFFFFLL;
}

double CatalogueRow::Double(int column) const {
    return sqlite3_column_double(statement_, column);
}

std::string CatalogueRow::Text(int column) const {
    return std::string(TextView(column));
}

std::string_view CatalogueRow::TextView(int column) const {
    const unsigned char* text = sqlite3_column_text(statement_, column);
    if (text == nullptr) {
        return {};
    }
    // The text is read as the zero-terminated string it is handed over as: a zero byte stored
    // inside it ends it.
    const std::size_t stored = static_cast<std::size_t>(sqlite3_column_bytes(statement_, column));
    const auto* begin = reinterpret_cast<const char*>(text);
    const void* zero = std::memchr(begin, '\0', stored);
    return std::string_view(begin,
                            zero != nullptr ? static_cast<const char*>(zero) - begin : stored);
}

sqlite3* Catalogue::OpenConnection(const std::string& path, Access access, std::string& error) {
    sqlite3* db = nullptr;
    // Opening reads nothing; the schema read is the first access to the file. The connection is
    // used from one thread only, so it takes no lock on each call (a list of a million rows
    // reads 19 million columns).
    const int flags = (access == Access::ReadOnly ? SQLITE_OPEN_READONLY
                                                  : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
        error = std::string(db != nullptr ? sqlite3_errmsg(db) : "out of memory") + " : " + path;
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

std::unique_ptr<Catalogue> Catalogue::Open(const std::string& path, std::string& error,
                                           Access access) {
    sqlite3* db = OpenConnection(path, access, error);
    if (db == nullptr)
        return nullptr;
    return std::unique_ptr<Catalogue>(new Catalogue(db, path, access));
}

bool Catalogue::Reopen(std::string& error) {
    sqlite3* db = OpenConnection(path_, access_, error);
    if (db == nullptr)
        return false;
    sqlite3_close(db_);
    db_ = db;
    return true;
}

std::string Catalogue::ErrorText() const {
    return sqlite3_errmsg(db_);
}

Catalogue::~Catalogue() {
    sqlite3_close(db_);
}

namespace {
// Resets, then finalises, whatever way the statement's operation ends.
struct StatementGuard {
    sqlite3_stmt* statement;
    ~StatementGuard() {
        sqlite3_reset(statement);
        sqlite3_finalize(statement);
    }
};
}  // namespace

int Catalogue::Run(std::string_view text, StatementShape shape,
                   const std::function<void(const CatalogueRow&)>& onRow) const {
    lastRunFailed_ = true;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, text.data(), static_cast<int>(text.size()), &statement, nullptr) !=
            SQLITE_OK ||
        statement == nullptr) {
        return -1;
    }
    StatementGuard guard{statement};
    int rows = 0;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        ++rows;
        onRow(CatalogueRow(statement));
        if (shape == StatementShape::Lookup) {
            break;
        }
    }
    lastRunFailed_ = step != SQLITE_ROW && step != SQLITE_DONE;
    return rows;
}
