#include "beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace nwsim {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = o.release();
  }
  return *this;
}

namespace {

std::atomic<bool> kernelResolves{true};

// Without openat2: one name at a time from the folder, refusing every link on the way, so
// that a link swapped in between two steps is never followed.
int walk(int dirFd, const std::string& relative, int flags, mode_t mode) {
  FileDescriptor cur(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!cur.valid()) return -1;
  std::size_t pos = 0;
  while (true) {
    const std::size_t slash = relative.find('/', pos);
    const std::string name = relative.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
    if (name == "..") {
      errno = EXDEV;
      return -1;
    }
    if (slash == std::string::npos) {
      int fd;
      do {
        fd = ::openat(cur.get(), name.empty() ? "." : name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
      } while (fd < 0 && errno == EINTR);
      return fd;
    }
    if (!name.empty() && name != ".") {
      FileDescriptor next(::openat(cur.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (!next.valid()) return -1;
      cur = std::move(next);
    }
    pos = slash + 1;
  }
}

} // namespace

int openBeneath(int dirFd, const std::string& relative, int flags, mode_t mode) {
  const std::string path = relative.empty() ? std::string(".") : relative;
  if (path[0] == '/') {
    errno = EXDEV;
    return -1;
  }
  if (kernelResolves.load()) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
    how.mode = (flags & (O_CREAT | O_TMPFILE)) ? mode : 0;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    for (int attempt = 0; attempt < 64; ++attempt) {
      const long fd = ::syscall(SYS_openat2, dirFd, path.c_str(), &how, sizeof how);
      if (fd >= 0) return static_cast<int>(fd);
      // EAGAIN: a rename elsewhere raced the lookup; the kernel asks for another try.
      if (errno == EAGAIN || errno == EINTR) continue;
      if (errno != ENOSYS) return -1;
      kernelResolves = false;
      break;
    }
    if (kernelResolves.load()) return -1;
  }
  return walk(dirFd, path, flags, mode);
}

} // namespace nwsim
