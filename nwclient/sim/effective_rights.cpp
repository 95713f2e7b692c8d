#include "effective_rights.h"

#include "bindery.h"
#include "file_entries.h"

#include <algorithm>

namespace nwsim {

std::vector<std::uint32_t> EffectiveRights::identities(std::uint32_t objectId) {
  Bindery b(db_, server_);
  std::vector<std::uint32_t> ids{objectId};
  for (const char* property : {"GROUPS_I'M_IN", "SECURITY_EQUALS"})
    for (std::uint32_t id : b.setMembers(objectId, property))
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  return ids;
}

std::uint16_t EffectiveRights::of(std::uint32_t objectId, int volume, std::string_view path) {
  if (objectId == 0) return 0;
  if (Bindery(db_, server_).isSupervisor(objectId)) return NWR_ALL;

  const std::vector<std::uint32_t> ids = identities(objectId);
  std::vector<std::uint16_t> rights(ids.size(), 0);
  FileEntries entries(db_);
  auto& trusteesAt = db_.prepare("SELECT object_id, rights FROM trustees WHERE server_id=? AND volume=? AND path=?");

  // From the root ("") down through each component of the path; the root inherits nothing.
  const std::string key = FileEntries::key(path);
  std::size_t end = 0;
  for (bool root = true;; root = false) {
    const std::string level = key.substr(0, end);
    const std::uint16_t mask = root ? 0 : entries.get(server_, volume, level).inheritedMask;
    std::vector<std::uint16_t> next(ids.size());
    std::vector<bool> assigned(ids.size(), false);
    trusteesAt.with(server_, volume, level).each([&](Stmt& q) {
      const auto id = static_cast<std::uint32_t>(q.int64(0));
      const auto it = std::find(ids.begin(), ids.end(), id);
      if (it == ids.end()) return;
      const auto i = static_cast<std::size_t>(it - ids.begin());
      next[i] = static_cast<std::uint16_t>(q.int64(1));
      assigned[i] = true;
    });
    for (std::size_t i = 0; i < ids.size(); ++i) {
      // The supervisory right reaches every level below it, whatever their masks say.
      if (rights[i] & NWR_SUPERVISOR) continue;
      rights[i] = assigned[i] ? next[i] : static_cast<std::uint16_t>(rights[i] & mask);
    }
    if (end == key.size()) break;
    end = key.find('\\', end + 1);
    if (end == std::string::npos) end = key.size();
  }

  std::uint16_t all = 0;
  for (std::uint16_t r : rights) all |= r;
  return (all & NWR_SUPERVISOR) ? std::uint16_t(NWR_ALL) : all;
}

} // namespace nwsim
