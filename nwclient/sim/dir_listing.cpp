#include "dir_listing.h"

#include "wildcard.h"

#include <nwclient/paths.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>

namespace nwsim {

namespace fs = std::filesystem;

namespace {

char up(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

int compareIgnoringCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i)
    if (up(a[i]) != up(b[i])) return static_cast<unsigned char>(up(a[i])) < static_cast<unsigned char>(up(b[i])) ? -1 : 1;
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

struct Cached {
  std::string dir;
  dev_t device = 0;
  ino_t inode = 0;
  struct timespec changed {};
  std::shared_ptr<const Listing> entries;
  // The directory changed long enough before it was read that a later change must move
  // its time stamp (file times advance in clock ticks of a few milliseconds).
  bool settled = false;
};

constexpr std::int64_t kSettleNanoseconds = 50'000'000;

std::int64_t nanoseconds(const struct timespec& t) { return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

// A few listings are enough: scans go through one directory at a time.
constexpr std::size_t kCachedListings = 4;
std::mutex cacheMutex;
std::list<Cached> cache;

bool sameState(const Cached& c, const struct stat& st) {
  return c.device == st.st_dev && c.inode == st.st_ino && c.changed.tv_sec == st.st_mtim.tv_sec &&
         c.changed.tv_nsec == st.st_mtim.tv_nsec;
}

// A copy's temporary file left by a program that was killed: its writer is gone.
bool staleCopyTemporary(const char* name) {
  const std::size_t prefix = std::strlen(NW_COPY_TEMPORARY_PREFIX);
  if (std::strncmp(name, NW_COPY_TEMPORARY_PREFIX, prefix) != 0) return false;
  const long pid = std::strtol(name + prefix, nullptr, 10);
  return pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
}

std::shared_ptr<const Listing> read(const Placed& at, int dirFd) {
  auto out = std::make_shared<Listing>();
  DIR* d = ::fdopendir(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!d) return out;
  ::rewinddir(d);
  while (const dirent* de = ::readdir(d)) {
    const std::string name = de->d_name;
    if (name == "." || name == "..") continue;
    // Copies in progress are not entries yet; those of killed programs are swept.
    if (name.rfind(NW_COPY_TEMPORARY_PREFIX, 0) == 0) {
      if (staleCopyTemporary(de->d_name)) ::unlinkat(dirFd, de->d_name, 0);
      continue;
    }
    struct stat st{};
    if (::fstatat(dirFd, de->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    // A link is listed as what it leads to, and only when that is inside the volume.
    if (S_ISLNK(st.st_mode) && !at.statusOf(name, st)) continue;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;
    ListedEntry e;
    e.name = name;
    e.directory = S_ISDIR(st.st_mode);
    out->push_back(std::move(e));
  }
  ::closedir(d);
  std::sort(out->begin(), out->end(), [](const ListedEntry& a, const ListedEntry& b) {
    const int c = compareIgnoringCase(a.name, b.name);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  return out;
}

} // namespace

std::shared_ptr<const Listing> listDirectory(const Placed& dir) {
  FileDescriptor fd(dir.open(O_RDONLY | O_DIRECTORY));
  struct stat st{};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return std::make_shared<Listing>();
  const std::string key = dir.local.string();
  std::lock_guard lock(cacheMutex);
  for (auto it = cache.begin(); it != cache.end(); ++it) {
    if (it->dir != key) continue;
    if (it->settled && sameState(*it, st)) {
      cache.splice(cache.begin(), cache, it);
      return it->entries;
    }
    cache.erase(it);
    break;
  }
  struct timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  Cached c{key, st.st_dev, st.st_ino, st.st_mtim, read(dir, fd.get())};
  c.settled = nanoseconds(now) - nanoseconds(st.st_mtim) > kSettleNanoseconds;
  cache.push_front(c);
  if (cache.size() > kCachedListings) cache.pop_back();
  return c.entries;
}

ListedEntry withDetails(const Placed& dir, const ListedEntry& entry) {
  ListedEntry e = entry;
  struct stat st{};
  if (!dir.statusOf(e.name, st)) return e;
  e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
  e.modified = st.st_mtim.tv_sec;
  e.accessed = st.st_atim.tv_sec;
  return e;
}

std::size_t firstCandidate(const Listing& listing, std::size_t from, std::string_view pattern) {
  if (from >= listing.size() || pattern.find_first_of("*?") != std::string_view::npos) return from;
  const auto it = std::lower_bound(listing.begin() + static_cast<std::ptrdiff_t>(from), listing.end(), pattern,
                                   [](const ListedEntry& e, std::string_view p) { return compareIgnoringCase(e.name, p) < 0; });
  return static_cast<std::size_t>(it - listing.begin());
}

bool matchesPattern(std::string_view pattern, std::string_view name) {
  return pattern == "*.*" || pattern == "*" || wildcardMatch(pattern, name);
}

} // namespace nwsim
