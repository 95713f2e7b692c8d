#pragma once
// The simulator's inside: the process-wide choice of network and workstation, the open
// store, and the Session through which each client function reaches the network's state.
#include "store.h"

#include <nwclient/nwclient.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace nwsim {

/// Seconds in the network's local time, counted as if it were UTC (no time zones anywhere).
using LocalSeconds = std::int64_t;
LocalSeconds localNow();
/// "yyyy-mm-dd hh:mm:ss" <-> LocalSeconds; parse returns nullopt for bad text.
std::optional<LocalSeconds> parseLocalTime(const std::string& text);
std::string formatLocalTime(LocalSeconds t);

struct Server {
  std::int64_t id = 0;
  std::string name;
  std::string kind;   // "bindery" or "directory"
  std::string tree;
  int verMajor = 0, verMinor = 0, verRevision = 0;
  int maxConns = 0;
  std::uint32_t netNumber = 0;
  std::array<std::uint8_t, 6> node{};
  std::int64_t clockOffset = 0;
  std::optional<LocalSeconds> clockFixed;
  bool up = true;
  bool isDirectory() const { return kind == "directory"; }
  LocalSeconds clock() const { return clockFixed ? *clockFixed : localNow() + clockOffset; }
};

struct Connection {
  std::uint32_t id = 0;          // handle and reference alike
  std::string workstation;
  std::int64_t serverId = 0;
  int connNumber = 0;
  std::uint32_t objectId = 0;    // display form; 0 = nobody logged in
  std::optional<LocalSeconds> loginTime;
  int authState = 0;
  bool treeConn = false;
  bool licensed = true;
  std::uint64_t bytesRead = 0, bytesWritten = 0, requests = 0;
};

struct BinderyObject {
  std::uint32_t id = 0;          // display form
  std::string name;
  std::uint16_t type = 0;        // client byte order (0x0100 user)
};

class Session;

/// Requests of a connection this process has counted and not yet written to the store.
struct Usage {
  std::uint64_t requests = 0, sent = 0, received = 0;
};

/// One open network folder.
class Network {
public:
  explicit Network(const std::filesystem::path& dir);
  /// Writes the requests still counted only here.
  ~Network();
  const std::filesystem::path& dir() const { return dir_; }
  Store& store() { return *store_; }
  /// Creates the workstation from net.cfg when it does not exist yet: attaches it to its
  /// preferred server and logs it in as the configured login name. A workstation that
  /// exists with no connection left is attached again, with nobody logged in.
  void ensureWorkstation(const std::string& name);

  /// Serves one client call on `session` in one transaction of the given access, after an
  /// injected fault for `function` if one is armed.
  NWCCODE serve(Session& session, const char* function, Store::Access access, NWCCODE (*body)(void*, Session&),
                void* context);

  /// Rows read through sessions, kept while the store's change stamp stays the same: the
  /// stamp moves with every change, this process's or another's, so a kept row is never
  /// older than the store.
  struct Rows {
    std::int64_t stamp = 0;
    std::unordered_map<std::uint32_t, Connection> connections;
    std::unordered_map<std::int64_t, Server> servers;
    std::optional<std::pair<std::string, std::uint32_t>> primary;  // of one workstation
    std::unordered_set<std::string> armed;  // functions with an injected fault
  };
  /// The kept rows, emptied first when the store has changed since they were read.
  Rows& rows();

  /// Counts one request of a connection; written to the store by the next write, every
  /// kFlushRequests requests and when the network is closed.
  void countRequest(std::uint32_t connection, unsigned sent, unsigned received);
  /// What this process has counted for the connection and not yet written.
  Usage pendingUsage(std::uint32_t connection) const;
  /// Writes the pending counts inside the open write transaction, for what reads them from
  /// the store.
  void writeUsage();
  /// Writes the pending counts now and those of every later call after it: the program ends.
  void writeEachCall();

private:
  /// Attaches the workstation to the preferred server of `cfg`, else to the first server
  /// that is up, logged in as `loginName` when that names a user there; in the caller's
  /// transaction.
  void attachToNearest(const std::string& name, const struct NetCfg& cfg, const std::string& loginName);
  static constexpr std::uint64_t kFlushRequests = 1000;
  /// Writes the pending counts in a transaction of their own.
  void writeUsageNow();
  /// After the transaction that wrote them: dropped when it committed, kept when it did not.
  void usageWritten(bool committed);

  std::filesystem::path dir_;
  std::unique_ptr<Store> store_;
  Rows rows_;
  bool rowsValid_ = false;
  std::unordered_map<std::uint32_t, Usage> pending_, writing_;
  std::uint64_t pendingRequests_ = 0;
  bool eachCall_ = false;
};

