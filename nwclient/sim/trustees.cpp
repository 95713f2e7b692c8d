#include "trustees.h"

#include "file_entries.h"

namespace nwsim {

namespace {

Trustee readTrustee(Stmt& q) {
  return Trustee{q.integer(0), q.text(1), static_cast<std::uint32_t>(q.int64(2)),
                 static_cast<std::uint16_t>(q.int64(3))};
}

} // namespace

std::vector<Trustee> Trustees::at(std::int64_t serverId, int volume, std::string_view path) {
  std::vector<Trustee> out;
  db_.prepare("SELECT volume, path, object_id, rights FROM trustees WHERE server_id=? AND volume=? AND path=? "
              "ORDER BY object_id")
      .with(serverId, volume, FileEntries::key(path))
      .each([&](Stmt& q) { out.push_back(readTrustee(q)); });
  return out;
}

std::vector<Trustee> Trustees::ofObject(std::int64_t serverId, std::uint32_t objectId) {
  std::vector<Trustee> out;
  db_.prepare("SELECT volume, path, object_id, rights FROM trustees WHERE server_id=? AND object_id=? "
              "ORDER BY volume, path")
      .with(serverId, static_cast<std::int64_t>(objectId))
      .each([&](Stmt& q) { out.push_back(readTrustee(q)); });
  return out;
}

void Trustees::set(std::int64_t serverId, int volume, std::string_view path, std::uint32_t objectId,
                   std::uint16_t rights) {
  db_.prepare("INSERT OR REPLACE INTO trustees(server_id, volume, path, object_id, rights) VALUES(?,?,?,?,?)")
      .with(serverId, volume, FileEntries::key(path), static_cast<std::int64_t>(objectId),
            static_cast<std::int64_t>(rights))
      .run();
}

bool Trustees::remove(std::int64_t serverId, int volume, std::string_view path, std::uint32_t objectId) {
  const std::string k = FileEntries::key(path);
  bool found = db_.prepare("SELECT 1 FROM trustees WHERE server_id=? AND volume=? AND path=? AND object_id=?")
                   .with(serverId, volume, k, static_cast<std::int64_t>(objectId))
                   .first([](Stmt&) {});
  if (found)
    db_.prepare("DELETE FROM trustees WHERE server_id=? AND volume=? AND path=? AND object_id=?")
        .with(serverId, volume, k, static_cast<std::int64_t>(objectId))
        .run();
  return found;
}

void Trustees::removeObject(std::int64_t serverId, std::uint32_t objectId) {
  db_.prepare("DELETE FROM trustees WHERE server_id=? AND object_id=?")
      .with(serverId, static_cast<std::int64_t>(objectId))
      .run();
}

} // namespace nwsim
