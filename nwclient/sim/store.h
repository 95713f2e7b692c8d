#pragma once
// The network's SQLite store: a thin RAII layer over the C API, and the versioned schema.
// The store runs in WAL mode, so readers never block the one writer and a killed process
// loses nothing that was committed.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace nwsim {

/// An SQLite failure: the statement or operation and SQLite's message.
class StoreError : public std::runtime_error {
public:
  StoreError(const std::string& what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }
private:
  int code_;
};

class Stmt;

class Store {
public:
  /// Opens an existing store (create = false) or makes a new one. Throws StoreError.
  Store(const std::filesystem::path& file, bool create);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  sqlite3* handle() const { return db_; }
  void exec(const std::string& sql);
  /// A prepared statement, cached for the life of the store. Text that is a literal is found
  /// by its address, other text by its hash.
  template <std::size_t N> Stmt& prepare(const char (&sql)[N]) { return prepareLiteral(sql); }
  Stmt& prepare(const std::string& sql);
  std::int64_t lastInsertId() const { return sqlite3_last_insert_rowid(db_); }
  int changes() const { return sqlite3_changes(db_); }
  /// A number that changes whenever the store changes, by this connection or another, and
  /// whenever a transaction of this connection is rolled back. Inside a transaction it is
  /// worked out from the snapshot the transaction reads, so asking again costs nothing.
  std::int64_t changeStamp();

  /// What a transaction may do: a read transaction refuses statements that write, so that a
  /// call served as a read cannot change the store by mistake.
  enum class Access { read, write };
  bool writesRefused() const { return writesRefused_; }

  /// The schema version this build writes; older stores are migrated on open.
  static int currentSchemaVersion();
  int schemaVersion();
  /// Brings a store up to the current schema (inside a transaction).
  void migrate();

private:
  friend class Transaction;
  Stmt& prepareLiteral(const char* sql);
  /// A transaction or savepoint of this connection has ended.
  void ended(bool outermost, bool rolledBack);
  sqlite3* db_ = nullptr;
  std::unordered_map<std::string, std::unique_ptr<Stmt>> byText_;
  std::unordered_map<const char*, Stmt*> byAddress_;
  bool writesRefused_ = false;
  std::optional<std::int64_t> snapshotVersion_;
  std::int64_t rollbacks_ = 0;
};

/// A prepared statement. Bind with 1-based indexes, step, read columns from 0.
class Stmt {
public:
  Stmt(sqlite3* db, const std::string& sql);
  /// A statement of `store`, which refuses to step it while writes are refused.
  Stmt(Store& store, const std::string& sql);
  ~Stmt();
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  Stmt& reset();
  Stmt& bind(int i, std::int64_t v);
  Stmt& bind(int i, int v) { return bind(i, static_cast<std::int64_t>(v)); }
  Stmt& bind(int i, unsigned v) { return bind(i, static_cast<std::int64_t>(v)); }
  Stmt& bind(int i, const std::string& v);
  Stmt& bind(int i, const char* v);
  Stmt& bindBlob(int i, const void* data, std::size_t size);
  Stmt& bindNull(int i);
  /// Binds all arguments from index 1 on, after a reset.
  template <typename... A> Stmt& with(const A&... args) {
    reset();
    int i = 0;
    (bind(++i, args), ...);
    return *this;
  }

  /// True while a row is available.
  bool step();
  /// Runs a statement that returns no rows.
  void run() { step(); sqlite3_reset(s_); }
  /// Steps to the first row and hands it to `read`, then resets the statement so that no
  /// read transaction stays open. False when there is no row.
  template <typename F> bool first(F&& read) {
    bool found = step();
    if (found) read(*this);
    sqlite3_reset(s_);
    return found;
  }
  /// Hands every row to `read`, then resets.
  template <typename F> void each(F&& read) {
    while (step()) read(*this);
    sqlite3_reset(s_);
  }

  std::int64_t int64(int col) const { return sqlite3_column_int64(s_, col); }
  int integer(int col) const { return sqlite3_column_int(s_, col); }
  std::string text(int col) const;
  std::vector<std::uint8_t> blob(int col) const;
  bool isNull(int col) const { return sqlite3_column_type(s_, col) == SQLITE_NULL; }

private:
  sqlite3* db_;
  sqlite3_stmt* s_ = nullptr;
  std::string sql_;
  const Store* store_ = nullptr;
  bool writes_ = false;
};

/// A transaction; rolled back unless committed. A write transaction takes the write lock at
/// once (BEGIN IMMEDIATE), so read-then-write sequences cannot interleave with another
/// process's; a read transaction only holds one snapshot of the store and refuses writes.
/// Inside an open transaction it is a savepoint of it.
class Transaction {
public:
  explicit Transaction(Store& store, Store::Access access = Store::Access::write);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit();
private:
  Store& store_;
  bool open_ = true;
  bool nested_ = false;
  bool refusedBefore_ = false;
};

} // namespace nwsim
