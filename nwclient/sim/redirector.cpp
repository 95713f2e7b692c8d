#include "redirector.h"

#include "dir_handles.h"
#include "drive_table.h"
#include "effective_rights.h"
#include "file_entries.h"
#include "open_files.h"
#include "salvage.h"
#include "stations.h"
#include "transactions.h"
#include "volume_space.h"

#include <nwclient/paths.h>
#include <nwclient/volumes.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace nwsim {

namespace {

std::vector<std::string> below(const std::string& base, const std::vector<std::string>& parts) {
  std::vector<std::string> all = NetWarePath::components(base).value_or(std::vector<std::string>{});
  all.insert(all.end(), parts.begin(), parts.end());
  return all;
}

} // namespace

NWCCODE Redirector::locate(const std::string& text, std::uint32_t conn, int dirHandle, Location& out) {
  auto p = NetWarePath::parse(text);
  if (!p) return NWE_INVALID_PATH;
  std::optional<int> volumeNumber;
  std::string volumeName = p->volume;
  std::vector<std::string> parts = p->parts;
  switch (p->kind) {
    case NetWarePath::Kind::ServerVolume: {
      auto server = s_.serverByName(p->server);
      if (!server) return NWE_SERVER_NOT_FOUND;
      auto c = Stations(s_).ofWorkstation(server->id);
      if (!c) return NWE_INVALID_CONNECTION;
      conn = c->id;
      break;
    }
    case NetWarePath::Kind::Drive: {
      const int drive = p->drive - 'A' + 1;
      if (DriveTable::localStatus(drive)) return NWE_INVALID_PATH;  // the workstation's own disk
      auto m = DriveTable(s_.db(), s_.workstation()).find(drive);
      if (!m) return NWE_INVALID_DRIVE;
      conn = m->connId;
      volumeNumber = m->volume;
      parts = below(m->path, parts);
      break;
    }
    case NetWarePath::Kind::Volume:
      if (!conn) conn = s_.primaryConnection();
      break;
    case NetWarePath::Kind::Relative: {
      if (!conn) conn = s_.primaryConnection();
      if (dirHandle == 0) return NWE_INVALID_PATH;
      auto h = DirHandles(s_.db()).find(conn, dirHandle);
      if (!h) return s_.connection(conn) ? NWCCODE(NWE_BAD_DIRECTORY_HANDLE) : NWCCODE(NWE_INVALID_CONNECTION);
      volumeNumber = h->volume;
      parts = below(h->path, parts);
      break;
    }
  }
  if (NWCCODE rc = s_.use(conn, out.conn, out.server)) return rc;
  Volumes vols = volumes();
  auto v = volumeNumber ? vols.byNumber(out.server.id, *volumeNumber) : vols.byName(out.server.id, volumeName);
  if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
  out.volume = *v;
  out.parts = std::move(parts);
  if (out.volumePath().size() > 255) return NWE_INVALID_PATH;
  return NWE_OK;
}

NWCCODE Redirector::locateBelow(std::uint32_t conn, int dirHandle, const std::string& path, Location& out) {
  if (!path.empty() || dirHandle == 0) return locate(path, conn, dirHandle, out);
  if (!conn) conn = s_.primaryConnection();
  auto h = DirHandles(s_.db()).find(conn, dirHandle);
  if (!h) return s_.connection(conn) ? NWCCODE(NWE_BAD_DIRECTORY_HANDLE) : NWCCODE(NWE_INVALID_CONNECTION);
  if (NWCCODE rc = s_.use(conn, out.conn, out.server)) return rc;
  auto v = volumes().byNumber(out.server.id, h->volume);
  if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
  out.volume = *v;
  out.parts = below(h->path, {});
  return NWE_OK;
}

NWCCODE Redirector::localPath(const Location& at, std::filesystem::path& out) {
  return volumes().localPath(at.server.name, at.volume, at.parts, out);
}

NWCCODE Redirector::place(const Location& at, Placed& out) {
  return volumes().place(at.server.name, at.volume, at.parts, out);
}

