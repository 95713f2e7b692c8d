/* Interface complete. */
/*
 * Server control and information: connections by name, login and logout, statistics, clock,
 * modules, console commands, volumes mount and dismount, settings (CALWIN32, CLXWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Console operations (clearing a station, logins off and on, bringing the server down,
 * setting its clock, modules, command files, mounting, settings) need a console operator
 * logged in on the connection (see NWCheckConsolePrivileges): NWE_NO_CONSOLE_RIGHTS
 * otherwise. After NWDownFileServer every call on a connection to that server returns
 * NWE_SERVER_DOWN.
 */
#ifndef NWCLIENT_SERVER_H
#define NWCLIENT_SERVER_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes of server calls, besides those of <nwclient/nwclient.h>. */
enum {
  NWE_ALREADY_ATTACHED      = 0x8800, /* also: already logged in on this connection */
  NWE_LOGIN_DISABLED        = 0x89C4, /* logins are disabled on the server (SUPERVISOR excepted) */
  NWE_NLM_NOT_LOADED        = 0x89A1, /* no module of that name or number is loaded */
  NWE_NLM_ALREADY_LOADED    = 0x89A2,
  NWE_NLM_FILE_NOT_FOUND    = 0x89A3, /* the module or command file does not exist */
  NWE_UNKNOWN_COMMAND       = 0x89A4, /* a command file line the console does not know */
  NWE_NO_SUCH_PARAMETER     = 0x89A5, /* a server parameter of that name does not exist */
  NWE_BAD_PARAMETER_VALUE   = 0x89A6  /* a value of the wrong kind or outside its range */
};

/* Name formats and transport of NWCCOpenConnByName. */
enum { NWCC_NAME_FORMAT_BIND = 2, NWCC_NAME_FORMAT_NDS_TREE = 8 };
enum { NWCC_TRAN_TYPE_WILD = 0 };

/* ---- Connections -------------------------------------------------------------------- */

/*
 * NWCCOpenConnByName (CLXWIN32): a connection of this workstation to the server `name`
 * (nameFormat 2) or to a directory server of the tree `name` (8; the first directory server
 * of the tree). When the workstation already has a connection to that server, that
 * connection is returned (a licensed open of an unlicensed connection licenses it);
 * otherwise a new connection (a new station on the server) is made. startConn, transport
 * are ignored. openState NWCC_OPEN_LICENSED or NWCC_OPEN_UNLICENSED.
 * Codes: NWE_SERVER_NOT_FOUND, NWE_SERVER_DOWN, NWE_INVALID_PARAMETER (another format).
 */
NWCCODE NWCCOpenConnByName(NWCONN_HANDLE startConn, const char* name, nuint32 nameFormat,
                           nuint32 openState, nuint32 tranType, NWCONN_HANDLE* conn);

/*
 * NWCCCloseConn (CALWIN32, CLXWIN32 and NETWIN32): closes the connection; its station on
 * the server is freed (logged out; its open files' records, drive mappings and directory
 * handles dropped). A primary connection closed leaves the workstation without one until
 * another is made primary or a new connection is opened (which then becomes primary).
 */
NWCCODE NWCCCloseConn(NWCONN_HANDLE conn);

/*
 * NWGetConnectionHandle: the workstation's existing connection to the server (case ignored).
 * reserved1 and reserved2 are ignored. NWE_INVALID_CONNECTION when there is none,
 * NWE_SERVER_NOT_FOUND for an unknown server.
 */
NWCCODE NWGetConnectionHandle(const char* serverName, nuint16 reserved1, NWCONN_HANDLE* conn,
                              nuint16* reserved2);

/* NWSetPrimaryConnectionID: makes the connection the workstation's primary connection. */
NWCCODE NWSetPrimaryConnectionID(NWCONN_HANDLE conn);

/*
 * NWAttachToFileServer: a new connection to the server; when the workstation already has
 * one, it is returned in *conn with NWE_ALREADY_ATTACHED. reserved is ignored.
 */
