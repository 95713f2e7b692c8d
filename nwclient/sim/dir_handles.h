#pragma once
// Directory handles of a connection (1 to 255): a volume and a directory below its root.
#include "store.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nwsim {

class DirHandles {
public:
  struct Entry {
    int volume = 0;
    std::string path;  // "DIR\\SUB", empty for the root
  };

  explicit DirHandles(Store& db) : db_(db) {}
  std::optional<Entry> find(std::uint32_t connId, int handle);
  /// The handle of the connection for that directory, made when there is none; 0 when all
  /// 255 are in use.
  int obtain(std::uint32_t connId, int volume, const std::string& path);
  /// A new handle of the connection for that directory, never one in use; 0 when all 255
  /// are in use.
  int allocate(std::uint32_t connId, int volume, const std::string& path);
  /// Releases a handle; false when the connection has no such handle.
  bool release(std::uint32_t connId, int handle);
  void dropConnection(std::uint32_t connId);

private:
  Store& db_;
};

} // namespace nwsim
