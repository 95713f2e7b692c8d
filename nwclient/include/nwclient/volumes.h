/* Interface complete. */
/*
 * Volumes, directory entries, attributes, space limits, disk restrictions and deleted files
 * (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Blocks are 4096 bytes (8 sectors of 512). Object IDs travel in client form (as
 * NWGetObjectID returns them). Packed dates and times carry the date in the high 16 bits and
 * the time in the low 16 bits (see NWUnpackDateTime); a 16-bit date alone has the same
 * layout as the high half.
 *
 * Temporary directory handles (NWAllocTemporaryDirectoryHandle) are always new numbers of
 * the connection, released by NWDeallocateDirectoryHandle.
 */
#ifndef NWCLIENT_VOLUMES_H
#define NWCLIENT_VOLUMES_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes of volumes, files and deleted files, besides those of <nwclient/paths.h>. */
enum {
  NWE_INSUFFICIENT_SPACE = 0x8901, /* a write would exceed a space limit or restriction */
  NWE_NO_CREATE_PRIVILEGE = 0x8984, /* salvaging needs the create right in the directory */
  NWE_NO_DELETE_PRIVILEGE = 0x898A, /* deleting and purging need the erase right */
  NWE_NAME_EXISTS        = 0x8992, /* recovering onto a name in use */
  NWE_ACCESS_DENIED      = 0x8994  /* read-only or delete-inhibited entry; writing without the write right */
};

/* Attribute bits of a directory entry (32-bit). The low byte is the DOS attribute byte,
 * the second byte the extended attribute byte of NWSetExtendedFileAttributes2. */
enum {
  NWA_READ_ONLY   = 0x00000001, NWA_HIDDEN = 0x00000002, NWA_SYSTEM = 0x00000004,
  NWA_EXECUTE_ONLY = 0x00000008, NWA_DIRECTORY = 0x00000010, NWA_ARCHIVE = 0x00000020,
  NWA_SHAREABLE   = 0x00000080, NWA_TRANSACTIONAL = 0x00001000,
  NWA_IMMEDIATE_PURGE = 0x00010000, NWA_RENAME_INHIBIT = 0x00020000,
  NWA_DELETE_INHIBIT = 0x00040000, NWA_COPY_INHIBIT = 0x00080000
};

/* Search attributes of the scans: hidden and system entries are returned only when their
 * bit is given; with NWSA_DIRECTORIES a scan returns directories only, without it files only. */
enum { NWSA_HIDDEN = 0x02, NWSA_SYSTEM = 0x04, NWSA_DIRECTORIES = 0x10 };

/* Restriction value meaning "no restriction" (NWGetObjDiskRestrictions). */
enum { NW_NO_RESTRICTION = 0x7FFFFFFF };

#pragma pack(push, 1)

/* Volume statistics (NWGetVolumeStats). Block counts are 16-bit: a volume larger than
 * 65535 blocks reports 65535. */
typedef struct {
  nint32  systemElapsedTime;
  nuint8  volumeNumber;
  nuint8  logicalDriveNumber;
  nuint16 sectorsPerBlock;
  nuint16 startingBlock;
  nuint16 totalBlocks;
  nuint16 availableBlocks;
  nuint16 totalDirectorySlots;
  nuint16 availableDirectorySlots;
  nuint16 maxDirectorySlotsUsed;
  nuint8  isHashing;
  nuint8  isCaching;
  nuint8  isRemovable;
  nuint8  isMounted;
  char    volumeName[16];
} VOL_STATS;

/* Space of a volume as a directory handle sees it (NWGetDirSpaceInfo), 32-bit counts. */
typedef struct {
  nuint32 totalBlocks;
  nuint32 availableBlocks;
  nuint32 purgeableBlocks;        /* held by deleted files */
  nuint32 notYetPurgeableBlocks;
  nuint32 totalDirEntries;
  nuint32 availableDirEntries;
  nuint32 reserved;
  nuint8  sectorsPerBlock;
  nuint8  volLen;
  char    volName[16];
} DIR_SPACE_INFO;

/* Extended volume information (NWGetExtendedVolumeInfo), 132 bytes. */
typedef struct {
  nuint32 volType;
  nuint32 statusFlag;
  nuint32 sectorSize;
  nuint32 sectorsPerCluster;
  nuint32 volSizeInClusters;
  nuint32 freedClusters;
  nuint32 subAllocFreeableClusters;
  nuint32 freeableLimboSectors;
  nuint32 nonFreeableLimboSectors;
  nuint32 availSubAllocSectors;
  nuint32 nonUseableSubAllocSectors;
  nuint32 subAllocClusters;
  nuint32 numDataStreams;
  nuint32 numLimboDataStreams;
  nuint32 oldestDelFileAgeInTicks;
  nuint32 numCompressedDataStreams;
  nuint32 numCompressedLimboDataStreams;
  nuint32 numNoncompressibleDataStreams;
  nuint32 precompressedSectors;
  nuint32 compressedSectors;
  nuint32 numMigratedDataStreams;
  nuint32 migratedSectors;
  nuint32 clustersUsedByFAT;
  nuint32 clustersUsedByDirs;
  nuint32 clustersUsedByExtDirs;
  nuint32 totalDirEntries;
  nuint32 unUsedDirEntries;
  nuint32 totalExtDirExtants;
  nuint32 unUsedExtDirExtants;
  nuint32 extAttrsDefined;
  nuint32 extAttrExtantsUsed;
  nuint32 directoryServicesObjectID;
  nuint32 volLastModifiedDateAndTime;
} NWVolExtendedInfo;