NWCCODE NWAttachToFileServer(const char* serverName, nuint16 reserved, NWCONN_HANDLE* conn);

/* NWDetachFromFileServer: as NWCCCloseConn. */
NWCCODE NWDetachFromFileServer(NWCONN_HANDLE conn);

/*
 * NWClearConnectionNumber: clears station connNumber of the connection's server (console
 * operator): the station is logged out and freed, whichever workstation held it.
 * NWE_BAD_STATION_NUMBER when no such station is in use.
 */
NWCCODE NWClearConnectionNumber(NWCONN_HANDLE conn, nuint16 connNumber);

/*
 * NWLoginToFileServer: logs the object in on the connection (at most 127 characters each for
 * name and password; the password's case is ignored, as in NWVerifyObjectPassword). Sets
 * the station's object and the login time (the server's clock). Codes: NWE_NO_SUCH_OBJECT, NWE_BAD_PASSWORD, NWE_LOGIN_DISABLED (logins off and not
 * SUPERVISOR), NWE_ALREADY_ATTACHED when that object is already logged in on the connection.
 */
NWCCODE NWLoginToFileServer(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                            const char* password);

/* NWLogoutFromFileServer: logs the connection out; the connection stays. */
NWCCODE NWLogoutFromFileServer(NWCONN_HANDLE conn);

/* ---- Server state ------------------------------------------------------------------- */

/* NWGetFileServerLoginStatus: *loginEnabled 1 when logins are enabled, else 0. */
NWCCODE NWGetFileServerLoginStatus(NWCONN_HANDLE conn, nuint8* loginEnabled);
/* NWDisableFileServerLogin, NWEnableFileServerLogin: console operator. */
NWCCODE NWDisableFileServerLogin(NWCONN_HANDLE conn);
NWCCODE NWEnableFileServerLogin(NWCONN_HANDLE conn);
/*
 * NWDownFileServer: brings the server down (console operator). forceFlag 0 refuses while
 * other stations have files open (NWE_FAILURE); non-zero downs it anyway.
 */
NWCCODE NWDownFileServer(NWCONN_HANDLE conn, nuint8 forceFlag);

/*
 * NWSetFileServerDateAndTime: sets the server clock (console operator). year is years since
 * 1900 (80..255); the fields are validated (NWE_INVALID_PARAMETER). The server keeps the
 * difference to the real clock, so its time keeps running.
 */
NWCCODE NWSetFileServerDateAndTime(NWCONN_HANDLE conn, nuint8 year, nuint8 month, nuint8 day,
                                   nuint8 hour, nuint8 minute, nuint8 second);

/* NWGetNetworkSerialNumber: the server's serial number and application number. */
NWCCODE NWGetNetworkSerialNumber(NWCONN_HANDLE conn, nuint32* serialNumber,
                                 nuint16* appNumber);

/* NWUnpackDateTime: no completion code of its own; always 0. */
typedef struct {
  nuint8  day;
  nuint8  month;
  nuint16 year;
} NW_DATE;

typedef struct {
  nuint8  seconds;
  nuint8  minutes;
  nuint16 hours;
} NW_TIME;

/*
 * NWUnpackDateTime: a packed NetWare date and time (date in the high 16 bits: year-1980 in
 * bits 9..15, month 5..8, day 0..4; time in the low 16 bits: hours 11..15, minutes 5..10,
 * seconds/2 0..4) into its parts, unchecked (a month of 13 is returned as 13). Either
 * output may be NULL. Always returns 0.
 */
NWCCODE NWUnpackDateTime(nuint32 dateTime, NW_DATE* date, NW_TIME* time);

/* ---- Statistics records (natural alignment: every member on its own size) ----------- */

/* The head of the extended records: the server's running time in clock ticks (1/18.2 s)
 * and the console version. Padded to 8 bytes; a 16-bit reserved word follows in each
 * record, so the data of each begins at byte 12. */
