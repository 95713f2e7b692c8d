#pragma once
// How the space of a volume is used: its configured size, what its files take on disk (in
// 4 KB blocks), what an object owns, the objects' disk restrictions and the directories'
// space limits that writes through the client must respect.
#include "open_files.h"
#include "redirector.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace nwsim {

class VolumeSpace {
public:
  static constexpr std::uint64_t kBlockSize = 4096;
  /// The size of a volume whose seed gives none: 256 MB.
  static constexpr std::uint32_t kDefaultBlocks = 65536;

  struct Usage {
    std::uint64_t blocks = 0;
    std::uint64_t files = 0;
    std::uint64_t directories = 0;
  };

  VolumeSpace(Store& db, std::filesystem::path networkDir) : db_(db), dir_(std::move(networkDir)) {}
  explicit VolumeSpace(Session& s) : VolumeSpace(s.db(), s.network().dir()) {}

  static std::uint64_t blocksOf(std::uint64_t bytes) { return (bytes + kBlockSize - 1) / kBlockSize; }
  /// What lies below a local directory (the directory itself not counted).
  static Usage usageOf(const std::filesystem::path& dir);

  std::uint32_t sizeBlocks(std::int64_t serverId, int volume);
  void setSizeBlocks(std::int64_t serverId, int volume, std::uint32_t blocks);

  /// What the entries an object owns on a volume take.
  Usage ownedBy(const Server& server, const Volumes::Volume& v, std::uint32_t objectId);
  /// An object's restriction on a volume in blocks; nullopt when it has none.
  std::optional<std::uint32_t> restriction(std::int64_t serverId, int volume, std::uint32_t objectId);
  void restrict(std::int64_t serverId, int volume, std::uint32_t objectId, std::uint32_t blocks);
  /// False when the object had no restriction.
  bool unrestrict(std::int64_t serverId, int volume, std::uint32_t objectId);

  /// Whether the file at `at` may grow from `fromBytes` to `toBytes`: NWE_OK, or
  /// NWE_INSUFFICIENT_SPACE when a directory above it would exceed its space limit or its
  /// owner (`writer` for a file without one) would exceed the restriction on the volume.
  NWCCODE mayGrow(const Location& at, std::uint64_t fromBytes, std::uint64_t toBytes, std::uint32_t writer);

  /// mayGrow for a file a program has open, written up to byte `end` by the station that
  /// opened it; its current size is that of the open descriptor `fd`.
  NWCCODE mayWrite(Session& s, const OpenFiles::Entry& file, int fd, std::uint64_t end);

private:
  Store& db_;
  std::filesystem::path dir_;
};

} // namespace nwsim
