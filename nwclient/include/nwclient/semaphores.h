/*
 * Server semaphores and the Transaction Tracking System (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Semaphores: named per server (at most 47 characters, upper case), shared by every station
 * and program. Each open gives its own handle; the open count is the number of opens held.
 * A program's opens are closed when it ends, also when it is killed, and a connection's when
 * it is closed; a semaphore nobody holds open is gone. Values are -32768..32767.
 *
 * TTS: a transaction of a connection runs from NWTTSBeginTransaction to
 * NWTTSEndTransaction or NWTTSAbortTransaction. Aborting restores every file of the
 * connection's server that was reached through the client's redirector (opened, created or
 * deleted) since the transaction began. Closing the connection aborts its transaction.
 */
#ifndef NWCLIENT_SEMAPHORES_H
#define NWCLIENT_SEMAPHORES_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  NWE_SEMAPHORE_OVERFLOW   = 0x8901, /* the value would pass 32767 */
  NWE_TTS_DISABLED         = 0x89FD, /* TTS is disabled on the server */
  NWE_TIMEOUT              = 0x89FE, /* the wait ended before the semaphore was signalled */
  NWE_INVALID_SEMAPHORE    = 0x89FF, /* not a handle of an open semaphore of this program */
  NWE_NO_TRANSACTION       = 0x89FF  /* no transaction is running on the connection */
};

/* One tick of semaphore time-outs: 1/18 second. */
enum { NW_TICKS_PER_SECOND = 18 };

/*
 * NWOpenSemaphore: opens the semaphore, creating it with initialValue (0..32767) when it
 * does not exist. handle receives this open's handle, openCount the opens now held.
 */
NWCCODE NWOpenSemaphore(NWCONN_HANDLE conn, const char* name, nuint16 initialValue,
                        nuint32* handle, nuint16* openCount);
/* NWExamineSemaphore: the value and the open count. */
NWCCODE NWExamineSemaphore(NWCONN_HANDLE conn, nuint32 handle, int16_t* value,
                           nuint16* openCount);
/*
 * NWWaitOnSemaphore: takes one unit of the value, waiting up to timeOutTicks for another
 * station or program to signal while the value is not above 0. NWE_TIMEOUT.
 */
NWCCODE NWWaitOnSemaphore(NWCONN_HANDLE conn, nuint32 handle, nuint16 timeOutTicks);
/* NWSignalSemaphore: adds one to the value. NWE_SEMAPHORE_OVERFLOW. */
NWCCODE NWSignalSemaphore(NWCONN_HANDLE conn, nuint32 handle);
/* NWCloseSemaphore: closes this open. */
NWCCODE NWCloseSemaphore(NWCONN_HANDLE conn, nuint32 handle);

/* NWEnableTTS, NWDisableTTS: switch TTS on the server (console operator). */
NWCCODE NWEnableTTS(NWCONN_HANDLE conn);
NWCCODE NWDisableTTS(NWCONN_HANDLE conn);
/* NWTTSBeginTransaction: NWE_TTS_DISABLED, NWE_FAILURE when one is running already. */
NWCCODE NWTTSBeginTransaction(NWCONN_HANDLE conn);
/* NWTTSEndTransaction: keeps the changes; the transaction's number. NWE_NO_TRANSACTION. */
NWCCODE NWTTSEndTransaction(NWCONN_HANDLE conn, nuint32* transactionNumber);
/* NWTTSAbortTransaction: restores the files. NWE_NO_TRANSACTION. */
NWCCODE NWTTSAbortTransaction(NWCONN_HANDLE conn);

#ifdef __cplusplus
}
#endif

#endif
