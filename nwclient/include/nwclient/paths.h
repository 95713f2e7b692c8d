/* Interface complete. */
/*
 * NetWare paths, volumes by name and number, the drive table, server-side file copy and open
 * files (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Paths. A NetWare path is "SERVER/VOLUME:DIR\FILE" or "VOLUME:DIR\FILE" (the volume of the
 * connection given), with "\" or "/" between components; a drive-letter path "G:\DIR\FILE"
 * names a directory below the base of a mapped drive. Case is ignored. A path relative to a
 * directory handle is "DIR\FILE" (no volume). "." and ".." components, empty components and
 * components that leave the volume's root are refused (NWE_INVALID_PATH); so are paths
 * through symbolic links that point outside the volume.
 *
 * Directory handles are 8-bit numbers of a connection (1 to 255); 0 means "no handle: the
 * path is complete".
 */
#ifndef NWCLIENT_PATHS_H
#define NWCLIENT_PATHS_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes of paths, drives and files, besides those of <nwclient/nwclient.h>. */
enum {
  NWE_NOT_SAME_CONNECTION   = 0x8830, /* file copy between handles of two servers */
  NWE_INVALID_DRIVE         = 0x8832, /* not 1..26, a local drive, or not mapped */
  NWE_INVALID_FILE_HANDLE   = 0x8988, /* not a handle of an open NetWare file */
  NWE_NO_READ_PRIVILEGE     = 0x8993, /* opening a file for reading needs the read right */
  NWE_VOLUME_DOES_NOT_EXIST = 0x8998, /* no such volume, or it is dismounted */
  NWE_BAD_DIRECTORY_HANDLE  = 0x899B,
  NWE_INVALID_PATH          = 0x899C, /* malformed, escaping, too long, or no such directory */
  NWE_NO_MORE_DIR_HANDLES   = 0x899D,
  NWE_FILE_NOT_FOUND        = 0x89FF  /* NetWare's code for "no such file" */
};

/* Copies through the workstation write to a temporary name beside the destination, this
   prefix followed by the writing program's process number, and rename it over the destination
   when complete. Listings leave such files out, and remove those whose program has ended. */
#define NW_COPY_TEMPORARY_PREFIX "~NWCOPY."

/* Longest result path of NWParseNetWarePath, terminator included. Callers pass buffers of
 * 128 or 256 bytes; the client never writes more than this. */
enum { NW_PARSED_PATH_SIZE = 128 };
/* Volume names: at most 15 characters. */
enum { NW_VOLUME_NAME_SIZE = 16 };
/* Path buffers of NWParsePath and NWGetDriveStatus. */
enum { NW_PATH_SIZE = 256 };

/* Drive status bits (NWGetDriveStatus). */
enum {
  NW_DRIVE_FREE    = 0x0000,
  NW_DRIVE_CDROM   = 0x0400,
  NW_DRIVE_LOCAL_REMOVABLE = 0x0800,
  NW_DRIVE_LOCAL   = 0x1000,
  NW_DRIVE_NETWORK = 0x2000
};

/*
 * NWParseNetWarePath: resolves a NetWare or drive-letter path.
 * conn (in/out): the connection for a path without a server; replaced by the workstation's
 * connection to the server the path names (a server name needs an existing connection:
 * NWE_INVALID_CONNECTION otherwise, NWE_SERVER_NOT_FOUND for an unknown server) or to the
 * server of the mapped drive. dirHandle is set to 0. resultPath receives "VOLUME:DIR\FILE"
 * in upper case, the volume's own spelling; at most NW_PARSED_PATH_SIZE bytes are written
 * (a longer result fails with NWE_INVALID_PATH, it is never cut). The path need not exist,
 * but its volume must (NWE_VOLUME_DOES_NOT_EXIST). A local path fails with NWE_INVALID_PATH.
 */
NWCCODE NWParseNetWarePath(const char* path, NWCONN_HANDLE* conn, nuint8* dirHandle,
                           char* resultPath);

/*
 * NWParsePath: splits a NetWare or drive-letter path. serverName receives the server's name
 * (at most 48 bytes), conn the workstation's connection to it, volumeName the volume without
 * its colon (at most 16 bytes), directory the rest without a leading backslash (at most
 * NW_PATH_SIZE bytes). Every output may be NULL. A local path fails with NWE_INVALID_PATH
 * and leaves the outputs empty.
 */