/* A directory entry (NWIntScanDirEntryInfo, NWSetDirEntryInfo), 132 bytes. The last part
 * differs: a file has its inherited rights mask at 100 (repeated at 104) and its last access
 * date at 102; a directory its space limit in 4 KB blocks at 100 (0: none) and its inherited
 * rights mask at 104. */
typedef struct {
  nuint32 sequence;               /* the scan's iteration handle of this entry */
  nuint32 parent;                 /* directory base of the directory holding it */
  nuint32 attributes;             /* 8 */
  nuint8  uniqueID;
  nuint8  flags;                  /* 13 */
  nuint8  nameSpace;              /* 14: 0 DOS */
  nuint8  nameLength;             /* 15 */
  char    name[12];               /* 16, not terminated when 12 long */
  nuint32 creationDateAndTime;    /* 28 */
  nuint32 ownerID;                /* 32 */
  nuint32 lastArchiveDateAndTime; /* 36 */
  nuint32 lastArchiverID;         /* 40 */
  nuint32 updateDateAndTime;      /* 44 */
  nuint32 updatorID;              /* 48 */
  nuint32 dataSize;               /* 52 */
  nuint8  reserved[44];           /* 56 */
  union {
    struct {
      nuint16 inheritedRightsMask;  /* 100 */
      nuint16 lastAccessDate;       /* 102 */
      nuint16 rightsMask;           /* 104 */
      nuint8  reserved[26];
    } file;
    struct {
      nuint32 maxSpace;             /* 100 */
      nuint16 inheritedRightsMask;  /* 104 */
      nuint8  reserved[26];
    } dir;
  } info;
} NWENTRY_INFO;

/* A file entry with its extended information (NWIntScanExtendedInfo), 140 bytes: the
 * positions of NWENTRY_INFO up to dataSize, then the file's inherited rights mask at 100
 * and its last access date at 102. */
typedef struct {
  nuint32 sequence;
  nuint32 parent;
  nuint32 attributes;
  nuint8  uniqueID;
  nuint8  flags;
  nuint8  nameSpace;
  nuint8  nameLength;
  char    name[12];
  nuint32 creationDateAndTime;
  nuint32 ownerID;
  nuint32 lastArchiveDateAndTime;
  nuint32 lastArchiverID;
  nuint32 updateDateAndTime;
  nuint32 updatorID;
  nuint32 dataSize;
  nuint8  reserved[44];
  nuint16 inheritedRightsMask;    /* 100 */
  nuint16 lastAccessDate;         /* 102 */
  nuint32 extendedAttributeCount; /* 104 */
  nuint32 extendedAttributeSize;
  nuint8  reserved2[28];
} NW_EXT_FILE_INFO;

/* One trustee of a scan: object, rights (the bits of the inherited rights mask). */
typedef struct {
  nuint32 objectID;
  nuint16 objectRights;
  nuint16 reserved;
} TRUSTEE_INFO;

/* Trustees of one entry (NWIntScanForTrustees): a 28-byte head and up to 20 trustees. */
typedef struct {
  char    entryName[16];
  nuint32 creationDateAndTime;
  nuint32 ownerID;
  nuint32 sequenceNumber;
  TRUSTEE_INFO trusteeList[20];
} NWET_INFO;

/* A file's DOS-level information (NWIntScanFileInformation2, NWSetFileInformation2). */
typedef struct {
  nuint8  fileAttributes;         /* 0: the DOS attribute byte */
  nuint8  extendedFileAttributes; /* 1 */
  nuint32 fileSize;
  nuint16 creationDate;
  nuint16 lastAccessDate;
  nuint32 lastUpdateDateAndTime;
  nuint32 fileOwnerID;
  nuint32 lastArchiveDateAndTime;
  char    fileName[260];
} NW_FILE_INFO2;

/* A deleted file (NWScanForDeletedFiles). The last access date at 346 is stored high byte
 * first, as the server sends it. */
