/* Interface complete. */
/*
 * Bindery objects, properties, set membership and passwords (CALWIN32).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Names of objects and properties are zero-terminated, at most 47 characters (48-byte
 * buffers). The bindery compares names without regard to case; it stores them as given
 * by the seed or the creator (upper case in practice). Object types are in the client's
 * byte order (0x0100 user, 0x0200 group, 0x0400 file server, ...). Object IDs returned or
 * taken by these functions are in client form: the display ID with its bytes reversed.
 */
#ifndef NWCLIENT_BINDERY_H
#define NWCLIENT_BINDERY_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes of the bindery, besides those of <nwclient/nwclient.h>. */
enum {
  NWE_NO_SUCH_MEMBER     = 0x89EA, /* the object is not in the set */
  NWE_NO_SUCH_SEGMENT    = 0x89EC, /* the property has no value segment of that number */
  NWE_INVALID_NAME       = 0x89EF, /* name empty or longer than 47 characters */
  NWE_WILDCARD_NOT_ALLOWED = 0x89F0 /* a wildcard where a single name is needed */
};

/* Well-known object types (client byte order) and the wildcard type of scans. */
enum {
  NW_OT_USER        = 0x0100,
  NW_OT_GROUP       = 0x0200,
  NW_OT_PRINT_QUEUE = 0x0300,
  NW_OT_FILE_SERVER = 0x0400,
  NW_OT_WILD        = 0xFFFF  /* NWScanObject: any type */
};

/* Property flags (NWReadPropertyValue, NWScanObject's hasProperties aside). */
enum {
  NW_BF_ITEM    = 0x00,  /* an item property: its value is a byte string */
  NW_BF_SET     = 0x02,  /* a set property: 32 four-byte object IDs per segment */
  NW_BF_DYNAMIC = 0x01
};

/* Size of one property value segment. */
enum { NW_SEGMENT_SIZE = 128 };

/*
 * NWScanObject: the next object of a type whose name matches searchName.
 * searchName: a name or a pattern with "*" (any run of characters) and "?" (one
 * character); case is ignored. objectType: a type or NW_OT_WILD.
 * objectID (in/out, client form): start with 0xFFFFFFFF; each call returns the object
 * following the one given, in the order of display IDs, and leaves its ID here.
 * objectName48 receives the name (at most 47 characters and a zero); rObjectType, the
 * object's type; hasProperties 0xFF when the object has properties, else 0; objectFlags 0
 * static, 1 dynamic; security the object's read (low nibble) and write (high nibble)
 * security. Every out-parameter but objectID may be NULL.
 * Codes: NWE_NO_SUCH_OBJECT when no further object matches (the end of the scan).
 */
NWCCODE NWScanObject(NWCONN_HANDLE conn, const char* searchName, nuint16 objectType,
                     nuint32* objectID, char* objectName48, nuint16* rObjectType,
                     nuint8* hasProperties, nuint8* objectFlags, nuint8* security);

/*
 * NWGetObjectID: the ID (client form) of the object of that name and type. Wildcards are
 * refused (NWE_WILDCARD_NOT_ALLOWED). NWE_NO_SUCH_OBJECT when there is none.
 */
NWCCODE NWGetObjectID(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                      nuint32* objectID);

/*
 * NWGetObjectName: the name (into a 48-byte buffer, always terminated) and type of the
 * object with the ID (client form). objectType may be NULL. On NWE_NO_SUCH_OBJECT the
 * name buffer is set to the empty string.
 */
NWCCODE NWGetObjectName(NWCONN_HANDLE conn, nuint32 objectID, char* objectName48,
                        nuint16* objectType);

/*
 * NWReadPropertyValue: segment `segment` (1 to 255) of a property into a 128-byte buffer.
 * The buffer is always filled completely (unused bytes are 0). moreSegments is set to 0xFF
 * when a later segment exists, else 0; propertyFlags to the property's flags. Both may be
 * NULL. Codes: NWE_NO_SUCH_OBJECT, NWE_NO_SUCH_PROPERTY, NWE_NO_SUCH_SEGMENT (segment 0
 * or beyond the last).
 */
