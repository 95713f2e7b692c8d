#pragma once
// Writes to the tree, checked against the schema and the caller's rights: attribute
// changes, new objects, removal, moves. Keeps "Group Membership"/"Member" and
// "Security Equals"/"Equivalent To Me" in step on every write.
#include "directory_rights.h"
#include "directory_tree.h"

#include <optional>
#include <string>
#include <vector>

namespace nwsim {

struct DsChange {
  std::uint32_t type = 0;    // DS_ADD_VALUE, ...
  std::string attr;
  std::vector<DsValue> values;
};

struct DsNewAttr {
  std::string attr;
  std::vector<DsValue> values;
};

class DirectoryUpdate {
public:
  explicit DirectoryUpdate(DirectoryTree& tree) : tree_(tree), rights_(tree) {}

  /// Applies the changes to the object as the caller, all or nothing.
  NWCCODE modify(std::int64_t object, const std::vector<DsChange>& changes);
  /// Adds an object named by its complete typed name; `id` gets its ID.
  NWCCODE add(const std::vector<Rdn>& name, const std::vector<DsNewAttr>& attrs, std::int64_t& id);
  NWCCODE remove(std::int64_t object);
  NWCCODE move(std::int64_t object, std::int64_t newParent, const Rdn& newRdn);

  /// Applies without checking rights; for the seed and the directory's own upkeep.
  void setUnchecked(bool v) { unchecked_ = v; }

private:
  NWCCODE change(const DsObject& o, const DsChange& c, std::optional<std::int64_t> caller);
  NWCCODE checkObject(const DsObject& o);
  void mirror(std::int64_t object, const std::string& attr, std::int64_t other, bool added);
  DirectoryTree& tree_;
  DirectoryRights rights_;
  bool unchecked_ = false;
};

} // namespace nwsim