/// What one client call works with: the network, the calling workstation and its store.
class Session {
public:
  Session(Network& net, const std::string& workstation) : net_(net), ws_(workstation) {}
  Store& db() { return net_.store(); }
  Network& network() { return net_; }
  const std::string& workstation() const { return ws_; }

  /// A connection of this workstation; nullopt when the handle is not one.
  std::optional<Connection> connection(std::uint32_t handle);
  /// Every connection of this workstation, in the order they were made.
  std::vector<Connection> connections();
  /// The connection of this workstation to the station `connNumber` of a server.
  std::optional<Connection> stationOn(std::int64_t serverId, int connNumber);
  std::uint32_t primaryConnection();
  Server server(std::int64_t id);
  std::optional<Server> serverByName(const std::string& name);
  std::optional<BinderyObject> object(std::int64_t serverId, std::uint32_t objectId);
  /// Counts one request on a connection, with the bytes it sent and received.
  void countRequest(const Connection& c, unsigned sent, unsigned received);
  /// Writes the requests counted so far, before the store's figures are summed.
  void writeUsage() { net_.writeUsage(); }
  /// Consumes an injected fault for the function; nullopt when none is pending.
  std::optional<NWCCODE> takeFault(const char* function);

  /// Looks up a connection and its server for a call on `handle`; the code is 0 or the
  /// completion code to return (invalid connection, server down).
  NWCCODE use(std::uint32_t handle, Connection& c, Server& s, unsigned sent = 16, unsigned received = 16);

private:
  Connection withPending(Connection c) const;
  Network& net_;
  std::string ws_;
};

/// Per-process call counters of the client functions.
class CallCounter {
public:
  explicit CallCounter(const char* function);
  void add() { count_.fetch_add(1, std::memory_order_relaxed); }
  const char* function() const { return function_; }
  std::uint64_t value() const { return count_.load(std::memory_order_relaxed); }
  void clear() { count_.store(0, std::memory_order_relaxed); }
private:
  const char* function_;
  std::atomic<std::uint64_t> count_{0};
};

/// The process's simulator: which network and workstation the client uses.
class Simulator {
public:
  static Simulator& instance();
  /// A session on the network in force, opening (or creating the default) network on first
  /// use. Throws SimError when the network cannot be opened.
  Session session();
  /// The network in force without setting up this process's workstation, for the
  /// administrative API (nwsim show, fault injection).
  Session adminSession();
  void useNetwork(const std::filesystem::path& dir, const std::string& workstation);
  void useWorkstation(const std::string& name);
  std::filesystem::path networkDir();
  std::string workstation();
  std::string lastOpenError();
  std::recursive_mutex& mutex() { return mutex_; }

private:
  /// The program ends: counts are written from now on.
  void closing();
  Network& open();
  std::recursive_mutex mutex_;
  bool closing_ = false;
  std::unique_ptr<Network> net_;
  std::optional<std::filesystem::path> chosenDir_;
  std::string chosenWorkstation_;
  std::string resolvedWorkstation_;
  bool workstationReady_ = false;
  std::string openError_;
};

/// Runs one client call: counts it, consumes an injected fault, and turns failures of the
/// simulator into completion codes (the network cannot be opened, the store fails). One
/// transaction per call: the call sees one state of the network and its changes land whole.
/// A call that only reads is served with Store::Access::read, which takes no write lock.
NWCCODE serveCall(CallCounter& counter, Store::Access access, NWCCODE (*body)(void*, Session&), void* context);

template <typename Body>
NWCCODE serve(CallCounter& counter, Body&& body, Store::Access access = Store::Access::write) {
  using B = std::remove_reference_t<Body>;
  return serveCall(counter, access, [](void* b, Session& s) -> NWCCODE { return (*static_cast<B*>(b))(s); },
                   const_cast<void*>(static_cast<const void*>(&body)));
}

/// The lowest free station number on a server; 0 when the server is full.
int freeStation(Store& db, const Server& s);

/// Creates a new network from seed text in `dir`.
void buildNetwork(const std::filesystem::path& dir, const std::string& seedText, const std::string& seedName);

/// Six bytes from hex text ("00001B000001"); false for bad text.
bool parseNode(const std::string& hex, std::array<std::uint8_t, 6>& node);

} // namespace nwsim

/// The body of a client entry point: counts the call and serves it with a Session `s`.
#define NWSIM_SERVE(...)                                                     \
  static ::nwsim::CallCounter nwsim_counter_{__func__};                      \
  return ::nwsim::serve(nwsim_counter_, [&](::nwsim::Session& s) -> NWCCODE __VA_ARGS__)

/// The same for an entry point that only reads the network.
#define NWSIM_SERVE_READ(...)                                                \
  static ::nwsim::CallCounter nwsim_counter_{__func__};                      \
  return ::nwsim::serve(                                                     \
      nwsim_counter_, [&](::nwsim::Session& s) -> NWCCODE __VA_ARGS__, ::nwsim::Store::Access::read)
