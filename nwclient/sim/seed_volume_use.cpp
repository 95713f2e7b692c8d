// How the volumes of a seed are used, beside their files (see seed_servers.cpp):
//
//   "volumes": [ { "name": "DATA", "size": 64,                   megabytes (256 by default)
//                  "limits": { "SHARED": 512 },                  directory space limits in KB
//                  "owners": { "SHARED\\BUDGET.XLS": "JSMITH" }, owners of entries
//                  "restrictions": { "JSMITH": 1024 },           disk restrictions in KB
//                  "deleted": [ { "path": "SHARED\\OLD.TXT", "content": "...",
//                                 "by": "JSMITH", "at": "2026-11-30 17:05:00" } ] } ]
//     (a deleted file is written and then deleted, so that it waits in the salvage area;
//      "by" defaults to SUPERVISOR, "at" to now)
#include "seed.h"

#include "file_entries.h"
#include "netware_path.h"
#include "salvage.h"
#include "volume_space.h"

#include <fstream>

namespace nwsim {

void SeedLoader::volumeUse(std::int64_t serverId, const std::string& serverName, int volume, const Value& entry,
                           const std::filesystem::path& networkDir) {
  VolumeSpace space(db_, networkDir);
  Volumes volumes(db_, networkDir);
  FileEntries entries(db_);
  const Volumes::Volume v = *volumes.byNumber(serverId, volume);
  constexpr std::int64_t kBlockKB = VolumeSpace::kBlockSize / 1024;

  auto pathParts = [&](const Value& where, const std::string& path) {
    auto parts = NetWarePath::components(path);
    if (!parts) fail(where, "\"" + path + "\" is not a path on a volume");
    return *parts;
  };
  auto objectId = [&](const Value& where, const std::string& name) {
    auto id = lookup(serverId, upper(name));
    if (!id) fail(where, name + " is not an object of " + serverName);
    return *id;
  };
  auto map = [&](const char* key, auto&& each) {
    if (const Value* m = entry.find(key)) {
      if (!m->isObject()) fail(*m, std::string("\"") + key + "\" must be an object");
      for (const auto& k : m->keys()) each(k, *m->find(k));
    }
  };

  if (const Value* size = entry.find("size")) {
    const std::int64_t mb = size->asInteger("\"size\"");
    if (mb < 1 || mb > 1024 * 1024) fail(*size, "a volume size is 1 to 1048576 megabytes");
    space.setSizeBlocks(serverId, volume, static_cast<std::uint32_t>(mb * 1024 / kBlockKB));
  }
  map("limits", [&](const std::string& path, const Value& kb) {
    EntryInfo info = entries.get(serverId, volume, NetWarePath::join(pathParts(kb, path)));
    info.maxSpace = kb.asInteger("a space limit") / kBlockKB;
    entries.put(serverId, volume, NetWarePath::join(pathParts(kb, path)), info);
  });
  map("owners", [&](const std::string& path, const Value& owner) {
    EntryInfo info = entries.get(serverId, volume, NetWarePath::join(pathParts(owner, path)));
    info.ownerId = objectId(owner, owner.asString("an owner"));
    entries.put(serverId, volume, NetWarePath::join(pathParts(owner, path)), info);
  });
  map("restrictions", [&](const std::string& name, const Value& kb) {
    const std::int64_t limit = kb.asInteger("a restriction");
    if (limit < 0) fail(kb, "a restriction is a number of KB");
    space.restrict(serverId, volume, objectId(kb, name), static_cast<std::uint32_t>(limit / kBlockKB));
  });
  if (const Value* deleted = entry.find("deleted")) {
    Location at;
    at.server.id = serverId;
    at.server.name = serverName;
    at.volume = v;
    for (const Value& d : deleted->asArray("\"deleted\"")) {
      at.parts = pathParts(d, required(d, "path", "a deleted file").asString("\"path\""));
      std::filesystem::path local = volumes.root(serverName, v.name);
      for (const auto& p : at.parts) local /= p;
      std::filesystem::create_directories(local.parent_path());
      std::ofstream(local, std::ios::binary | std::ios::trunc) << str(d, "content");
      std::optional<LocalSeconds> when = localNow();
      if (const Value* t = d.find("at")) {
        when = parseLocalTime(t->asString("\"at\""));
        if (!when) fail(*t, "a deletion time is \"yyyy-mm-dd hh:mm:ss\"");
      }
      const std::uint32_t by = objectId(d, str(d, "by", "SUPERVISOR"));
      if (Salvage(db_, networkDir).remove(at, by, *when) != NWE_OK) fail(d, "cannot delete " + at.path());
    }
  }
}

} // namespace nwsim
