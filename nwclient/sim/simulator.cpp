#include "simulator.h"

#include "netcfg.h"
#include "password_hash.h"
#include "nwsim/nwsim.h"

#include <unistd.h>
#include <pwd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string_view>
#include <vector>

namespace nwsim {

namespace detail {
extern const std::string kSampleSeed;
extern const std::string_view kClientFunctions[];
extern const unsigned kClientFunctionCount;
}

// ---- time ----------------------------------------------------------------------------

LocalSeconds localNow() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return static_cast<LocalSeconds>(timegm(&tm));
}

std::optional<LocalSeconds> parseLocalTime(const std::string& text) {
  std::tm tm{};
  int y, mo, d, h = 0, mi = 0, s = 0;
  char tail = 0;
  int n = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail);
  if (n != 3 && n != 6) return std::nullopt;
  if (y < 1900 || y > 2155 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 ||
      mi < 0 || mi > 59 || s < 0 || s > 59)
    return std::nullopt;
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  std::time_t t = timegm(&tm);
  std::tm back{};
  gmtime_r(&t, &back);
  if (back.tm_mday != d) return std::nullopt;  // 31 February and the like
  return static_cast<LocalSeconds>(t);
}

std::string formatLocalTime(LocalSeconds t) {
  std::time_t tt = static_cast<std::time_t>(t);
  std::tm tm{};
  gmtime_r(&tt, &tm);
  char buf[80];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

bool parseNode(const std::string& hex, std::array<std::uint8_t, 6>& node) {
  if (hex.size() != 12) return false;
  for (int i = 0; i < 6; ++i) {
    unsigned v = 0;
    for (int j = 0; j < 2; ++j) {
      char c = static_cast<char>(std::toupper(static_cast<unsigned char>(hex[i * 2 + j])));
      v <<= 4;
      if (c >= '0' && c <= '9') v |= unsigned(c - '0');
      else if (c >= 'A' && c <= 'F') v |= unsigned(c - 'A' + 10);
      else return false;
    }
    node[i] = static_cast<std::uint8_t>(v);
  }
  return true;
}

// ---- call counters -------------------------------------------------------------------

namespace {

// Never destroyed: a client function first called at exit still registers its counter.
std::mutex& counterMutex() {
  static auto* m = new std::mutex;
  return *m;
}
std::multimap<std::string, CallCounter*>& counters() {
  static auto* all = new std::multimap<std::string, CallCounter*>;
  return *all;
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string defaultWorkstationName() {
  std::string user;
  if (const char* u = std::getenv("USER"); u && *u) user = u;
  else if (passwd* pw = getpwuid(getuid())) user = pw->pw_name;
  else user = "USER";
  std::string name = "WS-" + upper(user);
  return name.substr(0, 47);
}

} // namespace

// Counters live in each client library (one per entry point and library), so a function
// exported by several libraries has several; callCount adds them up.
CallCounter::CallCounter(const char* function) : function_(function) {
  std::lock_guard lock(counterMutex());
  counters().emplace(function, this);
}

// ---- the network ---------------------------------------------------------------------

Network::Network(const std::filesystem::path& dir) : dir_(dir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    throw SimError("no network at " + dir.string() + " (make one with: nwsim create " + dir.string() + ")");
  auto dbFile = dir / "network.db";
  if (!std::filesystem::exists(dbFile, ec))
    throw SimError(dir.string() + " is not a network folder: it has no network.db");
  if (::access(dir.c_str(), W_OK) != 0)
    throw SimError("the network folder " + dir.string() + " is read-only; the client needs to write its state there");
  try {
    store_ = std::make_unique<Store>(dbFile, false);
    store_->migrate();
  } catch (const StoreError& e) {
    throw SimError("cannot open the network at " + dir.string() + ": " + e.what());
  }
  // Passwords kept by versions before yescrypt cannot be checked: say so, rather than let
  // every login fail as a wrong password.
  bool older = false;
  for (const char* sql : {"SELECT password_hash FROM bindery_objects WHERE password_hash IS NOT NULL AND password_hash NOT LIKE '$y$%' LIMIT 1",
                          "SELECT password FROM ds_passwords WHERE password NOT LIKE '$y$%' LIMIT 1"})
    store_->prepare(sql).first([&](Stmt& q) { older = older || !isCurrentPasswordHash(q.text(0)); });
  if (older)
    throw SimError("the network at " + dir.string() +
                   " was made by an older version of the simulator, whose password hashes this one no longer "
                   "reads; remove the folder and make it again with: nwsim create " + dir.string());
}

Network::~Network() { writeEachCall(); }

void Network::writeEachCall() {
  eachCall_ = true;
  writeUsageNow();
}

void Network::writeUsageNow() {
  if (pending_.empty()) return;
  bool committed = false;
  try {
    Transaction t(*store_);
    writeUsage();
    t.commit();
    committed = true;
  } catch (const std::exception&) {
    // Kept for the next write: the call that counted them has succeeded.
  }
  usageWritten(committed);
}

void Network::countRequest(std::uint32_t connection, unsigned sent, unsigned received) {
  Usage& u = pending_[connection];
  ++u.requests;
  u.sent += sent;
  u.received += received;
  ++pendingRequests_;
}

Usage Network::pendingUsage(std::uint32_t connection) const {
  auto it = pending_.find(connection);
  return it == pending_.end() ? Usage{} : it->second;
}

void Network::writeUsage() {
  if (pending_.empty()) return;
  auto& q = store_->prepare(
      "UPDATE connections SET requests=requests+?, bytes_written=bytes_written+?, bytes_read=bytes_read+? WHERE id=?");
  for (auto& [id, u] : pending_)
    q.with(static_cast<std::int64_t>(u.requests), static_cast<std::int64_t>(u.sent),
           static_cast<std::int64_t>(u.received), static_cast<std::int64_t>(id))
        .run();
  for (auto& [id, u] : pending_) {
    Usage& w = writing_[id];
    w.requests += u.requests;
    w.sent += u.sent;
    w.received += u.received;
  }
  pending_.clear();
  pendingRequests_ = 0;
}

void Network::usageWritten(bool committed) {
  if (!committed)
    for (auto& [id, w] : writing_) {
      Usage& u = pending_[id];
      u.requests += w.requests;
      u.sent += w.sent;
      u.received += w.received;
      pendingRequests_ += w.requests;
    }
  writing_.clear();
}

Network::Rows& Network::rows() {
  const std::int64_t stamp = store_->changeStamp();
  if (!rowsValid_ || stamp != rows_.stamp) {
    rows_.connections.clear();
    rows_.servers.clear();
    rows_.primary.reset();
    rows_.armed.clear();
    store_->prepare("SELECT DISTINCT function FROM faults").each([&](Stmt& q) { rows_.armed.insert(q.text(0)); });
    rows_.stamp = store_->changeStamp();
    rowsValid_ = true;
  }
  return rows_;
}

NWCCODE Network::serve(Session& session, const char* function, Store::Access access,
                       NWCCODE (*body)(void*, Session&), void* context) {
  for (;;) {
    Transaction t(*store_, access);
    const bool writing = access == Store::Access::write;
    struct UsageGuard {
      Network& net;
      bool active;
      ~UsageGuard() {
        if (active) net.usageWritten(false);
      }
    } usage{*this, writing};
    if (writing && !pending_.empty()) writeUsage();
    NWCCODE rc;
    if (rows().armed.count(function)) {
      // Taking the fault writes; a read call that meets one is served again as a write.
      if (!writing) {
        access = Store::Access::write;
        continue;
      }
      auto fault = session.takeFault(function);
      rc = fault ? *fault : body(context, session);
    } else {
      rc = body(context, session);
    }
    t.commit();
    usage.active = false;
    if (writing) usageWritten(true);
    // Now and then a reading process writes its counts, so that other programs see them.
    if (pendingRequests_ >= kFlushRequests || eachCall_) writeUsageNow();
    return rc;
  }
}

NWCCODE serveCall(CallCounter& counter, Store::Access access, NWCCODE (*body)(void*, Session&), void* context) {
  counter.add();
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  try {
    Session s = sim.session();
    return s.network().serve(s, counter.function(), access, body, context);
  } catch (const StoreError&) {
    return NWE_REQUESTER_FAILURE;
  } catch (const std::exception&) {
    return NWE_NETWORK_UNAVAILABLE;
  }
}

// The lowest free station number on a server; 0 when the server is full.
int freeStation(Store& db, const Server& s) {
  int expected = 1;
  bool full = true;
  auto& q = db.prepare("SELECT conn_number FROM connections WHERE server_id=? ORDER BY conn_number");
  q.reset().bind(1, s.id);
  while (q.step()) {
    int n = q.integer(0);
    if (n > expected) { full = false; break; }
    expected = n + 1;
  }
  q.reset();
  if (full && expected > s.maxConns) return 0;
  return expected;
}

void Network::ensureWorkstation(const std::string& name) {
  Store& db = *store_;
  auto exists = [&] { return db.prepare("SELECT 1 FROM workstations WHERE name=?").with(name).first([](Stmt&) {}); };
  auto attached = [&] { return db.prepare("SELECT 1 FROM connections WHERE workstation=?").with(name).first([](Stmt&) {}); };
  if (exists() && attached()) return;

  Transaction t(db);
  NetCfg cfg = NetCfg::effective(dir_ / "net.cfg");
  if (exists()) {
    // A workstation that logged out of every server: its requester attaches to a server
    // again when a program starts, with nobody logged in, so that it can log in.
    if (!attached()) attachToNearest(name, cfg, "");
    t.commit();
    return;
  }

  // A node address of the workstation's own, derived from its name.
  std::array<std::uint8_t, 6> node{0x00, 0x00, 0x1B, 0, 0, 0};
  std::uint32_t h = 2166136261u;
  for (char c : name) h = (h ^ static_cast<std::uint8_t>(c)) * 16777619u;
  node[3] = static_cast<std::uint8_t>(h >> 16);
  node[4] = static_cast<std::uint8_t>(h >> 8);
  node[5] = static_cast<std::uint8_t>(h);

  db.prepare("INSERT INTO workstations(name, node, preferred_server, preferred_tree, name_context, created) VALUES(?,?,?,?,?,?)")
      .with(name).bindBlob(2, node.data(), node.size())
      .bind(3, cfg.preferredServer).bind(4, cfg.preferredTree).bind(5, cfg.nameContext)
      .bind(6, localNow()).run();
  attachToNearest(name, cfg, cfg.loginName);
  t.commit();
}

void Network::attachToNearest(const std::string& name, const NetCfg& cfg, const std::string& loginName) {
  Store& db = *store_;
  // The preferred server, else the first server that is up.
  Session s(*this, name);
  std::optional<Server> server;
  if (!cfg.preferredServer.empty()) server = s.serverByName(cfg.preferredServer);
  if (!server || !server->up) {
    server.reset();
    db.prepare("SELECT id FROM servers WHERE up=1 ORDER BY name LIMIT 1").first([&](Stmt& q) {
      server = s.server(q.int64(0));
    });
  }
  if (!server) return;
  int station = freeStation(db, *server);
  if (station <= 0) return;
  std::uint32_t objectId = 0;
  std::optional<LocalSeconds> loginTime;
  if (!loginName.empty()) {
    db.prepare("SELECT object_id FROM bindery_objects WHERE server_id=? AND name=? AND type=256")
        .with(server->id, loginName).first([&](Stmt& q) {
          objectId = static_cast<std::uint32_t>(q.int64(0));
          loginTime = localNow();
        });
  }
  auto& ins = db.prepare("INSERT INTO connections(workstation, server_id, conn_number, object_id, login_time, auth_state, opened) VALUES(?,?,?,?,?,?,?)");
  ins.with(name, server->id, station, static_cast<std::int64_t>(objectId));
  if (loginTime) ins.bind(5, *loginTime); else ins.bindNull(5);
  ins.bind(6, objectId ? 1 : 0).bind(7, localNow()).run();
  db.prepare("UPDATE workstations SET primary_conn=? WHERE name=?").with(db.lastInsertId(), name).run();
}

// ---- sessions ------------------------------------------------------------------------

namespace {

Connection readConnection(Stmt& q) {
  Connection c;
  c.id = static_cast<std::uint32_t>(q.int64(0));
  c.workstation = q.text(1);
  c.serverId = q.int64(2);
  c.connNumber = q.integer(3);
  c.objectId = static_cast<std::uint32_t>(q.int64(4));
  if (!q.isNull(5)) c.loginTime = q.int64(5);
  c.authState = q.integer(6);
  c.treeConn = q.integer(7) != 0;
  c.licensed = q.integer(8) != 0;
  c.bytesRead = static_cast<std::uint64_t>(q.int64(9));
  c.bytesWritten = static_cast<std::uint64_t>(q.int64(10));
  c.requests = static_cast<std::uint64_t>(q.int64(11));
  return c;
}

constexpr const char* kConnColumns =
    "id, workstation, server_id, conn_number, object_id, login_time, auth_state, tree_conn, "
    "licensed, bytes_read, bytes_written, requests";

Server readServer(Stmt& q) {
  Server s;
  s.id = q.int64(0);
  s.name = q.text(1);
  s.kind = q.text(2);
  s.tree = q.text(3);
  s.verMajor = q.integer(4);
  s.verMinor = q.integer(5);
  s.verRevision = q.integer(6);
  s.maxConns = q.integer(7);
  s.netNumber = static_cast<std::uint32_t>(q.int64(8));
  auto node = q.blob(9);
  for (std::size_t i = 0; i < 6 && i < node.size(); ++i) s.node[i] = node[i];
  s.clockOffset = q.int64(10);
  if (!q.isNull(11)) s.clockFixed = q.int64(11);
  s.up = q.integer(12) != 0;
  return s;
}

constexpr const char* kServerColumns =
    "id, name, kind, tree, ver_major, ver_minor, ver_revision, max_conns, net_number, node, "
    "clock_offset, clock_fixed, up";

} // namespace

// A connection as the store has it, with the requests this process has not yet written.
Connection Session::withPending(Connection c) const {
  const Usage u = net_.pendingUsage(c.id);
  c.requests += u.requests;
  c.bytesWritten += u.sent;
  c.bytesRead += u.received;
  return c;
}

std::optional<Connection> Session::connection(std::uint32_t handle) {
  auto& kept = net_.rows().connections;
  if (auto it = kept.find(handle); it != kept.end() && it->second.workstation == ws_) return withPending(it->second);
  static const std::string sql = std::string("SELECT ") + kConnColumns + " FROM connections WHERE id=? AND workstation=?";
  std::optional<Connection> c;
  db().prepare(sql).with(static_cast<std::int64_t>(handle), ws_).first([&](Stmt& q) { c = readConnection(q); });
  if (!c) return c;
  net_.rows().connections.emplace(handle, *c);
  return withPending(*c);
}

std::vector<Connection> Session::connections() {
  static const std::string sql = std::string("SELECT ") + kConnColumns + " FROM connections WHERE workstation=? ORDER BY id";
  std::vector<Connection> all;
  db().prepare(sql).with(ws_).each([&](Stmt& q) { all.push_back(withPending(readConnection(q))); });
  return all;
}

std::optional<Connection> Session::stationOn(std::int64_t serverId, int connNumber) {
  static const std::string sql = std::string("SELECT ") + kConnColumns + " FROM connections WHERE server_id=? AND conn_number=?";
  std::optional<Connection> c;
  db().prepare(sql).with(serverId, connNumber).first([&](Stmt& q) { c = withPending(readConnection(q)); });
  return c;
}

std::uint32_t Session::primaryConnection() {
  auto& kept = net_.rows();
  if (kept.primary && kept.primary->first == ws_) return kept.primary->second;
  std::uint32_t id = 0;
  db().prepare("SELECT w.primary_conn FROM workstations w JOIN connections c ON c.id = w.primary_conn WHERE w.name=?")
      .with(ws_).first([&](Stmt& q) { id = static_cast<std::uint32_t>(q.int64(0)); });
  net_.rows().primary.emplace(ws_, id);
  return id;
}

Server Session::server(std::int64_t id) {
  auto& kept = net_.rows().servers;
  if (auto it = kept.find(id); it != kept.end()) return it->second;
  static const std::string sql = std::string("SELECT ") + kServerColumns + " FROM servers WHERE id=?";
  Server s;
  bool found = db().prepare(sql).with(id).first([&](Stmt& q) { s = readServer(q); });
  if (found) net_.rows().servers.emplace(id, s);
  return s;
}

std::optional<Server> Session::serverByName(const std::string& name) {
  static const std::string sql = std::string("SELECT ") + kServerColumns + " FROM servers WHERE name=?";
  std::optional<Server> s;
  db().prepare(sql).with(name).first([&](Stmt& q) { s = readServer(q); });
  return s;
}

std::optional<BinderyObject> Session::object(std::int64_t serverId, std::uint32_t objectId) {
  std::optional<BinderyObject> o;
  db().prepare("SELECT object_id, name, type FROM bindery_objects WHERE server_id=? AND object_id=?")
      .with(serverId, static_cast<std::int64_t>(objectId)).first([&](Stmt& q) {
        o = BinderyObject{static_cast<std::uint32_t>(q.int64(0)), q.text(1),
                          static_cast<std::uint16_t>(q.integer(2))};
      });
  return o;
}

void Session::countRequest(const Connection& c, unsigned sent, unsigned received) {
  net_.countRequest(c.id, sent, received);
}

std::optional<NWCCODE> Session::takeFault(const char* function) {
  std::optional<NWCCODE> code;
  std::int64_t rowid = 0, remaining = 0;
  db().prepare("SELECT rowid, code, remaining FROM faults WHERE function=? ORDER BY rowid LIMIT 1")
      .with(function).first([&](Stmt& q) {
        rowid = q.int64(0);
        code = static_cast<NWCCODE>(q.int64(1));
        remaining = q.int64(2);
      });
  if (!code) return code;
  if (remaining == 1) db().prepare("DELETE FROM faults WHERE rowid=?").with(rowid).run();
  else if (remaining > 1) db().prepare("UPDATE faults SET remaining=remaining-1 WHERE rowid=?").with(rowid).run();
  return code;
}

NWCCODE Session::use(std::uint32_t handle, Connection& c, Server& s, unsigned sent, unsigned received) {
  auto conn = connection(handle);
  if (!conn) return NWE_INVALID_CONNECTION;
  c = *conn;
  s = server(c.serverId);
  if (!s.up) return NWE_SERVER_DOWN;
  countRequest(c, sent, received);
  return NWE_OK;
}

// ---- the process's simulator ---------------------------------------------------------

// The simulator is never destroyed, so that calls from objects that die at exit after it
// would have are still served; what it has counted is written when the program ends and,
// from then on, after every call.
Simulator& Simulator::instance() {
  static Simulator* sim = [] {
    auto* s = new Simulator;
    std::atexit([] { instance().closing(); });
    return s;
  }();
  return *sim;
}

void Simulator::closing() {
  std::lock_guard lock(mutex_);
  closing_ = true;
  if (net_) net_->writeEachCall();
}

std::filesystem::path Simulator::networkDir() {
  std::lock_guard lock(mutex_);
  if (chosenDir_) return *chosenDir_;
  if (const char* dir = std::getenv("NWSIM_NETWORK"); dir && *dir) return dir;
  return defaultNetworkDir();
}

std::string Simulator::workstation() {
  std::lock_guard lock(mutex_);
  if (!chosenWorkstation_.empty()) return chosenWorkstation_;
  if (!resolvedWorkstation_.empty()) return resolvedWorkstation_;
  NetCfg cfg;
  try {
    cfg = NetCfg::effective(networkDir() / "net.cfg");
  } catch (const SimError&) {
  }
  return cfg.workstation.empty() ? defaultWorkstationName() : cfg.workstation;
}

Network& Simulator::open() {
  if (net_) return *net_;
  auto dir = networkDir();
  try {
    if (!chosenDir_ && !std::getenv("NWSIM_NETWORK") && !std::filesystem::exists(dir / "network.db")) {
      std::filesystem::create_directories(dir.parent_path());
      try {
        buildNetwork(dir, detail::kSampleSeed, "the sample seed");
      } catch (const SimError&) {
        // Another program may have made the default network at the same moment.
        if (!std::filesystem::exists(dir / "network.db")) throw;
      }
    }
    net_ = std::make_unique<Network>(dir);
    if (closing_) net_->writeEachCall();
    openError_.clear();
  } catch (const std::exception& e) {
    openError_ = e.what();
    throw SimError(openError_);
  }
  return *net_;
}

Session Simulator::session() {
  Network& net = open();
  if (!workstationReady_) {
    resolvedWorkstation_ = workstation();
    try {
      net.ensureWorkstation(resolvedWorkstation_);
    } catch (const std::exception& e) {
      openError_ = std::string("cannot set up workstation ") + resolvedWorkstation_ + ": " + e.what();
      throw;
    }
    workstationReady_ = true;
  }
  return Session(net, resolvedWorkstation_);
}

Session Simulator::adminSession() { return Session(open(), workstation()); }

void Simulator::useNetwork(const std::filesystem::path& dir, const std::string& ws) {
  std::lock_guard lock(mutex_);
  net_.reset();
  if (dir.empty()) chosenDir_.reset();
  else chosenDir_ = dir;
  chosenWorkstation_ = upper(ws);
  resolvedWorkstation_.clear();
  workstationReady_ = false;
  openError_.clear();
}

void Simulator::useWorkstation(const std::string& name) {
  std::lock_guard lock(mutex_);
  chosenWorkstation_ = upper(name);
  resolvedWorkstation_.clear();
  workstationReady_ = false;
}

std::string Simulator::lastOpenError() {
  std::lock_guard lock(mutex_);
  return openError_;
}

// ---- the public API ------------------------------------------------------------------

const std::string& sampleSeed() { return detail::kSampleSeed; }

std::filesystem::path defaultNetworkDir() {
  std::filesystem::path base;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) base = x;
  else if (const char* h = std::getenv("HOME"); h && *h) base = std::filesystem::path(h) / ".local" / "share";
  else base = std::filesystem::temp_directory_path();
  return base / "nwsim" / "default";
}

std::filesystem::path currentNetworkDir() { return Simulator::instance().networkDir(); }

void useNetwork(const std::filesystem::path& dir, const std::string& workstation) {
  Simulator::instance().useNetwork(dir, workstation);
}

void useWorkstation(const std::string& name) { Simulator::instance().useWorkstation(name); }

std::string currentWorkstation() { return Simulator::instance().workstation(); }

void openNetwork() {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  try {
    sim.adminSession();
  } catch (const SimError&) {
    throw;
  } catch (const std::exception& e) {
    throw SimError(e.what());
  }
}

std::string lastOpenError() { return Simulator::instance().lastOpenError(); }

bool isClientFunction(const std::string& function) {
  const std::string_view* end = detail::kClientFunctions + detail::kClientFunctionCount;
  return std::binary_search(detail::kClientFunctions, end, std::string_view(function));
}

void injectFault(const std::string& function, std::int32_t code, int count) {
  if (!isClientFunction(function)) throw SimError("no client library exports a function named '" + function + "'");
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  s.db().prepare("INSERT INTO faults(function, code, remaining) VALUES(?,?,?)").with(function, code, count).run();
}

void clearFaults() {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  s.db().prepare("DELETE FROM faults").run();
}

std::uint64_t callCount(const std::string& function) {
  std::lock_guard lock(counterMutex());
  std::uint64_t n = 0;
  auto [b, e] = counters().equal_range(function);
  for (auto it = b; it != e; ++it) n += it->second->value();
  return n;
}

std::uint64_t totalCallCount() {
  std::lock_guard lock(counterMutex());
  std::uint64_t n = 0;
  for (auto& [name, c] : counters()) n += c->value();
  return n;
}

void resetCallCounts() {
  std::lock_guard lock(counterMutex());
  for (auto& [name, c] : counters()) c->clear();
}

std::string workstationNameContext() {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.session();
  std::string context;
  s.db().prepare("SELECT name_context FROM workstations WHERE name=?").with(s.workstation()).first([&](Stmt& q) {
    context = q.text(0);
  });
  return context;
}

void setWorkstationNameContext(const std::string& context) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.session();
  s.db().prepare("UPDATE workstations SET name_context=? WHERE name=?").with(context, s.workstation()).run();
}