typedef struct {
  nuint32 currentServerTime;
  nuint8  vconsoleVersion;
  nuint8  vconsoleRevision;
} SERVER_AND_VCONSOLE_INFO;

typedef struct {
  nuint32 replyCanceledCount;        /* byte 12 of NWFSE_FILE_SERVER_INFO */
  nuint32 writeHeldOffCount;
  nuint32 invalidRequestTypeCount;
  nuint32 serverUtilization;         /* byte 24: percent, 0..100 */
  nuint32 beingAbortedCount;
  nuint32 alreadyDoingReallocCount;
  nuint32 deAllocInvalidSlotCount;
  nuint32 deAllocBeingProcessedCount;
  nuint32 deAllocForgedPacketCount;
  nuint32 deAllocStillTransmittingCount;
  nuint32 startStationErrorCount;
  nuint32 invalidSlotCount;
  nuint32 beingProcessedCount;
  nuint32 forgedPacketCount;
  nuint32 stillTransmittingCount;
  nuint32 reExecuteRequestCount;
  nuint32 invalidSequenceNumCount;
  nuint32 duplicateIsBeingSentAlreadyCount;
  nuint32 sentPositiveAcknowledgeCount;
  nuint32 sentDuplicateReplyCount;
  nuint32 noMemForStationCtrlCount;
  nuint32 noAvailableConnsCount;
  nuint32 reallocSlotCount;
  nuint32 reallocSlotCameTooSoonCount;
} FSE_SERVER_INFO;

typedef struct {
  nuint16 tooManyHops;               /* byte 108 */
  nuint16 unknownNetwork;
  nuint16 noSpaceForService;
  nuint16 noReceiveBuffers;
  nuint16 notMyNetwork;
  nuint16 reserved;
  nuint32 netBIOSProgatedCount;      /* byte 120 */
  nuint32 totalPacketsReceived;
  nuint32 totalPacketsSent;
  nuint32 totalRequestsRejected;
  nuint32 totalNCPRequests;          /* byte 136 */
  nuint32 totalPacketsServiced;      /* byte 140 */
  nuint32 totalPacketsRouted;        /* byte 144 */
} FILE_SERVER_COUNTERS;

/* NWGetFileServerInfo: 148 bytes. */
typedef struct {
  SERVER_AND_VCONSOLE_INFO serverTimeAndVConsoleInfo;  /* bytes 0..7 */
  nuint16                  reserved;                   /* byte 8 */
  FSE_SERVER_INFO          fileServInfo;               /* bytes 12..107 */
  FILE_SERVER_COUNTERS     fileServCounters;           /* bytes 108..147 */
} NWFSE_FILE_SERVER_INFO;

/* NWGetCacheInfo: 236 bytes. */
typedef struct {
  SERVER_AND_VCONSOLE_INFO serverTimeAndVConsoleInfo;
  nuint16                  reserved;
  nuint32 cacheCounters[26];   /* bytes 12..115: [4] cache hits, [18] LRU sitting time in
                                  ticks, [21] dirty cache blocks */
  nuint32 memCounters[10];     /* bytes 116..155: [0] original blocks, [1] current blocks */
  nuint32 trendCounters[10];   /* bytes 156..195: [1] hit percentage, [3] dirty percentage,
                                  [9] requests per second */
  nuint32 cacheSettings[10];   /* bytes 196..235: [0] block size, [1] max concurrent writes,
                                  [5] dirty flush delay (ticks), [6] min buffers,
                                  [7] max buffers, [8] min dirty buffers */
} NWFSE_CACHE_INFO;

/* NWGetFileSystemStats. */
typedef struct {
  nuint32 systemElapsedTime;       /* ticks since the server came up */
  nuint16 maxOpenFiles;
  nuint16 maxFilesOpened;          /* peak of files open at once */
  nuint32 totalFilesOpened;
  nuint32 totalReadRequests;
  nuint32 totalWriteRequests;
  nuint16 currOpenFiles;
  nuint16 currChangedFATSectors;
  nuint32 totalChangedFATSectors;
  nuint16 FATWriteErrors;
  nuint16 fatalFATWriteErrors;
  nuint16 FATScanErrors;
  nuint16 maxIndexFilesOpened;
  nuint16 currOpenIndexedFiles;
  nuint16 attachedIndexFiles;
  nuint16 availableIndexFiles;
  nuint16 reserved;
} FILESYS_STATS;

