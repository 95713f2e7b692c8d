/*
 * Trustee assignments and effective rights on the directories and files of volumes, and the
 * caller's bindery access level (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Rights masks: 0x01 read, 0x02 write, 0x04 open, 0x08 create, 0x10 erase, 0x20 access
 * control, 0x40 file scan, 0x80 modify, and in 16-bit masks 0x100 supervisory. Object IDs are
 * in client form. Paths are NetWare paths relative to dirHandle (0: the path names its volume,
 * "VOL:DIR\FILE", on the connection's server), as NWParseNetWarePath returns them.
 *
 * Effective rights of an object at a path: the supervisor and objects security-equivalent
 * to it have every right. Otherwise, for the object itself, each group in its
 * "GROUPS_I'M_IN" and each object in its "SECURITY_EQUALS", from the volume's root down to
 * the path: a trustee assignment at a level gives that level's rights, else the rights of
 * the level above pass through the level's inherited rights mask; the supervisory right is
 * never masked and brings every right with it. The rights of all of them together are the
 * object's effective rights.
 *
 * Granting and revoking needs the supervisor (or an equivalent) or the access control right
 * at the path: NWE_NO_SET_PRIVILEGE otherwise.
 */
#ifndef NWCLIENT_TRUSTEES_H
#define NWCLIENT_TRUSTEES_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes of trustees, besides those of <nwclient/nwclient.h>. */
enum {
  NWE_NO_SET_PRIVILEGE  = 0x898C, /* the caller may not change the trustees, attributes,
                                      rights mask or space limit of that path */
  NWE_TRUSTEE_NOT_FOUND = 0x89FE  /* the object is no trustee of that path */
};

/* NWScanObjectTrusteePaths: start value of the sequence. */
enum { NW_TRUSTEE_SCAN_START = 0xFFFF };

/*
 * NWScanObjectTrusteePaths: the next path of the volume on which the object holds a trustee
 * assignment, in the order of paths. *sequence starts at NW_TRUSTEE_SCAN_START; each call
 * leaves the position of the path it returned. path256 receives "VOL:DIR\FILE" (the root as
 * "VOL:"), rights the assignment's rights. Codes: NWE_NO_MORE_ENTRIES after the last path,
 * NWE_VOLUME_DOES_NOT_EXIST, NWE_NO_SUCH_OBJECT.
 */
NWCCODE NWScanObjectTrusteePaths(NWCONN_HANDLE conn, nuint32 objectID, nuint16 volNumber,
                                 nuint16* sequence, nuint16* rights, char* path256);

/*
 * NWGetEffectiveRights: the effective rights of the object logged in on the connection at
 * the path (a directory or a file that exists: NWE_INVALID_PATH otherwise). Nobody logged
 * in has no rights.
 */
NWCCODE NWGetEffectiveRights(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path,
                             nuint16* rights);

/*
 * NWAddTrustee, NWAddTrusteeToDirectory: make the object a trustee of the path (a
 * directory, or for NWAddTrustee also a file) with these rights, replacing the rights of an
 * existing assignment. Codes: NWE_INVALID_PATH, NWE_NO_SUCH_OBJECT, NWE_NO_SET_PRIVILEGE.
 */
NWCCODE NWAddTrustee(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path, nuint32 objectID,
                     nuint16 rightsMask);
NWCCODE NWAddTrusteeToDirectory(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path,
                                nuint32 objectID, nuint8 rightsMask);

/*
 * NWDeleteTrusteeFromDirectory: removes the object's own assignment at the path; nobody
 * else's. Codes: NWE_TRUSTEE_NOT_FOUND, NWE_INVALID_PATH, NWE_NO_SET_PRIVILEGE.
 */
NWCCODE NWDeleteTrusteeFromDirectory(NWCONN_HANDLE conn, nuint8 dirHandle, const char* path,
                                     nuint32 objectID);

/*
 * NWGetBinderyAccessLevel: the caller's access level to the bindery (read level in the low
 * nibble, write level in the high one: 0x00 anybody, 0x11 logged in, 0x33 supervisor) and
 * the object logged in on the connection (0 when nobody is).
 */
NWCCODE NWGetBinderyAccessLevel(NWCONN_HANDLE conn, nuint8* accessLevel, nuint32* objectID);

#ifdef __cplusplus
}
#endif

#endif
