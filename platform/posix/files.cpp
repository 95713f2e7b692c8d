#include "platform/files.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>

namespace platform {
namespace {

std::atomic<Redirector> redirector{nullptr};

constexpr std::size_t MaxLocalPath = 4096;

// The simulated client's own hooks, looked up in its library once it is loaded, so that a
// program needs no setup and the client libraries export only NetWare names.
void* clientSymbol(const char* name) {
  void* lib = ::dlopen(NWSIM_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  if (!lib) return nullptr;
  void* sym = ::dlsym(lib, name);
  ::dlclose(lib);  // RTLD_NOLOAD took a reference of its own
  return sym;
}

template <typename Fn>
Fn* clientHook(std::atomic<Fn*>& cache, const char* name) {
  Fn* f = cache.load();
  if (!f) {
    f = reinterpret_cast<Fn*>(clientSymbol(name));
    if (f) cache.store(f);
  }
  return f;
}

using OpenedHook = void(int handle, const char* path, int access);
using ClosedHook = void(int handle);
using CreatedHook = void(const char* path);
using WritingHook = int(int handle, long long end);
using DeleteHook = int(const char* path);
using OpenHook = int(const char* path, int flags, int mode);
using ReplaceHook = int(const char* from, const char* to);
std::atomic<bool (*)(const char*, char*, std::size_t)> clientRedirector{nullptr};
std::atomic<OpenedHook*> openedHook{nullptr};
std::atomic<ClosedHook*> closedHook{nullptr};
std::atomic<CreatedHook*> createdHook{nullptr};
std::atomic<WritingHook*> writingHook{nullptr};
std::atomic<DeleteHook*> deleteHook{nullptr};
std::atomic<OpenHook*> openHook{nullptr};
std::atomic<ReplaceHook*> replaceHook{nullptr};

// Handles opened on redirected paths: the client keeps them as the station's open files
// until they are closed.
std::mutex redirectedMutex;
std::set<int> redirectedHandles;

void noteOpened(int fd, const std::string& path, int flags) {
  OpenedHook* hook = clientHook(openedHook, "nwsimFileOpened");
  if (!hook) return;
  const int access = (flags & O_ACCMODE) == O_RDONLY ? 1 : (flags & O_ACCMODE) == O_WRONLY ? 2 : 3;
  {
    std::lock_guard lock(redirectedMutex);
    redirectedHandles.insert(fd);
  }
  hook(fd, path.c_str(), access);
}

bool isRedirectedHandle(int fd) {
  std::lock_guard lock(redirectedMutex);
  return redirectedHandles.count(fd) != 0;
}

void noteClosed(int fd) {
  {
    std::lock_guard lock(redirectedMutex);
    if (redirectedHandles.erase(fd) == 0) return;
  }
  if (ClosedHook* hook = clientHook(closedHook, "nwsimFileClosed")) hook(fd);
}

// A path that carries a NUL would act on the part before it: such text names no file.
bool plainText(const std::string& path) { return path.find('\0') == std::string::npos; }

// Handles 0 to 2 belong to the standard streams, and callers treat a handle below 1 as a
// failure; a process started with a standard stream closed would otherwise get one.
int aboveStandardStreams(int fd) {
  if (fd < 0 || fd > 2) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return moved;
}

int openLocal(const std::string& path, int flags) {
  if (!plainText(path)) return HFILE_ERROR;
  // The simulated client opens a volume's files itself: it holds the open to the station's
  // rights and resolves and opens in one step, so nothing swapped in between can lead out.
  if (isRedirectedPath(path) && !redirector.load()) {
    if (OpenHook* hook = clientHook(openHook, "nwsimOpenFile")) {
      const int fd = aboveStandardStreams(hook(path.c_str(), flags, 0666));
      if (fd == -2) return HFILE_ERROR;  // no client loaded: such paths do not resolve
      if (fd < 0) return HFILE_ERROR;
      noteOpened(fd, path, flags);
      return fd;
    }
  }
  const std::string local = resolvePath(path);
  if (local.empty()) return HFILE_ERROR;
  struct stat before {};
  const bool created = (flags & O_CREAT) && isRedirectedPath(path) && ::stat(local.c_str(), &before) != 0;
  int fd;
  do {
    fd = ::open(local.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  fd = aboveStandardStreams(fd);
  if (fd < 0) return HFILE_ERROR;
  if (isRedirectedPath(path)) noteOpened(fd, path, flags);
  // A file new on a volume belongs to the station's user.
  if (created)
    if (CreatedHook* hook = clientHook(createdHook, "nwsimFileCreated")) hook(path.c_str());
  return fd;
}

bool isPathSegmentName(const std::string& s) { return !s.empty() && s != "." && s != ".."; }

} // namespace

bool isRedirectedPath(const std::string& path) {
  if (path.empty() || path[0] == '/') return false;
  const auto colon = path.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  const std::string prefix = path.substr(0, colon);
  if (prefix.find('\\') != std::string::npos) return false;
  const auto slash = prefix.find('/');
  if (slash == std::string::npos) return isPathSegmentName(prefix);
  // "SERVER/VOLUME:" has exactly one slash with a name on each side.
  if (prefix.find('/', slash + 1) != std::string::npos) return false;
  return isPathSegmentName(prefix.substr(0, slash)) && isPathSegmentName(prefix.substr(slash + 1));
}

std::string resolvePath(const std::string& path) {
  if (path.empty() || !plainText(path)) return {};
  if (!isRedirectedPath(path)) return path;
  Redirector r = redirector.load();
  if (!r) r = clientHook(clientRedirector, "nwsimRedirect");
  if (!r) return {};
  char local[MaxLocalPath] = {};
  if (!r(path.c_str(), local, sizeof local)) return {};
  local[sizeof local - 1] = '\0';  // never trust the redirector to terminate
  return std::string(local);
}

void setRedirector(Redirector r) { redirector.store(r); }

int lopen(const std::string& path, int mode) {
  // Sharing modes have no counterpart in POSIX; only the access bits count.
  int flags;
  switch (mode & 0x03) {
    case OF_READ: flags = O_RDONLY; break;
    case OF_WRITE: flags = O_WRONLY; break;
    case OF_READWRITE: flags = O_RDWR; break;
    default: return HFILE_ERROR;
  }
  return openLocal(path, flags);
}

int lcreat(const std::string& path) { return openLocal(path, O_RDWR | O_CREAT | O_TRUNC); }

int fileCreateExclusive(const std::string& path) { return openLocal(path, O_RDWR | O_CREAT | O_EXCL); }

long lread(int handle, void* buffer, long count) {
  if (count < 0 || (count > 0 && !buffer)) return -1;
  ssize_t n;
  do {
    n = ::read(handle, buffer, static_cast<std::size_t>(count));
  } while (n < 0 && errno == EINTR);
  return n < 0 ? -1 : static_cast<long>(n);
}

long lwrite(int handle, const void* buffer, long count) {
  if (count < 0 || (count > 0 && !buffer)) return -1;
  // Space limits and restrictions of the volume hold for files on it.
  if (count > 0 && isRedirectedHandle(handle)) {
    if (WritingHook* hook = clientHook(writingHook, "nwsimFileWriting")) {
      const off_t pos = ::lseek(handle, 0, SEEK_CUR);
      if (pos >= 0 && hook(handle, static_cast<long long>(pos) + count) != 0) {
        errno = ENOSPC;
        return -1;
      }
    }
  }
  const char* p = static_cast<const char*>(buffer);
  long written = 0;
  while (written < count) {
    const ssize_t n = ::write(handle, p + written, static_cast<std::size_t>(count - written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return written > 0 ? written : -1;  // a short count tells the caller the disk is full
    written += n;
  }
  return written;
}

std::int64_t llseek(int handle, std::int64_t offset, int origin) {
  int whence;
  switch (origin) {
    case 0: whence = SEEK_SET; break;
    case 1: whence = SEEK_CUR; break;
    case 2: whence = SEEK_END; break;
    default: return -1;
  }
  const off_t pos = ::lseek(handle, static_cast<off_t>(offset), whence);
  return pos < 0 ? -1 : static_cast<std::int64_t>(pos);
}

bool ltruncate(int handle) {
  const off_t pos = ::lseek(handle, 0, SEEK_CUR);
  if (pos < 0) return false;
  int rc;
  do {
    rc = ::ftruncate(handle, pos);
  } while (rc < 0 && errno == EINTR);
  return rc == 0;
}

int lclose(int handle) {
  if (handle < 0) return HFILE_ERROR;
  noteClosed(handle);
  // Linux releases the descriptor even when close reports EINTR, so it is never retried.
  return ::close(handle) == 0 || errno == EINTR ? 0 : HFILE_ERROR;
}

bool deleteFile(const std::string& path) {
  if (!plainText(path)) return false;
  // The client keeps a file deleted on a volume for salvage, unless another redirector
  // was installed in its place.
  if (isRedirectedPath(path) && !redirector.load()) {
    if (DeleteHook* hook = clientHook(deleteHook, "nwsimDeleteFile")) {
      const int rc = hook(path.c_str());
      if (rc >= 0) return rc == 1;
    }
  }
  const std::string local = resolvePath(path);
  return !local.empty() && ::unlink(local.c_str()) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
  if (!plainText(from) || !plainText(to) || isRedirectedPath(from) != isRedirectedPath(to)) return false;
  // On a volume the client renames beneath the volume's root, to the station's rights.
  if (isRedirectedPath(to) && !redirector.load()) {
    if (ReplaceHook* hook = clientHook(replaceHook, "nwsimReplaceFile")) {
      const int rc = hook(from.c_str(), to.c_str());
      if (rc >= 0) return rc == 1;
    }
  }
  const std::string a = resolvePath(from), b = resolvePath(to);
  return !a.empty() && !b.empty() && ::rename(a.c_str(), b.c_str()) == 0;
}

bool fileExists(const std::string& path) {
  const std::string local = resolvePath(path);
  struct stat st {};
  return !local.empty() && ::stat(local.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string getShortPathName(const std::string&) { return {}; }

} // namespace platform
