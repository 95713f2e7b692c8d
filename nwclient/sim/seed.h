#pragma once
// Loading a JSON seed into a new network's store. The loader checks every value and reports
// mistakes with the seed's name and the line of the offending value.
#include "bindery.h"
#include "json.h"
#include "name_rules.h"
#include "netcfg.h"
#include "simulator.h"
#include "nwsim/nwsim.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace nwsim {

using json::Value;

/// Bindery object types by name ("user", "group", ...), in the client's byte order.
const std::map<std::string, std::uint16_t>& objectTypes();

class SeedLoader {
public:
  SeedLoader(Store& db, std::string name) : db_(db), name_(std::move(name)) {}

  NetCfg load(const Value& root) {
    if (!root.isObject()) fail(root, "the seed must be a JSON object");
    std::string network = "NETWORK";
    if (const Value* n = root.find("network")) network = n->asString("\"network\"");
    db_.prepare("INSERT INTO meta(key, value) VALUES('network', ?)").with(network).run();
    db_.prepare("INSERT INTO meta(key, value) VALUES('created', ?)").with(formatLocalTime(localNow())).run();

    const Value* servers = root.find("servers");
    if (!servers) fail(root, "the seed has no \"servers\"");
    if (servers->asArray("\"servers\"").empty()) fail(*servers, "a network needs at least one server");
    for (const Value& s : servers->asArray("\"servers\"")) server(s);
    for (const Value& s : servers->asArray("\"servers\"")) memberships(s);
    for (const Value& s : servers->asArray("\"servers\"")) {
      std::string serverName = upper(s.find("name")->asString("name"));
      serverContent(serverIds_.at(serverName), serverName, s);
    }
    advertisedServers();

    NetCfg cfg;
    if (const Value* c = root.find("netcfg")) cfg = netcfg(*c);
    if (const Value* ws = root.find("workstations"))
      for (const Value& w : ws->asArray("\"workstations\"")) workstation(w);
    directory(root);
    return cfg;
  }

  // Parts of a seed that belong to the directory and to the servers' volumes, files and
  // modules are loaded in files of their own.
  /// The seed's "directory": the tree, its containers and objects.
  void directory(const Value& root);
  /// Every server that is up advertises itself as a file server, and every server's bindery
  /// holds the advertised ones as dynamic objects, as a server learns them from the network.
  void advertisedServers();
  /// What a server entry holds besides its bindery: volumes, files, modules, settings.
  void serverContent(std::int64_t serverId, const std::string& serverName, const Value& server);
  /// A server entry's print queues with their members and jobs.
  void printQueues(std::int64_t serverId, const std::string& serverName, const Value& server);
  /// How a volume of the seed is used: its size, space limits, owners, restrictions, deleted files.
  void volumeUse(std::int64_t serverId, const std::string& serverName, int volume, const Value& entry,
                 const std::filesystem::path& networkDir);

  Store& db() { return db_; }
  const std::string& seedName() const { return name_; }
  const std::map<std::string, std::int64_t>& serverIds() const { return serverIds_; }

  Store& db_;
  std::string name_;
  std::map<std::string, std::int64_t> serverIds_;
  std::map<std::int64_t, int> maxConns_;
  std::set<std::string> workstations_;

  [[noreturn]] void fail(const Value& v, const std::string& what) {
    throw SimError(name_ + ":" + std::to_string(v.line()) + ": " + what);
  }

  const Value& required(const Value& obj, const char* key, const char* what) {
    const Value* v = obj.find(key);
    if (!v) fail(obj, std::string(what) + " needs \"" + key + "\"");
    return *v;
  }

  std::string str(const Value& obj, const char* key, const std::string& def = {}) {
    const Value* v = obj.find(key);
    return v ? v->asString(key) : def;
  }

  std::int64_t integer(const Value& obj, const char* key, std::int64_t def) {
    const Value* v = obj.find(key);
    return v ? v->asInteger(key) : def;
  }

  std::uint32_t hex32(const Value& v, const char* what) {
    const std::string& s = v.asString(what);
    if (s.empty() || s.size() > 8) fail(v, std::string(what) + " must be 1 to 8 hexadecimal digits");
    std::uint32_t n = 0;
    for (char c : s) {
      n <<= 4;
      if (c >= '0' && c <= '9') n |= unsigned(c - '0');
      else if (c >= 'a' && c <= 'f') n |= unsigned(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') n |= unsigned(c - 'A' + 10);
      else fail(v, std::string(what) + " must be hexadecimal, not \"" + s + "\"");
    }
    return n;
  }

  static std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }

