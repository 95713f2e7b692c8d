#include "bindery.h"

#include "password_hash.h"
#include "wildcard.h"

#include <algorithm>
#include <cctype>

namespace nwsim {

namespace {

constexpr std::uint32_t kSupervisorId = 1;

Bindery::Object readObject(Stmt& q) {
  return Bindery::Object{static_cast<std::uint32_t>(q.int64(0)), q.text(1),
                         static_cast<std::uint16_t>(q.integer(2)), q.integer(3), q.integer(4)};
}

constexpr const char* kObjectColumns = "object_id, name, type, flags, security";

} // namespace

std::string Bindery::upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool Bindery::hasWildcards(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

bool Bindery::matches(const std::string& pattern, const std::string& name) { return wildcardMatch(pattern, name); }

std::optional<Bindery::Object> Bindery::find(const std::string& name, std::uint16_t type) {
  std::optional<Object> o;
  static const std::string sql =
      std::string("SELECT ") + kObjectColumns + " FROM bindery_objects WHERE server_id=? AND name=? AND type=?";
  db_.prepare(sql).with(server_, upper(name), type).first([&](Stmt& q) { o = readObject(q); });
  return o;
}

std::optional<Bindery::Object> Bindery::byId(std::uint32_t id) {
  std::optional<Object> o;
  static const std::string sql =
      std::string("SELECT ") + kObjectColumns + " FROM bindery_objects WHERE server_id=? AND object_id=?";
  db_.prepare(sql).with(server_, static_cast<std::int64_t>(id)).first([&](Stmt& q) { o = readObject(q); });
  return o;
}

std::optional<Bindery::Object> Bindery::next(const std::string& pattern, std::uint16_t type,
                                             std::optional<std::uint32_t> afterId) {
  // An exact name is one lookup; a pattern walks the IDs (of the type) in index order, one
  // index step per object.
  std::int64_t after = afterId ? static_cast<std::int64_t>(*afterId) : -1;
  if (!hasWildcards(pattern)) {
    std::optional<Object> o;
    static const std::string byName[2] = {
        std::string("SELECT ") + kObjectColumns +
            " FROM bindery_objects WHERE server_id=? AND name=? AND object_id>? AND type=? ORDER BY object_id LIMIT 1",
        std::string("SELECT ") + kObjectColumns +
            " FROM bindery_objects WHERE server_id=? AND name=? AND object_id>? ORDER BY object_id LIMIT 1"};
    auto& q = db_.prepare(byName[type == 0xFFFF]);
    q.with(server_, upper(pattern), after);
    if (type != 0xFFFF) q.bind(4, type);
    q.first([&](Stmt& r) { o = readObject(r); });
    return o;
  }
  static const std::string walk[2] = {
      std::string("SELECT ") + kObjectColumns +
          " FROM bindery_objects WHERE server_id=? AND type=? AND object_id>? ORDER BY object_id LIMIT 1",
      std::string("SELECT ") + kObjectColumns + " FROM bindery_objects WHERE server_id=? AND object_id>? ORDER BY object_id LIMIT 1"};
  const std::string& sql = walk[type == 0xFFFF];
  for (;;) {
    std::optional<Object> o;
    auto& q = db_.prepare(sql);
    if (type == 0xFFFF) q.with(server_, after);
    else q.with(server_, type, after);
    q.first([&](Stmt& r) { o = readObject(r); });
    if (!o || matches(pattern, o->name)) return o;
    after = o->id;
  }
}

bool Bindery::hasProperties(std::uint32_t id) {
  return db_.prepare("SELECT 1 FROM bindery_properties WHERE server_id=? AND object_id=? LIMIT 1")
      .with(server_, static_cast<std::int64_t>(id)).first([](Stmt&) {});
}

std::optional<int> Bindery::propertyFlags(std::uint32_t id, const std::string& property) {
  std::optional<int> flags;
  db_.prepare("SELECT flags FROM bindery_properties WHERE server_id=? AND object_id=? AND name=?")
      .with(server_, static_cast<std::int64_t>(id), upper(property)).first([&](Stmt& q) { flags = q.integer(0); });
  return flags;
}

std::optional<std::vector<std::uint8_t>> Bindery::segment(std::uint32_t id, const std::string& property, int seg, bool& more) {
  std::optional<std::vector<std::uint8_t>> data;
  db_.prepare("SELECT data FROM bindery_values WHERE server_id=? AND object_id=? AND property=? AND segment=?")
      .with(server_, static_cast<std::int64_t>(id), upper(property), seg).first([&](Stmt& q) { data = q.blob(0); });
  more = db_.prepare("SELECT 1 FROM bindery_values WHERE server_id=? AND object_id=? AND property=? AND segment>? LIMIT 1")
             .with(server_, static_cast<std::int64_t>(id), upper(property), seg).first([](Stmt&) {});
  if (data) data->resize(128, 0);
  return data;
}

std::vector<std::uint32_t> Bindery::setMembers(std::uint32_t id, const std::string& property) {
  std::vector<std::uint32_t> ids;
  db_.prepare("SELECT data FROM bindery_values WHERE server_id=? AND object_id=? AND property=? ORDER BY segment")
      .with(server_, static_cast<std::int64_t>(id), upper(property)).each([&](Stmt& q) {
        auto d = q.blob(0);
        for (std::size_t i = 0; i + 4 <= d.size(); i += 4) {
          std::uint32_t v = (std::uint32_t(d[i]) << 24) | (std::uint32_t(d[i + 1]) << 16) |
                            (std::uint32_t(d[i + 2]) << 8) | d[i + 3];
          if (v) ids.push_back(v);
        }
      });
  return ids;
}

bool Bindery::inSet(std::uint32_t id, const std::string& property, std::uint32_t member) {
  for (auto m : setMembers(id, property))
    if (m == member) return true;
  return false;
}

void Bindery::setPassword(std::uint32_t id, const std::string& password) {
  db_.prepare("UPDATE bindery_objects SET password_hash=? WHERE server_id=? AND object_id=?")
      .with(hashPassword(password), server_, static_cast<std::int64_t>(id)).run();
}

bool Bindery::checkPassword(std::uint32_t id, const std::string& password) {
  std::optional<std::string> stored;
  db_.prepare("SELECT password_hash FROM bindery_objects WHERE server_id=? AND object_id=? AND password_hash IS NOT NULL")
      .with(server_, static_cast<std::int64_t>(id)).first([&](Stmt& q) { stored = q.text(0); });
  if (!stored) return password.empty();
  return verifyPassword(*stored, password);
}

bool Bindery::isSupervisor(std::uint32_t id) {
  return id == kSupervisorId || inSet(id, "SECURITY_EQUALS", kSupervisorId);
}

bool Bindery::namedIn(std::uint32_t id, std::uint32_t holder, const std::string& property) {
  auto named = setMembers(holder, property);
  if (named.empty()) return false;
  auto groups = setMembers(id, "GROUPS_I'M_IN");
  for (auto n : named) {
    if (n == id) return true;
    for (auto g : groups)
      if (n == g) return true;
  }
  return false;
}

bool Bindery::isConsoleOperator(std::uint32_t id, const std::string& serverName) {
  if (id == 0) return false;
  if (isSupervisor(id)) return true;
  auto fs = find(serverName, 0x0400);
  return fs && namedIn(id, fs->id, "OPERATORS");
}

bool Bindery::isManager(std::uint32_t id) {
  if (id == 0) return false;
  return isSupervisor(id) || namedIn(id, kSupervisorId, "MANAGERS");
}

std::uint32_t Bindery::addObject(const std::string& name, std::uint16_t type) {
  std::uint32_t id = 0x10000001u;
  db_.prepare("SELECT MAX(object_id) FROM bindery_objects WHERE server_id=? AND object_id >= 268435456")
      .with(server_).first([&](Stmt& q) { if (!q.isNull(0)) id = static_cast<std::uint32_t>(q.int64(0)) + 1; });
  db_.prepare("INSERT INTO bindery_objects(server_id, object_id, name, type, flags, security) VALUES(?,?,?,?,0,49)")
      .with(server_, static_cast<std::int64_t>(id), upper(name), type).run();
  return id;
}

void Bindery::addToSet(std::uint32_t id, const std::string& property, std::uint32_t member) {
  auto ids = setMembers(id, property);
  for (auto v : ids)
    if (v == member) return;
  ids.push_back(member);
  db_.prepare("INSERT OR IGNORE INTO bindery_properties(server_id, object_id, name, flags, security) VALUES(?,?,?,2,49)")
      .with(server_, static_cast<std::int64_t>(id), upper(property)).run();
  writeSet(id, property, ids);
}

bool Bindery::removeFromSet(std::uint32_t id, const std::string& property, std::uint32_t member) {
  auto ids = setMembers(id, property);
  auto it = std::find(ids.begin(), ids.end(), member);
  if (it == ids.end()) return false;
  ids.erase(it);
  writeSet(id, property, ids);
  return true;
}

void Bindery::writeSet(std::uint32_t id, const std::string& property, const std::vector<std::uint32_t>& ids) {
  // An empty set keeps one segment of zeros, as the server keeps it.
  const std::size_t segments = ids.empty() ? 1 : (ids.size() + 31) / 32;
  std::size_t seg = 0;
  for (; seg < segments; ++seg) {
    std::vector<std::uint8_t> data(128, 0);
    for (std::size_t i = 0; i < 32 && seg * 32 + i < ids.size(); ++i) {
      std::uint32_t v = ids[seg * 32 + i];
      data[i * 4] = static_cast<std::uint8_t>(v >> 24);
      data[i * 4 + 1] = static_cast<std::uint8_t>(v >> 16);
      data[i * 4 + 2] = static_cast<std::uint8_t>(v >> 8);
      data[i * 4 + 3] = static_cast<std::uint8_t>(v);
    }
    db_.prepare("INSERT OR REPLACE INTO bindery_values(server_id, object_id, property, segment, data) VALUES(?,?,?,?,?)")
        .with(server_, static_cast<std::int64_t>(id), upper(property), static_cast<int>(seg + 1))
        .bindBlob(5, data.data(), data.size()).run();
  }
  db_.prepare("DELETE FROM bindery_values WHERE server_id=? AND object_id=? AND property=? AND segment>?")
      .with(server_, static_cast<std::int64_t>(id), upper(property), static_cast<int>(seg)).run();
}

} // namespace nwsim