/* NWGetDiskCacheStats. */
typedef struct {
  nuint32 systemElapsedTime;
  nuint16 cacheBufferCount;
  nuint16 cacheBufferSize;
  nuint16 dirtyCacheBuffers;
  nuint16 reserved;
  nuint32 cacheReadRequests;
  nuint32 cacheWriteRequests;
  nuint32 cacheHits;
  nuint32 cacheMisses;
  nuint32 physicalReadRequests;
  nuint32 physicalWriteRequests;
  nuint16 physicalReadErrors;
  nuint16 physicalWriteErrors;
  nuint32 cacheGetRequests;
  nuint32 cacheFullWriteRequests;
  nuint32 cachePartialWriteRequests;
  nuint32 backgroundDirtyWrites;
  nuint32 backgroundAgedWrites;
  nuint32 totalCacheWrites;
  nuint32 cacheAllocations;
  nuint16 thrashingCount;
  nuint16 LRUBlockWasDirtyCount;
  nuint16 readBeyondWriteCount;
  nuint16 fragmentedWriteCount;
  nuint16 cacheHitOnUnavailCount;
  nuint16 cacheBlockScrappedCount;
} DSK_CACHE_STATS;

/*
 * NWGetUserInfo: the station's user (name into a 48-byte buffer, may be NULL) and record.
 * Codes: NWE_BAD_STATION_NUMBER (no such station in use), NWE_NO_CONSOLE_RIGHTS for another
 * station unless the caller is a console operator.
 */
typedef struct {
  nuint32 connNum;                 /* byte 12 of NWFSE_USER_INFO */
  nuint32 useCount;
  nuint8  connServiceType;
  nuint8  loginTime[7];            /* year-1900, month, day, hour, minute, second, weekday */
  nuint32 status;                  /* 1 logged in */
  nuint32 expirationTime;          /* 0 = no expiration */
  nuint32 objType;                 /* the logged-in object's type, client byte order */
  nuint8  transactionFlag;
  nuint8  logicalLockThreshold;
  nuint8  recordLockThreshold;
  nuint8  fileWriteFlags;
  nuint8  fileWriteState;
  nuint8  filler;
  nuint16 fileLockCount;           /* files the station has open */
  nuint16 recordLockCount;
  nuint8  totalBytesRead[6];       /* lowest byte first */
  nuint8  totalBytesWritten[6];
  nuint32 totalRequests;
  nuint32 heldRequests;
  nuint8  heldBytesRead[6];
  nuint8  heldBytesWritten[6];
} USER_INFO;

typedef struct {
  SERVER_AND_VCONSOLE_INFO serverTimeAndVConsoleInfo;
  nuint16                  reserved;
  USER_INFO                userInfo;  /* from byte 12 */
} NWFSE_USER_INFO;

NWCCODE NWGetUserInfo(NWCONN_HANDLE conn, nuint16 connNumber, char* userName48,
                      NWFSE_USER_INFO* userInfo);

/*
 * NWGetFileServerInformation: the server's name (48-byte buffer), version, connection counts
 * (maximum, peak in use, in use now), mounted volumes, SFT and TTS levels. Every output may
 * be NULL.
 */
NWCCODE NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName48, nuint8* majorVer,
                                   nuint8* minorVer, nuint8* rev, nuint16* maxConns,
                                   nuint16* maxConnsUsed, nuint16* connsInUse,
                                   nuint16* numVolumes, nuint8* SFTLevel, nuint8* TTSLevel);

