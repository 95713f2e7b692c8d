#include "directory_context.h"

#include "simulator.h"
#include "nwsim/nwsim.h"

#include <mutex>

namespace nwsim {

DirectoryContexts& DirectoryContexts::instance() {
  // Never destroyed: objects of a program that die after it at exit still free their contexts.
  static auto* contexts = new DirectoryContexts;
  return *contexts;
}

NWDSContextHandle DirectoryContexts::create(const DsContext& c) {
  // Handles are never reused, so a stale handle cannot reach a newer context.
  if (next_ == INT32_MAX) return 0;
  NWDSContextHandle h = next_++;
  contexts_[h] = c;
  return h;
}

DsContext* DirectoryContexts::find(NWDSContextHandle h) {
  auto it = contexts_.find(h);
  return it == contexts_.end() ? nullptr : &it->second;
}

bool DirectoryContexts::free(NWDSContextHandle h) { return contexts_.erase(h) > 0; }

std::size_t openDirectoryContexts() {
  std::lock_guard lock(Simulator::instance().mutex());
  return DirectoryContexts::instance().open();
}

} // namespace nwsim