int Redirector::open(const Location& at, int flags, mode_t mode, NWCCODE& code) {
  Placed p;
  if ((code = place(at, p)) != NWE_OK) return -1;
  if (at.parts.empty()) {
    code = NWE_INVALID_PATH;
    return -1;
  }
  struct stat st{};
  const bool exists = p.status(st);
  if (exists && S_ISDIR(st.st_mode)) {
    code = NWE_INVALID_PATH;
    return -1;
  }
  EffectiveRights rights(s_.db(), at.server.id);
  const std::uint32_t who = at.conn.objectId;
  const int access = flags & O_ACCMODE;
  if (!exists) {
    std::vector<std::string> folder = at.parts;
    folder.pop_back();
    if (!(flags & O_CREAT)) code = NWE_FILE_NOT_FOUND;
    else if (!rights.allow(who, at.volume.number, NetWarePath::join(folder), NWR_CREATE)) code = NWE_NO_CREATE_PRIVILEGE;
  } else if ((flags & O_EXCL) && (flags & O_CREAT)) {
    code = NWE_NAME_EXISTS;
  } else {
    const std::uint16_t own = rights.of(who, at.volume.number, at.path());
    if ((access == O_RDONLY || access == O_RDWR) && !(own & (NWR_READ | NWR_SUPERVISOR))) code = NWE_NO_READ_PRIVILEGE;
    else if ((access != O_RDONLY || (flags & O_TRUNC)) && !(own & (NWR_WRITE | NWR_SUPERVISOR))) code = NWE_ACCESS_DENIED;
  }
  if (code != NWE_OK) return -1;
  // A transaction running on the station gets the file back as it was when it is backed out.
  Transactions(s_).reaching(at, p.local);
  // A file that appeared since the look is opened as it is, never made again.
  int fd = p.open(exists ? flags & ~(O_CREAT | O_EXCL) : flags | O_EXCL, mode);
  if (fd < 0) {
    code = errno == EXDEV || errno == ELOOP ? NWCCODE(NWE_INVALID_PATH)
         : errno == EEXIST                  ? NWCCODE(NWE_NAME_EXISTS)
         : errno == ENOENT                  ? NWCCODE(NWE_FILE_NOT_FOUND)
                                            : NWCCODE(NWE_ACCESS_DENIED);
    return -1;
  }
  if (!exists) {
    // A file new on a volume belongs to the station's user.
    FileEntries entries(s_.db());
    EntryInfo info = entries.get(at.server.id, at.volume.number, at.path());
    info.ownerId = who;
    info.created = info.updated = s_.server(at.server.id).clock();
    info.updaterId = who;
    entries.put(at.server.id, at.volume.number, at.path(), info);
  }
  return fd;
}

namespace {

bool isCopyTemporary(const Location& at) {
  return !at.parts.empty() && at.parts.back().rfind(NW_COPY_TEMPORARY_PREFIX, 0) == 0;
}

} // namespace