NWCCODE NWReadPropertyValue(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                            const char* propertyName, nuint8 segment, nuint8* segmentData128,
                            nuint8* moreSegments, nuint8* propertyFlags);

/*
 * NWIsObjectInSet: 0 when the member object is in the set property of the object.
 * Codes: NWE_NO_SUCH_OBJECT (either object), NWE_NO_SUCH_PROPERTY, NWE_NO_SUCH_MEMBER.
 */
NWCCODE NWIsObjectInSet(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                        const char* propertyName, const char* memberName, nuint16 memberType);

/*
 * NWVerifyObjectPassword: 0 when the password (at most 127 characters) is the object's.
 * Like a NetWare client, the bindery upper-cases passwords before hashing them, so case is
 * ignored; the server keeps only salted hashes. An object without a password accepts only
 * the empty password. Codes: NWE_NO_SUCH_OBJECT, NWE_BAD_PASSWORD.
 */
NWCCODE NWVerifyObjectPassword(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                               const char* password);

/*
 * NWCheckConsolePrivileges: 0 when the object logged in on the connection is a console
 * operator of the server: SUPERVISOR, an object security-equivalent to SUPERVISOR
 * ("SECURITY_EQUALS"), or an object or a member of a group named in the "OPERATORS" set
 * property of the server's file-server object. Otherwise NWE_NO_CONSOLE_RIGHTS (also when
 * nobody is logged in).
 */
NWCCODE NWCheckConsolePrivileges(NWCONN_HANDLE conn);

/*
 * NWIsManager: 0 when the object logged in on the connection is a manager: SUPERVISOR, an
 * object security-equivalent to SUPERVISOR, or an object or a member of a group named in
 * the "MANAGERS" set property of SUPERVISOR (a workgroup manager). Otherwise
 * NWE_NO_CONSOLE_RIGHTS.
 */
NWCCODE NWIsManager(NWCONN_HANDLE conn);


/* ---- Administration: objects, properties, sets, passwords, security, accounts ----------
 *
 * Security levels of an object or a property are a byte: read level in the low nibble, write
 * level in the high nibble, each 0 anyone, 1 logged in, 2 the object itself, 3 supervisor,
 * 4 the bindery only. A supervisor (or an object security-equivalent to SUPERVISOR) passes
 * every level below 4; "the object itself" is the object logged in on the connection. Only
 * a manager (NWIsManager) creates, renames and deletes objects; only a supervisor changes an
 * object's security. A property's security cannot be raised above the caller's own level.
 */

/* Completion codes of bindery administration. */
enum {
  NWE_NO_ACCOUNT_BALANCE        = 0x89C1, /* the object has no "ACCOUNT_BALANCE" */
  NWE_NOT_ITEM_PROPERTY         = 0x89E8, /* item write to a set, or set change of an item */
  NWE_MEMBER_ALREADY_EXISTS     = 0x89E9,
  NWE_NOT_SET_PROPERTY          = 0x89EB,
  NWE_PROPERTY_ALREADY_EXISTS   = 0x89ED,
  NWE_OBJECT_ALREADY_EXISTS     = 0x89EE,
  NWE_INVALID_BINDERY_SECURITY  = 0x89F1, /* a level above 4, or above the caller's own */
  NWE_NO_OBJECT_RENAME_PRIVILEGE = 0x89F3,
  NWE_NO_OBJECT_DELETE_PRIVILEGE = 0x89F4,
  NWE_NO_OBJECT_CREATE_PRIVILEGE = 0x89F5,
  NWE_NO_PROPERTY_DELETE_PRIVILEGE = 0x89F6,
  NWE_NO_PROPERTY_CREATE_PRIVILEGE = 0x89F7,
  NWE_NO_PROPERTY_WRITE_PRIVILEGE = 0x89F8,
  NWE_NO_PROPERTY_READ_PRIVILEGE = 0x89F9
};

/* Bindery security levels (one nibble each). */
enum {
  NW_BS_ANY = 0, NW_BS_LOGGED = 1, NW_BS_OBJECT = 2, NW_BS_SUPER = 3, NW_BS_BINDERY = 4
};

