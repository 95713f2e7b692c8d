#pragma once
// The volumes of the servers: each a real directory <network>/volumes/<SERVER>/<VOLUME>,
// numbered per server, mounted or not. Local paths are made only below a volume's root:
// symbolic links are followed only where they stay inside it.
#include "store.h"

#include <nwclient/nwclient.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class Volumes {
public:
  struct Volume {
    std::int64_t serverId = 0;
    int number = 0;
    std::string name;
    bool mounted = true;
  };

  Volumes(Store& db, std::filesystem::path networkDir) : db_(db), dir_(std::move(networkDir)) {}

  std::optional<Volume> byName(std::int64_t serverId, const std::string& name);
  std::optional<Volume> byNumber(std::int64_t serverId, int number);
  std::vector<Volume> all(std::int64_t serverId);
  std::filesystem::path root(const std::string& serverName, const std::string& volumeName) const;
  /// Adds a volume (number: the next free) and makes its directory; returns it.
  Volume create(std::int64_t serverId, const std::string& serverName, const std::string& name);
  void setMounted(const Volume& v, bool mounted);

  /// The local path of `parts` below the volume's root: existing entries are matched without
  /// regard to case, symbolic links resolved and refused when they lead outside the root.
  /// NWE_INVALID_PATH for an escape, NWE_VOLUME_DOES_NOT_EXIST when the root is missing.
  NWCCODE localPath(const std::string& serverName, const Volume& v, const std::vector<std::string>& parts,
                    std::filesystem::path& out) const;

private:
  Store& db_;
  std::filesystem::path dir_;
};

} // namespace nwsim
