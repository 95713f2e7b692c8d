// Client functions of server control: connections by name, attach and detach, login and
// logout, logins on and off, the server's clock, serial number and statistics, its modules,
// command files, volumes and parameters.
#include "marshal.h"

#include <bindery.h>
#include <open_files.h>
#include <server_console.h>
#include <stations.h>

#include <nwclient/nwclient.h>

#include <cstring>
#include <ctime>

using nwsim::Bindery;
using nwsim::Connection;
using nwsim::Server;
using nwsim::ServerConsole;
using nwsim::Session;
using nwsim::Stations;
namespace m = nwsim::marshal;

namespace {

constexpr std::size_t kNameSize = 48;

// A connection whose logged-in object is a console operator of its server.
NWCCODE console(Session& s, NWCONN_HANDLE conn, Connection& c, Server& server) {
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  if (!Bindery(s.db(), server.id).isConsoleOperator(c.objectId, server.name)) return NWE_NO_CONSOLE_RIGHTS;
  return NWE_OK;
}

// A statistics record of the connection's server: zeroed, then filled by `fill` from the
// server's console and its figures of now.
template <typename Record, typename Fill>
NWCCODE statsRecord(Session& s, NWCONN_HANDLE conn, Record* record, Fill&& fill) {
  Connection c;
  Server server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  if (!record) return NWE_INVALID_PARAMETER;
  ServerConsole console(s, server, c.id);
  const auto st = console.stats();
  std::memset(record, 0, sizeof *record);
  fill(console, st);
  return NWE_OK;
}

// A console command on the connection's server, for console operators; `present`: the call's
// arguments are there.
template <typename Command>
NWCCODE onConsole(Session& s, NWCONN_HANDLE conn, bool present, Command&& command) {
  Connection c;
  Server server;
  if (NWCCODE rc = console(s, conn, c, server)) return rc;
  if (!present) return NWE_INVALID_PARAMETER;
  ServerConsole sc(s, server, c.id);
  return command(sc);
}

void putHeader(SERVER_AND_VCONSOLE_INFO& h, nuint16& reserved, const ServerConsole::Stats& st) {
  h.currentServerTime = st.ticks;
  h.vconsoleVersion = 1;
  h.vconsoleRevision = 0;
  reserved = 0;
}

NWCCODE openByName(Session& s, const std::string& name, bool tree, bool licensed, NWCONN_HANDLE& handle,
                   bool& existed) {
  std::optional<Server> server;
  if (tree) {
    s.db().prepare("SELECT name FROM servers WHERE kind='directory' AND tree=? ORDER BY name LIMIT 1")
        .with(Bindery::upper(name)).first([&](nwsim::Stmt& q) { server = s.serverByName(q.text(0)); });
  } else {
    server = s.serverByName(Bindery::upper(name));
  }
  if (!server) return NWE_SERVER_NOT_FOUND;
  Stations stations(s);
  if (auto c = stations.ofWorkstation(server->id)) {
    if (!server->up) return NWE_SERVER_DOWN;
    if (licensed && !c->licensed) s.db().prepare("UPDATE connections SET licensed=1 WHERE id=?").with(static_cast<std::int64_t>(c->id)).run();
    handle = c->id;
    existed = true;
    return NWE_OK;
  }
  existed = false;
  std::uint32_t id = 0;
  if (NWCCODE rc = stations.open(*server, tree, licensed, id)) return rc;
  handle = id;
  return NWE_OK;
}

NWCCODE closeConnection(Session& s, NWCONN_HANDLE conn) {
  auto c = s.connection(conn);
  if (!c) return NWE_INVALID_CONNECTION;
  Stations(s).close(c->id);
  return NWE_OK;
}

} // namespace

