#pragma once
// Directory listings as the scans of the client see them: the entries of a directory on
// disk in name order, read once and kept while the directory is unchanged, so that a scan
// that asks for one entry per call costs the same for every entry.
#include "volumes.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nwsim {

/// One entry of a listing. Only names and kinds are kept with the listing, since a file can
/// change without its directory changing; the rest is read when the entry is returned.
struct ListedEntry {
  std::string name;
  bool directory = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // seconds since 1970
  std::int64_t accessed = 0;
};

using Listing = std::vector<ListedEntry>;

/// The entries of a folder of a volume in name order, case ignored; empty when it cannot be
/// read. Links are listed as what they lead to, and left out when that is outside the volume;
/// copies still being written are left out, and those of killed programs removed.
std::shared_ptr<const Listing> listDirectory(const Placed& dir);
/// The first position at or after `from` whose name could match `pattern`: for a pattern
/// without wildcards the entry of that name (found by halving), else `from` itself.
std::size_t firstCandidate(const Listing& listing, std::size_t from, std::string_view pattern);
/// The entry with its size and times as the disk has them now.
ListedEntry withDetails(const Placed& dir, const ListedEntry& entry);

/// DOS wildcard matching, case ignored: "*" any run, "?" one character, and "*.*" every name.
bool matchesPattern(std::string_view pattern, std::string_view name);

} // namespace nwsim