typedef struct {
  nuint32 sequence;
  nuint32 parent;
  nuint32 attributes;             /* 8 */
  nuint8  uniqueID;
  nuint8  flags;                  /* 13 */
  nuint8  nameSpace;              /* 14 */
  nuint8  nameLength;             /* 15 */
  char    name[256];              /* 16 */
  nuint32 creationDateAndTime;    /* 272 */
  nuint32 ownerID;                /* 276 */
  nuint32 lastArchiveDateAndTime; /* 280 */
  nuint32 lastArchiverID;         /* 284 */
  nuint32 updateDateAndTime;      /* 288 */
  nuint32 updatorID;              /* 292 */
  nuint32 fileSize;               /* 296 */
  nuint8  reserved[44];           /* 300 */
  nuint16 inheritedRightsMask;    /* 344 */
  nuint16 lastAccessDate;         /* 346, high byte first */
  nuint32 reserved2;              /* 348 */
  nuint32 deletedDateAndTime;     /* 352 */
  nuint32 deletorID;              /* 356 */
  nuint8  reserved3[16];
} NWDELETED_INFO;

#pragma pack(pop)

/* ---- Volumes ---------------------------------------------------------------------------
 * Statistics follow the files on disk: used blocks are the 4 KB blocks of the volume's
 * files, directory slots one per entry; a volume's size is configured (seed "size" in
 * megabytes, 256 by default). Deleted files not yet purged are purgeable blocks.
 * Codes: NWE_VOLUME_DOES_NOT_EXIST. */
NWCCODE NWGetVolumeStats(NWCONN_HANDLE conn, nuint8 volNumber, VOL_STATS* volInfo);
/* volName receives at most 16 bytes. Any output may be NULL. */
NWCCODE NWGetVolumeInfoWithNumber(NWCONN_HANDLE conn, nuint16 volNumber, char* volName,
                                  nuint16* totalBlocks, nuint16* sectorsPerBlock,
                                  nuint16* availableBlocks, nuint16* totalDirEntries,
                                  nuint16* availableDirEntries, nuint16* volIsRemovable);
NWCCODE NWGetExtendedVolumeInfo(NWCONN_HANDLE conn, nuint16 volNumber, NWVolExtendedInfo* volInfo);
/* dirHandle 0: the volume volNumber; otherwise the volume of the handle. */
NWCCODE NWGetDirSpaceInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint16 volNumber,
                          DIR_SPACE_INFO* spaceInfo);
/* What an object owns on a volume: directories, files and 4 KB blocks (16-bit, at most
 * 65535 each). NWE_NO_SUCH_OBJECT. */
NWCCODE NWGetDiskUtilization(NWCONN_HANDLE conn, nuint32 objectID, nuint8 volNumber,
                             nuint16* usedDirectories, nuint16* usedFiles, nuint16* usedBlocks);

/* ---- Directory handles and scans -------------------------------------------------------- */

/* A new directory handle for the directory `path` relative to dirHandle (0: a complete
 * NetWare path). The directory must exist (NWE_INVALID_PATH). effectiveRights may be NULL.
 * NWE_NO_MORE_DIR_HANDLES when all 255 are in use. */
NWCCODE NWAllocTemporaryDirectoryHandle(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path,
                                        nuint8* newDirHandle, nuint8* effectiveRights);
NWCCODE NWDeallocateDirectoryHandle(NWCONN_HANDLE conn, nuint8 dirHandle);

/* The entries of the directory of dirHandle whose names match searchPattern (at most 128
 * bytes; DOS wildcards "*" and "?", case ignored, "*.*" matches every name), one per call, in
 * name order. iterationHandle: start with 0xFFFFFFFF; the client advances it.
 * NWE_NO_MORE_ENTRIES after the last entry. augmentFlag is ignored. */
NWCCODE NWIntScanDirEntryInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint16 searchAttributes,
                              nuint32* iterationHandle, const char* searchPattern,
                              NWENTRY_INFO* entryInfo, nuint8 augmentFlag);
/* As NWIntScanDirEntryInfo, files only, with the extended record. */
NWCCODE NWIntScanExtendedInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint8 searchAttributes,
                              nuint32* iterationHandle, const char* searchPattern,
                              NW_EXT_FILE_INFO* entryInfo, nuint8 augmentFlag);
/* The trustees of the entry `searchPath` relative to dirHandle, up to 20 per call.
 * iterationHandle: start with 0. numOfEntries receives the count in the record.
 * NWE_NO_MORE_ENTRIES when no trustees are left; NWE_INVALID_PATH. */
NWCCODE NWIntScanForTrustees(NWCONN_HANDLE conn, nuint8 dirHandle, const char* searchPath,
                             nuint32* iterationHandle, nuint16* numOfEntries,
                             NWET_INFO* entryTrusteeInfo, nuint8 augmentFlag);
/* The first file matching filePattern relative to dirHandle. iterationHandle9: nine bytes,
 * start with nine 0xFF. NWE_FILE_NOT_FOUND. */
