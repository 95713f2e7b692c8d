/*
 * Print queues, their jobs, printer capture and banners (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * A print queue is a bindery object of type NW_OT_PRINT_QUEUE. Its set properties
 * "Q_USERS", "Q_OPERATORS" and "Q_SERVERS" name who may enter jobs, who manages the queue
 * (operators, supervisors) and which print servers service it. Each job owns a file in the
 * queue's directory "SYS:SYSTEM\<queue ID as 8 hexadecimal digits>.QDR" on the queue's
 * server; the file holds the bytes to print. A queue holds at most 250 jobs.
 */
#ifndef NWCLIENT_PRINT_H
#define NWCLIENT_PRINT_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes of queues and capture. */
enum {
  NWE_NOT_CAPTURED     = 0x8834, /* the printer port is not captured */
  NWE_QUEUE_FULL       = 0x89D4,
  NWE_NO_QUEUE_RIGHTS  = 0x89D3, /* the caller is not a user of the queue */
  NWE_NO_QUEUE_JOB     = 0x89D5, /* no job of that number */
  NWE_NO_JOB_RIGHTS    = 0x89D6  /* neither the job's owner nor an operator */
};

/* Job control flags. */
enum {
  QF_AUTO_START    = 0x08,
  QF_ENTRY_RESTART = 0x10,
  QF_ENTRY_OPEN    = 0x20,  /* the job file is still being written */
  QF_USER_HOLD     = 0x40,
  QF_OPERATOR_HOLD = 0x80
};

enum { NW_MAX_QUEUE_JOBS = 250, NW_JOB_LIST_BLOCK = 125, NW_JOB_ENTRY_SIZE = 272 };

#pragma pack(push, 1)

/*
 * A queue job entry (270 bytes; callers may pass a 272-byte buffer). Numbers are in the
 * machine's byte order; object IDs in client form. Dates are six bytes: years since 1900,
 * month, day, hour, minute, second.
 */
typedef struct {
  nuint32 clientStation;          /*   0 station that entered the job */
  nuint32 clientTask;             /*   4 */
  nuint32 clientID;               /*   8 owner; 0 on entry = the object logged in */
  nuint32 targetServerID;         /*  12 0xFFFFFFFF = any server */
  nuint8  targetExecTime[6];      /*  16 all 0xFF = as soon as possible */
  nuint8  jobEntryTime[6];        /*  22 set by the server */
  nuint32 jobNumber;              /*  28 set by the server */
  nuint16 jobType;                /*  32 */
  nuint16 jobPosition;            /*  34 1 = next */
  nuint16 jobControlFlags;        /*  36 QF_... */
  nuint8  jobFileName[14];        /*  38 length byte, then the name */
  nuint32 jobFileHandle;          /*  52 */
  nuint32 servicingServerStation; /*  56 */
  nuint32 servicingServerTask;    /*  60 */
  nuint32 servicingServerID;      /*  64 0 = not being serviced */
  char    jobDescription[50];     /*  68 zero-terminated */
  nuint8  clientRecordArea[152];  /* 118 the print job record for print queues */
} NWQueueJobStruct;

/* Reply of NWGetQueueJobList2. */
typedef struct {
  nuint32 totalQueueJobs;
  nuint32 replyQueueJobNumbers;   /* numbers in this reply, at most 125 */
  nuint32 jobNumberList[NW_JOB_LIST_BLOCK];
} QueueJobListReply;

#pragma pack(pop)

/*
 * NWGetQueueJobList2: the job numbers in queue order from position startPosition (1 = the
 * first job), at most 125 per call. NWE_NO_SUCH_OBJECT for an unknown queue.
 */
NWCCODE NWGetQueueJobList2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 startPosition,
                           QueueJobListReply* reply);
/* NWReadQueueJobEntry2: the job's entry. NWE_NO_QUEUE_JOB. */
NWCCODE NWReadQueueJobEntry2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber,
                             NWQueueJobStruct* job);
/*
 * NWChangeQueueJobEntry2: the job (by job->jobNumber) takes the target server and time, job
 * type, control flags, description and client record area of the entry. The owner may set
 * every flag but QF_OPERATOR_HOLD, which only an operator changes; QF_ENTRY_OPEN stays the
 * server's. NWE_NO_JOB_RIGHTS.
 */
NWCCODE NWChangeQueueJobEntry2(NWCONN_HANDLE conn, nuint32 queueID, const NWQueueJobStruct* job);
/* NWChangeQueueJobPosition2: operators only; a position past the last moves to the end. */
NWCCODE NWChangeQueueJobPosition2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber,
                                  nuint16 newPosition);