extern "C" {

NWCCODE NWCCOpenConnByName(NWCONN_HANDLE, const char* name, nuint32 nameFormat, nuint32 openState, nuint32,
                           NWCONN_HANDLE* conn) {
  NWSIM_SERVE({
    if (!name || !conn) return NWE_INVALID_PARAMETER;
    if (nameFormat != NWCC_NAME_FORMAT_BIND && nameFormat != NWCC_NAME_FORMAT_NDS_TREE) return NWE_INVALID_PARAMETER;
    if (openState != NWCC_OPEN_LICENSED && openState != NWCC_OPEN_UNLICENSED) return NWE_INVALID_PARAMETER;
    bool existed = false;
    return openByName(s, m::getString(name, kNameSize), nameFormat == NWCC_NAME_FORMAT_NDS_TREE,
                      openState == NWCC_OPEN_LICENSED, *conn, existed);
  });
}

NWCCODE NWCCCloseConn(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return closeConnection(s, conn); });
}

NWCCODE NWDetachFromFileServer(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return closeConnection(s, conn); });
}

NWCCODE NWGetConnectionHandle(const char* serverName, nuint16, NWCONN_HANDLE* conn, nuint16*) {
  NWSIM_SERVE({
    if (!serverName || !conn) return NWE_INVALID_PARAMETER;
    auto server = s.serverByName(Bindery::upper(m::getString(serverName, kNameSize)));
    if (!server) return NWE_SERVER_NOT_FOUND;
    auto c = Stations(s).ofWorkstation(server->id);
    if (!c) return NWE_INVALID_CONNECTION;
    *conn = c->id;
    return NWE_OK;
  });
}

NWCCODE NWSetPrimaryConnectionID(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    if (!s.connection(conn)) return NWE_INVALID_CONNECTION;
    s.db().prepare("UPDATE workstations SET primary_conn=? WHERE name=?").with(static_cast<std::int64_t>(conn), s.workstation()).run();
    return NWE_OK;
  });
}

NWCCODE NWAttachToFileServer(const char* serverName, nuint16, NWCONN_HANDLE* conn) {
  NWSIM_SERVE({
    if (!serverName || !conn) return NWE_INVALID_PARAMETER;
    bool existed = false;
    if (NWCCODE rc = openByName(s, m::getString(serverName, kNameSize), false, true, *conn, existed)) return rc;
    return existed ? NWCCODE(NWE_ALREADY_ATTACHED) : NWCCODE(NWE_OK);
  });
}

NWCCODE NWClearConnectionNumber(NWCONN_HANDLE conn, nuint16 connNumber) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = console(s, conn, c, server)) return rc;
    auto station = s.stationOn(server.id, connNumber);
    if (!station) return NWE_BAD_STATION_NUMBER;
    Stations(s).close(station->id);
    return NWE_OK;
  });
}

NWCCODE NWLoginToFileServer(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType, const char* password) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!objectName || !password) return NWE_INVALID_PARAMETER;
    const std::string name = m::getString(objectName, 128);
    if (name.empty() || name.size() >= kNameSize) return NWE_NO_SUCH_OBJECT;
    Bindery b(s.db(), server.id);
    auto o = b.find(name, objectType);
    if (!o) return NWE_NO_SUCH_OBJECT;
    bool enabled = true;
    s.db().prepare("SELECT logins_enabled FROM servers WHERE id=?").with(server.id).first([&](nwsim::Stmt& q) {
      enabled = q.integer(0) != 0;
    });
    if (!enabled && o->name != "SUPERVISOR") return NWE_LOGIN_DISABLED;
    if (!b.checkPassword(o->id, m::getString(password, 128))) return NWE_BAD_PASSWORD;
    if (c.objectId == o->id) return NWE_ALREADY_ATTACHED;
    s.db().prepare("UPDATE connections SET object_id=?, login_time=?, auth_state=1 WHERE id=?")
        .with(static_cast<std::int64_t>(o->id), server.clock(), static_cast<std::int64_t>(c.id)).run();
    return NWE_OK;
  });
}

NWCCODE NWLogoutFromFileServer(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    s.db().prepare("UPDATE connections SET object_id=0, login_time=NULL, auth_state=0 WHERE id=?")
        .with(static_cast<std::int64_t>(c.id)).run();
    return NWE_OK;
  });
}

NWCCODE NWGetFileServerLoginStatus(NWCONN_HANDLE conn, nuint8* loginEnabled) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!loginEnabled) return NWE_INVALID_PARAMETER;
    s.db().prepare("SELECT logins_enabled FROM servers WHERE id=?").with(server.id).first([&](nwsim::Stmt& q) {
      *loginEnabled = q.integer(0) ? 1 : 0;
    });
    return NWE_OK;
  });
}

