/* Interface complete. */
/*
 * Directory services (NETWIN32.DLL) and locale and Unicode tables (LOCWIN32.DLL).
 * Included by <nwclient/nwclient.h>; see there for the conventions.
 *
 * Conventions of the directory functions:
 * - Completion codes are 0 or one of the negative NWDSE_... codes below (32-bit signed).
 *   Connection-level failures (no primary connection, server down) use the NWE_... codes
 *   of <nwclient/nwclient.h>.
 * - Strings are zero-terminated bytes. Input names are read up to NWDS_MAX_DN_BYTES bytes;
 *   a longer name is refused with NWDSE_ILLEGAL_DS_NAME, never cut. Output names are never
 *   longer than NWDS_MAX_DN_CHARS characters, so a buffer of NWDS_MAX_DN_BYTES always
 *   holds them; functions documented with a smaller output bound write no more than that.
 * - Contexts and buffers belong to the calling process; each context and buffer made must
 *   be freed (NWDSFreeContext, NWDSFreeBuf). They are not shared between threads.
 * - Iteration handles: set *iterationHandle to -1 (NWDS_NO_MORE_ITERATIONS) before the
 *   first call; a call that could not deliver everything in one 4096-byte buffer leaves a
 *   different value there, and the caller repeats the call with it. -1 again means the
 *   last block was delivered. A handle is a position in a stable order, so abandoning an
 *   iteration leaks nothing.
 */
#ifndef NWCLIENT_DIRECTORY_H
#define NWCLIENT_DIRECTORY_H

#include <nwclient/nwclient.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Handles and limits ------------------------------------------------------------- */

/* A directory context: a positive number; 0 is never a context. */
typedef nint32 NWDSContextHandle;
/* A client buffer made by NWDSAllocBuf (opaque). */
typedef struct NWDSBuffer Buf_T;
/* A search-filter expression under construction (opaque), from NWDSAllocFilter. */
typedef struct NWDSFilterCursor Filter_Cursor_T;
/* Information record of a listed object (below). */
struct Object_Info_T;

enum {
  NWDS_MAX_DN_CHARS        = 255,  /* longest distinguished name, typed form included */
  NWDS_MAX_DN_BYTES        = 256,  /* buffer that always holds a name and its zero */
  NWDS_MAX_RDN_CHARS       = 128,  /* longest naming value of one component */
  NWDS_MAX_SCHEMA_NAME_CHARS = 32, /* longest attribute or class name */
  NWDS_MAX_SCHEMA_NAME_BYTES = 33, /* ... and its zero */
  NWDS_MAX_TREE_NAME_CHARS = 32,
  NWDS_MAX_TREE_NAME_BYTES = 33,
  NWDS_DEFAULT_BUFFER_SIZE = 4096, /* the size the library allocates */
  NWDS_MAX_BUFFER_SIZE     = 65536
};

/* Value of an iteration handle before the first call and after the last block. */
#define NWDS_NO_MORE_ITERATIONS (-1)

/* ---- Completion codes (NDS style, negative) ------------------------------------------
 * -3xx are found by the client itself (bad arguments, buffers, contexts); -6xx come from
 * the directory (the simulated server). */
enum {
  NWDSE_NOT_ENOUGH_MEMORY       = -301, /* buffer size outside 1..NWDS_MAX_BUFFER_SIZE */
  NWDSE_BAD_KEY                 = -302, /* NWDSGetContext/NWDSSetContext: unknown key */
  NWDSE_BAD_CONTEXT             = -303, /* the handle names no context of this process */
  NWDSE_BUFFER_FULL             = -304, /* a Put... does not fit the buffer */
  NWDSE_LIST_EMPTY              = -305, /* the filter cursor holds no expression */
  NWDSE_BAD_SYNTAX              = -306, /* syntax ID unknown or not the value's syntax */
  NWDSE_BUFFER_EMPTY            = -307, /* a Get... after the last item of the buffer */
  NWDSE_BAD_VERB                = -308, /* buffer prepared for another operation */
  NWDSE_EXPECTED_IDENTIFIER     = -309, /* a name component without a value */
  NWDSE_EXPECTED_EQUALS         = -310, /* a typed component without "=" */
  NWDSE_ATTR_TYPE_EXPECTED      = -311, /* Put/Get out of order (value before its name) */
  NWDSE_ATTR_TYPE_NOT_EXPECTED  = -312, /* a change or attribute name where a value is due */
  NWDSE_FILTER_TREE_EMPTY       = -313, /* NWDSPutFilter of an empty filter */
  NWDSE_INVALID_OBJECT_NAME     = -314, /* name unusable as given (empty, bad dots) */
  NWDSE_EXPECTED_RDN_DELIMITER  = -315,
  NWDSE_TOO_MANY_TOKENS         = -316, /* filter expression too long */
  NWDSE_INCONSISTENT_MULTIAVA   = -317,
  NWDSE_COUNTRY_NAME_TOO_LONG   = -318, /* "C=" value longer than two characters */
  NWDSE_SYSTEM_ERROR            = -319, /* the store failed */
  NWDSE_CANT_ADD_ROOT           = -320,
  NWDSE_UNABLE_TO_ATTACH        = -321,
  NWDSE_INVALID_HANDLE          = -322, /* buffer, cursor or iteration handle not valid */
  NWDSE_BUFFER_ZERO_LENGTH      = -323,
  NWDSE_INVALID_REPLICA_TYPE    = -324,
  NWDSE_INVALID_ATTR_SYNTAX     = -325,
  NWDSE_INVALID_FILTER_SYNTAX   = -326, /* tokens in an order that makes no expression */
  NWDSE_CONTEXT_CREATION        = -328,
  NWDSE_INVALID_UNION_TAG       = -329,
  NWDSE_INVALID_SERVER_RESPONSE = -330,
  NWDSE_NULL_POINTER            = -331, /* a required pointer argument is NULL */
  NWDSE_NO_SERVER_FOUND         = -332,
  NWDSE_NO_CONNECTION           = -333, /* the context's connection (key 8) is not open */
  NWDSE_RDN_TOO_LONG            = -334,
  NWDSE_DUPLICATE_TYPE          = -335,
  NWDSE_NOT_LOGGED_IN           = -337, /* NWDSWhoAmI, NWDSLogout without a login */
  NWDSE_INVALID_PASSWORD_CHARS  = -338,
  NWDSE_FAILED_SERVER_AUTHENT   = -339,
  NWDSE_TRANSPORT               = -340,
  NWDSE_NO_SUCH_SYNTAX          = -341,
  NWDSE_INVALID_DS_NAME         = -342, /* name longer than NWDS_MAX_DN_CHARS */
  NWDSE_ATTR_NAME_TOO_LONG      = -343, /* longer than NWDS_MAX_SCHEMA_NAME_CHARS */
  NWDSE_INVALID_TDS             = -344,
  NWDSE_INVALID_DS_VERSION      = -345,
  NWDSE_UNICODE_TRANSLATION     = -346,
  NWDSE_SCHEMA_NAME_TOO_LONG    = -347,
  NWDSE_UNICODE_FILE_NOT_FOUND  = -348, /* NWInitUnicodeTables: code page not supported */
  NWDSE_UNICODE_ALREADY_LOADED  = -349,
  NWDSE_NOT_CONTEXT_OWNER       = -350,
  NWDSE_ATTEMPT_TO_AUTHENTICATE_0 = -351,
  NWDSE_NO_WRITABLE_REPLICAS    = -352,
  NWDSE_DN_TOO_LONG             = -353, /* a result name would exceed NWDS_MAX_DN_CHARS */
  NWDSE_RENAME_NOT_ALLOWED      = -354,

