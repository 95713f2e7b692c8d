#include "volume_space.h"

#include "file_entries.h"

#include <nwclient/volumes.h>

#include <sys/stat.h>

namespace nwsim {

namespace fs = std::filesystem;

namespace {

// Adds one entry, a directory or a file with its blocks, to a usage.
void count(VolumeSpace::Usage& u, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) {
    ++u.directories;
  } else {
    ++u.files;
    u.blocks += VolumeSpace::blocksOf(static_cast<std::uint64_t>(st.st_size));
  }
}

} // namespace

VolumeSpace::Usage VolumeSpace::usageOf(const fs::path& dir) {
  Usage u;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat st{};
    if (::lstat(it->path().c_str(), &st) != 0) continue;
    count(u, st);
  }
  return u;
}

std::uint32_t VolumeSpace::sizeBlocks(std::int64_t serverId, int volume) {
  std::uint32_t blocks = kDefaultBlocks;
  db_.prepare("SELECT size_blocks FROM volumes WHERE server_id=? AND number=?")
      .with(serverId, volume).first([&](Stmt& q) { blocks = static_cast<std::uint32_t>(q.int64(0)); });
  return blocks;
}

void VolumeSpace::setSizeBlocks(std::int64_t serverId, int volume, std::uint32_t blocks) {
  db_.prepare("UPDATE volumes SET size_blocks=? WHERE server_id=? AND number=?")
      .with(static_cast<std::int64_t>(blocks), serverId, volume).run();
}

VolumeSpace::Usage VolumeSpace::ownedBy(const Server& server, const Volumes::Volume& v, std::uint32_t objectId) {
  std::vector<std::string> keys;
  db_.prepare("SELECT path FROM fs_entries WHERE server_id=? AND volume=? AND owner_id=?")
      .with(server.id, v.number, static_cast<std::int64_t>(objectId)).each([&](Stmt& q) { keys.push_back(q.text(0)); });
  Usage u;
  Volumes volumes(db_, dir_);
  for (const auto& key : keys) {
    auto parts = NetWarePath::components(key);
    fs::path local;
    struct stat st{};
    if (!parts || volumes.localPath(server.name, v, *parts, local) || ::stat(local.c_str(), &st) != 0) continue;
    count(u, st);
  }
  return u;
}

std::optional<std::uint32_t> VolumeSpace::restriction(std::int64_t serverId, int volume, std::uint32_t objectId) {
  std::optional<std::uint32_t> r;
  db_.prepare("SELECT limit_blocks FROM disk_restrictions WHERE server_id=? AND volume=? AND object_id=?")
      .with(serverId, volume, static_cast<std::int64_t>(objectId))
      .first([&](Stmt& q) { r = static_cast<std::uint32_t>(q.int64(0)); });
  return r;
}

void VolumeSpace::restrict(std::int64_t serverId, int volume, std::uint32_t objectId, std::uint32_t blocks) {
  db_.prepare("INSERT OR REPLACE INTO disk_restrictions(server_id, volume, object_id, limit_blocks) VALUES(?,?,?,?)")
      .with(serverId, volume, static_cast<std::int64_t>(objectId), static_cast<std::int64_t>(blocks)).run();
}

bool VolumeSpace::unrestrict(std::int64_t serverId, int volume, std::uint32_t objectId) {
  if (!restriction(serverId, volume, objectId)) return false;
  db_.prepare("DELETE FROM disk_restrictions WHERE server_id=? AND volume=? AND object_id=?")
      .with(serverId, volume, static_cast<std::int64_t>(objectId)).run();
  return true;
}

NWCCODE VolumeSpace::mayGrow(const Location& at, std::uint64_t fromBytes, std::uint64_t toBytes, std::uint32_t writer) {
  const std::uint64_t before = blocksOf(fromBytes), after = blocksOf(toBytes);
  if (after <= before) return NWE_OK;
  const std::uint64_t growth = after - before;
  FileEntries entries(db_);
  Volumes volumes(db_, dir_);
  // Every directory from the file's own up to the root may carry a limit.
  std::vector<std::string> dir(at.parts.begin(), at.parts.empty() ? at.parts.end() : at.parts.end() - 1);
  for (;;) {
    const EntryInfo info = entries.get(at.server.id, at.volume.number, NetWarePath::join(dir));
    if (info.maxSpace > 0) {
      fs::path local;
      if (volumes.localPath(at.server.name, at.volume, dir, local) == NWE_OK &&
          usageOf(local).blocks + growth > static_cast<std::uint64_t>(info.maxSpace))
        return NWE_INSUFFICIENT_SPACE;
    }
    if (dir.empty()) break;
    dir.pop_back();
  }
  std::uint32_t owner = entries.get(at.server.id, at.volume.number, at.path()).ownerId;
  if (owner == 0) owner = writer;
  if (owner == 0) return NWE_OK;
  if (auto limit = restriction(at.server.id, at.volume.number, owner)) {
    if (ownedBy(at.server, at.volume, owner).blocks + growth > *limit) return NWE_INSUFFICIENT_SPACE;
  }
  return NWE_OK;
}

NWCCODE VolumeSpace::mayWrite(Session& s, const OpenFiles::Entry& file, int fd, std::uint64_t end) {
  struct stat st{};
  if (::fstat(fd, &st) != 0 || end <= static_cast<std::uint64_t>(st.st_size)) return NWE_OK;
  Location at;
  if (NWCCODE rc = s.use(file.connId, at.conn, at.server)) return rc;
  auto v = Volumes(db_, dir_).byNumber(file.serverId, file.volume);
  if (!v) return NWE_VOLUME_DOES_NOT_EXIST;
  at.volume = *v;
  at.parts = NetWarePath::components(file.path).value_or(std::vector<std::string>{});
  return mayGrow(at, static_cast<std::uint64_t>(st.st_size), end, at.conn.objectId);
}

} // namespace nwsim