NWCCODE NWDisableFileServerLogin(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = console(s, conn, c, server)) return rc;
    s.db().prepare("UPDATE servers SET logins_enabled=0 WHERE id=?").with(server.id).run();
    return NWE_OK;
  });
}

NWCCODE NWEnableFileServerLogin(NWCONN_HANDLE conn) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = console(s, conn, c, server)) return rc;
    s.db().prepare("UPDATE servers SET logins_enabled=1 WHERE id=?").with(server.id).run();
    return NWE_OK;
  });
}

NWCCODE NWDownFileServer(NWCONN_HANDLE conn, nuint8 forceFlag) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = console(s, conn, c, server)) return rc;
    nwsim::OpenFiles files(s.db());
    files.purgeEnded();
    if (!forceFlag) {
      bool othersOpen = s.db().prepare("SELECT 1 FROM open_files WHERE server_id=? AND conn_id<>? LIMIT 1")
                            .with(server.id, static_cast<std::int64_t>(c.id)).first([](nwsim::Stmt&) {});
      if (othersOpen) return NWE_FAILURE;
    }
    s.db().prepare("UPDATE servers SET up=0 WHERE id=?").with(server.id).run();
    return NWE_OK;
  });
}

NWCCODE NWSetFileServerDateAndTime(NWCONN_HANDLE conn, nuint8 year, nuint8 month, nuint8 day, nuint8 hour,
                                   nuint8 minute, nuint8 second) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = console(s, conn, c, server)) return rc;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", 1900 + year, month, day, hour, minute, second);
    auto t = year >= 80 ? nwsim::parseLocalTime(text) : std::nullopt;
    if (!t) return NWE_INVALID_PARAMETER;
    s.db().prepare("UPDATE servers SET clock_offset=?, clock_fixed=NULL WHERE id=?").with(*t - nwsim::localNow(), server.id).run();
    return NWE_OK;
  });
}

NWCCODE NWGetNetworkSerialNumber(NWCONN_HANDLE conn, nuint32* serialNumber, nuint16* appNumber) {
  NWSIM_SERVE_READ({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    s.db().prepare("SELECT serial FROM servers WHERE id=?").with(server.id).first([&](nwsim::Stmt& q) {
      if (serialNumber) *serialNumber = static_cast<nuint32>(q.int64(0));
    });
    if (appNumber) *appNumber = 1;
    return NWE_OK;
  });
}

NWCCODE NWUnpackDateTime(nuint32 dateTime, NW_DATE* date, NW_TIME* time) {
  static nwsim::CallCounter counter{__func__};
  counter.add();
  const nuint32 d = dateTime >> 16, t = dateTime & 0xFFFF;
  if (date) {
    date->year = static_cast<nuint16>(1980 + (d >> 9));
    date->month = static_cast<nuint8>((d >> 5) & 0x0F);
    date->day = static_cast<nuint8>(d & 0x1F);
  }
  if (time) {
    time->hours = static_cast<nuint16>(t >> 11);
    time->minutes = static_cast<nuint8>((t >> 5) & 0x3F);
    time->seconds = static_cast<nuint8>((t & 0x1F) * 2);
  }
  return NWE_OK;
}

