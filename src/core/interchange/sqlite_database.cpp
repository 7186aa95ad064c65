#include "core/interchange/sqlite_database.h"

#include "core/interchange/loaded_library.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

namespace lexanta {

namespace {

// Loaded with the first Anki package, as libzip is with the first container: no start of
// either program pays for it.
#define LEXANTA_SQLITE_FUNCTIONS(F)                                                                \
    F(sqlite3_close)                                                                               \
    F(sqlite3_column_bytes)                                                                        \
    F(sqlite3_column_int64)                                                                        \
    F(sqlite3_column_text)                                                                         \
    F(sqlite3_column_type)                                                                         \
    F(sqlite3_create_collation)                                                                    \
    F(sqlite3_db_config)                                                                           \
    F(sqlite3_deserialize)                                                                         \
    F(sqlite3_errcode)                                                                             \
    F(sqlite3_errmsg)                                                                              \
    F(sqlite3_finalize)                                                                            \
    F(sqlite3_open_v2)                                                                             \
    F(sqlite3_prepare_v2)                                                                          \
    F(sqlite3_step)

struct LibSqlite {
#define LEXANTA_SQLITE_MEMBER(name) decltype(&::name) name = nullptr;
    LEXANTA_SQLITE_FUNCTIONS(LEXANTA_SQLITE_MEMBER)
#undef LEXANTA_SQLITE_MEMBER
    QString error; // why it could not be loaded
};

const LibSqlite& sqlite() {
    static const LibSqlite loaded = [] {
        LibSqlite s;
        LoadedLibrary library(LEXANTA_SQLITE3_SONAME, "the SQLite library");
#define LEXANTA_SQLITE_RESOLVE(name) &&library.resolve(s.name, #name)
        if (!(true LEXANTA_SQLITE_FUNCTIONS(LEXANTA_SQLITE_RESOLVE)))
            s.error = library.error();
#undef LEXANTA_SQLITE_RESOLVE
        return s;
    }();
    return loaded;
}

sqlite3* asDb(void* p) {
    return static_cast<sqlite3*>(p);
}

sqlite3_stmt* asStatement(void* p) {
    return static_cast<sqlite3_stmt*>(p);
}

// Anki's tables name their columns with its own collation; only a query that compares those
// columns would use it, but the schema must find one by that name.
int compareUnicase(void*, int leftSize, const void* left, int rightSize, const void* right) {
    const auto* l = static_cast<const unsigned char*>(left);
    const auto* r = static_cast<const unsigned char*>(right);
    const int n = std::min(leftSize, rightSize);
    for (int i = 0; i < n; ++i) {
        const int a = std::tolower(l[i]), b = std::tolower(r[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return leftSize == rightSize ? 0 : (leftSize < rightSize ? -1 : 1);
}

} // namespace

SqliteDatabase::~SqliteDatabase() {
    if (db_)
        sqlite().sqlite3_close(asDb(db_));
}

QString SqliteDatabase::lastError() const {
    if (sqlite().sqlite3_errcode(asDb(db_)) == SQLITE_NOMEM)
        return QStringLiteral("not enough memory");
    return QString::fromUtf8(sqlite().sqlite3_errmsg(asDb(db_)));
}

QString SqliteDatabase::open(std::string bytes) {
    if (!sqlite().error.isEmpty())
        return sqlite().error;
    bytes_ = std::move(bytes);
    // A collection left in write-ahead-log mode would have SQLite look for its log; read from
    // memory there is none, and the database is whole without it.
    if (bytes_.size() >= 100 && bytes_[18] == 2 && bytes_[19] == 2)
        bytes_[18] = bytes_[19] = 1;
    sqlite3* db = nullptr;
    if (sqlite().sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr) != SQLITE_OK) {
        if (db)
            sqlite().sqlite3_close(db);
        return QStringLiteral("not enough memory");
    }
    db_ = db;
    const auto size = static_cast<sqlite3_int64>(bytes_.size());
    if (sqlite().sqlite3_deserialize(db, "main", reinterpret_cast<unsigned char*>(bytes_.data()),
                                     size, size, SQLITE_DESERIALIZE_READONLY) != SQLITE_OK)
        return lastError();
    // Nothing the file brings runs: no functions from its schema, no writes.
    sqlite().sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite().sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite().sqlite3_create_collation(db, "unicase", SQLITE_UTF8, nullptr, compareUnicase);
    // Damaged pages are reported as damage rather than read.
    for (const char* pragma : {"PRAGMA cell_size_check = ON", "PRAGMA query_only = ON"}) {
        Query q(*this, pragma);
        while (q.next()) {
        }
        if (!q.error().isEmpty())
            return q.error();
    }
    return {};
}

QString SqliteDatabase::tables(QStringList& names) {
    Query q(*this, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (q.next())
        names << QString::fromUtf8(q.text(0).data(), static_cast<qsizetype>(q.text(0).size()));
    return q.error();
}

SqliteDatabase::Query::Query(SqliteDatabase& db, const char* sql) : db_(db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite().sqlite3_prepare_v2(asDb(db.db_), sql, -1, &statement, nullptr) != SQLITE_OK)
        error_ = db.lastError();
    statement_ = statement;
}

SqliteDatabase::Query::~Query() {
    sqlite().sqlite3_finalize(asStatement(statement_));
}

bool SqliteDatabase::Query::next() {
    if (!error_.isEmpty() || !statement_)
        return false;
    const int step = sqlite().sqlite3_step(asStatement(statement_));
    if (step == SQLITE_ROW)
        return true;
    if (step != SQLITE_DONE)
        error_ = db_.lastError();
    return false;
}

std::int64_t SqliteDatabase::Query::integer(int column) const {
    return sqlite().sqlite3_column_int64(asStatement(statement_), column);
}

std::string_view SqliteDatabase::Query::text(int column) const {
    const unsigned char* text = sqlite().sqlite3_column_text(asStatement(statement_), column);
    if (!text)
        return {};
    const int size = sqlite().sqlite3_column_bytes(asStatement(statement_), column);
    return {reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)};
}

bool SqliteDatabase::Query::isNull(int column) const {
    return sqlite().sqlite3_column_type(asStatement(statement_), column) == SQLITE_NULL;
}

} // namespace lexanta