NWCCODE NWIntScanFileInformation2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePattern,
                                  nuint8 searchAttributes, nuint8* iterationHandle9,
                                  NW_FILE_INFO2* info, nuint8 augmentFlag);

/* ---- Attributes and limits -------------------------------------------------------------- */

/* Sets the DOS attribute byte of a file (the other bits of its attributes stay). */
NWCCODE NWSetFileAttributes(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath,
                            nuint8 searchAttributes, nuint8 newAttributes);
/* Sets a file's attribute byte, dates and owner from the record. */
NWCCODE NWSetFileInformation2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath,
                              nuint8 searchAttributes, const NW_FILE_INFO2* info);
/* Sets the extended attribute byte (bits 8..15 of the attributes). */
NWCCODE NWSetExtendedFileAttributes2(NWCONN_HANDLE conn, nuint8 dirHandle, const char* filePath,
                                     nuint8 extendedAttributes);
/* Changes the directory of dirHandle (its name field is ignored). changeBits: 0x02
 * attributes (the directory bit stays), 0x1000 inherited rights mask (entry's dir field),
 * 0x4000 space limit. NWE_INVALID_PARAMETER for other bits. Without NWSA_DIRECTORIES in
 * searchAttributes it changes the file of the entry's name in that directory instead, whose
 * attributes only (changeBits 0x02) may change: all 32 bits but the directory bit; no
 * wildcards (NWE_INVALID_PATH), NWE_FILE_NOT_FOUND for no such file, NWE_NO_SET_PRIVILEGE
 * without the modify right. */
NWCCODE NWSetDirEntryInfo(NWCONN_HANDLE conn, nuint8 dirHandle, nuint8 searchAttributes,
                          nuint32 iterationHandle, nuint32 changeBits,
                          const NWENTRY_INFO* newEntryInfo);
/* Space limit of the directory of dirHandle in 4 KB blocks, 0 for none. Writes below the
 * directory that would exceed it fail (NWE_INSUFFICIENT_SPACE). */
NWCCODE NWSetDirSpaceLimit(NWCONN_HANDLE conn, nuint8 dirHandle, nuint32 spaceLimit);

/* ---- Disk restrictions of objects (4 KB blocks) ----------------------------------------- */

/* restriction: NW_NO_RESTRICTION when none; inUse: the blocks of the files it owns. */
NWCCODE NWGetObjDiskRestrictions(NWCONN_HANDLE conn, nuint8 volNumber, nuint32 objectID,
                                 nuint32* restriction, nuint32* inUse);
NWCCODE NWSetObjectVolSpaceLimit(NWCONN_HANDLE conn, nuint16 volNumber, nuint32 objectID,
                                 nuint32 restriction);
NWCCODE NWRemoveObjectDiskRestrictions(NWCONN_HANDLE conn, nuint8 volNumber, nuint32 objectID);

/* ---- Deleted files ------------------------------------------------------------------------
 * A file deleted through the client (the platform's deleteFile on a NetWare or drive-letter
 * path) is kept in its volume's salvage area with who deleted it and when, unless it or its
 * directory has NWA_IMMEDIATE_PURGE. A deleted file is identified by its volume, the
 * directory base of its directory and its sequence (the scan's iteration handle): the
 * directory handle of the recover and purge calls is not needed and not used. */

/* The deleted files of the directory of dirHandle, one per call, oldest first.
 * iterationHandle: start with 0xFFFFFFFF. NWE_NO_MORE_ENTRIES after the last. */
NWCCODE NWScanForDeletedFiles(NWCONN_HANDLE conn, nuint8 dirHandle, nuint32* iterationHandle,
                              nuint32* volNumber, nuint32* dirBase, NWDELETED_INFO* entryInfo);
/* Restores a deleted file into its directory as rcvrFileName (empty: its own name), which
 * must not exist (NWE_NAME_EXISTS). delFileName must be contained in the deleted file's
 * name (case ignored). NWE_FILE_NOT_FOUND for no such deleted file, NWE_INVALID_PATH when its
 * directory is gone or the new name is not a plain name. */
NWCCODE NWRecoverDeletedFile(NWCONN_HANDLE conn, nuint8 dirHandle, nuint32 iterationHandle,
                             nuint32 volNumber, nuint32 dirBase, const char* delFileName,
                             const char* rcvrFileName);
/* Removes a deleted file for good; fileName must be its name (case ignored). Live files are
 * never touched. NWE_FILE_NOT_FOUND. */
NWCCODE NWPurgeDeletedFile(NWCONN_HANDLE conn, nuint8 dirHandle, nuint32 iterationHandle,
                           nuint32 volNumber, nuint32 dirBase, const char* fileName);

#ifdef __cplusplus
}
#endif

#endif