  NWDSE_NO_SUCH_ENTRY           = -601, /* no object of that name (or ID) */
  NWDSE_NO_SUCH_VALUE           = -602, /* the attribute lacks the value given */
  NWDSE_NO_SUCH_ATTRIBUTE       = -603, /* the object lacks the attribute / schema lacks it */
  NWDSE_NO_SUCH_CLASS           = -604,
  NWDSE_NO_SUCH_PARTITION       = -605,
  NWDSE_ENTRY_ALREADY_EXISTS    = -606,
  NWDSE_NOT_EFFECTIVE_CLASS     = -607, /* add of an object of a non-effective class */
  NWDSE_ILLEGAL_ATTRIBUTE       = -608, /* attribute not allowed for the object's class */
  NWDSE_MISSING_MANDATORY       = -609, /* a mandatory attribute missing or removed */
  NWDSE_ILLEGAL_DS_NAME         = -610, /* name does not resolve to a place in the tree */
  NWDSE_ILLEGAL_CONTAINMENT     = -611, /* class may not be created in that container */
  NWDSE_CANT_HAVE_MULTIPLE_VALUES = -612, /* a second value of a single-valued attribute */
  NWDSE_SYNTAX_VIOLATION        = -613, /* value of the wrong syntax or malformed value */
  NWDSE_DUPLICATE_VALUE         = -614, /* add of a value the attribute already holds */
  NWDSE_ATTRIBUTE_ALREADY_EXISTS = -615, /* NWDSDefineAttr of a defined name */
  NWDSE_MAXIMUM_ENTRIES_EXIST   = -616,
  NWDSE_DATABASE_FORMAT         = -617,
  NWDSE_INCONSISTENT_DATABASE   = -618,
  NWDSE_INVALID_COMPARISON      = -619,
  NWDSE_COMPARISON_FAILED       = -620,
  NWDSE_CANT_REMOVE_NAMING_VALUE = -627,
  NWDSE_OBJECT_CLASS_VIOLATION  = -628, /* change of "Object Class" */
  NWDSE_ENTRY_IS_NOT_LEAF       = -629, /* remove of a container that holds objects */
  NWDSE_DIFFERENT_TREE          = -630,
  NWDSE_SYSTEM_FAILURE          = -632,
  NWDSE_INVALID_ENTRY_FOR_ROOT  = -633,
  NWDSE_INVALID_REQUEST         = -641, /* argument value outside what the call knows */
  NWDSE_INVALID_ITERATION       = -642, /* iteration handle that names no position */
  NWDSE_SCHEMA_IS_NONREMOVABLE  = -643,
  NWDSE_SCHEMA_IS_IN_USE        = -644, /* attribute definition still used by a class/object */
  NWDSE_CLASS_ALREADY_EXISTS    = -645,
  NWDSE_BAD_NAMING_ATTRIBUTES   = -646,
  NWDSE_INSUFFICIENT_BUFFER     = -649, /* one item alone does not fit the result buffer */
  NWDSE_INTRUDER_LOCKOUT        = -197, /* intruder detection has locked the object */
  NWDSE_ACCOUNT_DISABLED        = -220, /* "Login Disabled" set or "Login Expiration Time" past */
  NWDSE_FAILED_AUTHENTICATION   = -669, /* wrong password */
  NWDSE_NO_ACCESS               = -672, /* the caller lacks the rights */
  NWDSE_NO_SUCH_PARENT          = -697  /* the parent of a new or moved object is missing */
};

/* ---- Contexts ------------------------------------------------------------------------ */

/* Keys of NWDSGetContext / NWDSSetContext. */
enum {
  DCK_FLAGS        = 1,  /* nuint32 flag word (DCV_...) */
  DCK_NAME_CONTEXT = 3,  /* zero-terminated name; get writes at most NWDS_MAX_DN_BYTES */
  DCK_CONNECTION   = 8   /* NWCONN_HANDLE the context talks to; 0 = the primary connection */
};

/* Context flag bits (key 1). A new context carries DCV_DEFAULT_FLAGS. */
enum {
  DCV_DEREF_ALIASES       = 0x01,
  DCV_XLATE_STRINGS       = 0x02,
  DCV_TYPELESS_NAMES      = 0x04, /* names the client returns carry no "CN=", "OU=", ... */
  DCV_ASYNC_MODE          = 0x08,
  DCV_CANONICALIZE_NAMES  = 0x10, /* names the client returns are complete (not abbreviated) */
  DCV_DEREF_BASE_CLASS    = 0x40,
  DCV_DISALLOW_REFERRALS  = 0x80,
  DCV_DEFAULT_FLAGS       = 0x13
};

/* A new context: flags DCV_DEFAULT_FLAGS, name context "[Root]", connection 0.
 * Returns the handle, or 0 when none can be made (no code: the handle is the result). */
NWDSContextHandle NWDSCreateContext(void);
/* A new context with the flags, name context and connection of the given one; 0 when the
 * given handle names no context. */
NWDSContextHandle NWDSDuplicateContext(NWDSContextHandle context);
/* The same, reporting a code: *newContext is written only on success. */
NWCCODE NWDSDuplicateContextHandle(NWDSContextHandle context, NWDSContextHandle* newContext);
/* NWDSE_BAD_CONTEXT for an unknown handle; a freed handle is never reused by the process. */
NWCCODE NWDSFreeContext(NWDSContextHandle context);
/* key 1: value points to a nuint32.
 * key 3: value points to the new name context, a name of the tree that must resolve to an
 *        existing object (typed or typeless, "[Root]" allowed; "" means "[Root]"); stored
 *        in canonical typed form. NWDSE_NO_SUCH_ENTRY / NWDSE_ILLEGAL_DS_NAME otherwise.
 * key 8: value points to an NWCONN_HANDLE of this workstation (0 = the primary connection).
 * Other keys: NWDSE_BAD_KEY. Nothing changes on failure. */
NWCCODE NWDSSetContext(NWDSContextHandle context, nint32 key, const void* value);
/* key 1: nuint32; key 3: the name context, at most NWDS_MAX_DN_BYTES bytes, in the form the
 * context's flags ask for (typeless under DCV_TYPELESS_NAMES); key 8: NWCONN_HANDLE. */
NWCCODE NWDSGetContext(NWDSContextHandle context, nint32 key, void* value);

