// Client functions of open files: NetWare handles of the program's files, copying on the
// server, the files a station has open and the stations that have a file open.
#include "marshal.h"

#include <bindery.h>
#include <dir_handles.h>
#include <open_files.h>
#include <redirector.h>
#include <volume_space.h>

#include <nwclient/nwclient.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <vector>

using nwsim::Connection;
using nwsim::Location;
using nwsim::OpenFiles;
using nwsim::Redirector;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace {

// A NetWare file of this program by its platform handle.
NWCCODE openFile(Session& s, nuint32 handle, OpenFiles::Entry& out) {
  auto e = OpenFiles(s.db()).byHandle(::getpid(), static_cast<int>(handle));
  if (!e) return NWE_INVALID_FILE_HANDLE;
  out = *e;
  return NWE_OK;
}

std::vector<std::string> withoutLast(std::vector<std::string> parts) {
  if (!parts.empty()) parts.pop_back();
  return parts;
}

// Another station's files are a console operator's business.
bool maySee(Session& s, const Connection& c, const Server& server, int station) {
  return c.connNumber == station || nwsim::Bindery(s.db(), server.id).isConsoleOperator(c.objectId, server.name);
}

} // namespace

extern "C" {

NWCCODE NWConvertFileHandle(nuint32 localHandle, nuint16 handleType, nuint8* netwareHandle4, NWCONN_HANDLE* conn) {
  NWSIM_SERVE_READ({
    if (handleType != 2) return NWE_INVALID_PARAMETER;
    OpenFiles::Entry e;
    if (NWCCODE rc = openFile(s, localHandle, e)) return rc;
    const auto id = static_cast<std::uint32_t>(e.id);
    if (netwareHandle4)
      for (int i = 0; i < 4; ++i) netwareHandle4[i] = static_cast<nuint8>(id >> (8 * i));
    if (conn) *conn = e.connId;
    return NWE_OK;
  });
}

NWCCODE NWFileServerFileCopy(nuint32 srcHandle, nuint32 dstHandle, nuint32 srcOffset, nuint32 dstOffset, nuint32 bytes,
                             nuint32* bytesCopied) {
  NWSIM_SERVE({
    if (bytesCopied) *bytesCopied = 0;
    OpenFiles::Entry src, dst;
    if (NWCCODE rc = openFile(s, srcHandle, src)) return rc;
    if (NWCCODE rc = openFile(s, dstHandle, dst)) return rc;
    if (src.serverId != dst.serverId) return NWE_NOT_SAME_CONNECTION;
    if (src.volume == dst.volume && src.path == dst.path) return NWE_INVALID_PARAMETER;
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(src.connId, c, server)) return rc;
    // The copy may not take the destination past a space limit or restriction.
    struct stat st{};
    const std::uint64_t available =
        ::fstat(static_cast<int>(srcHandle), &st) == 0 && static_cast<std::uint64_t>(st.st_size) > srcOffset
            ? static_cast<std::uint64_t>(st.st_size) - srcOffset
            : 0;
    const std::uint64_t end = std::uint64_t(dstOffset) + std::min<std::uint64_t>(bytes, available);
    if (NWCCODE rc = nwsim::VolumeSpace(s).mayWrite(s, dst, static_cast<int>(dstHandle), end)) return rc;
    // The handles are this program's own descriptors, so the copy reads and writes them at
    // the given offsets without moving their positions.
    std::vector<char> buffer(1 << 16);
    std::uint64_t done = 0;
    while (done < bytes) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), bytes - done));
      ssize_t n = ::pread(static_cast<int>(srcHandle), buffer.data(), want, static_cast<off_t>(srcOffset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return NWE_FAILURE;
      if (n == 0) break;
      std::size_t written = 0;
      while (written < static_cast<std::size_t>(n)) {
        ssize_t w = ::pwrite(static_cast<int>(dstHandle), buffer.data() + written, static_cast<std::size_t>(n) - written,
                             static_cast<off_t>(dstOffset + done + written));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
          if (bytesCopied) *bytesCopied = static_cast<nuint32>(done + written);
          return NWE_FAILURE;
        }
        written += static_cast<std::size_t>(w);
      }
      done += static_cast<std::uint64_t>(n);
    }
    if (bytesCopied) *bytesCopied = static_cast<nuint32>(done);
    return NWE_OK;
  });
}

