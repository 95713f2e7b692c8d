#include "directory_buffer.h"

#include "simulator.h"
#include "nwsim/nwsim.h"

#include <mutex>

namespace nwsim {

DirectoryBuffers& DirectoryBuffers::instance() {
  // Never destroyed: objects of a program that die after it at exit still free their buffers.
  static auto* buffers = new DirectoryBuffers;
  return *buffers;
}

NWDSBuffer* DirectoryBuffers::allocate(std::uint32_t size) {
  auto* b = new NWDSBuffer;
  b->size = size;
  live_.insert(b);
  return b;
}

bool DirectoryBuffers::free(NWDSBuffer* b) {
  auto it = live_.find(b);
  if (it == live_.end()) return false;
  live_.erase(it);
  delete b;
  return true;
}

NWDSFilterCursor* DirectoryBuffers::allocateFilter() {
  auto* c = new NWDSFilterCursor;
  cursors_.insert(c);
  return c;
}

bool DirectoryBuffers::freeFilter(NWDSFilterCursor* c) {
  auto it = cursors_.find(c);
  if (it == cursors_.end()) return false;
  cursors_.erase(it);
  delete c;
  return true;
}

std::size_t openDirectoryBuffers() {
  std::lock_guard lock(Simulator::instance().mutex());
  return DirectoryBuffers::instance().open();
}

} // namespace nwsim
