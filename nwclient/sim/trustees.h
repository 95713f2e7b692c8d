#pragma once
// Trustee assignments on the directories and files of a server's volumes: the rights an
// object (user, group, or any bindery object) holds at one path. Paths are the keys of
// FileEntries; whole components only, so "DATA\\PUB" is not a trustee of "DATA\\PUBLIC".
#include "store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nwsim {

struct Trustee {
  int volume = 0;
  std::string path;        // key below the volume's root
  std::uint32_t objectId = 0;
  std::uint16_t rights = 0;
};

class Trustees {
public:
  explicit Trustees(Store& db) : db_(db) {}

  /// The trustees of one path, by object ID.
  std::vector<Trustee> at(std::int64_t serverId, int volume, std::string_view path);
  /// Every assignment of an object on the server, by volume and path.
  std::vector<Trustee> ofObject(std::int64_t serverId, std::uint32_t objectId);
  /// Adds the assignment, or replaces the rights of an existing one.
  void set(std::int64_t serverId, int volume, std::string_view path, std::uint32_t objectId, std::uint16_t rights);
  /// Removes one object's assignment at one path; false when there was none.
  bool remove(std::int64_t serverId, int volume, std::string_view path, std::uint32_t objectId);
  /// Removes every assignment of an object (the object was deleted).
  void removeObject(std::int64_t serverId, std::uint32_t objectId);

private:
  Store& db_;
};

} // namespace nwsim