/*
 * NWGetFileServerInfo, NWGetCacheInfo, NWGetFileSystemStats, NWGetDiskCacheStats: the whole
 * record is written. The values move with the server's work: packets with every request on
 * any connection to the server, utilisation with the recent request rate, open-file counts
 * with the files open, connection counts with the stations in use.
 */
NWCCODE NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_FILE_SERVER_INFO* info);
NWCCODE NWGetCacheInfo(NWCONN_HANDLE conn, NWFSE_CACHE_INFO* info);
NWCCODE NWGetFileSystemStats(NWCONN_HANDLE conn, FILESYS_STATS* stats);
NWCCODE NWGetDiskCacheStats(NWCONN_HANDLE conn, DSK_CACHE_STATS* stats);

/* ---- Modules ------------------------------------------------------------------------- */

enum { NW_NLM_LIST_MAX = 128 };

/* NWGetNLMLoadedList: 12 + 8 + 512 bytes. */
typedef struct {
  SERVER_AND_VCONSOLE_INFO serverTimeAndVConsoleInfo;
  nuint16                  reserved;
  nuint32 numberNLMsLoaded;            /* all modules loaded on the server */
  nuint32 NLMsInList;                  /* numbers in this reply, at most 128 */
  nuint32 NLMNumbers[NW_NLM_LIST_MAX];
} NWFSE_NLM_LOADED_LIST;

/*
 * NWGetNLMLoadedList: the numbers of the loaded modules that are >= startNumber, in ascending
 * order, at most 128 per reply. The next reply starts at the last number returned + 1; a
 * reply with fewer than 128 numbers is the last. Module numbers are 1 and up and stay with
 * a module while it is loaded.
 */
NWCCODE NWGetNLMLoadedList(NWCONN_HANDLE conn, nuint32 startNumber,
                           NWFSE_NLM_LOADED_LIST* list);

typedef struct {
  nuint32 identificationNumber;
  nuint32 flags;
  nuint32 type;
  nuint32 parentID;
  nuint32 majorVersion;
  nuint32 minorVersion;
  nuint32 revision;
  nuint32 year;                     /* e.g. 1996 */
  nuint32 month;
  nuint32 day;
  nuint32 allocAvailableBytes;
  nuint32 allocFreeCount;
  nuint32 lastGarbageCollection;
  nuint32 messageLanguage;
  nuint32 numberOfReferencedPublics;
} NLM_INFO;

typedef struct {
  SERVER_AND_VCONSOLE_INFO serverTimeAndVConsoleInfo;
  nuint16                  reserved;
  NLM_INFO                 NLMInfo;   /* from byte 12 */
} NWFSE_NLM_INFO;

/*
 * NWGetNLMInfo: a loaded module's file name ("CLIB.NLM"), descriptive name and notice
 * (copyright) text, each into a 128-byte buffer (may be NULL), and its record.
 * NWE_NLM_NOT_LOADED for a number not in use.
 */
NWCCODE NWGetNLMInfo(NWCONN_HANDLE conn, nuint32 nlmNumber, char* fileName128, char* name128,
                     char* copyright128, NWFSE_NLM_INFO* info);

/*
 * NWSMLoadNLM: loads a module (console operator). path: at most 127 characters, a NetWare
 * path "VOL:DIR\NAME.NLM" or a bare module name (looked up in SYS:SYSTEM); ".NLM" is added
 * when there is no extension. The file must exist on the volume (NWE_NLM_FILE_NOT_FOUND).
 * NWE_NLM_ALREADY_LOADED when a module of that file name is loaded.
 */
NWCCODE NWSMLoadNLM(NWCONN_HANDLE conn, const char* path);

/* NWSMUnloadNLM: unloads the module of that file name (case ignored, ".NLM" optional). */
NWCCODE NWSMUnloadNLM(NWCONN_HANDLE conn, const char* moduleName);

