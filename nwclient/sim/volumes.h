#pragma once
// The volumes of the servers: each a real directory <network>/volumes/<SERVER>/<VOLUME>,
// numbered per server, mounted or not. Files are reached only below a volume's root:
// symbolic links are followed only where they stay inside it, and every use of a file goes
// from a descriptor of the root, so that a link swapped in after a check cannot lead out.
#include "beneath.h"
#include "store.h"

#include <sys/stat.h>

#include <nwclient/nwclient.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

/// A place below a volume's root as the disk names it, held with the root open.
struct Placed {
  FileDescriptor root;
  /// "DIR/FILE" below the root, names in the case the disk has them; empty for the root.
  std::string relative;
  /// The same as a local path, for messages and for what needs a name.
  std::filesystem::path local;

  /// Opens the place below the root (see openBeneath); -1 with errno on failure.
  int open(int flags, mode_t mode = 0) const { return openBeneath(root.get(), relative, flags, mode); }
  /// The folder that holds the place, open for the *at calls, and the place's own name.
  int openParent(std::string& leaf) const;
  /// The place's status, links followed only inside the volume; false when it is not there.
  bool status(struct stat& st) const { return statusAt(relative, st); }
  bool statusAt(const std::string& rel, struct stat& st) const;
  /// The place of an entry inside this folder.
  std::string child(const std::string& name) const { return relative.empty() ? name : relative + "/" + name; }
  /// The status of the entry of that name inside this folder, as status() takes it.
  bool statusOf(const std::string& name, struct stat& st) const;
};

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
  /// The same place held for use (see Placed); the same codes.
  NWCCODE place(const std::string& serverName, const Volume& v, const std::vector<std::string>& parts,
                Placed& out) const;

private:
  Store& db_;
  std::filesystem::path dir_;
};

} // namespace nwsim
