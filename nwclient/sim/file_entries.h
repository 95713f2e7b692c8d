#pragma once
// What a server keeps about the entries of its volumes beyond the files on disk: NetWare
// attributes, owner, dates, the inherited rights mask and the space limit of directories.
// Entries are addressed by volume number and a path key below the volume's root.
#include "store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nwsim {

/// The rights bits of trustee assignments and inherited rights masks.
enum : std::uint16_t {
  NWR_READ = 0x01, NWR_WRITE = 0x02, NWR_OPEN = 0x04, NWR_CREATE = 0x08, NWR_ERASE = 0x10,
  NWR_ACCESS_CONTROL = 0x20, NWR_FILE_SCAN = 0x40, NWR_MODIFY = 0x80, NWR_SUPERVISOR = 0x100,
  NWR_ALL = 0x1FF,
};

struct EntryInfo {
  std::uint32_t attributes = 0;
  std::uint32_t ownerId = 0;
  std::optional<std::int64_t> created, archived, updated, accessed;  // seconds since 1970
  std::uint32_t archiverId = 0;
  std::uint32_t updaterId = 0;
  std::uint16_t inheritedMask = NWR_ALL;
  std::int64_t maxSpace = 0;  // 4 KB blocks, 0: no limit
};

class FileEntries {
public:
  explicit FileEntries(Store& db) : db_(db) {}

  /// The key of a path below a volume's root: upper case, "\" between components, no
  /// leading or trailing separator; "" for the root. "/" is taken as "\".
  static std::string key(std::string_view path);
  /// The key of the directory that holds `key` ("" for entries of the root).
  static std::string parentKey(std::string_view key);

  /// The entry's stored information, nullopt when nothing was ever set for it.
  std::optional<EntryInfo> find(std::int64_t serverId, int volume, std::string_view path);
  /// The stored information or the defaults.
  EntryInfo get(std::int64_t serverId, int volume, std::string_view path);
  void put(std::int64_t serverId, int volume, std::string_view path, const EntryInfo& info);

  /// Moves what is kept for `from` and every entry below it, trustees included, to `to`.
  void moveTree(std::int64_t serverId, int volume, std::string_view from, std::string_view to);
  /// Forgets `path` and every entry below it, trustees included.
  void removeTree(std::int64_t serverId, int volume, std::string_view path);

private:
  Store& db_;
};

} // namespace nwsim