std::vector<ServerInfo> servers() {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  std::vector<ServerInfo> out;
  s.db().prepare(std::string("SELECT ") + kServerColumns + " FROM servers ORDER BY name").each([&](Stmt& q) {
    Server sv = readServer(q);
    out.push_back({sv.name, sv.kind, sv.tree, sv.verMajor, sv.verMinor, sv.verRevision, sv.maxConns, sv.up});
  });
  return out;
}

std::vector<StationInfo> stations() {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  std::vector<StationInfo> out;
  s.db().prepare(
        "SELECT s.name, c.conn_number, c.workstation, COALESCE(o.name, ''), COALESCE(o.type, 0), c.login_time, c.id "
        "FROM connections c JOIN servers s ON s.id = c.server_id "
        "LEFT JOIN bindery_objects o ON o.server_id = c.server_id AND o.object_id = c.object_id AND c.object_id <> 0 "
        "ORDER BY s.name, c.conn_number")
      .each([&](Stmt& q) {
        StationInfo st;
        st.server = q.text(0);
        st.connNumber = q.integer(1);
        st.workstation = q.text(2);
        st.objectName = q.text(3);
        st.objectType = static_cast<std::uint16_t>(q.integer(4));
        if (!q.isNull(5) && !st.objectName.empty()) st.loginTime = formatLocalTime(q.int64(5));
        st.handle = static_cast<std::uint32_t>(q.int64(6));
        out.push_back(st);
      });
  return out;
}

} // namespace nwsim
