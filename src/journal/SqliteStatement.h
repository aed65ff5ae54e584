#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace zanfeld {

// One prepared statement, kept for its connection's life and reset after
// every use so that it never holds a read open.
class SqliteStatement {
  public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Returns an SQLite result code.
    int prepare(sqlite3* db, std::string_view sql);
    void finalize();

    // Parameters count from 1. Byte strings are bound as BLOBs: paths need
    // not be UTF-8. An empty optional byte string binds NULL.
    void bindInt(int index, int64_t value);
    void bindNull(int index);
    void bindBytes(int index, std::string_view bytes);
    void bindText(int index, std::string_view text);
    void bindBytesOrNull(int index, const std::string& bytes);

    // SQLITE_ROW, SQLITE_DONE or an error.
    int step();
    // Resets and clears the bindings.
    void reset();

    // Columns count from 0.
    bool isNull(int column) const;
    int64_t intAt(int column) const;
    std::string bytesAt(int column) const;

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

}  // namespace zanfeld