NWCCODE NWParsePath(const char* path, char* serverName, NWCONN_HANDLE* conn, char* volumeName,
                    char* directory);

/*
 * NWGetVolumeNumber: the number of a mounted volume of the connection's server, by name
 * (case ignored, at most 15 characters, a trailing ":" allowed). NWE_VOLUME_DOES_NOT_EXIST.
 */
NWCCODE NWGetVolumeNumber(NWCONN_HANDLE conn, const char* volumeName, nuint16* volNumber);

/*
 * NWGetVolumeName: the name of volume volNumber into a buffer of at least
 * NW_VOLUME_NAME_SIZE bytes (never more is written). NWE_VOLUME_DOES_NOT_EXIST.
 */
NWCCODE NWGetVolumeName(NWCONN_HANDLE conn, nuint16 volNumber, char* volumeName16);

/*
 * The drive table of the workstation (kept by the network, shared by the programs of the
 * workstation). Drives are numbered 1 (A) to 26 (Z). A to E are local: A and B removable,
 * C and E fixed, D a CD-ROM. Network drives start at the first network drive (F, or net.cfg's
 * "FIRST NETWORK DRIVE").
 *
 * NWSetDriveBase: maps the drive to the directory `path` relative to dirHandle (0: path is a
 * complete NetWare path "VOL:DIR") on the connection's server; an existing mapping is
 * replaced. The directory must exist. driveScope is reserved (0).
 * Codes: NWE_INVALID_DRIVE (not 1..26, or a local drive), NWE_INVALID_PATH.
 */
NWCCODE NWSetDriveBase(nuint16 driveNumber, NWCONN_HANDLE conn, nuint8 dirHandle,
                       const char* path, nuint16 driveScope);

/* NWDeleteDriveBase: removes the mapping. NWE_INVALID_DRIVE when the drive is not mapped. */
NWCCODE NWDeleteDriveBase(nuint16 driveNumber, nuint16 driveScope);

/* NWGetFirstDrive: the number of the first network drive (6 = F by default). */
NWCCODE NWGetFirstDrive(nuint16* firstDrive);

/*
 * NWGetDriveStatus: what drive driveNumber is. status: NW_DRIVE_FREE for an unmapped drive,
 * the local bits for A to E, NW_DRIVE_NETWORK for a mapped drive. For a mapped drive conn
 * receives the workstation's connection to its server, rootPath the base "VOL:DIR",
 * relativePath the current directory below the base (always empty here) and fullPath
 * "SERVER/VOL:DIR"; for other drives conn 0 and empty paths. Each path buffer must hold
 * NW_PATH_SIZE bytes; any output may be NULL. pathFormat is accepted and ignored (0).
 * Codes: NWE_INVALID_DRIVE for a number outside 1..26.
 */
NWCCODE NWGetDriveStatus(nuint16 driveNumber, nuint16 pathFormat, nuint16* status,
                         NWCONN_HANDLE* conn, char* rootPath, char* relativePath,
                         char* fullPath);

/*
 * NWConvertFileHandle: the NetWare file handle of a file the program opened through the
 * platform's file calls on a NetWare or drive-letter path. localHandle: the platform's
 * handle; handleType 2 (a platform handle; the only type). netwareHandle4 receives 4 bytes:
 * the station's 32-bit file handle, low byte first. conn (may be NULL) receives the
 * connection of the file's server. NWE_INVALID_FILE_HANDLE for a local file or no file.
 */
NWCCODE NWConvertFileHandle(nuint32 localHandle, nuint16 handleType, nuint8* netwareHandle4,
                            NWCONN_HANDLE* conn);

/*
 * NWFileServerFileCopy: copies `bytes` bytes from srcOffset of one open NetWare file to
 * dstOffset of another on the server, without moving the data through the workstation. The
 * handles are the platform's handles (as NWConvertFileHandle takes them). bytesCopied (may
 * be NULL) receives the count copied, fewer at the end of the source.
 * Codes: NWE_INVALID_FILE_HANDLE, NWE_NOT_SAME_CONNECTION (files on two servers),
 * NWE_INVALID_PARAMETER (both handles the same file).
 */
NWCCODE NWFileServerFileCopy(nuint32 srcHandle, nuint32 dstHandle, nuint32 srcOffset,
                             nuint32 dstOffset, nuint32 bytes, nuint32* bytesCopied);