/*
 * NWSMExecuteNCFFile: runs a server command file (console operator): path, at most 127
 * characters, a NetWare path or a name in SYS:SYSTEM (".NCF" added without an extension).
 * Each line is a console command: LOAD name, UNLOAD name, MOUNT volume (or MOUNT ALL),
 * DISMOUNT volume, SET name = value; blank lines and lines starting with "#", ";" or "REM"
 * are skipped. Every line runs; the code is the first failing line's (NWE_UNKNOWN_COMMAND
 * for a command the console does not know), else 0.
 */
NWCCODE NWSMExecuteNCFFile(NWCONN_HANDLE conn, const char* path);

/* ---- Volumes and settings ---------------------------------------------------------- */

/*
 * NWSMMountVolume: mounts a volume of the server (console operator) and returns its number;
 * a volume that is mounted already is not an error. NWE_VOLUME_DOES_NOT_EXIST (0x8998).
 */
NWCCODE NWSMMountVolume(NWCONN_HANDLE conn, const char* volumeName, nuint32* volumeNumber);

/*
 * NWSMDismountVolumeByName: dismounts a volume (console operator); its paths stop resolving.
 * Dismounting a dismounted volume is not an error. NWE_VOLUME_DOES_NOT_EXIST.
 */
NWCCODE NWSMDismountVolumeByName(NWCONN_HANDLE conn, const char* volumeName);

/*
 * NWSMSetDynamicCmdStrValue, NWSMSetDynamicCmdIntValue: set a server parameter (console
 * operator). Names are compared without regard to case; at most 47 characters each for name
 * and string value. NWE_NO_SUCH_PARAMETER, NWE_BAD_PARAMETER_VALUE (a string for a number
 * parameter or the reverse, or a number outside the parameter's range).
 */
NWCCODE NWSMSetDynamicCmdStrValue(NWCONN_HANDLE conn, const char* parameterName,
                                  const char* value);
NWCCODE NWSMSetDynamicCmdIntValue(NWCONN_HANDLE conn, const char* parameterName,
                                  nuint32 value);

/*
 * NWGetConnListFromObject: the station numbers of the server on which the object (ID in
 * client form) is logged in, in ascending order, those numbered searchConnNum and above
 * (0 or 1: all). At most 50 numbers are written to connList50; *connListLen receives how
 * many.
 */
NWCCODE NWGetConnListFromObject(NWCONN_HANDLE conn, nuint32 objectID, nuint32 searchConnNum,
                                nuint16* connListLen, nuint16* connList50);

#ifdef __cplusplus
}
#endif

/* The offsets the library reads itself. */
#ifdef __cplusplus
#include <cstddef>
static_assert(offsetof(NWFSE_FILE_SERVER_INFO, fileServInfo) == 12, "server info data at 12");
static_assert(offsetof(NWFSE_FILE_SERVER_INFO, fileServInfo.serverUtilization) == 24, "utilisation at 24");
static_assert(offsetof(NWFSE_FILE_SERVER_INFO, fileServCounters.totalPacketsServiced) == 140, "serviced at 140");
static_assert(offsetof(NWFSE_FILE_SERVER_INFO, fileServCounters.totalPacketsRouted) == 144, "routed at 144");
static_assert(sizeof(NWFSE_CACHE_INFO) == 236, "cache record of 236 bytes");
static_assert(offsetof(NWFSE_CACHE_INFO, cacheCounters) == 12, "cache counters at 12");
static_assert(offsetof(NWFSE_CACHE_INFO, memCounters) == 116, "memory counters at 116");
static_assert(offsetof(NWFSE_CACHE_INFO, trendCounters) == 156, "trend counters at 156");
static_assert(offsetof(NWFSE_CACHE_INFO, cacheSettings) == 196, "settings at 196");
static_assert(offsetof(NWFSE_USER_INFO, userInfo) == 12, "user record data at 12");
static_assert(offsetof(NWFSE_NLM_LOADED_LIST, numberNLMsLoaded) == 12, "loaded list data at 12");
static_assert(offsetof(NWFSE_NLM_INFO, NLMInfo) == 12, "module record data at 12");
#endif

#endif