NWCCODE NWGetUserInfo(NWCONN_HANDLE conn, nuint16 connNumber, char* userName48, NWFSE_USER_INFO* userInfo) {
  NWSIM_SERVE({
    m::putString(userName48, kNameSize, {});
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    auto station = connNumber ? s.stationOn(server.id, connNumber) : std::nullopt;
    if (!station) return NWE_BAD_STATION_NUMBER;
    if (station->connNumber != c.connNumber && !Bindery(s.db(), server.id).isConsoleOperator(c.objectId, server.name))
      return NWE_NO_CONSOLE_RIGHTS;
    ServerConsole console(s, server, c.id);
    const auto st = console.stats();
    if (userInfo) {
      std::memset(userInfo, 0, sizeof *userInfo);
      putHeader(userInfo->serverTimeAndVConsoleInfo, userInfo->reserved, st);
      USER_INFO& u = userInfo->userInfo;
      u.connNum = static_cast<nuint32>(station->connNumber);
      u.useCount = 1;
      u.connServiceType = 2;
      if (station->objectId && station->loginTime) {
        m::putDateTime(u.loginTime, *station->loginTime);
        u.status = 1;
      }
      if (auto o = station->objectId ? s.object(server.id, station->objectId) : std::nullopt) {
        u.objType = o->type;
        m::putString(userName48, kNameSize, o->name);
      }
      u.fileLockCount = static_cast<nuint16>(nwsim::OpenFiles(s.db()).ofStation(server.id, station->connNumber).size());
      m::putCounter48(u.totalBytesRead, station->bytesRead);
      m::putCounter48(u.totalBytesWritten, station->bytesWritten);
      u.totalRequests = static_cast<nuint32>(station->requests);
    } else if (auto o = station->objectId ? s.object(server.id, station->objectId) : std::nullopt) {
      m::putString(userName48, kNameSize, o->name);
    }
    return NWE_OK;
  });
}

NWCCODE NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName48, nuint8* majorVer, nuint8* minorVer,
                                   nuint8* rev, nuint16* maxConns, nuint16* maxConnsUsed, nuint16* connsInUse,
                                   nuint16* numVolumes, nuint8* SFTLevel, nuint8* TTSLevel) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    const auto st = ServerConsole(s, server, c.id).stats();
    int volumes = 0;
    s.db().prepare("SELECT COUNT(*) FROM volumes WHERE server_id=? AND mounted=1").with(server.id).first([&](nwsim::Stmt& q) {
      volumes = q.integer(0);
    });
    m::putString(serverName48, kNameSize, server.name);
    if (majorVer) *majorVer = static_cast<nuint8>(server.verMajor);
    if (minorVer) *minorVer = static_cast<nuint8>(server.verMinor);
    if (rev) *rev = static_cast<nuint8>(server.verRevision);
    if (maxConns) *maxConns = static_cast<nuint16>(server.maxConns);
    if (maxConnsUsed) *maxConnsUsed = static_cast<nuint16>(st.peakConns);
    if (connsInUse) *connsInUse = static_cast<nuint16>(st.connsInUse);
    if (numVolumes) *numVolumes = static_cast<nuint16>(volumes);
    if (SFTLevel) *SFTLevel = 2;
    if (TTSLevel) *TTSLevel = 1;
    return NWE_OK;
  });
}

NWCCODE NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_FILE_SERVER_INFO* info) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!info) return NWE_INVALID_PARAMETER;
    const auto st = ServerConsole(s, server, c.id).stats();
    std::memset(info, 0, sizeof *info);
    putHeader(info->serverTimeAndVConsoleInfo, info->reserved, st);
    info->fileServInfo.serverUtilization = st.utilization;
    info->fileServInfo.sentPositiveAcknowledgeCount = st.packets / 50;
    info->fileServCounters.totalPacketsReceived = st.packets;
    info->fileServCounters.totalPacketsSent = st.packets;
    info->fileServCounters.totalNCPRequests = st.packets;
    info->fileServCounters.totalPacketsServiced = st.packets;
    info->fileServCounters.totalPacketsRouted = st.packets / 8;
    return NWE_OK;
  });
}

NWCCODE NWGetCacheInfo(NWCONN_HANDLE conn, NWFSE_CACHE_INFO* info) {
  NWSIM_SERVE({
    return statsRecord(s, conn, info, [&](ServerConsole& console, const ServerConsole::Stats& st) {
      putHeader(info->serverTimeAndVConsoleInfo, info->reserved, st);
      const nuint32 blocks = static_cast<nuint32>(console.setting("MAXIMUM FILE CACHE BUFFERS", 1000));
      info->cacheCounters[0] = st.packets;             // read requests
      info->cacheCounters[4] = st.packets - st.packets / 10;  // hits
      info->cacheCounters[18] = 18 * 60;               // LRU sitting time: a minute
      info->cacheCounters[21] = static_cast<nuint32>(st.openFiles);  // dirty blocks
      info->memCounters[0] = blocks;
      info->memCounters[1] = blocks - std::min<nuint32>(blocks, static_cast<nuint32>(st.openFiles));
      info->trendCounters[1] = st.packets ? 90 : 0;
      info->trendCounters[3] = static_cast<nuint32>(st.openFiles ? 1 : 0);
      info->trendCounters[9] = st.utilization * 10;
      info->cacheSettings[0] = static_cast<nuint32>(console.setting("CACHE BUFFER SIZE", 4096));
      info->cacheSettings[1] = static_cast<nuint32>(console.setting("MAXIMUM CONCURRENT DISK CACHE WRITES", 50));
      info->cacheSettings[5] = static_cast<nuint32>(console.setting("DIRTY DISK CACHE DELAY TIME", 3300)) * 182 / 10000;
      info->cacheSettings[6] = static_cast<nuint32>(console.setting("MINIMUM FILE CACHE BUFFERS", 20));
      info->cacheSettings[7] = blocks;
      info->cacheSettings[8] = 10;
    });
  });
}

