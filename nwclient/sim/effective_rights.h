#pragma once
// The effective rights of a bindery object at a path of a volume, computed from the trustee
// assignments of the object, its groups and its security equivalences, passed down the
// directory tree through each level's inherited rights mask. Every entry point that reports
// rights asks here, so they all give the same answer.
#include "store.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace nwsim {

class EffectiveRights {
public:
  EffectiveRights(Store& db, std::int64_t serverId) : db_(db), server_(serverId) {}

  /// The rights (NWR_... bits) of the object at `path` (a key below the volume's root, any
  /// spelling FileEntries::key accepts). 0 for object 0 (nobody logged in).
  std::uint16_t of(std::uint32_t objectId, int volume, std::string_view path);
  /// Whether the object holds every one of `rights` at `path`.
  bool allow(std::uint32_t objectId, int volume, std::string_view path, std::uint16_t rights) {
    return (of(objectId, volume, path) & rights) == rights;
  }

private:
  /// The object, its groups and the objects it is security-equivalent to.
  std::vector<std::uint32_t> identities(std::uint32_t objectId);
  Store& db_;
  std::int64_t server_;
};

} // namespace nwsim
