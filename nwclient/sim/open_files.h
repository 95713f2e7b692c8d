#pragma once
// Files that programs hold open through the redirector. Each row belongs to one process
// (pid and its start time); rows of processes that have ended, also killed ones, are
// dropped before anyone looks at the table.
#include "store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class OpenFiles {
public:
  struct Entry {
    std::int64_t id = 0;
    std::int64_t pid = 0;
    int localHandle = 0;
    std::uint32_t connId = 0;
    std::int64_t serverId = 0;
    int connNumber = 0;
    int volume = 0;
    std::string path;  // below the volume's root, "DIR\\FILE"
    int access = 1;    // 1 read, 2 write, 3 both
  };

  explicit OpenFiles(Store& db) : db_(db) {}

  /// The start time of a running process as the system counts it; empty when it is gone.
  static std::string processStart(std::int64_t pid);
  void purgeEnded();

  void add(Entry e);  // for this process
  void remove(std::int64_t pid, int localHandle);
  std::optional<Entry> byHandle(std::int64_t pid, int localHandle);
  std::vector<Entry> ofStation(std::int64_t serverId, int connNumber);
  std::vector<Entry> ofFile(std::int64_t serverId, int volume, const std::string& path);
  int countOnServer(std::int64_t serverId);
  void dropConnection(std::uint32_t connId);

private:
  std::vector<Entry> select(const std::string& where, std::int64_t a, std::int64_t b, const std::string* c);
  Store& db_;
};

} // namespace nwsim