NWCCODE NWGetFileSystemStats(NWCONN_HANDLE conn, FILESYS_STATS* stats) {
  NWSIM_SERVE({
    return statsRecord(s, conn, stats, [&](ServerConsole& console, const ServerConsole::Stats& st) {
      stats->systemElapsedTime = st.ticks;
      stats->maxOpenFiles = static_cast<nuint16>(console.setting("MAXIMUM OPEN FILES", 240));
      stats->maxFilesOpened = static_cast<nuint16>(st.peakOpenFiles);
      stats->currOpenFiles = static_cast<nuint16>(st.openFiles);
      stats->totalFilesOpened = st.filesOpened;
      stats->totalReadRequests = st.packets / 2;
      stats->totalWriteRequests = st.packets / 4;
    });
  });
}

NWCCODE NWGetDiskCacheStats(NWCONN_HANDLE conn, DSK_CACHE_STATS* stats) {
  NWSIM_SERVE({
    return statsRecord(s, conn, stats, [&](ServerConsole& console, const ServerConsole::Stats& st) {
      stats->systemElapsedTime = st.ticks;
      stats->cacheBufferCount = static_cast<nuint16>(console.setting("MAXIMUM FILE CACHE BUFFERS", 1000));
      stats->cacheBufferSize = static_cast<nuint16>(console.setting("CACHE BUFFER SIZE", 4096));
      stats->dirtyCacheBuffers = static_cast<nuint16>(st.openFiles);
      stats->cacheReadRequests = st.packets / 2;
      stats->cacheWriteRequests = st.packets / 4;
      stats->cacheHits = st.packets / 2 - st.packets / 20;
      stats->cacheMisses = st.packets / 20;
      stats->physicalReadRequests = st.packets / 20;
      stats->physicalWriteRequests = st.packets / 8;
      stats->cacheGetRequests = st.packets;
      stats->totalCacheWrites = st.packets / 4;
      stats->cacheAllocations = st.filesOpened;
    });
  });
}

NWCCODE NWGetNLMLoadedList(NWCONN_HANDLE conn, nuint32 startNumber, NWFSE_NLM_LOADED_LIST* list) {
  NWSIM_SERVE({
    return statsRecord(s, conn, list, [&](ServerConsole& console, const ServerConsole::Stats& st) {
      putHeader(list->serverTimeAndVConsoleInfo, list->reserved, st);
      const auto numbers = console.moduleNumbers(startNumber, NW_NLM_LIST_MAX);
      list->numberNLMsLoaded = static_cast<nuint32>(console.moduleCount());
      list->NLMsInList = static_cast<nuint32>(numbers.size());
      for (std::size_t i = 0; i < numbers.size(); ++i) list->NLMNumbers[i] = numbers[i];
    });
  });
}