/*
 * NWCreateObject: a new object; objectFlags 0 static, 1 dynamic; security as above. The name
 * is stored in upper case. Codes: NWE_NO_OBJECT_CREATE_PRIVILEGE, NWE_OBJECT_ALREADY_EXISTS,
 * NWE_INVALID_NAME (also for wildcards), NWE_INVALID_BINDERY_SECURITY.
 */
NWCCODE NWCreateObject(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                       nuint8 objectFlags, nuint8 objectSecurity);
/* NWDeleteObject: removes the object, its properties and its entries in every set. */
NWCCODE NWDeleteObject(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType);
/* NWRenameObject: NWE_OBJECT_ALREADY_EXISTS when the new name is taken for the type. */
NWCCODE NWRenameObject(NWCONN_HANDLE conn, const char* oldName, const char* newName,
                       nuint16 objectType);
/*
 * NWChangeObjectPassword: sets the new password (at most 127 characters, case ignored) when
 * the old one is the object's. A manager may give any old password. NWE_BAD_PASSWORD.
 */
NWCCODE NWChangeObjectPassword(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                               const char* oldPassword, const char* newPassword);
NWCCODE NWChangeObjectSecurity(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                               nuint8 newSecurity);

/*
 * NWCreateProperty: flags NW_BF_ITEM or NW_BF_SET, plus NW_BF_DYNAMIC. Needs write access to
 * the object. Codes: NWE_PROPERTY_ALREADY_EXISTS, NWE_NO_PROPERTY_CREATE_PRIVILEGE.
 */
NWCCODE NWCreateProperty(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                         const char* propertyName, nuint8 propertyFlags, nuint8 propertySecurity);
NWCCODE NWDeleteProperty(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                         const char* propertyName);
NWCCODE NWChangePropertySecurity(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                                 const char* propertyName, nuint8 newSecurity);
/*
 * NWWritePropertyValue: writes segment `segment` (1 to 255) of an item property from a
 * 128-byte buffer; moreSegments 0 removes the segments after it. A segment may follow the
 * last one by one at most. Codes: NWE_NO_SUCH_PROPERTY, NWE_NOT_ITEM_PROPERTY,
 * NWE_NO_SUCH_SEGMENT, NWE_NO_PROPERTY_WRITE_PRIVILEGE.
 */
NWCCODE NWWritePropertyValue(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                             const char* propertyName, nuint8 segment,
                             const nuint8* segmentData128, nuint8 moreSegments);
/* NWAddObjectToSet / NWDeleteObjectFromSet: one member of a set property. Codes:
 * NWE_MEMBER_ALREADY_EXISTS, NWE_NO_SUCH_MEMBER, NWE_NOT_SET_PROPERTY. */
NWCCODE NWAddObjectToSet(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                         const char* propertyName, const char* memberName, nuint16 memberType);
NWCCODE NWDeleteObjectFromSet(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                              const char* propertyName, const char* memberName,
                              nuint16 memberType);
/*
 * NWScanProperty: the next property of the object whose name matches the pattern, in name
 * order, that the caller may read. iterationHandle: start with -1; the client advances it.
 * propertyName receives at most 15 characters and a zero (16 bytes); flags, security,
 * valuesAvailable (0xFF when a value exists) and more (0xFF when another property follows)
 * may be NULL. NWE_NO_SUCH_PROPERTY at the end of the scan.
 */
NWCCODE NWScanProperty(NWCONN_HANDLE conn, const char* objectName, nuint16 objectType,
                       const char* searchPropertyName, nint32* iterationHandle,
                       char* propertyName16, nuint8* propertyFlags, nuint8* propertySecurity,
                       nuint8* valuesAvailable, nuint8* moreFlag);
/*
 * NWGetAccountStatus: balance and credit limit of the object from its "ACCOUNT_BALANCE"
 * property (bytes 0-3 balance, 4-7 limit, each most significant byte first); holds180 (may
 * be NULL) receives 180 bytes of holds, all 0 here. NWE_NO_ACCOUNT_BALANCE.
 */
NWCCODE NWGetAccountStatus(NWCONN_HANDLE conn, nuint16 objectType, const char* objectName,
                           nint32* balance, nint32* limit, void* holds180);

#ifdef __cplusplus
}
#endif

#endif