/* ---- Names ---------------------------------------------------------------------------
 * A distinguished name lists its components from the object up, separated by ".":
 * typed ("CN=JSMITH.OU=SALES.O=ACME") or typeless ("JSMITH.SALES.ACME"). Naming types:
 * "C" country, "O" organization, "OU" organizational unit, "L" locality, "S" state,
 * "CN" every leaf. A typeless component gets its type from the object it names.
 * "\\." escapes a dot inside a component. Names are compared without regard to case.
 *
 * Resolving a name given to a call, against the context's name context:
 *   - "[Root]" names the root of the tree;
 *   - a leading "." makes the name complete (relative to [Root]);
 *   - otherwise the name is relative: the name context is appended; each trailing "."
 *     first removes one component from the name context (goes up one level), and a name
 *     of dots alone is the name context gone up that many levels ("." its parent);
 *   - except that a relative name whose top component is typed "C=", or "O=" while the
 *     name context's lowest component is no "C=", is complete as written (a country or
 *     organization cannot lie below the name context);
 *   - with DCV_CANONICALIZE_NAMES off, the name is taken as complete as given.
 * Names the client returns are typeless under DCV_TYPELESS_NAMES, typed otherwise, and
 * complete; NWDSAbbreviateName makes them relative. */

/* The complete name (typed unless DCV_TYPELESS_NAMES) of the given name, resolved as above.
 * The object need not exist, but every typeless component must be resolvable to a type
 * (by an existing object, or "CN" for the leftmost). Output at most NWDS_MAX_DN_BYTES. */
NWCCODE NWDSCanonicalizeName(NWDSContextHandle context, const char* objectName,
                             char* canonName);
/* The name relative to the context's name context when the name lies below it (the name
 * context's components removed), else the complete name; typeless under
 * DCV_TYPELESS_NAMES. The name context itself abbreviates to its complete name. */
NWCCODE NWDSAbbreviateName(NWDSContextHandle context, const char* inName, char* abbrevName);
/* The same name with every "type=" removed; no resolution, no check that it exists. */
NWCCODE NWDSRemoveAllTypes(NWDSContextHandle context, const char* name, char* strippedName);
/* The complete name of the root of the partition holding the object (the nearest container
 * up the tree that is a partition root, "[Root]" itself for the root partition).
 * NWDSE_NO_SUCH_ENTRY when the object does not exist. */
NWCCODE NWDSGetPartitionRoot(NWDSContextHandle context, const char* objectName,
                             char* partitionRoot);
/* The bindery context of the server behind conn (its "Bindery Context" setting: the
 * container the server emulates its bindery in), complete name. NWE_INVALID_CONNECTION
 * for a connection not of this workstation; NWDSE_NO_SUCH_ENTRY for a bindery server. */
NWCCODE NWDSGetBinderyContext(NWDSContextHandle context, NWCONN_HANDLE conn,
                              char* binderyEmulationContext);
/* The complete name of the NCP Server object of the server behind conn. */
NWCCODE NWDSGetServerDN(NWDSContextHandle context, NWCONN_HANDLE conn, char* serverDN);
/* The complete name of the object the workstation is logged in to the directory as.
 * NWDSE_NOT_LOGGED_IN when nobody is. */
NWCCODE NWDSWhoAmI(NWDSContextHandle context, char* objectName);

/* ---- Object IDs -----------------------------------------------------------------------
 * Every object has an ID, unique in the tree, written the NetWare way (high byte first,
 * as the bindery functions do). conn must be a connection of the workstation to a
 * directory server of the tree (0 = the context's connection). */
NWCCODE NWDSMapNameToID(NWDSContextHandle context, NWCONN_HANDLE conn, const char* objectName,
                        nuint32* objectID);
/* The name (complete, in the form the flags ask for) of the object with that ID. */
NWCCODE NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, nuint32 objectID,
                        char* objectName);
/* The ID of the object and the connection (the context's, else the primary) that holds a
 * replica of its partition. */
NWCCODE NWDSAuditGetObjectID(NWDSContextHandle context, const char* objectName,
                             NWCONN_HANDLE* conn, nuint32* objectID);
/* The same lookup (login path): the connection to a server of the object's tree and its ID. */
NWCCODE NWDSResolveName(NWDSContextHandle context, const char* objectName,
                        NWCONN_HANDLE* conn, nuint32* objectID);

/* ---- Buffers --------------------------------------------------------------------------
 * A buffer is made by NWDSAllocBuf and prepared for one request kind by NWDSInitBuf with
 * its verb; the Put... functions then fill it and the call of that kind reads it. A call
 * refuses a request buffer of another verb with NWDSE_BAD_VERB. Result buffers need no
 * preparation: the call that fills them sets their kind, and the Get... functions walk
 * them from the start, each Get... advancing past what it read.
 *
 * Which buffer and verb each call takes:
 *   NWDSRead          request DSV_READ (attribute names; may be NULL with allAttrs=1)
 *   NWDSAddObject     request DSV_ADD_ENTRY (attribute names, each followed by its values)
 *   NWDSModifyObject  request DSV_MODIFY_ENTRY (NWDSPutChange, then its values)
 *   NWDSSearch        request DSV_SEARCH (attribute names), filter DSV_SEARCH_FILTER
 *   NWDSReadAttrDef   request DSV_READ_ATTR_DEF (attribute names; may be NULL)
 *   NWDSReadClassDef  request DSV_READ_CLASS_DEF (class names; may be NULL)
 *   NWDSDefineClass   request DSV_DEFINE_CLASS (NWDSBeginClassItem + NWDSPutClassItem)
 *   NWDSList          result only */
enum {
  DSV_READ            = 3,
  DSV_LIST            = 5,   /* kind of NWDSList results (no request buffer) */
  DSV_SEARCH          = 6,
  DSV_ADD_ENTRY       = 7,
  DSV_MODIFY_ENTRY    = 9,
  DSV_READ_ATTR_DEF   = 12,
  DSV_DEFINE_CLASS    = 14,
  DSV_READ_CLASS_DEF  = 15,
  DSV_SEARCH_FILTER   = 28
};

/* A buffer of size bytes (1..NWDS_MAX_BUFFER_SIZE; the library asks for 4096). *buf is
 * written only on success. Every item put into it takes room; a Put... that does not fit
 * returns NWDSE_BUFFER_FULL and leaves the buffer as it was. */
NWCCODE NWDSAllocBuf(nuint32 size, Buf_T** buf);
/* Empties the buffer and prepares it for the request kind (DSV_...). NWDSE_INVALID_REQUEST
 * for a verb not listed above. */
NWCCODE NWDSInitBuf(NWDSContextHandle context, nuint32 operation, Buf_T* buf);
/* NWDSE_INVALID_HANDLE for a pointer that names no live buffer; NULL is accepted. */
NWCCODE NWDSFreeBuf(Buf_T* buf);

/* Puts an attribute name (at most NWDS_MAX_SCHEMA_NAME_CHARS; read up to 64 bytes) into a
 * DSV_READ, DSV_ADD_ENTRY, DSV_SEARCH or DSV_READ_ATTR_DEF buffer. The name is not checked
 * against the schema here; the request is. */
