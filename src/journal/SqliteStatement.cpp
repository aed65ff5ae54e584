#include "SqliteStatement.h"

#include <sqlite3.h>

namespace zanfeld {

SqliteStatement::~SqliteStatement() { finalize(); }

int SqliteStatement::prepare(sqlite3* db, std::string_view sql) {
    finalize();
    return sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                              SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
}

void SqliteStatement::finalize() {
    if (m_stmt) sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

void SqliteStatement::bindInt(int index, int64_t value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bindNull(int index) { sqlite3_bind_null(m_stmt, index); }

void SqliteStatement::bindBytes(int index, std::string_view bytes) {
    // SQLITE_STATIC: every statement is stepped and reset while the caller's
    // strings are alive. A zero-length BLOB still needs a non-null pointer,
    // or SQLite stores NULL.
    static const char empty = 0;
    sqlite3_bind_blob64(m_stmt, index, bytes.empty() ? &empty : bytes.data(), bytes.size(),
                        SQLITE_STATIC);
}

void SqliteStatement::bindText(int index, std::string_view text) {
    sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
}

void SqliteStatement::bindBytesOrNull(int index, const std::string& bytes) {
    if (bytes.empty())
        bindNull(index);
    else
        bindBytes(index, bytes);
}

int SqliteStatement::step() { return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE; }

void SqliteStatement::reset() {
    if (!m_stmt) return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool SqliteStatement::isNull(int column) const {
    return !m_stmt || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int64_t SqliteStatement::intAt(int column) const { return sqlite3_column_int64(m_stmt, column); }

std::string SqliteStatement::bytesAt(int column) const {
    const void* data = sqlite3_column_blob(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    if (!data || size <= 0) return {};
    return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace zanfeld
