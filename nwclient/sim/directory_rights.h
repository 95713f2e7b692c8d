#pragma once
// Effective rights of a subject to an object, from the trustee entries ("ACL") on the object
// and, passed down through inherited-rights filters, on the containers above it.
#include "directory_tree.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

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
  /// The objects the subject may browse, in their order; as mayBrowse of each, with the
  /// rights down to each parent worked out once for all its objects.
  std::vector<DsObject> browsable(std::optional<std::int64_t> subject, const std::vector<DsObject>& objects);

private:
  /// The subject and everything it is security equivalent to.
  std::set<std::int64_t> equivalents(std::int64_t subject);
  std::uint32_t walk(const std::set<std::int64_t>& subjects, bool authenticated, std::int64_t object, const std::string& prot);
  /// One level of a walk: the rights passed down to the object (`rights`, filtered by its
  /// inheritance mask when it is `below` [Root]) and those its own entries grant.
  std::uint32_t step(const std::set<std::int64_t>& subjects, bool authenticated, std::int64_t object,
                     const std::string& key, std::uint32_t rights, bool below);
  DirectoryTree& tree_;
};

} // namespace nwsim