/* NWRemoveJobFromQueue2: the owner or an operator; the job file is deleted. */
NWCCODE NWRemoveJobFromQueue2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber);
/*
 * NWCreateQueueFile2: enters a job (caller a user of the queue) and opens its file for
 * writing. job: the caller's entry; on return the server's view of it (job number, file
 * name, entry time, QF_ENTRY_OPEN). fileHandle receives a platform file handle: write the
 * job's bytes with the platform's file calls. NWE_NO_QUEUE_RIGHTS, NWE_QUEUE_FULL.
 */
NWCCODE NWCreateQueueFile2(NWCONN_HANDLE conn, nuint32 queueID, NWQueueJobStruct* job,
                           nuint32* fileHandle);
/* NWCloseFileAndStartQueueJob2: closes the job file and releases the job for printing. */
NWCCODE NWCloseFileAndStartQueueJob2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber,
                                     nuint32 fileHandle);

/* ---- Capture: printer ports of the workstation redirected to queues -------------------
 * Ports are numbered 1 (LPT1) to NWGetMaxPrinters; the captures belong to the workstation
 * and are kept with it. */

enum { NW_CAPTURE_FLAGS_SIZE = 102, NW_CAPTURE_FLAGS_RO_SIZE = 32, NW_BANNER_NAME_SIZE = 128 };

/* Offsets in the read-write capture structure (102 bytes). */
enum {
  NW_CF_JOB_DESCRIPTION = 0,   /* 50 bytes, zero-terminated */
  NW_CF_JOB_CONTROL     = 50,
  NW_CF_TAB_SIZE        = 51,
  NW_CF_COPIES          = 52,  /* nuint16 */
  NW_CF_PRINT_FLAGS     = 54,  /* nuint16 */
  NW_CF_FORM_NAME       = 60,  /* 13 bytes */
  NW_CF_FORM_TYPE       = 82,  /* nuint16 */
  NW_CF_BANNER_TEXT     = 84,  /* 13 bytes */
  NW_CF_FLUSH_TIMEOUT   = 98,  /* nuint16 */
  NW_CF_FLUSH_ON_CLOSE  = 100
};

/* Offsets in the read-only capture structure (32 bytes). */
enum {
  NW_CFRO_CONNECTION    = 0,   /* NWCONN_HANDLE of the capture */
  NW_CFRO_QUEUE_ID      = 4,   /* nuint32, client form */
  NW_CFRO_LPT_ORPHANED  = 12,  /* 0xFF when the queue no longer exists: end fails, cancel */
  NW_CFRO_IN_PROGRESS   = 13   /* 0xFF while captured */
};

/* NWGetCaptureFlags: the port's settings. NWE_NOT_CAPTURED, NWE_INVALID_PARAMETER (port). */
NWCCODE NWGetCaptureFlags(nuint8 lptDevice, nuint8* captureFlagsRW102, nuint8* captureFlagsRO32);
/* NWSetCaptureFlags: replaces the settings of a captured port (the connection must be the
 * capture's server or any connection of the workstation). */
NWCCODE NWSetCaptureFlags(NWCONN_HANDLE conn, nuint8 lptDevice, const nuint8* captureFlagsRW102);
/* NWStartQueueCapture: captures the port to the queue (replacing a capture of the port),
 * with default settings: one copy, flush timeout 0, banner off. NWE_NO_QUEUE_RIGHTS. */
NWCCODE NWStartQueueCapture(NWCONN_HANDLE conn, nuint8 lptDevice, nuint32 queueID,
                            const char* queueName);
/* NWGetCaptureStatus: 0xFF when the port is captured, else 0 (a value, not a code). */
nuint8  NWGetCaptureStatus(nuint8 lptDevice);
/* NWEndCapture: ends the capture; NWE_NO_SUCH_OBJECT when its queue is gone (cancel then). */
NWCCODE NWEndCapture(nuint8 lptDevice);
NWCCODE NWCancelCapture(nuint8 lptDevice);
/* The banner user name of the workstation (at most 127 characters); it starts as the name
 * logged in on the primary connection. */
NWCCODE NWSetBannerUserName(const char* bannerUserName128);
NWCCODE NWGetBannerUserName(char* bannerUserName128);
/* NWGetMaxPrinters: the number of printer ports (9). */
NWCCODE NWGetMaxPrinters(nuint16* numPrinters);

#ifdef __cplusplus
}
#endif

#endif