NWCCODE Redirector::replace(const Location& from, const Location& to) {
  if (from.parts.empty() || to.parts.empty() || from.server.id != to.server.id ||
      from.volume.number != to.volume.number || from.conn.id != to.conn.id || !isCopyTemporary(from))
    return NWE_INVALID_PATH;
  std::vector<std::string> folder = to.parts, fromFolder = from.parts;
  folder.pop_back();
  fromFolder.pop_back();
  if (NetWarePath::join(folder) != NetWarePath::join(fromFolder)) return NWE_INVALID_PATH;
  Placed source, target;
  if (NWCCODE rc = place(from, source)) return rc;
  if (NWCCODE rc = place(to, target)) return rc;
  struct stat st{};
  if (!source.status(st) || !S_ISREG(st.st_mode)) return NWE_FILE_NOT_FOUND;
  const bool exists = target.status(st);
  if (exists && !S_ISREG(st.st_mode)) return NWE_INVALID_PATH;
  EffectiveRights rights(s_.db(), to.server.id);
  const std::uint32_t who = to.conn.objectId;
  if (exists) {
    if (!(rights.of(who, to.volume.number, to.path()) & (NWR_WRITE | NWR_SUPERVISOR))) return NWE_ACCESS_DENIED;
    if (!(st.st_mode & S_IWUSR)) return NWE_ACCESS_DENIED;  // read-only
  } else if (!rights.allow(who, to.volume.number, NetWarePath::join(folder), NWR_CREATE)) {
    return NWE_NO_CREATE_PRIVILEGE;
  }
  Transactions(s_).reaching(to, target.local);
  std::string fromLeaf, toLeaf;
  FileDescriptor fromDir(source.openParent(fromLeaf)), toDir(target.openParent(toLeaf));
  if (!fromDir.valid() || !toDir.valid()) return NWE_INVALID_PATH;
  if (::renameat(fromDir.get(), fromLeaf.c_str(), toDir.get(), toLeaf.c_str()) != 0) return NWE_ACCESS_DENIED;
  FileEntries entries(s_.db());
  const EntryInfo made = entries.get(from.server.id, from.volume.number, from.path());
  entries.removeTree(from.server.id, from.volume.number, from.path());
  EntryInfo info = exists ? entries.get(to.server.id, to.volume.number, to.path()) : made;
  info.updated = s_.server(to.server.id).clock();
  info.updaterId = who;
  entries.put(to.server.id, to.volume.number, to.path(), info);
  return NWE_OK;
}

NWCCODE Redirector::discardTemporary(const Location& at) {
  if (!isCopyTemporary(at)) return NWE_INVALID_PATH;
  // The station that made it, or one that may erase it.
  const auto made = FileEntries(s_.db()).find(at.server.id, at.volume.number, at.path());
  if ((!made || made->ownerId != at.conn.objectId) &&
      !EffectiveRights(s_.db(), at.server.id).allow(at.conn.objectId, at.volume.number, at.path(), NWR_ERASE))
    return NWE_ACCESS_DENIED;
  Placed p;
  if (NWCCODE rc = place(at, p)) return rc;
  std::string leaf;
  FileDescriptor dir(p.openParent(leaf));
  if (!dir.valid()) return NWE_INVALID_PATH;
  if (::unlinkat(dir.get(), leaf.c_str(), 0) != 0) return errno == ENOENT ? NWCCODE(NWE_FILE_NOT_FOUND) : NWCCODE(NWE_ACCESS_DENIED);
  FileEntries(s_.db()).removeTree(at.server.id, at.volume.number, at.path());
  return NWE_OK;
}

namespace {

// Paths are redirected only for programs that use the client; the simulator library alone
// (the nwsim tool, tests of other layers) leaves them to the platform.
bool clientLoaded() {
  for (const char* lib : {"libcalwin32.so", "libclxwin32.so", "libnetwin32.so", "liblocwin32.so"}) {
    if (void* h = ::dlopen(lib, RTLD_NOW | RTLD_NOLOAD)) {
      ::dlclose(h);
      return true;
    }
  }
  return false;
}

// The hooks are called by the platform, outside any client call: one transaction each, and
// no failure of the simulator may reach the program.
template <typename F>
bool withSession(F&& f) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  try {
    Session s = sim.session();
    Transaction t(s.db());
    const bool ok = f(s);
    t.commit();
    return ok;
  } catch (...) {
    return false;
  }
}

} // namespace

} // namespace nwsim

