// File copy: on the server when both ends are NetWare files, otherwise through the
// workstation in blocks, keeping the source's date.
#include "ostrel/client.h"

#include <platform/dialogs.h>
#include <platform/files.h>
#include <rtl/sysutils.h>

#include <nwclient/paths.h>
#include <nwclient/volumes.h>

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>

namespace ostrel {

using detail::client;
using detail::state;

namespace {

namespace fs = std::filesystem;

constexpr long kBlock = 2048;

/// A platform file handle closed at the end of its scope.
class FileHandle {
public:
  explicit FileHandle(int handle) : handle_(handle), opened_(handle >= 1) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return handle_ >= 1; }
  /// Whether the handle was ever opened, closed since or not.
  bool opened() const { return opened_; }
  int get() const { return handle_; }
  /// Closes now; false when closing failed (or it was not open).
  bool close() {
    if (!ok()) return false;
    const bool closed = platform::lclose(handle_) == 0;
    handle_ = -1;
    return closed;
  }

private:
  int handle_;
  bool opened_;
};

std::function<void(std::int64_t, std::int64_t)>& copyProgress() {
  static std::function<void(std::int64_t, std::int64_t)> progress;
  return progress;
}

void reportCopyProgress(std::int64_t done, std::int64_t total) {
  if (copyProgress()) copyProgress()(done, total);
}

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

/// The temporary a copy writes beside its destination: the destination's folder and a name
/// of the copy's own (the prefix, this process, a number of the copy), so that a killed copy
/// never leaves a cut file under the final name and its leftover is known as stale.
std::string temporaryBeside(const std::string& destination) {
  static std::atomic<unsigned> copies{0};
  const auto cut = destination.find_last_of("\\/:");
  const std::string folder = cut == std::string::npos ? std::string() : destination.substr(0, cut + 1);
  return folder + NW_COPY_TEMPORARY_PREFIX + std::to_string(::getpid()) + "." + std::to_string(++copies);
}

/// A copy's destination while it is written: a temporary beside it, renamed over the
/// destination by commit(), removed when the scope ends without one.
class CopyTarget {
public:
  explicit CopyTarget(const std::string& destination)
      : destination_(destination), temporary_(temporaryBeside(destination)), out_(platform::lcreat(temporary_)) {}
  ~CopyTarget() {
    if (committed_) return;
    out_.close();
    if (out_.opened()) platform::deleteFile(temporary_);
  }
  CopyTarget(const CopyTarget&) = delete;
  CopyTarget& operator=(const CopyTarget&) = delete;
  bool ok() const { return out_.ok(); }
  int handle() const { return out_.get(); }
  const std::string& temporary() const { return temporary_; }
  /// Closes the temporary and puts it in the destination's place; false when refused.
  bool commit() {
    if (!out_.close()) return false;
    committed_ = platform::replaceFile(temporary_, destination_);
    return committed_;
  }

private:
  std::string destination_, temporary_;
  FileHandle out_;
  bool committed_ = false;
};

/// Copies block by block; true only when every byte of the source reached the destination.
/// A write refused for want of space records NetWare's code for it.
bool copyBlocks(int in, int out, std::int64_t size) {
  char block[kBlock];
  std::int64_t written = 0;
  reportCopyProgress(0, size);
  while (true) {
    const long got = platform::lread(in, block, kBlock);
    if (got < 0) return false;
    if (got == 0) break;
    const long put = platform::lwrite(out, block, got);
    if (put != got) {
      // A short write: a space limit, a disk restriction or a full disk.
      if (errno == ENOSPC) state.record(NWE_INSUFFICIENT_SPACE);
      return false;
    }
    written += put;
    reportCopyProgress(written, size);
  }
  return written == size;
}

bool copyLocally(const std::string& source, const std::string& destination) {
  WritableForCopy writable(source);
  const auto date = fileDate(source);
  FileHandle in(platform::lopen(source, platform::OF_READ | platform::OF_SHARE_DENY_NONE));
  if (!in.ok()) return false;
  const std::int64_t size = platform::llseek(in.get(), 0, 2);
  if (size < 0 || platform::llseek(in.get(), 0, 0) != 0) return false;
  CopyTarget out(destination);
  if (!out.ok() || !copyBlocks(in.get(), out.handle(), size)) return false;
  if (date) {
    // Dated while it is still the copy's own file, before it takes the destination's name.
    std::error_code ec;
    fs::last_write_time(platform::resolvePath(out.temporary()), *date, ec);
  }
  return out.commit();
}

} // namespace

void setCopyProgress(std::function<void(std::int64_t done, std::int64_t total)> progress) {
  copyProgress() = std::move(progress);
}

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
  const std::int64_t size = platform::llseek(in.get(), 0, 2);
  platform::llseek(in.get(), 0, 0);
  if (size < 0 || size > 0xFFFFFFFF) return false;
  CopyTarget out(destination);
  if (!out.ok()) return false;
  nuint32 copied = 0;
  reportCopyProgress(0, size);
  if (client.NWFileServerFileCopy(static_cast<nuint32>(in.get()), static_cast<nuint32>(out.handle()), 0, 0,
                                  static_cast<nuint32>(size), &copied) != 0)
    return false;
  if (copied < size) return false;
  reportCopyProgress(size, size);
  return out.commit();
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
