// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One row of a running statement; columns are read by their 0-based index.
class CatalogueRow {
  public:
    explicit CatalogueRow(sqlite3_stmt* statement) : statement_(statement) {}
    int Int(int column) const;
    // Whether the column holds an integer a SpkId can be (0 to 4294967295); a larger or negative
    // value would be cut to 32 bits and name another star's file.
    bool HoldsSpkId(int column) const;
    double Double(int column) const;
    // The column's text up to its first zero byte (empty for NULL), bytes undecoded.
    std::string Text(int column) const;
    // The same without a copy: valid until the statement steps again.
    std::string_view TextView(int column) const;

  private:
    sqlite3_stmt* statement_;
};

enum class StatementShape {
    List,    // step while rows come
    Lookup,  // step once
};

// The catalogue connection, held for the whole run. Every statement goes through Run, which
// prepares it, steps it, and resets and finalises it on every path.
class Catalogue {
  public:
    enum class Access {
        CreateIfMissing,  // read-write; a missing file is created as an empty database
        ReadOnly,         // read-only; a missing file fails
    };

    // Opens the database file and reads its schema, so that a file that is not a database, a
    // damaged header or a lock held by a writer fails here. On failure the connection is closed
    // and `error` holds "<library error text> : <path>".
    static std::unique_ptr<Catalogue> Open(const std::string& path, std::string& error,
                                           Access access = Access::CreateIfMissing);

    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // Prepares `text` with its full length and hands every row to `onRow`. Returns the number of
    // rows handed over, or -1 when the text could not be prepared (nothing else is reported).
    int Run(std::string_view text, StatementShape shape,
            const std::function<void(const CatalogueRow&)>& onRow) const;

    // Whether the last Run failed: its text could not be prepared, or stepping stopped on an
    // error (a damaged or locked file) rather than at the end of the rows. The viewer, like the
    // statements' own loops, takes the rows it got; the command-line tools report it.
    bool LastRunFailed() const { return lastRunFailed_; }
    // The library's text for the last error on the connection.
    std::string ErrorText() const;

    // Opens the file at the catalogue's path again, as Open did, for a catalogue that a writer
    // replaced since (a connection keeps reading the file it opened, even after a rename put
    // another one in its place). On failure the connection stays as it was and `error` says why.
    bool Reopen(std::string& error);

    sqlite3* Handle() const { return db_; }

  private:
    Catalogue(sqlite3* db, std::string path, Access access)
        : db_(db), path_(std::move(path)), access_(access) {}
    static sqlite3* OpenConnection(const std::string& path, Access access, std::string& error);
    sqlite3* db_;
    std::string path_;
    Access access_;
    mutable bool lastRunFailed_ = false;
};
