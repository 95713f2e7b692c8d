#include "store.h"

namespace nwsim {

// Schema steps that belong to other parts of the simulator, defined beside them.
extern const char* const schemaDirectory;
extern const char* const schemaServers;
extern const char* const schemaFileSystem;
extern const char* const schemaPrinting;
extern const char* const schemaDirectoryAccess;
extern const char* const schemaVolumeUse;
extern const char* const schemaStations;

namespace {

[[noreturn]] void throwError(sqlite3* db, const std::string& what, int rc) {
  std::string msg = what + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  throw StoreError(msg, rc);
}

// Each entry brings the schema from version i to i + 1. Later features append entries;
// an existing entry is never changed, so every store can be brought up to date.
const std::vector<const char*>& migrations() {
  static const std::vector<const char*> steps = {
      // 1: servers, their binderies, workstations and their connections, fault injection.
      R"sql(
      CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
      CREATE TABLE servers(
        id INTEGER PRIMARY KEY,
        name TEXT NOT NULL UNIQUE,
        kind TEXT NOT NULL CHECK(kind IN ('bindery','directory')),
        tree TEXT NOT NULL DEFAULT '',
        ver_major INTEGER NOT NULL, ver_minor INTEGER NOT NULL, ver_revision INTEGER NOT NULL,
        max_conns INTEGER NOT NULL,
        net_number INTEGER NOT NULL,
        node BLOB NOT NULL,
        clock_offset INTEGER NOT NULL DEFAULT 0,
        clock_fixed INTEGER,
        up INTEGER NOT NULL DEFAULT 1,
        logins_enabled INTEGER NOT NULL DEFAULT 1,
        serial INTEGER NOT NULL DEFAULT 0);
      CREATE TABLE bindery_objects(
        server_id INTEGER NOT NULL REFERENCES servers(id),
        object_id INTEGER NOT NULL,
        name TEXT NOT NULL,
        type INTEGER NOT NULL,
        flags INTEGER NOT NULL DEFAULT 0,
        security INTEGER NOT NULL DEFAULT 49,
        PRIMARY KEY(server_id, object_id),
        UNIQUE(server_id, name, type));
      CREATE TABLE bindery_properties(
        server_id INTEGER NOT NULL,
        object_id INTEGER NOT NULL,
        name TEXT NOT NULL,
        flags INTEGER NOT NULL,
        security INTEGER NOT NULL,
        PRIMARY KEY(server_id, object_id, name));
      CREATE TABLE bindery_values(
        server_id INTEGER NOT NULL,
        object_id INTEGER NOT NULL,
        property TEXT NOT NULL,
        segment INTEGER NOT NULL,
        data BLOB NOT NULL,
        PRIMARY KEY(server_id, object_id, property, segment));
      CREATE TABLE workstations(
        name TEXT PRIMARY KEY,
        node BLOB NOT NULL,
        preferred_server TEXT NOT NULL DEFAULT '',
        preferred_tree TEXT NOT NULL DEFAULT '',
        name_context TEXT NOT NULL DEFAULT '',
        primary_conn INTEGER NOT NULL DEFAULT 0,
        broadcast_mode INTEGER NOT NULL DEFAULT 0,
        created INTEGER NOT NULL);
      CREATE TABLE connections(
        id INTEGER PRIMARY KEY AUTOINCREMENT,
        workstation TEXT NOT NULL REFERENCES workstations(name),
        server_id INTEGER NOT NULL REFERENCES servers(id),
        conn_number INTEGER NOT NULL,
        object_id INTEGER NOT NULL DEFAULT 0,
        login_time INTEGER,
        auth_state INTEGER NOT NULL DEFAULT 0,
        tree_conn INTEGER NOT NULL DEFAULT 0,
        licensed INTEGER NOT NULL DEFAULT 1,
        bytes_read INTEGER NOT NULL DEFAULT 0,
        bytes_written INTEGER NOT NULL DEFAULT 0,
        requests INTEGER NOT NULL DEFAULT 0,
        opened INTEGER NOT NULL,
        UNIQUE(server_id, conn_number));
      CREATE INDEX connections_by_workstation ON connections(workstation, id);
      CREATE TABLE faults(
        function TEXT NOT NULL,
        code INTEGER NOT NULL,
        remaining INTEGER NOT NULL);
      CREATE INDEX faults_by_function ON faults(function);
      )sql",
      // 2: the directory tree.
      schemaDirectory,
      // 3: volumes, files and the servers' consoles, modules and open files.
      schemaServers,
      // 4: attributes, owners, dates, rights masks and trustees of volume entries.
      schemaFileSystem,
      // 5: print queue jobs, printer captures and banner names.
      schemaPrinting,
      // 6: directory objects by parent, locked and monitored directory connections.
      schemaDirectoryAccess,
      // 7: volume sizes, disk restrictions, directory bases and deleted files.
      schemaVolumeUse,
      // 8: broadcast mailboxes, the console log, semaphores and TTS transactions.
      schemaStations,
  };
  return steps;
}

} // namespace

Store::Store(const std::filesystem::path& file, bool create) {
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw StoreError("cannot open " + file.string() + ": " + msg, rc);
  }
  sqlite3_busy_timeout(db_, 10000);
  sqlite3_extended_result_codes(db_, 1);
  try {
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    exec("PRAGMA foreign_keys=ON");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

Store::~Store() {
  byAddress_.clear();
  byText_.clear();
  if (db_) sqlite3_close(db_);
}

void Store::exec(const std::string& sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw StoreError(msg, rc);
  }
}

