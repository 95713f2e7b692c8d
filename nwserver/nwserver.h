#pragma once
// Unit Nwserver: server, volume and file administration.
// Operations never throw for a client failure; the completion code of a failed call stays
// in lasterror(). A connection handle of 0 means the primary connection unless an operation
// says otherwise.
#include <ostrel/callframe.h>
#include <rtl/datetime.h>
#include <rtl/tstringlist.h>

#include <cstdint>
#include <deque>
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

// ---- Volumes, files and directories ----------------------------------------------------
// Paths are NetWare paths ("FS1/SYS:PUBLIC\UTIL.EXE", "SYS:PUBLIC"); the operations without
// a connection argument take the connection from the path.

/// The DOS-level attributes of a file.
struct TNWFileFlags {
  bool normal = false;  ///< always false when read, ignored when written
  bool readOnly = false;
  bool hidden = false;
  bool system = false;
  bool executeOnly = false;
  bool directory = false;
  bool archive = false;
  bool shareable = false;
};

/// TNWFileFlags and four flags without effect.
struct TNWExtFileFlags {
  bool normal = false;
  bool readOnly = false;
  bool hidden = false;
  bool system = false;
  bool executeOnly = false;
  bool directory = false;
  bool archive = false;
  bool shareable = false;
  bool extra1 = false;
  bool extra2 = false;
  bool extra3 = false;
  bool extra4 = false;
};

/// The 32-bit attributes of a file or directory entry.
struct TNWAllFileFlags {
  bool normal = false;  ///< when set on writing, all attributes are cleared
  bool readOnly = false;
  bool hidden = false;
  bool system = false;
  bool executeOnly = false;
  bool directory = false;  ///< read only
  bool archive = false;
  bool shareable = false;
  bool attrBit8 = false;
  bool attrBit9 = false;
  bool attrBit10 = false;
  bool attrBit11 = false;
  bool immediatePurge = false;
  bool renameInhibit = false;
  bool deleteInhibit = false;
  bool copyInhibit = false;
  bool fileMigrated = false;
  bool dontMigrate = false;
  bool immediateCompress = false;
  bool compressed = false;  ///< neither read nor written
  bool dontCompress = false;
  bool cantCompress = false;
};

enum TNWNameSpaceSet : std::uint8_t { nameSpaceDOS = 0, nameSpaceMac = 1, nameSpaceNFS = 2, nameSpaceFTAM = 3, nameSpaceOS2 = 4 };

/// The rights booleans of an inherited rights mask, shared by the file and deleted-file records.
struct TNWRights {
  bool rightRead = false;
  bool rightWrite = false;
  bool rightOpen = false;
  bool rightCreate = false;
  bool rightDelete = false;
  bool rightErase = false;  ///< same bit as rightDelete
  bool rightAccessControl = false;
  bool rightSearch = false;
  bool rightFileScan = false;  ///< same bit as rightSearch
  bool rightModify = false;
  bool rightAll = false;  ///< any bit of 0x01FB
  bool rightSupervisor = false;
  bool rightNormal = false;  ///< any bit of 0x00FB
};

/// The information of one file or directory entry.
struct TNWFileInfo : TNWRights {
  std::string name;
  std::string modifierName;
  rtl::TDateTime modifyTime = 0;
  std::string ownerName;
  std::string archiverName;
  rtl::TDateTime creationTime = 0;
  rtl::TDateTime archiveTime = 0;
  rtl::TDateTime lastAccessDate = 0;
  rtl::TDateTime updateTime = 0;
  std::uint32_t fileSize = 0;
  std::int32_t maxSpace = 0;
  std::uint32_t attributes = 0;
  TNWAllFileFlags attributeFlags;  ///< directories only
  std::uint8_t entryFlags = 0;
  std::uint8_t nameSpace = 0;
  std::uint8_t nameLength = 0;
};

/// What an object uses on a volume.
struct TNWDiskUsageStats {
  std::uint32_t usedDirectories = 0;
  std::uint32_t usedFiles = 0;
  std::uint32_t usedBlocks = 0;
};

/// The client's extended volume information, 132 bytes, not interpreted.
using TNWVolExtendedInfo = NWVolExtendedInfo;

/// The volume names of the server, each with its volume number as object.
std::unique_ptr<rtl::TStringList> getVolumes(NWCONN_HANDLE conn);
bool getVolNum(NWCONN_HANDLE conn, const std::string& volumeName, std::int32_t& volNumber);
/// Volume statistics, from the older volume information call when the statistics call fails.
bool volInfo(NWCONN_HANDLE conn, const std::string& volumeName, VOL_STATS& stats);
bool getVolExtendedInfo(NWCONN_HANDLE conn, const std::string& volumeName, TNWVolExtendedInfo& info);
bool getVolBlockInfo(NWCONN_HANDLE conn, std::uint8_t volNumber, DIR_SPACE_INFO& info);
bool getDiskUtilization(NWCONN_HANDLE conn, const std::string& userName, std::uint8_t volNumber,
                        TNWDiskUsageStats& stats);