#pragma pack(push, 1)

/* Iteration state of NWScanOpenFilesByConn2, filled by the client. */
typedef struct {
  nuint16 nextRequest;  /* files still to come after this one */
  nuint16 openCount;    /* files the station has open */
} OPEN_FILE_CONN_CTRL;

/* One open file of a station (NWScanOpenFilesByConn2). */
typedef struct {
  nuint16 taskNumber;      /* the opening program's process id, low 16 bits */
  nuint8  lockType;        /* 0 not locked */
  nuint8  accessControl;   /* 1 read, 2 write, 3 read and write */
  nuint8  lockFlag;
  nuint8  volNumber;
  nuint32 parent;          /* directory entry of the parent directory */
  nuint32 dirEntry;        /* the low 8 bits are a directory handle of the scanning
                              connection on the file's directory (NWIntScanDirectoryInformation2) */
  nuint8  forkCount;
  nuint8  nameSpace;       /* 0 DOS */
  nuint8  nameLength;      /* characters in fileName, at most 255 */
  char    fileName[256];   /* zero-terminated */
} OPEN_FILE_CONN;

/* One station using a file (NWScanConnectionsUsingFile). */
typedef struct {
  nuint16 connNumber;
  nuint16 taskNumber;
  nuint8  lockType;
  nuint8  accessControl;
  nuint8  lockFlag;
} CONN_USING_FILE;

/* Summary of the uses of a file (NWScanConnectionsUsingFile). */
typedef struct {
  nuint16 nextRequest;        /* stations still to come after this one */
  nuint16 useCount;
  nuint16 openCount;
  nuint16 openForReadCount;
  nuint16 openForWriteCount;
  nuint16 denyReadCount;
  nuint16 denyWriteCount;
  nuint8  locked;
  nuint8  forkCount;
  nuint16 connCount;          /* stations that have the file open */
} CONNS_USING_FILE;

#pragma pack(pop)

/*
 * NWScanOpenFilesByConn2: the files station connNumber of the connection's server has open,
 * one per call (files opened by any program of any workstation through the platform's file
 * calls; released when the program closes them or ends). iterationHandle: start with 0; the
 * client advances it. Codes: NWE_NO_MORE_ENTRIES after the last file, NWE_BAD_STATION_NUMBER,
 * NWE_NO_CONSOLE_RIGHTS for another station's files unless the caller is a console operator.
 */
NWCCODE NWScanOpenFilesByConn2(NWCONN_HANDLE conn, nuint16 connNumber, nint32* iterationHandle,
                               OPEN_FILE_CONN_CTRL* control, OPEN_FILE_CONN* openFile);

/*
 * NWIntScanDirectoryInformation2: the directory of dirHandle. dirName256 receives it as
 * "VOLUME:DIR" (at most NW_PATH_SIZE bytes); dateTime the directory's modification time
 * (packed: date in the high 16 bits, time in the low); ownerID the owner (client form, 0
 * when unknown); rightsMask the caller's effective rights (0xFF here). searchPath names an
 * entry inside the directory and must exist (NWE_FILE_NOT_FOUND); sequence4 is 4 bytes of
 * in/out state (start 0, may be NULL); augmentFlag is ignored.
 */
NWCCODE NWIntScanDirectoryInformation2(NWCONN_HANDLE conn, nuint8 dirHandle,
                                       const char* searchPath, nuint8* sequence4,
                                       char* dirName256, nuint32* dateTime, nuint32* ownerID,
                                       nuint8* rightsMask, nuint16 augmentFlag);

/*
 * NWScanConnectionsUsingFile: the stations that have the file open, one per call. The file is
 * `filePath` relative to dirHandle (0: a complete NetWare path). iterationHandle: start 0.
 * For a file nobody has open the first call returns 0 with summary->connCount 0 and
 * connection zeroed. Codes: NWE_NO_MORE_ENTRIES after the last station, NWE_FILE_NOT_FOUND,
 * NWE_INVALID_PATH.
 */
NWCCODE NWScanConnectionsUsingFile(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath,
                                   nint32* iterationHandle, CONN_USING_FILE* connection,
                                   CONNS_USING_FILE* summary);

#ifdef __cplusplus
}
#endif

#endif
