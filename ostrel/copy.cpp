// File copy: on the server when both ends are NetWare files, otherwise through the
// workstation in blocks, keeping the source's date.
#include "ostrel/client.h"

#include <platform/dialogs.h>
#include <platform/files.h>
#include <rtl/sysutils.h>

#include <filesystem>
#include <optional>
#include <system_error>

namespace ostrel {

using detail::client;

namespace {

namespace fs = std::filesystem;

constexpr long kBlock = 2048;

/// A platform file handle closed at the end of its scope.
class FileHandle {
public:
  explicit FileHandle(int handle) : handle_(handle) {}
  ~FileHandle() {
    if (ok()) platform::lclose(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return handle_ >= 1; }
  int get() const { return handle_; }

private:
  int handle_;
};

/// The file a path names on disk, canonical; empty when it cannot be resolved.
fs::path canonicalFile(const std::string& path) {
  const std::string local = platform::resolvePath(path);
  if (local.empty()) return {};
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(local, ec);
  return ec ? fs::path{} : canonical;
}

/// True when both paths name one file: the same file on disk, or for NetWare paths the
/// same server, volume and path.
bool sameFile(const std::string& source, const std::string& destination) {
  const fs::path a = canonicalFile(source), b = canonicalFile(destination);
  if (!a.empty() && a == b) return true;
  if (!a.empty() && !b.empty()) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
  }
  if (!platform::isRedirectedPath(source) || !platform::isRedirectedPath(destination)) return false;
  TNWPathInfo from, to;
  return parseNetwarePath(0, source, from) && parseNetwarePath(0, destination, to) &&
         from.connHandle == to.connHandle && from.volNumber == to.volNumber && from.fullPath == to.fullPath;
}

/// Clears a read-only source's write protection for the copy and gives it back at the end
/// of the scope, whatever happened in between.
class WritableForCopy {
public:
  explicit WritableForCopy(const std::string& path) : local_(platform::resolvePath(path)) {
    std::error_code ec;
    if (local_.empty()) return;
    const fs::perms perms = fs::status(local_, ec).permissions();
    if (ec || (perms & fs::perms::owner_write) != fs::perms::none) return;
    fs::permissions(local_, fs::perms::owner_write, fs::perm_options::add, ec);
    cleared_ = !ec;
  }
  ~WritableForCopy() {
    std::error_code ec;
    if (cleared_) fs::permissions(local_, fs::perms::owner_write, fs::perm_options::remove, ec);
  }
  WritableForCopy(const WritableForCopy&) = delete;
  WritableForCopy& operator=(const WritableForCopy&) = delete;

private:
  std::string local_;
  bool cleared_ = false;
};

/// The file's date; nothing when it cannot be read.
std::optional<fs::file_time_type> fileDate(const std::string& path) {
  FileHandle probe(platform::lopen(path, platform::OF_READ | platform::OF_SHARE_DENY_NONE));
  if (!probe.ok()) return std::nullopt;
  std::error_code ec;
  const auto date = fs::last_write_time(platform::resolvePath(path), ec);
  if (ec) return std::nullopt;
  return date;
}

/// Copies block by block; true only when every byte of the source reached the destination.
bool copyBlocks(const std::string& source, const std::string& destination) {
  FileHandle in(platform::lopen(source, platform::OF_READ | platform::OF_SHARE_DENY_NONE));
  if (!in.ok()) return false;
  const std::int64_t size = platform::llseek(in.get(), 0, 2);
  if (size < 0 || platform::llseek(in.get(), 0, 0) != 0) return false;
  FileHandle out(platform::lcreat(destination));
  if (!out.ok()) return false;
  char block[kBlock];
  std::int64_t written = 0;
  while (true) {
    const long got = platform::lread(in.get(), block, kBlock);
    if (got < 0) return false;
    if (got == 0) break;
    const long put = platform::lwrite(out.get(), block, got);
    if (put != got) return false;  // a short write: the disk is full
    written += put;
  }
  return written == size;
}

bool copyLocally(const std::string& source, const std::string& destination) {
  WritableForCopy writable(source);
  platform::deleteFile(destination);
  const auto date = fileDate(source);
  const bool complete = copyBlocks(source, destination);
  if (!complete || !platform::fileExists(destination)) return false;
  if (date) {
    std::error_code ec;
    fs::last_write_time(platform::resolvePath(destination), *date, ec);
  }
  return true;
}

} // namespace

bool _nwCopy(const std::string& source, const std::string& destination) {
  if (!client.NWFileServerFileCopy.bind()) return false;
  TNWParsedPath parsed;
  if (!getPathInfo(source, parsed)) return false;
  TNWPathInfo info;
  if (!parseNetwarePath(parsed.connHandle, source, info)) return false;
  // Creating the destination would empty the source before it is read.
  if (sameFile(source, destination)) return false;

  FileHandle in(platform::lopen(source, platform::OF_READ | platform::OF_SHARE_DENY_NONE));
  if (!in.ok()) return false;
  FileHandle out(platform::lcreat(destination));
  if (!out.ok()) return false;
  const std::int64_t size = platform::llseek(in.get(), 0, 2);
  platform::llseek(in.get(), 0, 0);
  if (size < 0 || size > 0xFFFFFFFF) return false;
  nuint32 copied = 0;
  if (client.NWFileServerFileCopy(static_cast<nuint32>(in.get()), static_cast<nuint32>(out.get()), 0, 0,
                                  static_cast<nuint32>(size), &copied) != 0)
    return false;
  return copied >= size;
}

bool nCopy(const std::string& source, const std::string& destination) {
  platform::CursorGuard hourglass(platform::crHourGlass);
  try {
    if (!platform::fileExists(source)) return false;
    if (sameFile(source, destination)) return false;
    if (_nwCopy(source, destination) && platform::fileExists(destination)) return true;
    return copyLocally(source, destination);
  } catch (const std::exception&) {
    // The guards above have restored the source and the cursor.
    return false;
  }
}

} // namespace ostrel
