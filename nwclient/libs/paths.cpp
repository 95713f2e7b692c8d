// Client functions of NetWare paths, volumes by name and number and the workstation's drive
// table.
#include "marshal.h"

#include <dir_handles.h>
#include <drive_table.h>
#include <redirector.h>

#include <nwclient/nwclient.h>

using nwsim::Connection;
using nwsim::DriveTable;
using nwsim::Location;
using nwsim::Redirector;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace {

bool validDrive(nuint16 drive) { return drive >= 1 && drive <= 26; }

} // namespace

extern "C" {

NWCCODE NWParseNetWarePath(const char* path, NWCONN_HANDLE* conn, nuint8* dirHandle, char* resultPath) {
  NWSIM_SERVE_READ({
    if (!path || !conn) return NWE_INVALID_PARAMETER;
    Redirector r(s);
    Location at;
    if (NWCCODE rc = r.locate(m::getString(path, NW_PATH_SIZE), *conn, 0, at)) return rc;
    const std::string result = at.volumePath();
    if (result.size() >= NW_PARSED_PATH_SIZE) return NWE_INVALID_PATH;
    *conn = at.conn.id;
    if (dirHandle) *dirHandle = 0;
    m::putString(resultPath, NW_PARSED_PATH_SIZE, result);
    return NWE_OK;
  });
}

NWCCODE NWParsePath(const char* path, char* serverName, NWCONN_HANDLE* conn, char* volumeName, char* directory) {
  NWSIM_SERVE_READ({
    m::putString(serverName, 48, {});
    m::putString(volumeName, NW_VOLUME_NAME_SIZE, {});
    m::putString(directory, NW_PATH_SIZE, {});
    if (conn) *conn = 0;
    if (!path) return NWE_INVALID_PARAMETER;
    Redirector r(s);
    Location at;
    if (NWCCODE rc = r.locate(m::getString(path, NW_PATH_SIZE), 0, 0, at)) return rc;
    m::putString(serverName, 48, at.server.name);
    if (conn) *conn = at.conn.id;
    m::putString(volumeName, NW_VOLUME_NAME_SIZE, at.volume.name);
    m::putString(directory, NW_PATH_SIZE, at.path());
    return NWE_OK;
  });
}

NWCCODE NWGetVolumeNumber(NWCONN_HANDLE conn, const char* volumeName, nuint16* volNumber) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!volumeName) return NWE_INVALID_PARAMETER;
    auto v = Redirector(s).volumes().byName(server.id, m::getString(volumeName, NW_VOLUME_NAME_SIZE));
    if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
    if (volNumber) *volNumber = static_cast<nuint16>(v->number);
    return NWE_OK;
  });
}

NWCCODE NWGetVolumeName(NWCONN_HANDLE conn, nuint16 volNumber, char* volumeName16) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    auto v = Redirector(s).volumes().byNumber(server.id, volNumber);
    if (!v || !v->mounted) return NWE_VOLUME_DOES_NOT_EXIST;
    m::putString(volumeName16, NW_VOLUME_NAME_SIZE, v->name);
    return NWE_OK;
  });
}

NWCCODE NWSetDriveBase(nuint16 driveNumber, NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint16) {
  NWSIM_SERVE({
    if (!validDrive(driveNumber) || DriveTable::localStatus(driveNumber)) return NWE_INVALID_DRIVE;
    if (!path) return NWE_INVALID_PARAMETER;
    Redirector r(s);
    Location at;
    if (NWCCODE rc = r.locate(m::getString(path, NW_PATH_SIZE), conn, dirHandle, at)) return rc;
    std::filesystem::path local;
    if (NWCCODE rc = r.localPath(at, local)) return rc;
    std::error_code ec;
    if (!std::filesystem::is_directory(local, ec)) return NWE_INVALID_PATH;
    DriveTable(s.db(), s.workstation()).set(driveNumber, DriveTable::Mapping{at.conn.id, at.volume.number, at.path()});
    return NWE_OK;
  });
}

NWCCODE NWDeleteDriveBase(nuint16 driveNumber, nuint16) {
  NWSIM_SERVE({
    if (!validDrive(driveNumber)) return NWE_INVALID_DRIVE;
    return DriveTable(s.db(), s.workstation()).remove(driveNumber) ? NWCCODE(NWE_OK) : NWCCODE(NWE_INVALID_DRIVE);
  });
}

NWCCODE NWGetFirstDrive(nuint16* firstDrive) {
  NWSIM_SERVE_READ({
    if (!firstDrive) return NWE_INVALID_PARAMETER;
    *firstDrive = static_cast<nuint16>(DriveTable::firstNetworkDrive(s.network().dir() / "net.cfg"));
    return NWE_OK;
  });
}

NWCCODE NWGetDriveStatus(nuint16 driveNumber, nuint16, nuint16* status, NWCONN_HANDLE* conn, char* rootPath,
                         char* relativePath, char* fullPath) {
  NWSIM_SERVE_READ({
    if (!validDrive(driveNumber)) return NWE_INVALID_DRIVE;
    nuint16 st = DriveTable::localStatus(driveNumber);
    NWCONN_HANDLE h = 0;
    std::string root, full;
    if (!st) {
      if (auto mapping = DriveTable(s.db(), s.workstation()).find(driveNumber)) {
        if (auto c = s.connection(mapping->connId)) {
          const Server server = s.server(c->serverId);
          auto v = Redirector(s).volumes().byNumber(server.id, mapping->volume);
          st = NW_DRIVE_NETWORK;
          h = c->id;
          root = (v ? v->name : std::string("?")) + ":" + mapping->path;
          full = server.name + "/" + root;
        }
      }
    }
    if (status) *status = st;
    if (conn) *conn = h;
    m::putString(rootPath, NW_PATH_SIZE, root);
    m::putString(relativePath, NW_PATH_SIZE, {});
    m::putString(fullPath, NW_PATH_SIZE, full);
    return NWE_OK;
  });
}

} // extern "C"
