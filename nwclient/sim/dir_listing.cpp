#include "dir_listing.h"

#include "wildcard.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cctype>
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

std::shared_ptr<const Listing> read(const fs::path& dir) {
  auto out = std::make_shared<Listing>();
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    ListedEntry e;
    e.name = it->path().filename().string();
    // Links are followed: the redirector keeps them inside the volume.
    std::error_code kind;
    e.directory = it->is_directory(kind);
    out->push_back(std::move(e));
  }
  std::sort(out->begin(), out->end(), [](const ListedEntry& a, const ListedEntry& b) {
    const int c = compareIgnoringCase(a.name, b.name);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  return out;
}

} // namespace

std::shared_ptr<const Listing> listDirectory(const fs::path& dir) {
  struct stat st{};
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::make_shared<Listing>();
  const std::string key = dir.string();
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
  Cached c{key, st.st_dev, st.st_ino, st.st_mtim, read(dir)};
  c.settled = nanoseconds(now) - nanoseconds(st.st_mtim) > kSettleNanoseconds;
  cache.push_front(c);
  if (cache.size() > kCachedListings) cache.pop_back();
  return c.entries;
}

ListedEntry withDetails(const fs::path& dir, const ListedEntry& entry) {
  ListedEntry e = entry;
  struct stat st{};
  if (::stat((dir / e.name).c_str(), &st) != 0) return e;
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