NWCCODE NWDSPutAttrName(NWDSContextHandle context, Buf_T* buf, const char* attrName);
/* Puts a value, in the value form of syntaxID (below), after the attribute name of an
 * add-entry buffer or after the change of a modify-entry buffer. The value is copied:
 * the caller's memory may change afterwards. NWDSE_ATTR_TYPE_EXPECTED without a name or
 * change before it; NWDSE_BAD_SYNTAX for an unknown syntax; NWDSE_SYNTAX_VIOLATION for a
 * malformed value (a string longer than the syntax allows, a NULL pointer in a record). */
NWCCODE NWDSPutAttrVal(NWDSContextHandle context, Buf_T* buf, nuint32 syntaxID,
                       const void* attrVal);
/* Puts one change into a DSV_MODIFY_ENTRY buffer (NWDSE_BAD_VERB for any other kind);
 * the values that follow (NWDSPutAttrVal) belong to it. */
NWCCODE NWDSPutChange(NWDSContextHandle context, Buf_T* buf, nuint32 changeType,
                      const char* attrName);

/* Change types of NWDSPutChange. */
enum {
  DS_ADD_ATTRIBUTE    = 0, /* add the attribute with the values that follow */
  DS_REMOVE_ATTRIBUTE = 1, /* remove the attribute and all its values; values sent with it
                              are ignored */
  DS_ADD_VALUE        = 2, /* add each value that follows; NWDSE_DUPLICATE_VALUE when held,
                              except in the attributes kept in step by the directory ("Member",
                              "Group Membership", "Security Equals", "Equivalent To Me"),
                              where the second half of a two-step update finds its work done */
  DS_REMOVE_VALUE     = 3, /* remove each value that follows; NWDSE_NO_SUCH_VALUE when not held
                              (same exception) */
  DS_ADDITIONAL_VALUE = 4, /* add each value that follows; a held value is no error */
  DS_OVERWRITE_VALUE  = 5, /* single-valued attribute: replace its value.
                              Multi-valued attribute of a syntax with a key: add the value,
                              replacing the held value with the same key (OBJECT_ACL: the
                              same protected attribute and subject; TYPED_NAME, HOLD,
                              BACK_LINK, DIST_NAME: the same object); other values are kept.
                              Multi-valued attribute of any other syntax: the values given
                              replace all held values. */
  DS_CLEAR_ATTRIBUTE  = 6, /* remove the attribute; no error when absent */
  DS_CLEAR_VALUE      = 7  /* remove each value that follows; no error when absent */
};

/* Result buffers of NWDSRead and NWDSSearch: objects (search only: NWDSGetObjectCount and
 * NWDSGetObjectName first), each with its attributes. For each attribute NWDSGetAttrName,
 * then for each of its values NWDSComputeAttrValSize (optional) and NWDSGetAttrVal.
 * Results of NWDSRead: no object part; start with NWDSGetAttrCount. */

/* Number of objects in a NWDSList or NWDSSearch result buffer. */
NWCCODE NWDSGetObjectCount(NWDSContextHandle context, Buf_T* buf, nuint32* objectCount);
/* Next object of a NWDSList or NWDSSearch result: its name (NWDSList: the name relative to
 * the listed container, i.e. its leftmost component; NWDSSearch: the complete name), at
 * most NWDS_MAX_DN_BYTES bytes; the number of attributes that follow it; and its
 * information record (may be NULL). */
NWCCODE NWDSGetObjectName(NWDSContextHandle context, Buf_T* buf, char* objectName,
                          nuint32* attrCount, struct Object_Info_T* objectInfo);
/* Number of attributes in a NWDSRead result, or of the current object of a search result,
 * or of attribute definitions in a NWDSReadAttrDef result. */
NWCCODE NWDSGetAttrCount(NWDSContextHandle context, Buf_T* buf, nuint32* attrCount);
/* Next attribute: its name (at most NWDS_MAX_SCHEMA_NAME_BYTES bytes), how many values of
 * it follow in this buffer (0 in a names-only result) and its syntax ID. */
NWCCODE NWDSGetAttrName(NWDSContextHandle context, Buf_T* buf, char* attrName,
                        nuint32* attrValCount, nuint32* syntaxID);
/* Bytes the next value needs in NWDSGetAttrVal's attrVal: for text forms the length plus
 * the zero, for records the record plus the data it points to. Does not advance. */
NWCCODE NWDSComputeAttrValSize(NWDSContextHandle context, Buf_T* buf, nuint32 syntaxID,
                               nuint32* attrValSize);
/* Next value, in the value form of syntaxID. attrVal must hold NWDSComputeAttrValSize
 * bytes: a record is written at its start and the strings and bytes it points to follow
 * inside the same block. NWDSE_BAD_SYNTAX when syntaxID is not the attribute's syntax (see
 * "compatible syntaxes"); the value is then not consumed. */
NWCCODE NWDSGetAttrVal(NWDSContextHandle context, Buf_T* buf, nuint32 syntaxID, void* attrVal);

/* ---- Syntaxes and value forms ---------------------------------------------------------
 * Syntax IDs as the directory numbers them. What a value pointer points to for each:
 *   text (zero-terminated): DIST_NAME, CE_STRING, CI_STRING, PR_STRING, NU_STRING,
 *        TEL_NUMBER, CLASS_NAME (DIST_NAME values are names resolved as above; the
 *        client returns them complete, in the form the flags ask for)
 *   nint32: INTEGER, COUNTER, INTERVAL      nuint8 (1 true, 0 false): BOOLEAN
 *   nuint32 seconds since 1 Jan 1970 UTC: TIME
 *   Octet_String_T: OCTET_STRING, STREAM (a stream value read in a buffer gives its
 *        contents; write streams through NWDSOpenStream)
 *   CI_List_T: CI_LIST    Octet_List_T: OCTET_LIST    Fax_Number_T: FAX_NUMBER
 *   Net_Address_T: NET_ADDRESS    EMail_Address_T: EMAIL_ADDRESS    Path_T: PATH
 *   Replica_Pointer_T: REPLICA_POINTER    Object_ACL_T: OBJECT_ACL
 *   Postal_Address_T: PO_ADDRESS    NWDS_TimeStamp_T: TIMESTAMP    Back_Link_T: BACK_LINK
 *   Typed_Name_T: TYPED_NAME    Hold_T: HOLD
 * Compatible syntaxes: a value may be put or got with another syntax of the same form
 * among CE/CI/PR/NU_STRING and CLASS_NAME (text), and among INTEGER/COUNTER/INTERVAL; any
 * other mismatch with the attribute's syntax is NWDSE_SYNTAX_VIOLATION on write and
 * NWDSE_BAD_SYNTAX on read. */
