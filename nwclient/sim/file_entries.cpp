#include "file_entries.h"

#include <cctype>

namespace nwsim {

namespace {

// A LIKE pattern that matches every key strictly below `key`, with the key's own wildcard
// characters escaped.
std::string belowPattern(const std::string& key) {
  std::string p;
  for (char c : key) {
    if (c == '%' || c == '_' || c == '!') p.push_back('!');
    p.push_back(c);
  }
  return p + "\\%";
}

void bindTime(Stmt& q, int i, const std::optional<std::int64_t>& t) {
  if (t) q.bind(i, *t);
  else q.bindNull(i);
}

std::optional<std::int64_t> optionalTime(Stmt& q, int col) {
  if (q.isNull(col)) return std::nullopt;
  return q.int64(col);
}

} // namespace

std::string FileEntries::key(std::string_view path) {
  std::string k;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      if (!k.empty() && k.back() != '\\') k.push_back('\\');
    } else {
      k.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
  }
  if (!k.empty() && k.back() == '\\') k.pop_back();
  return k;
}

std::string FileEntries::parentKey(std::string_view key) {
  const auto sep = key.rfind('\\');
  return sep == std::string_view::npos ? std::string() : std::string(key.substr(0, sep));
}

std::optional<EntryInfo> FileEntries::find(std::int64_t serverId, int volume, std::string_view path) {
  std::optional<EntryInfo> info;
  db_.prepare("SELECT attributes, owner_id, created, archived, archiver_id, updated, updater_id, accessed, "
              "inherited_mask, max_space FROM fs_entries WHERE server_id=? AND volume=? AND path=?")
      .with(serverId, volume, key(path))
      .first([&](Stmt& q) {
        EntryInfo e;
        e.attributes = static_cast<std::uint32_t>(q.int64(0));
        e.ownerId = static_cast<std::uint32_t>(q.int64(1));
        e.created = optionalTime(q, 2);
        e.archived = optionalTime(q, 3);
        e.archiverId = static_cast<std::uint32_t>(q.int64(4));
        e.updated = optionalTime(q, 5);
        e.updaterId = static_cast<std::uint32_t>(q.int64(6));
        e.accessed = optionalTime(q, 7);
        e.inheritedMask = static_cast<std::uint16_t>(q.int64(8));
        e.maxSpace = q.int64(9);
        info = e;
      });
  return info;
}

EntryInfo FileEntries::get(std::int64_t serverId, int volume, std::string_view path) {
  return find(serverId, volume, path).value_or(EntryInfo{});
}

void FileEntries::put(std::int64_t serverId, int volume, std::string_view path, const EntryInfo& e) {
  auto& q = db_.prepare(
      "INSERT OR REPLACE INTO fs_entries(server_id, volume, path, attributes, owner_id, created, archived, "
      "archiver_id, updated, updater_id, accessed, inherited_mask, max_space) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)");
  q.with(serverId, volume, key(path), static_cast<std::int64_t>(e.attributes), static_cast<std::int64_t>(e.ownerId));
  bindTime(q, 6, e.created);
  bindTime(q, 7, e.archived);
  q.bind(8, static_cast<std::int64_t>(e.archiverId));
  bindTime(q, 9, e.updated);
  q.bind(10, static_cast<std::int64_t>(e.updaterId));
  bindTime(q, 11, e.accessed);
  q.bind(12, static_cast<std::int64_t>(e.inheritedMask));
  q.bind(13, e.maxSpace);
  q.run();
}

void FileEntries::moveTree(std::int64_t serverId, int volume, std::string_view from, std::string_view to) {
  const std::string f = key(from), t = key(to);
  if (f == t || f.empty() || t.empty()) return;
  // Whatever was kept at the destination belonged to an entry that no longer exists.
  removeTree(serverId, volume, t);
  for (const char* table : {"fs_entries", "trustees"}) {
    db_.prepare(std::string("UPDATE ") + table + " SET path = ? || substr(path, ?) "
                "WHERE server_id=? AND volume=? AND (path=? OR path LIKE ? ESCAPE '!')")
        .with(t, static_cast<std::int64_t>(f.size()) + 1, serverId, volume, f, belowPattern(f)).run();
  }
}

void FileEntries::removeTree(std::int64_t serverId, int volume, std::string_view path) {
  const std::string k = key(path);
  for (const char* table : {"fs_entries", "trustees"}) {
    if (k.empty()) {
      db_.prepare(std::string("DELETE FROM ") + table + " WHERE server_id=? AND volume=?").with(serverId, volume).run();
    } else {
      db_.prepare(std::string("DELETE FROM ") + table +
                  " WHERE server_id=? AND volume=? AND (path=? OR path LIKE ? ESCAPE '!')")
          .with(serverId, volume, k, belowPattern(k)).run();
    }
  }
}

} // namespace nwsim
