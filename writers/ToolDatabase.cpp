// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/ToolDatabase.h"

#include <cstring>

std::string SqliteReason(sqlite3* db) {
    if (db == nullptr)
        return "out of memory";
    std::string reason = sqlite3_errmsg(db);
    if (const int system = sqlite3_system_errno(db); system != 0)
        reason += std::string(" (") + std::strerror(system) + ")";
    return reason;
}

DatabaseHandle OpenDatabase(const std::string& path, int flags, std::string& why) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        why = SqliteReason(db);
        sqlite3_close(db);
        return nullptr;
    }
    return DatabaseHandle(db);
}

bool Execute(sqlite3* db, const char* sql, std::string& why) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        why = SqliteReason(db);
        return false;
    }
    return true;
}

StatementHandle Prepare(sqlite3* db, const char* sql, std::string& why) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        why = SqliteReason(db);
        sqlite3_finalize(statement);
        return nullptr;
    }
    return StatementHandle(statement);
}

DatabaseHandle OpenCatalogueForReading(const std::string& path, std::string& why) {
    DatabaseHandle db = OpenDatabase(path, SQLITE_OPEN_READONLY, why);
    if (db)
        sqlite3_busy_timeout(db.get(), 3000);
    return db;
}

std::string CatalogueReadProblem(const std::string& path, sqlite3* db, const std::string& why) {
    const int code = db != nullptr ? sqlite3_errcode(db) : SQLITE_ERROR;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return path + ": locked by another program that is writing it (" + why + ")";
    return path + ": not a catalogue written by nivra-data (" + why + ")";
}