enum {
  NWDS_SYN_UNKNOWN         = 0,
  NWDS_SYN_DIST_NAME       = 1,
  NWDS_SYN_CE_STRING       = 2,
  NWDS_SYN_CI_STRING       = 3,
  NWDS_SYN_PR_STRING       = 4,
  NWDS_SYN_NU_STRING       = 5,
  NWDS_SYN_CI_LIST         = 6,
  NWDS_SYN_BOOLEAN         = 7,
  NWDS_SYN_INTEGER         = 8,
  NWDS_SYN_OCTET_STRING    = 9,
  NWDS_SYN_TEL_NUMBER      = 10,
  NWDS_SYN_FAX_NUMBER      = 11,
  NWDS_SYN_NET_ADDRESS     = 12,
  NWDS_SYN_OCTET_LIST      = 13,
  NWDS_SYN_EMAIL_ADDRESS   = 14,
  NWDS_SYN_PATH            = 15,
  NWDS_SYN_REPLICA_POINTER = 16,
  NWDS_SYN_OBJECT_ACL      = 17,
  NWDS_SYN_PO_ADDRESS      = 18,
  NWDS_SYN_TIMESTAMP       = 19,
  NWDS_SYN_CLASS_NAME      = 20,
  NWDS_SYN_STREAM          = 21,
  NWDS_SYN_COUNTER         = 22,
  NWDS_SYN_BACK_LINK       = 23,
  NWDS_SYN_TIME            = 24,
  NWDS_SYN_TYPED_NAME      = 25,
  NWDS_SYN_HOLD            = 26,
  NWDS_SYN_INTERVAL        = 27,
  NWDS_SYNTAX_COUNT        = 28
};

/* Value records point to their data; they are laid out in the platform's natural
 * alignment. Strings are zero-terminated. */
typedef struct {
  nuint32 length;
  nuint8* data;
} Octet_String_T;

typedef struct CI_List_T {
  struct CI_List_T* next;
  char* s;
} CI_List_T;

typedef struct Octet_List_T {
  struct Octet_List_T* next;
  nuint32 length;
  nuint8* data;
} Octet_List_T;

typedef struct {
  nuint32 numOfBits;
  nuint8* data;
} Bit_String_T;

typedef struct {
  char* telephoneNumber;
  Bit_String_T parameters;
} Fax_Number_T;

/* Address types of Net_Address_T. */
enum { NT_IPX = 0, NT_IP = 1, NT_SDLC = 2, NT_TOKENRING_ETHERNET = 3, NT_OSI = 4,
       NT_APPLETALK = 5, NT_COUNT = 6 };

typedef struct {
  nuint32 addressType;   /* NT_... */
  nuint32 addressLength; /* bytes at address; IPX: 12 (network 4, node 6, socket 2) */
  nuint8* address;
} Net_Address_T;

/* E-mail address value: type (0 = SMTP/Internet, others as the mail system numbers them)
 * and the address text. */
typedef struct {
  nuint32 type;
  char* address;
} EMail_Address_T;

/* Path value: name space (0 = DOS), the volume object's name (a directory name), the path
 * on the volume. */
typedef struct {
  nuint32 nameSpaceType;
  char* volumeName;
  char* path;
} Path_T;

typedef struct {
  char* serverName;
  nint32 replicaType;    /* 0 master, 1 secondary, 2 read-only */
  nint32 replicaNumber;
  nuint32 count;         /* addresses in replicaAddressHint */
  Net_Address_T replicaAddressHint[1];
} Replica_Pointer_T;

/* Object ACL value (one trustee entry of "ACL" / "Inherited ACL"). */
typedef struct {
  char* protectedAttrName; /* "[Entry Rights]", "[All Attributes Rights]", "[SMS Rights]"
                              or an attribute name */
  char* subjectName;       /* object name, "[Public]" or "[Root]" */
  nuint32 privileges;      /* DS_ENTRY_..., DS_ATTR_... or DS_SMS_... bits */
} Object_ACL_T;

/* Postal address: up to six lines, each at most 30 characters; unused lines NULL. */
typedef char* Postal_Address_T[6];

typedef struct {
  nuint32 wholeSeconds;
  nuint16 replicaNum;
  nuint16 eventID;
} NWDS_TimeStamp_T;

typedef struct {
  nuint32 remoteID;
  char* objectName;
} Back_Link_T;

/* Typed name value ("Queue", "Printer", "Notify", ...). */
typedef struct {
  char* objectName;
  nuint32 level;
  nuint32 interval;
} Typed_Name_T;

typedef struct {
  char* objectName;
  nuint32 amount;
} Hold_T;

/* Information record of a listed or found object: 80 bytes, no padding. */
#pragma pack(push, 1)
typedef struct Object_Info_T {
  nuint32 objectFlags;       /* DS_ALIAS_ENTRY | DS_PARTITION_ROOT | DS_CONTAINER_ENTRY */
  nuint32 subordinateCount;  /* objects directly below it */
  nuint32 modificationTime;  /* seconds since 1 Jan 1970 UTC */
  char    baseClass[68];     /* class name, zero-terminated (at most 32 characters) */
} Object_Info_T;
#pragma pack(pop)

enum { DS_ALIAS_ENTRY = 0x01, DS_PARTITION_ROOT = 0x02, DS_CONTAINER_ENTRY = 0x04 };

/* ---- Reading, writing, adding, removing objects --------------------------------------- */

/* infoType of NWDSRead and NWDSSearch. */
enum { DS_ATTRIBUTE_NAMES = 0, DS_ATTRIBUTE_VALUES = 1 };

/* Reads the object's attributes: the ones named in attrNames (DSV_READ), or all when
 * allAttrs is 1 (attrNames then ignored). Only attributes the caller may read (Browse
 * right to the entry and Read to the attribute) are returned. An object that holds none of
 * the named attributes: NWDSE_NO_SUCH_ATTRIBUTE. Results larger than one buffer come in
 * blocks (see iteration handles); one attribute may continue in the next block. */
NWCCODE NWDSRead(NWDSContextHandle context, const char* objectName, nuint32 infoType,
                 nuint8 allAttrs, Buf_T* attrNames, nint32* iterationHandle,
                 Buf_T* objectInfo);
/* Applies every change of the DSV_MODIFY_ENTRY buffer, in order, as one transaction: all
 * or nothing. Checked against the schema (unknown attribute NWDSE_NO_SUCH_ATTRIBUTE,
 * not allowed for the class NWDSE_ILLEGAL_ATTRIBUTE, wrong syntax NWDSE_SYNTAX_VIOLATION,
 * second value of a single-valued attribute NWDSE_CANT_HAVE_MULTIPLE_VALUES, mandatory
 * attribute removed NWDSE_MISSING_MANDATORY) and rights (Write; Add Self for one's own
 * name as a value: NWDSE_NO_ACCESS). Changes of "Group Membership" are mirrored into the
 * group's "Member" and back; "Security Equals" into "Equivalent To Me".
 * iterationHandle may be NULL; more must be 0. */
NWCCODE NWDSModifyObject(NWDSContextHandle context, const char* objectName,
                         nint32* iterationHandle, nuint8 more, Buf_T* changes);
/* Adds the object with the attributes of the DSV_ADD_ENTRY buffer, which must hold
 * "Object Class" (a class that may be created in the parent) and the class's mandatory
 * attributes; the naming attribute's value is taken from the name when absent.
 * Needs the Add right to the parent. */
NWCCODE NWDSAddObject(NWDSContextHandle context, const char* objectName,
                      nint32* iterationHandle, nuint8 more, Buf_T* objectInfo);