NWCCODE NWScanOpenFilesByConn2(NWCONN_HANDLE conn, nuint16 connNumber, nint32* iterationHandle,
                               OPEN_FILE_CONN_CTRL* control, OPEN_FILE_CONN* openFile) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!iterationHandle || !openFile) return NWE_INVALID_PARAMETER;
    if (connNumber == 0 || connNumber > server.maxConns || !s.stationOn(server.id, connNumber))
      return NWE_BAD_STATION_NUMBER;
    if (!maySee(s, c, server, connNumber)) return NWE_NO_CONSOLE_RIGHTS;
    OpenFiles files(s.db());
    files.purgeEnded();
    auto all = files.ofStation(server.id, connNumber);
    std::size_t i = 0;
    while (i < all.size() && all[i].id <= *iterationHandle) ++i;
    if (i == all.size()) return NWE_NO_MORE_ENTRIES;
    const auto& e = all[i];
    auto parts = nwsim::NetWarePath::components(e.path).value_or(std::vector<std::string>{});
    const std::string fileName = parts.empty() ? std::string() : parts.back();
    // The directory entry carries a handle of the scanning connection on the file's
    // directory, so that its name can be asked for.
    const int dh = nwsim::DirHandles(s.db()).obtain(c.id, e.volume, nwsim::NetWarePath::join(withoutLast(parts)));
    std::memset(openFile, 0, sizeof *openFile);
    openFile->taskNumber = static_cast<nuint16>(e.pid);
    openFile->accessControl = static_cast<nuint8>(e.access);
    openFile->volNumber = static_cast<nuint8>(e.volume);
    openFile->dirEntry = (static_cast<nuint32>(e.id) << 8) | static_cast<nuint32>(dh);
    openFile->nameLength = static_cast<nuint8>(std::min<std::size_t>(fileName.size(), 255));
    m::putString(openFile->fileName, sizeof openFile->fileName, fileName);
    if (control) {
      control->nextRequest = static_cast<nuint16>(all.size() - i - 1);
      control->openCount = static_cast<nuint16>(all.size());
    }
    *iterationHandle = static_cast<nint32>(e.id);
    return NWE_OK;
  });
}

NWCCODE NWIntScanDirectoryInformation2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* searchPath, nuint8* sequence4,
                                       char* dirName256, nuint32* dateTime, nuint32* ownerID, nuint8* rightsMask,
                                       nuint16) {
  NWSIM_SERVE_READ({
    m::putString(dirName256, NW_PATH_SIZE, {});
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    auto h = nwsim::DirHandles(s.db()).find(c.id, dirHandle);
    if (!h) return NWE_BAD_DIRECTORY_HANDLE;
    Redirector r(s);
    auto v = r.volumes().byNumber(server.id, h->volume);
    if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
    Location dir;
    dir.server = server;
    dir.volume = *v;
    dir.parts = nwsim::NetWarePath::components(h->path).value_or(std::vector<std::string>{});
    std::filesystem::path local;
    if (NWCCODE rc = r.localPath(dir, local)) return rc;
    if (searchPath && *searchPath) {
      auto entry = nwsim::NetWarePath::components(m::getString(searchPath, NW_PATH_SIZE));
      if (!entry) return NWE_INVALID_PATH;
      Location inside = dir;
      inside.parts.insert(inside.parts.end(), entry->begin(), entry->end());
      std::filesystem::path file;
      std::error_code ec;
      if (r.localPath(inside, file) || !std::filesystem::exists(file, ec)) return NWE_FILE_NOT_FOUND;
    }
    struct stat st{};
    if (::stat(local.c_str(), &st) != 0) return NWE_INVALID_PATH;
    m::putString(dirName256, NW_PATH_SIZE, dir.volumePath());
    if (dateTime) *dateTime = m::packedDateTime(st.st_mtime);
    if (ownerID) *ownerID = 0;
    if (rightsMask) *rightsMask = 0xFF;
    if (sequence4) std::memset(sequence4, 0, 4);
    return NWE_OK;
  });
}

NWCCODE NWScanConnectionsUsingFile(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath, nint32* iterationHandle,
                                   CONN_USING_FILE* connection, CONNS_USING_FILE* summary) {
  NWSIM_SERVE({
    if (!filePath || !iterationHandle) return NWE_INVALID_PARAMETER;
    Redirector r(s);
    Location at;
    if (NWCCODE rc = r.locate(m::getString(filePath, NW_PATH_SIZE), conn, dirHandle, at)) return rc;
    std::filesystem::path local;
    if (NWCCODE rc = r.localPath(at, local)) return rc;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(local, ec)) return NWE_FILE_NOT_FOUND;
    OpenFiles files(s.db());
    files.purgeEnded();
    auto uses = files.ofFile(at.server.id, at.volume.number, at.path());
    // One entry per station, in station order; the summary counts every open.
    std::map<int, OpenFiles::Entry> stations;
    CONNS_USING_FILE sum{};
    for (const auto& u : uses) {
      stations.emplace(u.connNumber, u);
      ++sum.useCount;
      ++sum.openCount;
      if (u.access & 1) ++sum.openForReadCount;
      if (u.access & 2) ++sum.openForWriteCount;
    }
    sum.connCount = static_cast<nuint16>(stations.size());
    if (connection) std::memset(connection, 0, sizeof *connection);
    auto next = stations.upper_bound(static_cast<int>(*iterationHandle));
    if (stations.empty()) {
      if (*iterationHandle != 0) return NWE_NO_MORE_ENTRIES;
    } else {
      if (next == stations.end()) return NWE_NO_MORE_ENTRIES;
      sum.nextRequest = static_cast<nuint16>(std::distance(next, stations.end()) - 1);
      if (connection) {
        connection->connNumber = static_cast<nuint16>(next->first);
        connection->taskNumber = static_cast<nuint16>(next->second.pid);
        connection->accessControl = static_cast<nuint8>(next->second.access);
      }
      *iterationHandle = next->first;
    }
    if (stations.empty()) *iterationHandle = -1;
    if (summary) *summary = sum;
    return NWE_OK;
  });
}

} // extern "C"
