#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::robot {

// A fault of the database: the disk full, the file read-only, a lock held
// too long. What was begun is rolled back; the message is SQLite's.
struct StoreError : std::runtime_error {
  StoreError(const std::string& what, int code) : std::runtime_error(what), code(code) {}
  int code;
};

// One prepared statement; values are only ever bound, never spliced in.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  Statement& Bind(int index, std::int64_t value);
  Statement& BindNull(int index);
  // True while a row is there to read; false once the statement is done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();

  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const;

 private:
  void Check(int rc) const;
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// The connection: one database file, WAL, every commit synced.
class Database {
 public:
  explicit Database(const std::string& path);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Exec(const char* sql);
  Statement Prepare(std::string_view sql) { return Statement(db_, sql); }
  std::int64_t LastInsertId() const;
  // Rows the last statement changed.
  std::int64_t Changes() const;
  sqlite3* handle() { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back unless Commit() was reached.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  void Commit();

 private:
  Database& db_;
  bool done_ = false;
};

}  // namespace velmora::robot