/* Removes a leaf object (NWDSE_ENTRY_IS_NOT_LEAF for a container holding objects), its
 * values, its streams and every reference to it in "Member", "Group Membership",
 * "Security Equals", "Equivalent To Me" and trustee entries. Needs the Delete right. */
NWCCODE NWDSRemoveObject(NWDSContextHandle context, const char* objectName);
/* Moves the object under destParentDN, naming it destRDN there (one component, typed or
 * typeless). */
NWCCODE NWDSMoveObject(NWDSContextHandle context, const char* objectName,
                       const char* destParentDN, const char* destRDN);
/* The objects directly below the object, in name order, in blocks: NWDSGetObjectCount,
 * then NWDSGetObjectName for each (no attributes follow). */
NWCCODE NWDSList(NWDSContextHandle context, const char* objectName,
                 nint32* iterationHandle, Buf_T* subordinates);

/* Sets the object's password (its first one, or a new one by an administrator): stored
 * case-insensitively. optionsFlag is reserved (0). */
NWCCODE NWDSGenerateObjectKeyPair(NWDSContextHandle context, const char* objectName,
                                  const char* objectPassword, nuint32 optionsFlag);

/* ---- Search ----------------------------------------------------------------------------
 * Filter tokens of NWDSAddFilterToken: an expression in infix order, ended by FTOK_END.
 * A relation is FTOK_ANAME (value: attribute name), the operator, FTOK_AVAL (value: a value
 * in the attribute's form; for text syntaxes "*" matches any value and "*" inside a text
 * is a wildcard; a text value also matches a number by its decimal text); FTOK_PRESENT takes
 * only FTOK_ANAME after it. A search continued block by block reuses the result worked out
 * for its first block while the store is unchanged. */
enum {
  FTOK_END = 0, FTOK_OR = 1, FTOK_AND = 2, FTOK_NOT = 3, FTOK_LPAREN = 4, FTOK_RPAREN = 5,
  FTOK_AVAL = 6, FTOK_EQ = 7, FTOK_GE = 8, FTOK_LE = 9, FTOK_APPROX = 10,
  FTOK_ANAME = 14, FTOK_PRESENT = 15, FTOK_RDN = 16, FTOK_BASECLS = 17
};
/* Scope of NWDSSearch. */
enum { DS_SEARCH_ENTRY = 0, DS_SEARCH_SUBORDINATES = 1, DS_SEARCH_SUBTREE = 2 };

/* A new, empty filter cursor. Free it with NWDSFreeFilter unless NWDSPutFilter took it. */
NWCCODE NWDSAllocFilter(Filter_Cursor_T** cur);
/* Appends a token; val is copied (text for FTOK_ANAME, a value of syntax for FTOK_AVAL,
 * ignored otherwise). NWDSE_TOO_MANY_TOKENS past 64 tokens. */
NWCCODE NWDSAddFilterToken(Filter_Cursor_T* cur, nuint16 tok, const void* val, nuint32 syntax);
/* Frees the cursor; freeVal, when not NULL, is called for every value the caller put
 * (with the caller's original pointer). */
NWCCODE NWDSFreeFilter(Filter_Cursor_T* cur, void (*freeVal)(nuint32 syntax, void* val));
/* Puts the finished expression into a DSV_SEARCH_FILTER buffer and frees the cursor, on
 * success and on failure alike (NWDSE_INVALID_FILTER_SYNTAX for an incomplete expression).
 * freeVal as for NWDSFreeFilter. */
NWCCODE NWDSPutFilter(NWDSContextHandle context, Buf_T* buf, Filter_Cursor_T* cur,
                      void (*freeVal)(nuint32 syntax, void* val));
/* Searches from baseObjectName ("" = the name context) within scope for objects that match
 * the filter (a DSV_SEARCH_FILTER buffer); the result holds, per object, its complete name
 * and the attributes asked for (DSV_SEARCH buffer, or all with allAttrs 1). Blocks by
 * iteration handle. countObjectsToSearch 0 = no limit; *countObjectsSearched (may be NULL)
 * gets the number of objects examined by this call. searchAliases is reserved. */
NWCCODE NWDSSearch(NWDSContextHandle context, const char* baseObjectName, nint32 scope,
                   nuint8 searchAliases, Buf_T* filter, nuint32 infoType, nuint8 allAttrs,
                   Buf_T* attrNames, nint32* iterationHandle, nint32 countObjectsToSearch,
                   nint32* countObjectsSearched, Buf_T* objectInfo);

/* ---- Schema -------------------------------------------------------------------------- */

/* Attribute flags (Attr_Info_T.attrFlags). */
enum {
  DS_SINGLE_VALUED_ATTR = 0x01,
  DS_SIZED_ATTR         = 0x02, /* attrLower..attrUpper bound the value (length or number) */
  DS_NONREMOVABLE_ATTR  = 0x04,
  DS_READ_ONLY_ATTR     = 0x08, /* only the directory itself writes it */
  DS_HIDDEN_ATTR        = 0x10,
  DS_STRING_ATTR        = 0x20, /* usable as a naming attribute */
  DS_SYNC_IMMEDIATE     = 0x40
};

/* Class flags (Class_Info_T.classFlags). */
enum {
  DS_CONTAINER_CLASS       = 0x01,
  DS_EFFECTIVE_CLASS       = 0x02, /* objects of it may be created */
  DS_NONREMOVABLE_CLASS    = 0x04,
  DS_AMBIGUOUS_NAMING      = 0x08,
  DS_AMBIGUOUS_CONTAINMENT = 0x10
};

typedef struct {
  nuint32 length;
  nuint8  data[32];
} Asn1_ID_T;

typedef struct {
  nuint32   attrFlags;
  nuint32   attrSyntaxID;
  nint32    attrLower;
  nint32    attrUpper;
  Asn1_ID_T asn1ID;
} Attr_Info_T;

typedef struct {
  nuint32   classFlags;
  Asn1_ID_T asn1ID;
} Class_Info_T;

/* infoType of NWDSReadAttrDef and NWDSReadClassDef. */
enum { DS_ATTR_DEF_NAMES = 0, DS_ATTR_DEFS = 1 };
enum { DS_CLASS_DEF_NAMES = 0, DS_CLASS_DEFS = 1 };

/* Defines an attribute (name at most NWDS_MAX_SCHEMA_NAME_CHARS, a syntax 1..27).
 * NWDSE_ATTRIBUTE_ALREADY_EXISTS when defined. Needs Supervisor right to [Root]. */
NWCCODE NWDSDefineAttr(NWDSContextHandle context, const char* attrName,
                       const Attr_Info_T* attrDef);
/* Removes an attribute definition: NWDSE_SCHEMA_IS_NONREMOVABLE for the base schema,
 * NWDSE_SCHEMA_IS_IN_USE while a class names it or an object holds it. */
NWCCODE NWDSRemoveAttrDef(NWDSContextHandle context, const char* attrName);
/* The attribute definitions named in attrNames (DSV_READ_ATTR_DEF), or all with allAttrs 1
 * (attrNames may then be NULL), in blocks: NWDSGetAttrCount, then NWDSGetAttrDef each. */