/// The files matching the path's pattern ("SYS:PUBLIC\*.EXE"), hidden and system files included.
std::unique_ptr<rtl::TStringList> getVolFileList(const std::string& path);
/// The subdirectories matching the path's pattern.
std::unique_ptr<rtl::TStringList> getVolDirList(const std::string& path);
/// Extended information of the last file the path's pattern matches.
bool getFileInfo(const std::string& path, TNWFileInfo& info);
/// Entry information of the first file whose name contains the path's name part.
bool getFileInfoOld(const std::string& path, TNWFileInfo& info);
/// Entry information of the first subdirectory whose name contains the path's name part.
bool getDirectoryInfo(const std::string& path, TNWFileInfo& info);
/// One line per trustee of the directory: name, two blanks and the rights, "ADMIN  [SFRWCDMA]".
std::unique_ptr<rtl::TStringList> getDirTrustees(NWCONN_HANDLE conn, const std::string& path);
bool getFileFlags(NWCONN_HANDLE conn, const std::string& path, TNWFileFlags& flags);
bool setFileFlags(NWCONN_HANDLE conn, const std::string& path, const TNWFileFlags& flags);
/// Clears (clear = true) or sets the attributes that are true in `flags`.
bool setExtendedFileFlags(const std::string& path, const TNWExtFileFlags& flags, bool clear);
bool setDirFlags(const std::string& path, const TNWAllFileFlags& flags, TNWNameSpaceSet nameSpace);
/// Writes the whole 32-bit attribute word of one file (the directory bit is ignored),
/// transactional, purge and the inhibit bits among them, which the byte-wide file calls
/// cannot reach. The name part must be a single DOS name (no wildcards).
bool setFileAttributes(const std::string& path, std::uint32_t attributes);
/// The directory's space limit in KB (0: none).
bool setDirSpaceLimit(const std::string& path, std::int32_t limit);
/// Restriction in bytes (-1: none) and space in use in bytes.
bool getObjDiskRestrictions(NWCONN_HANDLE conn, const std::string& volumeName, const std::string& objectName,
                            std::int32_t& restriction, std::int32_t& inUse);
bool setObjDiskRestrictions(NWCONN_HANDLE conn, const std::string& volumeName, const std::string& userName,
                            std::int32_t limit);
bool removeObjDiskRestrictions(NWCONN_HANDLE conn, const std::string& volumeName, const std::string& userName);

// ---- Deleted files: salvage and purge ----------------------------------------------------

/// One deleted file as a listing found it. The directory handle was the listing's and is
/// released; the file is identified by volume, directory base and iteration handle.
struct TNWDelFileInfo {
  NWCONN_HANDLE connection = 0;
  std::uint8_t dirHandle = 0;
  std::uint32_t iterHandle = 0;
  std::uint32_t volNumber = 0;
  std::uint32_t dirBase = 0;
  char fileName[128] = {};
};
using pTNWDelFileInfo = TNWDelFileInfo*;

/// The information of one deleted file.
struct TNWDeletedFileInfo : TNWRights {
  std::uint32_t attributes = 0;
  std::uint8_t entryFlags = 0;
  std::uint8_t nameSpace = 0;
  std::uint8_t nameLength = 0;
  std::string name;
  rtl::TDateTime creationTime = 0;
  std::string ownerName;
  rtl::TDateTime archiveTime = 0;
  std::string archiverName;
  rtl::TDateTime updateTime = 0;
  std::string modifierName;
  std::uint32_t fileSize = 0;
  rtl::TDateTime lastAccessDate = 0;
  rtl::TDateTime deletedTime = 0;
  std::string deletorName;
};

/// A string list of deleted files whose items' objects point at TNWDelFileInfo records that
/// the list owns.
class TNWDeletedFileList : public rtl::TStringList {
public:
  /// Appends an item for the record; the pointer stays valid as long as the list.
  TNWDelFileInfo& add(const TNWDelFileInfo& record);
  const TNWDelFileInfo& record(int index) const { return *reinterpret_cast<const TNWDelFileInfo*>(Objects(index)); }

private:
  std::deque<TNWDelFileInfo> records_;
};

std::unique_ptr<TNWDeletedFileList> getDeletedFileList(NWCONN_HANDLE conn, const std::string& path);
/// The first deleted file of the directory whose name contains the path's name part.
bool getDeletedFileInfo(const std::string& path, TNWDeletedFileInfo& info);
/// Recovers the first deleted file whose name contains the path's name part as `newName`.
bool salvage(NWCONN_HANDLE conn, const std::string& path, const std::string& newName);
/// Purges the deleted file of exactly that name.
bool purgeFile(NWCONN_HANDLE conn, const std::string& path);
bool purgeSingleFile(const TNWDelFileInfo& info);
/// True when at least one file was purged.
bool purgeAllFiles(NWCONN_HANDLE conn, const std::string& path);
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
