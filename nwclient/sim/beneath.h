#pragma once
// Opening files below a folder so that nothing can lead outside it, also not a link put in
// place between a check and the use of a path: every name is resolved from an open
// descriptor of the folder, by the kernel in one step (openat2 with RESOLVE_BENEATH) where it
// can, else one name at a time with no link followed at all.
#include <sys/types.h>

#include <string>

namespace nwsim {

/// A descriptor closed at the end of its scope; -1 for none.
class FileDescriptor {
public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& o) noexcept : fd_(o.release()) {}
  FileDescriptor& operator=(FileDescriptor&& o) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

private:
  int fd_ = -1;
};

/// Opens `relative` ("A/B/C"; empty or "." for the folder itself) below the folder open as
/// `dirFd`, with open(2)'s flags and mode. Links are followed only while they stay below the
/// folder. -1 with errno on failure: EXDEV or ELOOP for a path that would leave it.
int openBeneath(int dirFd, const std::string& relative, int flags, mode_t mode = 0);

} // namespace nwsim
