/*
 * Broadcast messages between stations, messages to a server's console, the client's error
 * mode (CALWIN32) and the preferred server (CLXWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Each station keeps a mailbox of at most NW_MAILBOX_SIZE messages, read oldest first and
 * emptied when the station's connection is closed. The
 * broadcast mode belongs to the workstation and applies to all its stations:
 * 0 every message is accepted, 1 only the server's own (messages of other stations are
 * refused), 2 none, 3 every message is accepted and stored for the program to fetch.
 */
#ifndef NWCLIENT_MESSAGES_H
#define NWCLIENT_MESSAGES_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { NW_MAILBOX_SIZE = 10 };
/* Messages are at most 127 characters; a longer one is cut. */
enum { NW_MESSAGE_SIZE = 128 };

/* Broadcast modes. */
enum {
  NW_BCAST_ALL         = 0,
  NW_BCAST_SERVER_ONLY = 1,
  NW_BCAST_NONE        = 2,
  NW_BCAST_STORED      = 3
};

/* Per-station results of NWSendBroadcastMessage. */
enum {
  NW_BCAST_SENT        = 0x00,
  NW_BCAST_REFUSED     = 0xFC, /* broadcasts off on the station, or its mailbox is full */
  NW_BCAST_NO_STATION  = 0xFD  /* no such station in use on the server */
};

/* NWSetBroadcastMode: mode 0 to 3 (NWE_INVALID_PARAMETER otherwise). */
NWCCODE NWSetBroadcastMode(NWCONN_HANDLE conn, nuint16 mode);
/* NWEnableBroadcasts sets mode 0, NWDisableBroadcasts mode 2. */
NWCCODE NWEnableBroadcasts(NWCONN_HANDLE conn);
NWCCODE NWDisableBroadcasts(NWCONN_HANDLE conn);

/*
 * NWGetBroadcastMessage: takes the oldest message from the mailbox of the caller's station
 * on the connection's server into message256; an empty string when there is none.
 */
NWCCODE NWGetBroadcastMessage(NWCONN_HANDLE conn, char* message256);

/*
 * NWSendBroadcastMessage: sends the message to count stations of the connection's server.
 * resultList receives one result per station (NW_BCAST_...), written as nuint8 each.
 * The call succeeds when it could be made, whatever the stations answered.
 */
NWCCODE NWSendBroadcastMessage(NWCONN_HANDLE conn, const char* message, nuint16 count,
                               const nuint16* connList, nuint8* resultList);

/* NWBroadcastToConsole: writes the message to the server's console log. */
NWCCODE NWBroadcastToConsole(NWCONN_HANDLE conn, const char* message);

/*
 * NWSetNetWareErrorMode: how this program's client reports its own errors: 0 interactively,
 * 1 as NetWare codes, 2 as DOS codes (NWE_INVALID_PARAMETER otherwise). previousMode
 * receives the mode in force before.
 */
NWCCODE NWSetNetWareErrorMode(nuint8 mode, nuint8* previousMode);

/*
 * NWCCSetPrefServerName (CLXWIN32): makes the server the workstation's preferred server
 * (at most 47 characters, case ignored; the server need not exist). When the workstation
 * has a connection to it, that connection becomes the primary connection.
 */
NWCCODE NWCCSetPrefServerName(const char* serverName);

#ifdef __cplusplus
}
#endif

#endif
