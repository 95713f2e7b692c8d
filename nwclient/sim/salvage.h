#pragma once
// Deleted files of the volumes: a file deleted through the client moves into its volume's
// salvage area (<network>/salvage/<SERVER>/<VOLUME>, outside the visible tree) with what the
// volume knew about it, who deleted it and when, until it is recovered or purged. Deleted
// files are found by volume, directory base and sequence, never by a directory handle.
#include "file_entries.h"
#include "redirector.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace nwsim {

struct DeletedFile {
  std::uint32_t seq = 0;
  int volume = 0;
  std::uint32_t dirBase = 0;
  std::string name;
  std::uint64_t size = 0;
  LocalSeconds deleted = 0;
  std::uint32_t deletorId = 0;  // display form
  EntryInfo info;
};

class Salvage {
public:
  Salvage(Store& db, std::filesystem::path networkDir) : db_(db), dir_(std::move(networkDir)) {}
  explicit Salvage(Session& s) : Salvage(s.db(), s.network().dir()) {}

  /// The directory base of a directory (a key of FileEntries), given on first use when
  /// `create`; 0 when it has none.
  std::uint32_t dirBase(std::int64_t serverId, int volume, const std::string& dirKey, bool create);
  /// The directory of a base; nullopt for an unknown base.
  std::optional<std::string> directoryOf(std::int64_t serverId, int volume, std::uint32_t base);

  /// Deletes the file at `at` for `deletor` at the time `when`: into the salvage area, or for good when the file
  /// or its directory is to be purged at once. NWE_FILE_NOT_FOUND for no such file (or a
  /// directory), NWE_ACCESS_DENIED for a read-only or delete-inhibited file.
  NWCCODE remove(const Location& at, std::uint32_t deletor, LocalSeconds when);

  /// The first deleted file of a directory with a sequence above `after`.
  std::optional<DeletedFile> next(std::int64_t serverId, int volume, std::uint32_t dirBase, std::uint32_t after);
  std::optional<DeletedFile> find(std::int64_t serverId, int volume, std::uint32_t dirBase, std::uint32_t seq);
  /// Blocks held by the deleted files of a volume, and their count.
  std::uint64_t blocks(std::int64_t serverId, int volume, std::uint64_t* count = nullptr);

  /// Puts a deleted file back into its directory as `newName`, which must not exist.
  NWCCODE recover(const Server& server, const Volumes::Volume& v, const DeletedFile& f, const std::string& newName);
  /// Removes a deleted file for good; NWE_ACCESS_DENIED (and the file stays listed) when
  /// its copy in the salvage area cannot be removed.
  NWCCODE purge(const Server& server, const Volumes::Volume& v, const DeletedFile& f);

private:
  std::filesystem::path area(const std::string& serverName, const std::string& volumeName) const;
  Store& db_;
  std::filesystem::path dir_;
};

} // namespace nwsim