  // A name checked against NetWare's rule for its kind (see name_rules.h), upper case.
  std::string checkedName(const Value& v, const char* what, std::string (*problem)(const std::string&)) {
    std::string n = upper(v.asString(what));
    if (std::string why = problem(n); !why.empty()) fail(v, std::string(what) + ": " + why);
    return n;
  }
  std::string objectName(const Value& v, const char* what) { return checkedName(v, what, names::objectNameProblem); }

  void server(const Value& s) {
    if (!s.isObject()) fail(s, "a server must be an object");
    std::string name = checkedName(required(s, "name", "a server"), "a server", names::serverNameProblem);
    if (serverIds_.count(name)) fail(s, "server " + name + " appears twice");
    std::string kind = str(s, "kind", "bindery");
    if (kind != "bindery" && kind != "directory")
      fail(*s.find("kind"), "a server's kind is \"bindery\" or \"directory\", not \"" + kind + "\"");
    std::string tree = upper(str(s, "tree"));
    if (kind == "directory" && tree.empty()) fail(s, "directory server " + name + " needs a \"tree\"");
    if (tree.size() > 32) fail(*s.find("tree"), "a tree name has at most 32 characters");

    int major = kind == "directory" ? 4 : 3, minor = kind == "directory" ? 11 : 12, rev = 0;
    if (const Value* v = s.find("version")) {
      const std::string& text = v->asString("\"version\"");
      int n = std::sscanf(text.c_str(), "%d.%d.%d", &major, &minor, &rev);
      if (n < 2) fail(*v, "a version looks like \"3.12\" or \"4.11.0\"");
    }
    std::int64_t maxConns = integer(s, "maxConnections", 250);
    if (maxConns < 1 || maxConns > 5000) fail(s, "maxConnections must be 1 to 5000");
    std::uint32_t net = 0;
    if (const Value* v = s.find("networkNumber")) net = hex32(*v, "the network number");
    else net = 0x0000C900u + static_cast<std::uint32_t>(serverIds_.size() + 1);
    std::array<std::uint8_t, 6> node{0, 0, 0, 0, 0, 1};
    if (const Value* v = s.find("node"))
      if (!parseNode(v->asString("\"node\""), node)) fail(*v, "a node address is 12 hexadecimal digits");
    std::optional<LocalSeconds> fixed;
    if (const Value* v = s.find("clock")) {
      fixed = parseLocalTime(v->asString("\"clock\""));
      if (!fixed) fail(*v, "a clock is \"yyyy-mm-dd hh:mm:ss\"");
    }
    std::int64_t offset = integer(s, "clockOffset", 0);

    auto& ins = db_.prepare(
        "INSERT INTO servers(name, kind, tree, ver_major, ver_minor, ver_revision, max_conns, net_number, node, clock_offset, clock_fixed, serial) "
        "VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    ins.with(name, kind, tree, major, minor, rev, maxConns, static_cast<std::int64_t>(net));
    ins.bindBlob(9, node.data(), node.size()).bind(10, offset);
    if (fixed) ins.bind(11, *fixed); else ins.bindNull(11);
    ins.bind(12, static_cast<std::int64_t>(0x10000000u + serverIds_.size() * 0x1111u));
    ins.run();
    std::int64_t id = db_.lastInsertId();
    serverIds_[name] = id;
    maxConns_[id] = static_cast<int>(maxConns);

    if (const Value* objects = s.find("objects"))
      for (const Value& o : objects->asArray("\"objects\"")) object(id, name, o);
  }

  std::uint16_t objectType(const Value& v) {
    const std::string& t = v.asString("an object type");
    if (t.size() > 2 && (t[1] == 'x' || t[1] == 'X')) {
      std::uint32_t n = hex32(Value::parse("\"" + t.substr(2) + "\""), "an object type");
      if (n > 0xFFFF) fail(v, "an object type has 16 bits");
      return static_cast<std::uint16_t>(n);
    }
    auto it = objectTypes().find(t);
    if (it == objectTypes().end()) fail(v, "unknown object type \"" + t + "\"");
    return it->second;
  }

  std::uint32_t nextId(std::int64_t server) {
    std::uint32_t id = 0x10000001u;
    db_.prepare("SELECT MAX(object_id) FROM bindery_objects WHERE server_id=? AND object_id >= 268435456")
        .with(server).first([&](Stmt& q) { if (!q.isNull(0)) id = static_cast<std::uint32_t>(q.int64(0)) + 1; });
    return id;
  }

  void object(std::int64_t server, const std::string& serverName, const Value& o) {
    if (!o.isObject()) fail(o, "an object must be a JSON object");
    std::string name = objectName(required(o, "name", "an object"), "an object name");
    std::uint16_t type = objectType(required(o, "type", "an object"));
    std::uint32_t id = o.find("id") ? hex32(*o.find("id"), "an object ID") : nextId(server);
    if (id == 0 || id == 0xFFFFFFFFu) fail(o, "object IDs 0 and FFFFFFFF are reserved");
    bool dup = db_.prepare("SELECT 1 FROM bindery_objects WHERE server_id=? AND (object_id=? OR (name=? AND type=?))")
                   .with(server, static_cast<std::int64_t>(id), name, type).first([](Stmt&) {});
    if (dup) fail(o, "object " + name + " (or its ID) appears twice on " + serverName);
    db_.prepare("INSERT INTO bindery_objects(server_id, object_id, name, type, flags, security) VALUES(?,?,?,?,?,?)")
        .with(server, static_cast<std::int64_t>(id), name, type, integer(o, "flags", 0), integer(o, "security", 0x31))
        .run();
    if (const Value* full = o.find("fullName")) {
      const std::string& text = full->asString("\"fullName\"");
      if (text.size() > 127) fail(*full, "a full name has at most 127 characters");
      std::vector<std::uint8_t> seg(128, 0);
      std::copy(text.begin(), text.end(), seg.begin());
      property(server, id, "IDENTIFICATION", 0x00, 0x10);
      segment(server, id, "IDENTIFICATION", 1, seg);
    }
  }

  void property(std::int64_t server, std::uint32_t id, const std::string& name, int flags, int security) {
    db_.prepare("INSERT OR IGNORE INTO bindery_properties(server_id, object_id, name, flags, security) VALUES(?,?,?,?,?)")
        .with(server, static_cast<std::int64_t>(id), name, flags, security).run();
  }

  void segment(std::int64_t server, std::uint32_t id, const std::string& prop, int seg, const std::vector<std::uint8_t>& data) {
    db_.prepare("INSERT OR REPLACE INTO bindery_values(server_id, object_id, property, segment, data) VALUES(?,?,?,?,?)")
        .with(server, static_cast<std::int64_t>(id), prop, seg).bindBlob(5, data.data(), data.size()).run();
  }

  // The property is made with the security its kind has, then the member is added as the
  // bindery adds set members.
  void addToSet(std::int64_t server, std::uint32_t id, const std::string& prop, std::uint32_t member) {
    property(server, id, prop, 0x02, prop == "GROUP_MEMBERS" ? 0x31 : 0x32);
    Bindery(db_, server).addToSet(id, prop, member);
  }

  std::optional<std::uint32_t> lookup(std::int64_t server, const std::string& name, std::optional<std::uint16_t> type = {}) {
    std::optional<std::uint32_t> id;
    if (type)
      db_.prepare("SELECT object_id FROM bindery_objects WHERE server_id=? AND name=? AND type=?")
          .with(server, name, *type).first([&](Stmt& q) { id = static_cast<std::uint32_t>(q.int64(0)); });
    else
      db_.prepare("SELECT object_id FROM bindery_objects WHERE server_id=? AND name=? ORDER BY type LIMIT 1")
          .with(server, name).first([&](Stmt& q) { id = static_cast<std::uint32_t>(q.int64(0)); });
    return id;
  }

  void memberships(const Value& s) {
    std::int64_t server = serverIds_.at(upper(s.find("name")->asString("name")));
    const Value* objects = s.find("objects");
    if (!objects) return;
    for (const Value& o : objects->asArray("\"objects\"")) {
      const Value* members = o.find("members");
      if (!members) continue;
      std::string group = upper(o.find("name")->asString("name"));
      if (objectType(*o.find("type")) != 0x0200) fail(*members, "only groups have members; " + group + " is not a group");
      std::uint32_t gid = *lookup(server, group, 0x0200);
      for (const Value& m : members->asArray("\"members\"")) {
        std::string member = objectName(m, "a member name");
        auto mid = lookup(server, member);
        if (!mid) fail(m, "member " + member + " of " + group + " is not an object of this server");
        addToSet(server, gid, "GROUP_MEMBERS", *mid);
        addToSet(server, *mid, "GROUPS_I'M_IN", gid);
        addToSet(server, *mid, "SECURITY_EQUALS", gid);
      }
    }
  }

  NetCfg netcfg(const Value& c) {
    if (!c.isObject()) fail(c, "\"netcfg\" must be an object");
    NetCfg cfg;
    cfg.preferredServer = upper(str(c, "preferredServer"));
    cfg.preferredTree = upper(str(c, "preferredTree"));
    cfg.nameContext = str(c, "nameContext");
    cfg.loginName = upper(str(c, "loginName"));
    cfg.workstation = upper(str(c, "workstation"));
    if (!cfg.preferredServer.empty() && !serverIds_.count(cfg.preferredServer))
      fail(*c.find("preferredServer"), "preferred server " + cfg.preferredServer + " is not a server of this network");
    return cfg;
  }

  void workstation(const Value& w) {
    if (!w.isObject()) fail(w, "a workstation must be an object");
    std::string name = objectName(required(w, "name", "a workstation"), "a workstation name");
    if (!workstations_.insert(name).second) fail(w, "workstation " + name + " appears twice");
    std::array<std::uint8_t, 6> node{0, 0, 0x1B, 0, 0, static_cast<std::uint8_t>(workstations_.size())};
    if (const Value* v = w.find("node"))
      if (!parseNode(v->asString("\"node\""), node)) fail(*v, "a node address is 12 hexadecimal digits");
    db_.prepare("INSERT INTO workstations(name, node, preferred_server, preferred_tree, created) VALUES(?,?,?,?,?)")
        .with(name).bindBlob(2, node.data(), node.size())
        .bind(3, upper(str(w, "preferredServer"))).bind(4, upper(str(w, "preferredTree"))).bind(5, localNow()).run();

    // The connection marked primary, else the first one made.
    std::int64_t first = 0, primary = 0;
    if (const Value* conns = w.find("connections")) {
      for (const Value& c : conns->asArray("\"connections\"")) {
        std::int64_t id = connection(name, c);
        if (!first) first = id;
        if (const Value* p = c.find("primary"); p && p->asBool("\"primary\"")) primary = id;
      }
    }
    if (!primary) primary = first;
    db_.prepare("UPDATE workstations SET primary_conn=? WHERE name=?").with(primary, name).run();
  }

  std::int64_t connection(const std::string& ws, const Value& c) {
    if (!c.isObject()) fail(c, "a connection must be an object");
    std::string serverName = objectName(required(c, "server", "a connection"), "a server name");
    auto it = serverIds_.find(serverName);
    if (it == serverIds_.end()) fail(c, "server " + serverName + " is not a server of this network");
    std::int64_t server = it->second;
    int maxConns = maxConns_[server];
    std::int64_t station = integer(c, "station", 0);
    if (station == 0) {
      station = 1;
      while (db_.prepare("SELECT 1 FROM connections WHERE server_id=? AND conn_number=?").with(server, station).first([](Stmt&) {}))
        ++station;
    }
    if (station < 1 || station > maxConns)
      fail(c, "station " + std::to_string(station) + " is outside 1.." + std::to_string(maxConns) + " on " + serverName);
    if (db_.prepare("SELECT 1 FROM connections WHERE server_id=? AND conn_number=?").with(server, station).first([](Stmt&) {}))
      fail(c, "station " + std::to_string(station) + " on " + serverName + " is taken twice");

    std::uint32_t objectId = 0;
    std::optional<LocalSeconds> loginTime;
    if (const Value* login = c.find("login")) {
      std::string user = objectName(*login, "a login name");
      auto id = lookup(server, user);
      if (!id) fail(*login, user + " is not an object of " + serverName);
      objectId = *id;
      loginTime = localNow();
      if (const Value* t = c.find("loginTime")) {
        loginTime = parseLocalTime(t->asString("\"loginTime\""));
        if (!loginTime) fail(*t, "a login time is \"yyyy-mm-dd hh:mm:ss\"");
      }
    }
    bool tree = false;
    if (const Value* t = c.find("treeConnection")) tree = t->asBool("\"treeConnection\"");
    auto& ins = db_.prepare(
        "INSERT INTO connections(workstation, server_id, conn_number, object_id, login_time, auth_state, tree_conn, bytes_read, bytes_written, requests, opened) "
        "VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    ins.with(ws, server, station, static_cast<std::int64_t>(objectId));
    if (loginTime) ins.bind(5, *loginTime); else ins.bindNull(5);
    ins.bind(6, objectId ? 1 : 0).bind(7, tree ? 1 : 0)
        .bind(8, integer(c, "bytesRead", 0)).bind(9, integer(c, "bytesWritten", 0)).bind(10, integer(c, "requests", 0))
        .bind(11, loginTime ? *loginTime : localNow());
    ins.run();
    return db_.lastInsertId();
  }
};


} // namespace nwsim
