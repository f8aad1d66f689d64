// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

// The SQLite connection of nivra-data's catalogue writers: opened, used and closed by one owner.
struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

// A prepared statement, finalized with its owner.
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// SQLite's text for the last failure on `db`, with the system's when a system call failed:
// "unable to open database file (No such file or directory)".
std::string SqliteReason(sqlite3* db);

// Opens the database at `path` with sqlite3_open_v2 `flags`; nothing, with `why`, on failure.
DatabaseHandle OpenDatabase(const std::string& path, int flags, std::string& why);

// Runs SQL without results; false with `why` on failure.
bool Execute(sqlite3* db, const char* sql, std::string& why);

// Prepares one statement; nothing, with `why`, on failure.
StatementHandle Prepare(sqlite3* db, const char* sql, std::string& why);

// Opens a catalogue for reading only, waiting up to three seconds for a program that holds it
// locked while it writes it in place (nivra-data never does: it replaces catalogues whole).
DatabaseHandle OpenCatalogueForReading(const std::string& path, std::string& why);

// What to say when a statement on the catalogue at `path` could not be prepared or run: the
// catalogue is locked by a program writing it, or it is not one nivra-data wrote.
std::string CatalogueReadProblem(const std::string& path, sqlite3* db, const std::string& why);