NWCCODE NWDSReadAttrDef(NWDSContextHandle context, nuint32 infoType, nuint8 allAttrs,
                        Buf_T* attrNames, nint32* iterationHandle, Buf_T* attrDefs);
/* Next definition: name (at most NWDS_MAX_SCHEMA_NAME_BYTES) and, when attrInfo is not
 * NULL, its record (filled in names-only results as well). */
NWCCODE NWDSGetAttrDef(NWDSContextHandle context, Buf_T* buf, char* attrName,
                       Attr_Info_T* attrInfo);

/* Class items of a class definition, in this order, each a list of names. */
enum {
  DS_CLASS_ITEM_SUPER_CLASSES  = 0,
  DS_CLASS_ITEM_CONTAINMENT    = 1,
  DS_CLASS_ITEM_NAMING         = 2,
  DS_CLASS_ITEM_MANDATORY      = 3,
  DS_CLASS_ITEM_OPTIONAL       = 4,
  DS_CLASS_ITEM_COUNT          = 5
};
/* DSV_DEFINE_CLASS buffers: up to five lists in the order above, each started with
 * NWDSBeginClassItem and filled with NWDSPutClassItem. An empty buffer defines a class
 * with super class "Top" and nothing else. */
NWCCODE NWDSBeginClassItem(NWDSContextHandle context, Buf_T* buf);
NWCCODE NWDSPutClassItem(NWDSContextHandle context, Buf_T* buf, const char* itemName);
/* Defines a class. NWDSE_CLASS_ALREADY_EXISTS when defined; every named class and
 * attribute must exist. classItems may be NULL. */
NWCCODE NWDSDefineClass(NWDSContextHandle context, const char* className,
                        const Class_Info_T* classInfo, Buf_T* classItems);
/* The class definitions named in classNames (DSV_READ_CLASS_DEF), or all with allClasses
 * 1, in blocks: NWDSGetClassDefCount, then per class NWDSGetClassDef and (DS_CLASS_DEFS)
 * for each of the five lists NWDSGetClassItemCount and NWDSGetClassItem per name. */
NWCCODE NWDSReadClassDef(NWDSContextHandle context, nuint32 infoType, nuint8 allClasses,
                         Buf_T* classNames, nint32* iterationHandle, Buf_T* classDefs);
NWCCODE NWDSGetClassDefCount(NWDSContextHandle context, Buf_T* buf, nuint32* classDefCount);
/* Next class: name (at most NWDS_MAX_SCHEMA_NAME_BYTES); classInfo may be NULL. */
NWCCODE NWDSGetClassDef(NWDSContextHandle context, Buf_T* buf, char* className,
                        Class_Info_T* classInfo);
NWCCODE NWDSGetClassItemCount(NWDSContextHandle context, Buf_T* buf, nuint32* itemCount);
NWCCODE NWDSGetClassItem(NWDSContextHandle context, Buf_T* buf, char* itemName);

/* ---- Rights ----------------------------------------------------------------------------
 * Trustee entries are the values of the object's "ACL" (Object_ACL_T). Effective rights of
 * a subject to an object: the union of the privileges of entries naming the subject, an
 * object the subject is security equivalent to ("Security Equals", the groups of its
 * "Group Membership", every container above the subject), "[Public]", and "[Root]"
 * (anyone logged in), found on the object itself or on a container above it. An entry on
 * a container passes down unless the object's (or an intermediate container's)
 * "Inherited ACL" filter entry with subject "[Inheritance Mask]" for the same protected
 * attribute removes the rights. Supervisor entry rights give every entry and attribute
 * right. Attribute rights to "[All Attributes Rights]" count for every attribute; an entry
 * for a single attribute only for it (and is not inherited). */
enum {
  DS_ENTRY_BROWSE     = 0x01,
  DS_ENTRY_ADD        = 0x02,
  DS_ENTRY_DELETE     = 0x04,
  DS_ENTRY_RENAME     = 0x08,
  DS_ENTRY_SUPERVISOR = 0x10,
  DS_ENTRY_MASK       = 0x1F
};
enum {
  DS_ATTR_COMPARE     = 0x01,
  DS_ATTR_READ        = 0x02,
  DS_ATTR_WRITE       = 0x04,
  DS_ATTR_SELF        = 0x08,
  DS_ATTR_SUPERVISOR  = 0x20,
  DS_ATTR_MASK        = 0x2F
};
enum {
  DS_SMS_SCAN    = 0x01,
  DS_SMS_BACKUP  = 0x02,
  DS_SMS_RESTORE = 0x04,
  DS_SMS_RENAME  = 0x08,
  DS_SMS_DELETE  = 0x10,
  DS_SMS_ADMIN   = 0x20,
  DS_SMS_MASK    = 0x3F
};

/* The effective rights of subjectName to objectName for attrName: "[Entry Rights]",
 * "[All Attributes Rights]", "[SMS Rights]" or an attribute name. subjectName may be
 * "[Public]". No rights is success with *privileges 0. */
NWCCODE NWDSGetEffectiveRights(NWDSContextHandle context, const char* subjectName,
                               const char* objectName, const char* attrName,
                               nuint32* privileges);
/* Adds equalTo to equalFrom's "Security Equals" (and equalFrom to equalTo's "Equivalent
 * To Me"). NWDSE_DUPLICATE_VALUE when already there. */
NWCCODE NWDSAddSecurityEquiv(NWDSContextHandle context, const char* equalFrom,
                             const char* equalTo);
/* Removes it; NWDSE_NO_SUCH_VALUE when not there. */
NWCCODE NWDSRemSecurityEquiv(NWDSContextHandle context, const char* equalFrom,
                             const char* equalTo);

/* ---- Streams ---------------------------------------------------------------------------
 * Opens the value of a stream attribute ("Login Script", ...) as a file: *fileHandle gets a
 * POSIX file descriptor owned by the caller (close it with the platform layer's close).
 * Reads and writes go straight to the stored value; truncating the file truncates it.
 * flags: 1 read, 2 write, 3 read and write. Opening for writing creates an empty value when
 * the object has none (the attribute must be allowed for its class) and needs Write rights;
 * reading a missing value is NWDSE_NO_SUCH_ATTRIBUTE. */
enum { DS_READ_STREAM = 1, DS_WRITE_STREAM = 2, DS_READ_WRITE_STREAM = 3 };
NWCCODE NWDSOpenStream(NWDSContextHandle context, const char* objectName, const char* attrName,
                       nuint32 flags, nint32* fileHandle);

/* ---- Login, authentication, trees, servers (NETWIN32) ---------------------------------
 * NETWIN32 also exports "NWCCCloseConn" (declared with the server functions). */

/* Logs the workstation in to the directory as objectName (password compared without regard
 * to case): NWDSE_NO_SUCH_ENTRY, NWDSE_FAILED_AUTHENTICATION, NWDSE_ACCOUNT_DISABLED ("Login
 * Disabled" set, or "Login Expiration Time" past), NWDSE_INTRUDER_LOCKOUT. Where the nearest
 * container that says so has "Detect Intruder" on, every wrong password counts; "Login
 * Intruder Limit" of them (default 7) within "Intruder Attempt Reset Interval" seconds
 * (default 1800) lock the object for "Intruder Lockout Reset Interval" seconds (default
 * 900) unless "Lockout After Detection" is off. optionsFlag and validityPeriod are reserved
 * (0). */