NWCCODE NWGetNLMInfo(NWCONN_HANDLE conn, nuint32 nlmNumber, char* fileName128, char* name128, char* copyright128,
                     NWFSE_NLM_INFO* info) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    ServerConsole console(s, server, c.id);
    auto mod = console.module(nlmNumber);
    if (!mod) return NWE_NLM_NOT_LOADED;
    m::putString(fileName128, 128, mod->fileName);
    m::putString(name128, 128, mod->name);
    m::putString(copyright128, 128, mod->notice);
    if (info) {
      const auto st = console.stats();
      std::memset(info, 0, sizeof *info);
      putHeader(info->serverTimeAndVConsoleInfo, info->reserved, st);
      NLM_INFO& n = info->NLMInfo;
      n.identificationNumber = static_cast<nuint32>(mod->number);
      n.flags = mod->flags;
      n.type = mod->type;
      n.parentID = mod->parent;
      n.majorVersion = static_cast<nuint32>(mod->major);
      n.minorVersion = static_cast<nuint32>(mod->minor);
      n.revision = static_cast<nuint32>(mod->revision);
      n.year = static_cast<nuint32>(mod->year);
      n.month = static_cast<nuint32>(mod->month);
      n.day = static_cast<nuint32>(mod->day);
      n.allocAvailableBytes = mod->allocBytes;
      n.allocFreeCount = mod->allocFree;
      n.messageLanguage = mod->language;
      n.numberOfReferencedPublics = mod->publics;
    }
    return NWE_OK;
  });
}

NWCCODE NWSMLoadNLM(NWCONN_HANDLE conn, const char* path) {
  NWSIM_SERVE({
    return onConsole(s, conn, path, [&](ServerConsole& sc) {
      return sc.load(m::getString(path, 128));
    });
  });
}

NWCCODE NWSMUnloadNLM(NWCONN_HANDLE conn, const char* moduleName) {
  NWSIM_SERVE({
    return onConsole(s, conn, moduleName, [&](ServerConsole& sc) {
      return sc.unload(m::getString(moduleName, 128));
    });
  });
}

NWCCODE NWSMExecuteNCFFile(NWCONN_HANDLE conn, const char* path) {
  NWSIM_SERVE({
    return onConsole(s, conn, path, [&](ServerConsole& sc) {
      return sc.execute(m::getString(path, 128));
    });
  });
}

NWCCODE NWSMMountVolume(NWCONN_HANDLE conn, const char* volumeName, nuint32* volumeNumber) {
  NWSIM_SERVE({
    return onConsole(s, conn, volumeName, [&](ServerConsole& sc) {
      std::uint32_t number = 0;
      if (NWCCODE rc = sc.mount(m::getString(volumeName, 16), number)) return rc;
      if (volumeNumber) *volumeNumber = number;
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWSMDismountVolumeByName(NWCONN_HANDLE conn, const char* volumeName) {
  NWSIM_SERVE({
    return onConsole(s, conn, volumeName, [&](ServerConsole& sc) {
      return sc.dismount(m::getString(volumeName, 16));
    });
  });
}

NWCCODE NWSMSetDynamicCmdStrValue(NWCONN_HANDLE conn, const char* parameterName, const char* value) {
  NWSIM_SERVE({
    return onConsole(s, conn, parameterName && value, [&](ServerConsole& sc) {
      return sc.setString(m::getString(parameterName, kNameSize), m::getString(value, kNameSize));
    });
  });
}

NWCCODE NWSMSetDynamicCmdIntValue(NWCONN_HANDLE conn, const char* parameterName, nuint32 value) {
  NWSIM_SERVE({
    return onConsole(s, conn, parameterName, [&](ServerConsole& sc) {
      return sc.setInt(m::getString(parameterName, kNameSize), value);
    });
  });
}

NWCCODE NWGetConnListFromObject(NWCONN_HANDLE conn, nuint32 objectID, nuint32 searchConnNum, nuint16* connListLen,
                                nuint16* connList50) {
  NWSIM_SERVE_READ({
    if (connListLen) *connListLen = 0;
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!connListLen || !connList50) return NWE_INVALID_PARAMETER;
    nuint16 n = 0;
    s.db().prepare("SELECT conn_number FROM connections WHERE server_id=? AND object_id=? AND conn_number>=? "
                   "ORDER BY conn_number LIMIT 50")
        .with(server.id, static_cast<std::int64_t>(m::wireId(objectID)), static_cast<std::int64_t>(searchConnNum))
        .each([&](nwsim::Stmt& q) { connList50[n++] = static_cast<nuint16>(q.integer(0)); });
    *connListLen = n;
    return NWE_OK;
  });
}

} // extern "C"
