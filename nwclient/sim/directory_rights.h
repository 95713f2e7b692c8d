#pragma once
// Effective rights of a subject to an object, from the trustee entries ("ACL") on the object
// and, passed down through inherited-rights filters, on the containers above it.
#include "directory_tree.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace nwsim {

class DirectoryRights {
public:
  explicit DirectoryRights(DirectoryTree& tree) : tree_(tree) {}

  /// Rights of `subject` (nullopt = [Public]) to the object for a protected attribute
  /// ("[Entry Rights]", "[All Attributes Rights]", "[SMS Rights]" or an attribute name).
  std::uint32_t effective(std::optional<std::int64_t> subject, std::int64_t object, const std::string& protectedAttr);

  /// Shorthands for the checks of reads and writes.
  bool mayBrowse(std::optional<std::int64_t> subject, std::int64_t object);
  bool mayRead(std::optional<std::int64_t> subject, std::int64_t object, const std::string& attr);
  bool mayWrite(std::optional<std::int64_t> subject, std::int64_t object, const std::string& attr);
  /// Add Self: adding or removing oneself as a value of a name attribute.
  bool mayWriteSelf(std::optional<std::int64_t> subject, std::int64_t object, const std::string& attr);
  bool entry(std::optional<std::int64_t> subject, std::int64_t object, std::uint32_t right);

private:
  /// The subject and everything it is security equivalent to.
  std::set<std::int64_t> equivalents(std::int64_t subject);
  std::uint32_t walk(const std::set<std::int64_t>& subjects, bool authenticated, std::int64_t object, const std::string& prot);
  DirectoryTree& tree_;
};

} // namespace nwsim
