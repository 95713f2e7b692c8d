#include "salvage.h"

#include "volume_space.h"

#include <nwclient/volumes.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

namespace nwsim {

namespace fs = std::filesystem;

namespace {

const char* const kColumns =
    "seq, volume, dir_base, name, size, deleted, deletor_id, attributes, owner_id, created, archived, archiver_id, "
    "updated, updater_id, accessed, inherited_mask";

std::optional<std::int64_t> optionalTime(Stmt& q, int col) {
  if (q.isNull(col)) return std::nullopt;
  return q.int64(col);
}

void bindTime(Stmt& q, int i, const std::optional<std::int64_t>& t) {
  if (t) q.bind(i, *t);
  else q.bindNull(i);
}

DeletedFile readDeleted(Stmt& q) {
  DeletedFile f;
  f.seq = static_cast<std::uint32_t>(q.int64(0));
  f.volume = q.integer(1);
  f.dirBase = static_cast<std::uint32_t>(q.int64(2));
  f.name = q.text(3);
  f.size = static_cast<std::uint64_t>(q.int64(4));
  f.deleted = q.int64(5);
  f.deletorId = static_cast<std::uint32_t>(q.int64(6));
  f.info.attributes = static_cast<std::uint32_t>(q.int64(7));
  f.info.ownerId = static_cast<std::uint32_t>(q.int64(8));
  f.info.created = optionalTime(q, 9);
  f.info.archived = optionalTime(q, 10);
  f.info.archiverId = static_cast<std::uint32_t>(q.int64(11));
  f.info.updated = optionalTime(q, 12);
  f.info.updaterId = static_cast<std::uint32_t>(q.int64(13));
  f.info.accessed = optionalTime(q, 14);
  f.info.inheritedMask = static_cast<std::uint16_t>(q.int64(15));
  return f;
}

} // namespace

fs::path Salvage::area(const std::string& serverName, const std::string& volumeName) const {
  return dir_ / "salvage" / serverName / volumeName;
}

std::uint32_t Salvage::dirBase(std::int64_t serverId, int volume, const std::string& dirKey, bool create) {
  std::uint32_t base = 0;
  db_.prepare("SELECT base FROM dir_bases WHERE server_id=? AND volume=? AND path=?")
      .with(serverId, volume, dirKey).first([&](Stmt& q) { base = static_cast<std::uint32_t>(q.int64(0)); });
  if (base || !create) return base;
  db_.prepare("INSERT INTO dir_bases(server_id, volume, path) VALUES(?,?,?)").with(serverId, volume, dirKey).run();
  return static_cast<std::uint32_t>(db_.lastInsertId());
}

std::optional<std::string> Salvage::directoryOf(std::int64_t serverId, int volume, std::uint32_t base) {
  std::optional<std::string> dir;
  db_.prepare("SELECT path FROM dir_bases WHERE server_id=? AND volume=? AND base=?")
      .with(serverId, volume, static_cast<std::int64_t>(base)).first([&](Stmt& q) { dir = q.text(0); });
  return dir;
}

NWCCODE Salvage::remove(const Location& at, std::uint32_t deletor, LocalSeconds when) {
  Placed place;
  if (NWCCODE rc = Volumes(db_, dir_).place(at.server.name, at.volume, at.parts, place)) return rc;
  // The file is named from its folder, held open below the volume's root, so a link swapped
  // in on the way cannot make it delete or move anything outside.
  std::string leaf;
  FileDescriptor folder(place.openParent(leaf));
  struct stat st{};
  if (at.parts.empty() || !folder.valid() || ::fstatat(folder.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      S_ISDIR(st.st_mode))
    return NWE_FILE_NOT_FOUND;
  FileEntries entries(db_);
  const std::string key = FileEntries::key(at.path());
  const std::string dirKey = FileEntries::parentKey(key);
  EntryInfo info = entries.get(at.server.id, at.volume.number, key);
  if (info.attributes & (NWA_READ_ONLY | NWA_DELETE_INHIBIT)) return NWE_ACCESS_DENIED;
  const std::uint32_t dirAttributes = entries.get(at.server.id, at.volume.number, dirKey).attributes;
  if ((info.attributes | dirAttributes) & NWA_IMMEDIATE_PURGE) {
    if (::unlinkat(folder.get(), leaf.c_str(), 0) != 0) return NWE_ACCESS_DENIED;
    entries.removeTree(at.server.id, at.volume.number, key);
    return NWE_OK;
  }
  // What the disk knows stands in for what was never set.
  if (!info.created) info.created = st.st_mtim.tv_sec;
  if (!info.updated) info.updated = st.st_mtim.tv_sec;
  if (!info.accessed) info.accessed = st.st_atim.tv_sec;
  const std::uint32_t base = dirBase(at.server.id, at.volume.number, dirKey, true);
  auto& q = db_.prepare(
      "INSERT INTO deleted_files(server_id, volume, dir_base, name, size, deleted, deletor_id, attributes, owner_id, "
      "created, archived, archiver_id, updated, updater_id, accessed, inherited_mask) "
      "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  q.with(at.server.id, at.volume.number, static_cast<std::int64_t>(base), at.parts.back(), static_cast<std::int64_t>(st.st_size),
         when, static_cast<std::int64_t>(deletor), static_cast<std::int64_t>(info.attributes),
         static_cast<std::int64_t>(info.ownerId));
  bindTime(q, 10, info.created);
  bindTime(q, 11, info.archived);
  q.bind(12, static_cast<std::int64_t>(info.archiverId));
  bindTime(q, 13, info.updated);
  q.bind(14, static_cast<std::int64_t>(info.updaterId));
  bindTime(q, 15, info.accessed);
  q.bind(16, static_cast<std::int64_t>(info.inheritedMask));
  q.run();
  const auto seq = db_.lastInsertId();
  const fs::path dest = area(at.server.name, at.volume.name);
  std::error_code ec;
  fs::create_directories(dest, ec);
  if (::renameat(folder.get(), leaf.c_str(), AT_FDCWD, (dest / std::to_string(seq)).c_str()) != 0) {
    db_.prepare("DELETE FROM deleted_files WHERE seq=?").with(seq).run();
    return NWE_ACCESS_DENIED;
  }
  entries.removeTree(at.server.id, at.volume.number, key);
  return NWE_OK;
}

std::optional<DeletedFile> Salvage::next(std::int64_t serverId, int volume, std::uint32_t dirBase, std::uint32_t after) {
  std::optional<DeletedFile> f;
  db_.prepare(std::string("SELECT ") + kColumns +
                  " FROM deleted_files WHERE server_id=? AND volume=? AND dir_base=? AND seq>? ORDER BY seq LIMIT 1")
      .with(serverId, volume, static_cast<std::int64_t>(dirBase), static_cast<std::int64_t>(after))
      .first([&](Stmt& q) { f = readDeleted(q); });
  return f;
}

std::optional<DeletedFile> Salvage::find(std::int64_t serverId, int volume, std::uint32_t dirBase, std::uint32_t seq) {
  std::optional<DeletedFile> f;
  db_.prepare(std::string("SELECT ") + kColumns +
                  " FROM deleted_files WHERE server_id=? AND volume=? AND dir_base=? AND seq=?")
      .with(serverId, volume, static_cast<std::int64_t>(dirBase), static_cast<std::int64_t>(seq))
      .first([&](Stmt& q) { f = readDeleted(q); });
  return f;
}

std::uint64_t Salvage::blocks(std::int64_t serverId, int volume, std::uint64_t* count) {
  std::uint64_t total = 0, n = 0;
  db_.prepare("SELECT size FROM deleted_files WHERE server_id=? AND volume=?")
      .with(serverId, volume).each([&](Stmt& q) {
        total += VolumeSpace::blocksOf(static_cast<std::uint64_t>(q.int64(0)));
        ++n;
      });
  if (count) *count = n;
  return total;
}

NWCCODE Salvage::recover(const Server& server, const Volumes::Volume& v, const DeletedFile& f, const std::string& newName) {
  const std::string name = newName.empty() ? f.name : newName;
  auto nameParts = NetWarePath::components(name);
  if (!nameParts || nameParts->size() != 1) return NWE_INVALID_PATH;
  auto dirKey = directoryOf(server.id, v.number, f.dirBase);
  if (!dirKey) return NWE_FILE_NOT_FOUND;
  auto parts = NetWarePath::components(*dirKey).value_or(std::vector<std::string>{});
  Volumes volumes(db_, dir_);
  Placed dir, target;
  struct stat st{};
  if (volumes.place(server.name, v, parts, dir) || !dir.status(st) || !S_ISDIR(st.st_mode)) return NWE_INVALID_PATH;
  parts.push_back(nameParts->front());
  if (NWCCODE rc = volumes.place(server.name, v, parts, target)) return rc;
  std::string leaf;
  FileDescriptor folder(target.openParent(leaf));
  if (!folder.valid()) return NWE_INVALID_PATH;
  // Never over a file that lives there now, whatever the case of its name.
  if (::fstatat(folder.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return NWE_NAME_EXISTS;
  if (::renameat(AT_FDCWD, (area(server.name, v.name) / std::to_string(f.seq)).c_str(), folder.get(), leaf.c_str()) != 0)
    return NWE_ACCESS_DENIED;
  db_.prepare("DELETE FROM deleted_files WHERE seq=?").with(static_cast<std::int64_t>(f.seq)).run();
  FileEntries(db_).put(server.id, v.number, NetWarePath::join(parts), f.info);
  return NWE_OK;
}

NWCCODE Salvage::purge(const Server& server, const Volumes::Volume& v, const DeletedFile& f) {
  std::error_code ec;
  fs::remove(area(server.name, v.name) / std::to_string(f.seq), ec);
  if (ec) return NWE_ACCESS_DENIED;
  db_.prepare("DELETE FROM deleted_files WHERE seq=?").with(static_cast<std::int64_t>(f.seq)).run();
  return NWE_OK;
}

} // namespace nwsim