extern "C" {

bool nwsimRedirect(const char* path, char* localPath, std::size_t size) {
  if (!path || !localPath || size == 0 || !nwsim::clientLoaded()) return false;
  return nwsim::withSession([&](nwsim::Session& s) {
    nwsim::Redirector r(s);
    nwsim::Location at;
    std::filesystem::path local;
    if (r.locate(path, 0, 0, at) || r.localPath(at, local)) return false;
    nwsim::Transactions(s).reaching(at, local);
    const std::string text = local.string();
    if (text.size() >= size) return false;  // never cut: a cut path names another file
    std::memcpy(localPath, text.c_str(), text.size() + 1);
    return true;
  });
}

int nwsimOpenFile(const char* path, int flags, int mode) {
  if (!nwsim::clientLoaded()) return -2;
  if (!path) {
    errno = EINVAL;
    return -1;
  }
  int fd = -1, error = EINVAL;
  nwsim::withSession([&](nwsim::Session& s) {
    nwsim::Redirector r(s);
    nwsim::Location at;
    if (r.locate(path, 0, 0, at)) return false;
    NWCCODE code = NWE_OK;
    fd = r.open(at, flags, static_cast<mode_t>(mode), code);
    error = code == NWE_FILE_NOT_FOUND ? ENOENT : code == NWE_NAME_EXISTS ? EEXIST : code == NWE_INVALID_PATH ? EINVAL : EACCES;
    return fd >= 0;
  });
  if (fd < 0) errno = error;
  return fd;
}

void nwsimFileOpened(int handle, const char* path, int access) {
  if (!path) return;
  nwsim::withSession([&](nwsim::Session& s) {
    nwsim::Redirector r(s);
    nwsim::Location at;
    if (r.locate(path, 0, 0, at)) return false;
    nwsim::OpenFiles::Entry e;
    e.localHandle = handle;
    e.connId = at.conn.id;
    e.serverId = at.server.id;
    e.connNumber = at.conn.connNumber;
    e.volume = at.volume.number;
    e.path = at.path();
    e.access = access;
    nwsim::OpenFiles(s.db()).add(e);
    return true;
  });
}

void nwsimFileClosed(int handle) {
  nwsim::withSession([&](nwsim::Session& s) {
    nwsim::OpenFiles(s.db()).remove(::getpid(), handle);
    return true;
  });
}

void nwsimFileCreated(const char* path) {
  if (!path) return;
  nwsim::withSession([&](nwsim::Session& s) {
    nwsim::Location at;
    if (nwsim::Redirector(s).locate(path, 0, 0, at)) return false;
    nwsim::FileEntries entries(s.db());
    nwsim::EntryInfo info = entries.get(at.server.id, at.volume.number, at.path());
    info.ownerId = at.conn.objectId;
    info.created = info.updated = s.server(at.server.id).clock();
    info.updaterId = at.conn.objectId;
    entries.put(at.server.id, at.volume.number, at.path(), info);
    return true;
  });
}

int nwsimFileWriting(int handle, long long end) {
  if (end < 0) return NWE_OK;
  NWCCODE code = NWE_OK;
  nwsim::withSession([&](nwsim::Session& s) {
    auto e = nwsim::OpenFiles(s.db()).byHandle(::getpid(), handle);
    if (!e) return false;
    code = nwsim::VolumeSpace(s).mayWrite(s, *e, handle, static_cast<std::uint64_t>(end));
    return true;
  });
  return code;
}

int nwsimDeleteFile(const char* path) {
  if (!nwsim::clientLoaded()) return -1;
  if (!path) return 0;
  return nwsim::withSession([&](nwsim::Session& s) {
    nwsim::Redirector r(s);
    nwsim::Location at;
    if (r.locate(path, 0, 0, at)) return false;
    // A copy's unfinished temporary goes for good.
    if (nwsim::isCopyTemporary(at)) return r.discardTemporary(at) == NWE_OK;
    // Deleting needs the erase right at the file.
    if (!nwsim::EffectiveRights(s.db(), at.server.id).allow(at.conn.objectId, at.volume.number, at.path(),
                                                           nwsim::NWR_ERASE))
      return false;
    // A transaction running on the station gets the file back when it is backed out.
    std::filesystem::path local;
    if (!r.localPath(at, local)) nwsim::Transactions(s).reaching(at, local);
    return nwsim::Salvage(s).remove(at, at.conn.objectId, at.server.clock()) == NWE_OK;
  }) ? 1 : 0;
}

int nwsimReplaceFile(const char* from, const char* to) {
  if (!nwsim::clientLoaded()) return -1;
  if (!from || !to) return 0;
  return nwsim::withSession([&](nwsim::Session& s) {
    nwsim::Redirector r(s);
    nwsim::Location source, target;
    if (r.locate(from, 0, 0, source) || r.locate(to, 0, 0, target)) return false;
    return r.replace(source, target) == NWE_OK;
  }) ? 1 : 0;
}

}
