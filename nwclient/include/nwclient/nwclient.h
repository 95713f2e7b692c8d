/*
 * The NetWare client interface as Rudodor4 sees it: the one header that both the
 * function units and the simulated client compile against.
 *
 * Four libraries export these functions with C linkage:
 *   "CALWIN32.DLL"  NetWare calls (bindery, connections, files, queues, server, ...)
 *   "CLXWIN32.DLL"  client connection services (functions named NWCC...)
 *   "NETWIN32.DLL"  directory services
 *   "LOCWIN32.DLL"  locale and Unicode tables
 * The units never link them: they load the libraries by name and bind each function
 * with the platform layer's symbol lookup.
 *
 * Every function returns a 32-bit completion code (0 = success) unless its comment
 * says otherwise. Records are byte-exact: fixed-width fields, no padding.
 */
#ifndef NWCLIENT_NWCLIENT_H
#define NWCLIENT_NWCLIENT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t  nuint8;
typedef uint16_t nuint16;
typedef uint32_t nuint32;
typedef int32_t  nint32;

/* A completion code: 0 = success, anything else the NetWare error of the call. */
typedef int32_t NWCCODE;
/* Handle of an open client connection to a server. 0 is never a valid handle. */
typedef uint32_t NWCONN_HANDLE;
/* Reference of a connection, stable while the connection exists. */
typedef uint32_t NWCONN_REF;

/* ---- Completion codes --------------------------------------------------------------
 * 0x88xx come from the requester (the client itself), 0x89xx from the server. The
 * simulated client uses exactly these; tests compare against the names. */
enum {
  NWE_OK                      = 0x0000,
  NWE_INVALID_CONNECTION      = 0x8801, /* handle or reference does not name a connection */
  NWE_NO_MORE_ENTRIES         = 0x8805, /* end of a scan */
  NWE_BUFFER_TOO_SMALL        = 0x880E, /* the caller's buffer cannot hold the answer */
  NWE_NOT_LOGGED_IN           = 0x880F, /* nobody is logged in on the connection */
  NWE_INVALID_PARAMETER       = 0x8836,
  NWE_INFO_TYPE_UNKNOWN       = 0x883A, /* information type or level not supported */
  NWE_SERVER_NOT_FOUND        = 0x8847, /* no server of that name on the network */
  NWE_NO_PRIMARY_CONNECTION   = 0x8848, /* the workstation has no primary connection */
  NWE_NETWORK_UNAVAILABLE     = 0x88FE, /* the simulated network cannot be opened */
  NWE_REQUESTER_FAILURE       = 0x88FF,
  NWE_SERVER_DOWN             = 0x8910, /* the server was brought down */
  NWE_NO_CONSOLE_RIGHTS       = 0x89C6,
  NWE_PASSWORD_EXPIRED        = 0x89DE,
  NWE_BAD_PASSWORD            = 0x89FA, /* unknown station or wrong password */
  NWE_NO_SUCH_PROPERTY        = 0x89FB,
  NWE_NO_SUCH_OBJECT          = 0x89FC,
  NWE_BAD_STATION_NUMBER      = 0x89FD,
  NWE_FAILURE                 = 0x89FF  /* general failure, also "no such entry" of scans */
};

/* ---- Records ----------------------------------------------------------------------- */
#pragma pack(push, 1)

/* Login date and time as the server reports it for a station. */
typedef struct {
  nuint8 year;      /* years since 1900 */
  nuint8 month;     /* 1..12; 0 on a station nobody is logged in on */
  nuint8 day;
  nuint8 hour;
  nuint8 minute;
  nuint8 second;
  nuint8 dayOfWeek; /* 0 = Sunday */
} NW_LOGIN_TIME;

/* Server date and time, same layout. */
typedef NW_LOGIN_TIME NW_DATE_TIME;

/* Usage of one station (NWGetConnectionUsageStats), 20 bytes. The six-byte counters are
 * stored lowest byte first. */
typedef struct {
  nuint32 systemElapsedTime;
  nuint8  bytesRead[6];
  nuint8  bytesWritten[6];
  nuint32 totalRequestPackets;
} CONN_USE;

/* Internet address of a station (NWGetInetAddr). */
typedef struct {
  nuint8  networkAddr[4];
  nuint8  netNodeAddr[6];
  nuint16 socket;
  nuint16 connType;        /* 2 = NCP over IPX */
} NW_INET_ADDR;

/* Version of the server behind a connection. */
typedef struct {
  nuint32 major;
  nuint32 minor;
  nuint32 revision;
} NWCCVersion;


#pragma pack(pop)

/* Connection information of level 1 (NWCCGetAllConnInfo, NWCCGetAllConnRefInfo), in the
 * natural alignment of the platform. */
typedef struct {
  nuint32     authenticationState;  /* 0 none, 1 bindery, 2 directory */
  nuint32     broadcastState;       /* broadcast mode of the station */
  NWCONN_REF  connRef;
  char        treeName[33];         /* tree of a directory server, padded with '_' */
  nuint32     security;
  nuint32     connNum;              /* station number on the server */
  nuint32     userID;               /* object logged in, 0 when none */
  char        serverName[49];
  nuint32     NCPVersion;
  nuint32     nameFormatType;
  nuint32     distance;
  nuint32     maxPacketSize;
  nuint32     licenseState;         /* 0 not licensed, 1 licensed */
  nuint32     transportType;
  NWCCVersion serverVersion;
} NWCCConnInfo;

