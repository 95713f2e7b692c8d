#pragma once
// Unit Nwserver: server, volume and file administration.
// Operations never throw for a client failure; the completion code of a failed call stays
// in lasterror(). A connection handle of 0 means the primary connection unless an operation
// says otherwise.
#include <ostrel/callframe.h>
#include <rtl/datetime.h>
#include <rtl/tstringlist.h>

#include <cstdint>
#include <memory>
#include <string>

namespace nwserver {

namespace detail {
extern ostrel::UnitState state;
}

/// The unit object: reads and clears the unit error code.
class TNWServer : public ostrel::UnitObject<detail::state> {};

/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();

// ---- Records -------------------------------------------------------------------------

/// Statistics of one connection of a user (getUserStats).
struct TNWConnStats {
  rtl::TDateTime loginTime = 0;
  std::uint32_t bytesRead = 0;
  std::uint32_t bytesWritten = 0;
  std::uint32_t totalRequests = 0;
  std::uint32_t recordLocks = 0;
  std::uint32_t fileLocks = 0;
  /// Written only when the client reports an expiration; otherwise left as the caller set it.
  rtl::TDateTime expirationTime = 0;
};

/// Summary of a file server (getServerStats).
struct TNWServerInfo {
  std::string serverName;
  std::uint32_t serverTime = 0;
  std::uint8_t reserved1 = 0;
  std::uint8_t utilization = 0;
  std::uint32_t reserved2 = 0;
  std::uint32_t reserved3 = 0;
  std::uint32_t packetsServiced = 0;
  std::uint32_t packetsRouted = 0;
  /// "major.minor", for example "4.11".
  std::string version;
  std::uint16_t maxConnections = 0;
  std::uint16_t connectionsInUse = 0;
  std::uint16_t peakConnections = 0;
  std::uint16_t volumeCount = 0;
  std::uint8_t sftLevel = 0;
  std::uint8_t ttsLevel = 0;
};

/// Fifteen values of the server's cache information (getCacheInfo).
struct TNWMemCacheInfo {
  std::uint32_t serverTime = 0;
  std::uint32_t cacheCounter4 = 0;
  std::uint32_t cacheCounter18 = 0;
  std::uint32_t cacheCounter21 = 0;
  std::uint32_t trendCounter1 = 0;
  std::uint32_t trendCounter3 = 0;
  std::uint32_t cacheSetting5 = 0;
  std::uint32_t cacheSetting6 = 0;
  std::uint32_t cacheSetting7 = 0;
  std::uint32_t cacheSetting8 = 0;
  std::uint32_t cacheSetting0 = 0;
  std::uint32_t cacheSetting1 = 0;
  std::uint32_t trendCounter9 = 0;
  std::uint32_t memCounter0 = 0;
  std::uint32_t memCounter1 = 0;
};

/// One loaded NLM (getNLMInfo).
struct TNWNLMInfo {
  std::string fileName;
  std::string name;
  /// "major.minor.revision".
  std::string version;
  std::string noticeText;
  /// The module's date at midnight; 0 when the client's date is not a valid one.
  rtl::TDateTime date = 0;
  std::int32_t nlmNumber = 0;
  std::uint32_t flags = 0;
  std::uint32_t nlmType = 0;
  std::uint32_t parentID = 0;
  std::uint32_t allocAvailableBytes = 0;
  std::uint32_t allocFreeCount = 0;
  std::uint32_t messageLanguage = 0;
  std::uint32_t referencedPublics = 0;
};

// ---- Conversions ---------------------------------------------------------------------

/// A packed NetWare date and time; 1 January 1980 for an invalid date, time 0 for an
/// invalid time of day.
rtl::TDateTime nwDateTimeToTDateTime(std::int32_t packed);
/// Server clock ticks (1/18.20648 s, taken as unsigned) as "days:hh:mm:ss".
std::string ticksToTimeString(std::int32_t ticks);

// ---- Connections -----------------------------------------------------------------------

/// The workstation's connection to the server, opened when there is none; 0 on failure.
/// The caller owns the handle.
NWCONN_HANDLE getServerHandle(const std::string& serverName);
/// Attaches to the server; the handle, 0 on failure.
NWCONN_HANDLE attach(const std::string& serverName);
/// Opens a connection to a server, or to a directory server of a tree; 0 on failure.
NWCONN_HANDLE openConnByName(const std::string& name, bool tree, bool licensed);
/// The connection of the server a NetWare path names; 0 on failure.
NWCONN_HANDLE getServerHandleFromPath(const std::string& path);
bool closeConnection(NWCONN_HANDLE conn);
/// Clears a station of the server (console operator).
bool clearConnection(NWCONN_HANDLE conn, std::uint16_t connNumber);
/// Logs in to a server, attaching when needed. Type 0 means a user. A connection this call
/// made is closed again when the login fails.
bool NWLogin(const std::string& serverName, const std::string& userName, const std::string& password,
             std::uint16_t objectType);
/// Logs out of the connection's server and detaches.
bool NWLogout(NWCONN_HANDLE conn);

// ---- Server state --------------------------------------------------------------------

/// True when logins are enabled on the server.
bool serverLoginOK(NWCONN_HANDLE conn);
bool disableLogins(NWCONN_HANDLE conn);
bool enableLogins(NWCONN_HANDLE conn);
bool downServer(NWCONN_HANDLE conn);
bool setServerDateTime(NWCONN_HANDLE conn, rtl::TDateTime dateTime);
/// The server's serial number; 0 on failure. A connection opened for the question is closed.
std::uint32_t getServerSerial(const std::string& serverName);

// ---- Statistics ----------------------------------------------------------------------

bool getUserStats(NWCONN_HANDLE conn, std::uint16_t connNumber, TNWConnStats& stats);
bool getServerStats(NWCONN_HANDLE conn, TNWServerInfo& info);
bool getServerInformation(NWCONN_HANDLE conn, NWFSE_FILE_SERVER_INFO& info);
bool getCacheInfo(NWCONN_HANDLE conn, TNWMemCacheInfo& info);
bool getFileSysStats(NWCONN_HANDLE conn, FILESYS_STATS& stats);
bool getDiskCacheStats(NWCONN_HANDLE conn, DSK_CACHE_STATS& stats);

// ---- Modules and console -------------------------------------------------------------

/// The loaded NLMs' file names, each with its NLM number as object; no number twice.
std::unique_ptr<rtl::TStringList> getNLMList(NWCONN_HANDLE conn);
/// The NLM number of a loaded module (case ignored); 0 when not loaded.
std::int32_t getNLMID(NWCONN_HANDLE conn, const std::string& fileName);
bool getNLMInfo(NWCONN_HANDLE conn, std::int32_t nlmNumber, TNWNLMInfo& info);
/// Loads a module; `reserved` is accepted and ignored.
bool nlmLoad(NWCONN_HANDLE conn, const std::string& path, const std::string& reserved = {});
bool nlmUnload(NWCONN_HANDLE conn, const std::string& module);
bool serverExecNCFFile(NWCONN_HANDLE conn, const std::string& path);
/// Mounts a volume; its number, 0 on failure (and for volume 0).
std::uint32_t mountVolume(NWCONN_HANDLE conn, const std::string& volume);
bool dismountVolume(NWCONN_HANDLE conn, const std::string& volume);
/// Sets a string parameter; the value is sent in upper case.
bool serverSetStringValue(NWCONN_HANDLE conn, const std::string& name, const std::string& value);
bool serverSetIntegerValue(NWCONN_HANDLE conn, const std::string& name, std::int32_t value);

// ---- Semaphores and transaction tracking ----------------------------------------------------

/// Opens (creating when needed) a server semaphore; its handle, 0 on failure. A semaphore this
/// call created with initial value 0 is signalled once.
std::uint32_t createSemaphore(NWCONN_HANDLE conn, const std::string& name, std::uint16_t initialValue);
/// Takes `count` units of the value, each without waiting; false at the first that fails.
bool decSemaValue(NWCONN_HANDLE conn, std::uint32_t handle, std::uint16_t count);
/// Adds `count` units to the value.
bool incSemaValue(NWCONN_HANDLE conn, std::uint32_t handle, std::uint16_t count);
/// Closes a semaphore handle; a handle of 0 gives true.
bool freeSemaphore(NWCONN_HANDLE conn, std::uint32_t handle);
/// The open count of a semaphore, its value in `value`; 0 on failure.
std::uint16_t querySemaphore(NWCONN_HANDLE conn, std::uint32_t handle, std::int16_t& value);
/// TTS on the server; these report only through their result, never in the error code.
bool TTSEnable(NWCONN_HANDLE conn);
bool TTSDisable(NWCONN_HANDLE conn);
bool TTSBeginTransaction(NWCONN_HANDLE conn);
/// The transaction's number, 0 on failure.
std::uint32_t TTSEndTransaction(NWCONN_HANDLE conn);
bool TTSAbortTransaction(NWCONN_HANDLE conn);

} // namespace nwserver
