#pragma once
// Directory contexts of this process: flags, name context and connection per handle.
#include "directory_name.h"

#include <nwclient/nwclient.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace nwsim {

struct DsContext {
  std::uint32_t flags = DCV_DEFAULT_FLAGS;
  std::vector<Rdn> nameContext;  // typed and complete; empty = [Root]
  std::uint32_t conn = 0;        // 0 = the primary connection
  bool typeless() const { return flags & DCV_TYPELESS_NAMES; }
};

/// The process's contexts. Used under the simulator's lock.
class DirectoryContexts {
public:
  static DirectoryContexts& instance();
  NWDSContextHandle create(const DsContext& c = {});
  DsContext* find(NWDSContextHandle h);
  bool free(NWDSContextHandle h);
  std::size_t open() const { return contexts_.size(); }

private:
  std::map<NWDSContextHandle, DsContext> contexts_;
  NWDSContextHandle next_ = 1;
};

} // namespace nwsim