/* Information types of NWCCGetConnInfo and the size each one needs. */
enum {
  NWCC_INFO_AUTHENT_STATE = 1,  /* nuint32 */
  NWCC_INFO_BCAST_STATE   = 2,  /* nuint16 */
  NWCC_INFO_CONN_REF      = 3,  /* nuint32 */
  NWCC_INFO_TREE_NAME     = 4,  /* 33 bytes */
  NWCC_INFO_CONN_NUMBER   = 5,  /* nuint32 */
  NWCC_INFO_USER_ID       = 6,  /* nuint32 */
  NWCC_INFO_SERVER_NAME   = 7,  /* 48 bytes */
  NWCC_INFO_VERSION       = 8   /* NWCCVersion */
};

enum { NWCC_INFO_VERSION_1 = 1 };    /* the one level of NWCCGetAllConnInfo */
enum { NWCC_OPEN_LICENSED = 1, NWCC_OPEN_UNLICENSED = 2 };

/* Byte offsets in the 256-byte buffer of NWGetConnectionStatus. */
enum {
  NW_CONN_STATUS_CONN_NUMBER = 0,   /* nuint32 */
  NW_CONN_STATUS_SERVER_NAME = 24,  /* zero-terminated, at most 48 characters */
  NW_CONN_STATUS_SIZE        = 256
};

/* ---- CALWIN32.DLL: connections and servers ----------------------------------------- */

/* Initialises the calls library; both parameters are reserved. */
NWCCODE NWCallsInit(void* reserved1, void* reserved2);
NWCCODE NWGetPrimaryConnectionID(NWCONN_HANDLE* conn);
/* Returns its argument with the four bytes reversed; no completion code. */
nint32  NWLongSwap(nint32 value);
NWCCODE NWGetConnectionNumber(NWCONN_HANDLE conn, nuint16* connNumber);
NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, nuint16 connNumber, char* objectName48,
                                   nuint16* objectType, nuint32* objectID,
                                   nuint8* loginTime7);
NWCCODE NWGetFileServerName(NWCONN_HANDLE conn, char* serverName48);
NWCCODE NWGetFileServerDateAndTime(NWCONN_HANDLE conn, nuint8* dateTime7);
NWCCODE NWGetMaximumConnections(nuint16* maxConns);
NWCCODE NWGetConnectionUsageStats(NWCONN_HANDLE conn, nuint16 connNumber, CONN_USE* usage);
NWCCODE NWGetInetAddr(NWCONN_HANDLE conn, nuint16 connNumber, NW_INET_ADDR* addr);
/* Fills at most bufferLength bytes of the status buffer. */
NWCCODE NWGetConnectionStatus(NWCONN_HANDLE conn, void* buffer, nuint16 bufferLength);
/* Writes at most maxConns 16-bit handles of the workstation's connections. */
NWCCODE NWGetConnectionList(nuint16 mode, nuint16* connList, nuint16 maxConns,
                            nuint16* numConns);
/* Writes at most maxConns station numbers of the object's connections. */
NWCCODE NWGetObjectConnectionNumbers(NWCONN_HANDLE conn, const char* objectName,
                                     nuint16 objectType, nuint16* numConns,
                                     nuint16* connList, nuint16 maxConns);

/* ---- CLXWIN32.DLL: client connection services -------------------------------------- */

NWCCODE NWCCGetPrimConnRef(NWCONN_REF* connRef);
NWCCODE NWCCOpenConnByRef(NWCONN_REF connRef, nuint32 openState, nuint32 reserved,
                          NWCONN_HANDLE* conn);
/* Writes at most bufferLength bytes; NWE_BUFFER_TOO_SMALL when the type needs more. */
NWCCODE NWCCGetConnInfo(NWCONN_HANDLE conn, nuint32 infoType, nuint32 bufferLength,
                        void* buffer);
NWCCODE NWCCGetAllConnInfo(NWCONN_HANDLE conn, nuint32 infoLevel, NWCCConnInfo* info);
NWCCODE NWCCGetAllConnRefInfo(NWCONN_REF connRef, nuint32 infoLevel, NWCCConnInfo* info);
/* Start with *scanIterator = 0; NWE_NO_MORE_ENTRIES after the last reference. */
NWCCODE NWCCScanConnRefs(nuint32* scanIterator, NWCONN_REF* connRef);

#ifdef __cplusplus
}
#endif

/* The rest of the interface, by subject. */
#include <nwclient/bindery.h>    /* bindery objects, properties, membership, passwords */
#include <nwclient/paths.h>      /* NetWare paths, drives, file copy, open files */
#include <nwclient/server.h>     /* server control, statistics, modules, console */
#include <nwclient/print.h>      /* print queues, jobs, capture */
#include <nwclient/directory.h>  /* directory services and locale (NETWIN32, LOCWIN32) */
#include <nwclient/volumes.h>    /* volumes, directory entries, space limits, deleted files */
#include <nwclient/trustees.h>   /* trustees and effective rights */
#include <nwclient/messages.h>   /* broadcast messages, preferred server */
#include <nwclient/semaphores.h> /* semaphores and transaction tracking */

#endif