Stmt& Store::prepare(const std::string& sql) {
  auto& stmt = byText_[sql];
  if (stmt) return stmt->reset();
  try {
    stmt = std::make_unique<Stmt>(*this, sql);
  } catch (...) {
    byText_.erase(sql);
    throw;
  }
  return *stmt;
}

Stmt& Store::prepareLiteral(const char* sql) {
  if (auto it = byAddress_.find(sql); it != byAddress_.end()) return it->second->reset();
  Stmt& stmt = prepare(std::string(sql));
  byAddress_.emplace(sql, &stmt);
  return stmt;
}

std::int64_t Store::changeStamp() {
  std::int64_t other = 0;
  if (snapshotVersion_) {
    other = *snapshotVersion_;
  } else {
    // The pragma starts the read of an open transaction, so its snapshot is the one the
    // transaction goes on reading.
    prepare("PRAGMA data_version").first([&](Stmt& q) { other = q.int64(0); });
    if (sqlite3_get_autocommit(db_) == 0) snapshotVersion_ = other;
  }
  return (other << 32) ^ (rollbacks_ << 24) ^ static_cast<std::int64_t>(sqlite3_total_changes(db_));
}

void Store::ended(bool outermost, bool rolledBack) {
  if (outermost) snapshotVersion_.reset();
  // Rows read after changes that were then undone must not be taken for current ones.
  if (rolledBack) ++rollbacks_;
}

int Store::currentSchemaVersion() { return static_cast<int>(migrations().size()); }

int Store::schemaVersion() {
  Stmt s(db_, "PRAGMA user_version");
  s.step();
  return s.integer(0);
}

void Store::migrate() {
  Transaction t(*this);
  int v = schemaVersion();
  if (v > currentSchemaVersion())
    throw StoreError("the network was made by a newer version of the simulator (schema " +
                         std::to_string(v) + ", this one knows " +
                         std::to_string(currentSchemaVersion()) + ")", SQLITE_ERROR);
  for (; v < currentSchemaVersion(); ++v) {
    exec(migrations()[v]);
    exec("PRAGMA user_version=" + std::to_string(v + 1));
  }
  t.commit();
}

Stmt::Stmt(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &s_, nullptr);
  if (rc != SQLITE_OK) throwError(db, "cannot prepare \"" + sql + "\"", rc);
}

Stmt::Stmt(Store& store, const std::string& sql) : Stmt(store.handle(), sql) {
  store_ = &store;
  writes_ = sqlite3_stmt_readonly(s_) == 0;
}

Stmt::~Stmt() { sqlite3_finalize(s_); }

Stmt& Stmt::reset() {
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
  return *this;
}

Stmt& Stmt::bind(int i, std::int64_t v) {
  sqlite3_bind_int64(s_, i, v);
  return *this;
}

Stmt& Stmt::bind(int i, const std::string& v) {
  sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  return *this;
}

Stmt& Stmt::bind(int i, const char* v) {
  sqlite3_bind_text(s_, i, v, -1, SQLITE_TRANSIENT);
  return *this;
}

Stmt& Stmt::bindBlob(int i, const void* data, std::size_t size) {
  sqlite3_bind_blob(s_, i, data, static_cast<int>(size), SQLITE_TRANSIENT);
  return *this;
}

Stmt& Stmt::bindNull(int i) {
  sqlite3_bind_null(s_, i);
  return *this;
}

bool Stmt::step() {
  if (writes_ && store_->writesRefused())
    throw StoreError("a read transaction cannot run \"" + sql_ + "\"", SQLITE_READONLY);
  int rc = sqlite3_step(s_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string msg = sqlite3_errmsg(db_);
  sqlite3_reset(s_);
  throw StoreError(msg + " (in \"" + sql_ + "\")", rc);
}

std::string Stmt::text(int col) const {
  const unsigned char* p = sqlite3_column_text(s_, col);
  int n = sqlite3_column_bytes(s_, col);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}

std::vector<std::uint8_t> Stmt::blob(int col) const {
  const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(s_, col));
  int n = sqlite3_column_bytes(s_, col);
  return p ? std::vector<std::uint8_t>(p, p + n) : std::vector<std::uint8_t>();
}

// Inside an open transaction a Transaction is a savepoint, so operations that need one can
// be used both on their own and from within a larger one.
Transaction::Transaction(Store& store, Store::Access access) : store_(store) {
  nested_ = sqlite3_get_autocommit(store_.handle()) == 0;
  refusedBefore_ = store_.writesRefused_;
  if (nested_) store_.prepare("SAVEPOINT nested").run();
  else if (access == Store::Access::write) store_.prepare("BEGIN IMMEDIATE").run();
  else store_.prepare("BEGIN").run();
  if (access == Store::Access::read) store_.writesRefused_ = true;
}

Transaction::~Transaction() {
  if (!open_) return;
  store_.writesRefused_ = refusedBefore_;
  try {
    if (nested_) {
      store_.prepare("ROLLBACK TO nested").run();
      store_.prepare("RELEASE nested").run();
    } else if (sqlite3_get_autocommit(store_.handle()) == 0) {
      store_.prepare("ROLLBACK").run();
    }
  } catch (...) {
  }
  store_.ended(!nested_, true);
}

void Transaction::commit() {
  store_.writesRefused_ = refusedBefore_;
  store_.prepare(nested_ ? "RELEASE nested" : "COMMIT").run();
  open_ = false;
  store_.ended(!nested_, false);
}

} // namespace nwsim
