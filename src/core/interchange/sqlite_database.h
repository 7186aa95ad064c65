#pragma once

// A SQLite database read from memory, never from or next to a file: the collection inside an
// Anki package. SQLite is loaded when first used.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>

namespace lexanta {

class SqliteDatabase {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens the database file's bytes read-only; takes them over. An empty text, or why not.
    QString open(std::string bytes);
    // The names of the tables; an empty text, or why they cannot be read (a damaged file).
    QString tables(QStringList& names);

    // One query's rows, a row at a time.
    class Query {
    public:
        Query(SqliteDatabase& db, const char* sql);
        ~Query();
        Query(const Query&) = delete;
        Query& operator=(const Query&) = delete;
        // The next row; false at the end or on a failure (error()).
        bool next();
        const QString& error() const { return error_; }
        std::int64_t integer(int column) const;
        // Valid until the next row; NULL reads as empty.
        std::string_view text(int column) const;
        bool isNull(int column) const;

    private:
        SqliteDatabase& db_;
        void* statement_ = nullptr;
        QString error_;
    };

private:
    QString lastError() const;

    void* db_ = nullptr;
    std::string bytes_; // the database itself: SQLite reads it in place
};

} // namespace lexanta