NWCCODE NWDSLogin(NWDSContextHandle context, nuint32 optionsFlag, const char* objectName,
                  const char* password, nuint32 validityPeriod);
/* Logs the workstation out of the directory. NWDSE_NOT_LOGGED_IN when nobody is in. */
NWCCODE NWDSLogout(NWDSContextHandle context);
/* 0 when the password is the object's (without regard to case), else
 * NWDSE_FAILED_AUTHENTICATION. */
NWCCODE NWDSVerifyObjectPassword(NWDSContextHandle context, nuint32 optionsFlag,
                                 const char* objectName, const char* password);
NWCCODE NWDSChangeObjectPassword(NWDSContextHandle context, nuint32 optionsFlag,
                                 const char* objectName, const char* oldPassword,
                                 const char* newPassword);
/* Authenticates the connection as the object the workstation is logged in to the directory
 * as. NWDSE_NOT_LOGGED_IN when nobody is. */
NWCCODE NWDSAuthenticateConn(NWDSContextHandle context, NWCONN_HANDLE conn);
/* The older form of NWDSAuthenticateConn; optionsFlag and sessionKey are reserved. */
NWCCODE NWDSAuthenticate(NWCONN_HANDLE conn, nuint32 optionsFlag, void* sessionKey);
/* 1 when the workstation is logged in to the directory (connections can be authenticated),
 * 0 when not; a negative code on error. */
nint32  NWDSCanDSAuthenticate(NWDSContextHandle context);
/* Opens (or returns the open) connection to the directory server of that name. */
NWCCODE NWDSOpenConnToNDSServer(NWDSContextHandle context, const char* serverName,
                                NWCONN_HANDLE* conn);
/* Marks a connection to a directory server as kept by the directory client (lock), or
 * releases it (unlock): the connection is then closed unless it is the primary connection
 * or a login of its own holds it, and stops being the monitored one. Set-monitored makes a
 * directory server's connection the one the workstation watches. Lock and set-monitored
 * answer NWDSE_NO_SERVER_FOUND for a bindery server. */
NWCCODE NWDSLockConnection(NWCONN_HANDLE conn);
NWCCODE NWDSUnlockConnection(NWCONN_HANDLE conn);
NWCCODE NWDSSetMonitoredConnection(NWCONN_HANDLE conn);
/* Makes the connection a licensed one (NETWIN32). */
NWCCODE NWCCLicenseConn(NWCONN_HANDLE conn);
/* Non-zero when the server behind conn is a directory server; then writes its tree name,
 * padded with "_" to 32 characters (33 bytes with the zero). 0 otherwise (treeName
 * empty). treeName may be NULL. */
nuint16 NWIsDSServer(NWCONN_HANDLE conn, char* treeName);
/* The workstation's connection to its preferred directory server. */
NWCCODE NWGetPreferredDSServer(NWCONN_HANDLE* conn);
/* Sets the preferred tree (length characters of treeName, at most 32). */
NWCCODE NWSetPreferredDSTree(nuint16 length, const char* treeName);
/* Directory version of the server behind conn; every out-pointer may be NULL. sapName and
 * treeName get at most 49 and 33 bytes. */
NWCCODE NWDSGetDSVerInfo(NWCONN_HANDLE conn, nuint32* dsVersion, nuint32* rootMostEntryDepth,
                         char* sapName, nuint32* flags, char* treeName);
/* Next tree name (at most NWDS_MAX_TREE_NAME_BYTES) matching scanFilter ("*" wildcards);
 * start with *scanIndex -1; NWE_NO_MORE_ENTRIES after the last. */
NWCCODE NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn,
                                  const char* scanFilter, nint32* scanIndex, char* treeName);
/* A block of tree names matching scanFilter, in name order, after lastBlocksString ("" =
 * from the start) and not after endBoundString (NULL or "" = no bound): at most
 * maxTreeNames names written into arrayOfNames[i] (each NWDS_MAX_TREE_NAME_BYTES bytes);
 * *numberOfTrees names written, *totalUniqueTrees matching in all. reserved is ignored. */
NWCCODE NWDSReturnBlockOfAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE conn,
                                        const char* scanFilter, const char* lastBlocksString,
                                        const char* endBoundString, nuint32 reserved,
                                        char** arrayOfNames, nuint32 maxTreeNames,
                                        nuint32* numberOfTrees, nuint32* totalUniqueTrees);

/* ---- LOCWIN32.DLL: locale and Unicode tables ------------------------------------------ */

/* The client's locale record: 132 bytes, no padding. */
#pragma pack(push, 1)
typedef struct {
  char    decimalPoint[4];       /*   0 */
  char    thousandsSeparator[4]; /*   4 */
  char    grouping[4];           /*   8 */
  char    intCurrencySymbol[8];  /*  12 */
  char    currencySymbol[4];     /*  20 */
  char    monDecimalPoint[4];    /*  24 */
  char    monThousandsSep[4];    /*  28 */
  char    monGrouping[8];        /*  32 */
  char    positiveSign[4];       /*  40 */
  char    negativeSign[4];       /*  44 */
  nuint8  intFracDigits;         /*  48 */
  nuint8  fracDigits;
  nuint8  pCsPrecedes;
  nuint8  pSepBySpace;
  nuint8  nCsPrecedes;
  nuint8  nSepBySpace;
  nuint8  pSignPosn;
  nuint8  nSignPosn;
  nint32  codePage;              /*  56 */
  nint32  countryID;             /*  60 */
  char    dataListSeparator[2];  /*  64 */
  char    dateSeparator[2];
  char    timeSeparator[2];
  nuint8  timeFormat;            /* 0 = 12 hours, 1 = 24 hours */
  nuint8  dateFormat;            /* 0 = M/D/Y, 1 = D/M/Y, 2 = Y/M/D */
  char    amString[8];           /*  72 */
  char    pmString[8];           /*  80 */
  nuint8  reserved[44];          /*  88 */
} NWLCONV;
#pragma pack(pop)

/* Fills the record with the workstation's locale (code page 437 and country 1 unless the
 * network's configuration says otherwise) and returns it; NULL for NULL. */
NWLCONV* NWLlocaleconv(NWLCONV* lconvPtr);
/* Loads the Unicode tables for the country and code page: NWDSE_UNICODE_FILE_NOT_FOUND for
 * a code page the client has no table for (437, 850, 852, 1252 are known). Loading again
 * while loaded is accepted (counted; each load needs its free). */
NWCCODE NWInitUnicodeTables(nint32 countryCode, nint32 codePage);
/* Frees one load of the tables; NWDSE_UNICODE_FILE_NOT_FOUND when none is loaded. */
NWCCODE NWFreeUnicodeTables(void);

#ifdef __cplusplus
}
#endif

#endif
