#pragma once
// Unit Nwnds: directory services.
//
// Operations never throw for a client failure; they return false, an empty string, 0 or an
// empty list and leave the completion code of a failed call in lasterror(). Every operation
// that takes a context name works on a context of its own (a copy of the internal context
// for an empty name; otherwise a context of that name, and the internal context then
// follows that name) and frees it before returning. Names longer than the buffer they go
// to are refused without a client call.
#include <nwnds/catalogue.h>
#include <nwnds/records.h>
#include <ostrel/callframe.h>
#include <rtl/datetime.h>
#include <rtl/exceptions.h>
#include <rtl/thandlestream.h>
#include <rtl/tlist.h>
#include <rtl/tstringlist.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace nwnds {

namespace detail {
extern ostrel::UnitState state;
}

/// The unit object. Constructing it loads "NETWIN32.DLL" and "LOCWIN32.DLL", binds the
/// client functions every operation needs and names the internal context "[Root]";
/// destroying it frees the internal context. The libraries stay loaded.
class TNWNDS : public ostrel::UnitObject<detail::state> {
public:
  TNWNDS();
  ~TNWNDS();
  TNWNDS(const TNWNDS&) = delete;
  TNWNDS& operator=(const TNWNDS&) = delete;
};

/// Exported for applications; the unit itself never raises it.
class ExNWNDS : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// ---- Unit state ------------------------------------------------------------------------

/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();
/// Handle of the directory-services library ("NETWIN32.DLL"); null when not loaded.
platform::ModuleHandle hNWNet();
/// Handle of the locale library ("LOCWIN32.DLL"); null when not loaded.
platform::ModuleHandle hNWLoc();

// ---- Start-up --------------------------------------------------------------------------

/// Loads the Unicode tables for the workstation's locale; creates the internal context when
/// there is none. False unless both libraries are loaded. Records nothing.
bool ndsInit();
/// Frees the Unicode tables (recorded). Leaves the internal context and the libraries.
bool ndsClose();

// ---- Contexts --------------------------------------------------------------------------

/// The internal context handle (0: none).
int getInternalContextHandle();
/// A new context owned by the caller: a copy of the internal context, or a fresh one when
/// there is none; 0 on failure. Records nothing.
int ndsGetContextHandle();
/// Frees a context; true on success. Records nothing.
bool ndsFreeContext(int handle);
/// A copy of a context, owned by the caller; 0 on failure. Records nothing.
int ndsCopyContext(int handle);
/// Replaces the internal context by a fresh one named "[Root]".
bool resetOstrelContext();
/// Names the internal context (the name trimmed; at most 127 characters).
bool ndsSetContext(const std::string& name);
/// Names the given context (the name trimmed; at most 127 characters) and makes the internal
/// context a copy of it.
bool ndsSetContextName(int& handle, const std::string& name);
/// The name context of the internal context; empty on failure.
std::string ndsGetContextName();
/// Adds flag bits to the internal context; never clears one. False, with nothing written,
/// when the current flags cannot be read.
bool ndsSetContextFlags(int flags);
/// The same on the given context.
bool ndsSetUserContextFlags(int& handle, int flags);
/// Replaces the internal context's flags by `flags`. False, with nothing written, when the
/// current flags cannot be read.
bool ndsReplaceContextFlags(int flags);
/// Sets or clears flag bits of the internal context, leaving the others as they are. False,
/// with nothing written, when the current flags cannot be read.
bool ndsSwitchContextFlag(int flag, bool on);
/// The internal context's flags; 0 on failure.
int ndsGetContextFlags();
/// Makes the internal context talk to the server of a connection (0: the primary one).
bool ndsSetReplicaServer(NWCONN_HANDLE conn);

// ---- Names (internal context; empty on failure) -----------------------------------------

/// The root of the partition that holds the object. Records nothing.
std::string ndsGetRootName(const std::string& objectName);
/// The complete, typed name.
std::string ndsExpandName(const std::string& name);
/// The name relative to the name context.
std::string ndsAbbreviateName(const std::string& name);
/// The name without its "type=" parts.
std::string ndsGetTypelessName(const std::string& name);
/// The bindery context of a server (0: the primary connection). Records nothing.
std::string ndsGetBinderyContextName(NWCONN_HANDLE conn);
/// The directory name of a server (0: the primary connection). Records nothing.
std::string ndsGetServerDN(NWCONN_HANDLE conn);
/// The object the workstation is logged in to the directory as. Records nothing.
std::string ndsWhoAmI();

// ---- Object IDs --------------------------------------------------------------------------

/// The object's ID in display form without leading zeros ("A3F1", "0"); empty on failure.
std::string ndsGetObjID(NWCONN_HANDLE conn, const std::string& objectName);
/// The object's ID; `conn` gets the connection that holds it. 0 on failure.
std::uint32_t ndsGetObjNumber(NWCONN_HANDLE& conn, const std::string& objectName);
/// The name of the object with that ID; empty on failure.
std::string ndsGetObjName(NWCONN_HANDLE conn, std::int32_t objectID);

// ---- Attribute values: internal routines ------------------------------------------------

/// Reads the first value of the first attribute of a read result into `value`, which holds
/// `valueSize` bytes; false (nothing written) when the value needs more room.
bool _ndsGetFirstAttrVal(NWDSContextHandle context, Buf_T* result, const std::string& attrName,
                         void* value, std::size_t valueSize);
/// Puts one change (mode: a TNWDSAttrAction ordinal) and its value into a modify buffer.
bool _ndsPutChange(NWDSContextHandle context, Buf_T* buffer, std::uint8_t syntaxID,
                   std::uint8_t mode, const void* value, const std::string& attrName);
/// One change followed by the modification of the object.
bool _ndsModifyAttr(NWDSContextHandle context, Buf_T* buffer, const std::string& objectName,
                    std::uint8_t mode, const void* value, std::uint8_t syntaxID,
                    const std::string& attrName);
/// Adds "Object Class" with the class name to an add-entry buffer.
bool _ndsPutObjectClass(NWDSContextHandle context, Buf_T* buffer, const std::string& className);
/// Adds an attribute with a text value (at most 63 characters) to an add-entry buffer.
bool _ndsPutStringAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                       const std::string& text);
bool _ndsPutIntegerAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                        std::int32_t value);
bool _ndsPutDateTimeAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                         rtl::TDateTime value);
bool _ndsPutOctetAttr(NWDSContextHandle context, Buf_T* buffer, TNWDSAttrType attr,
                      const std::string& text);

// ---- Attribute values: reading ----------------------------------------------------------
// Typed reads write their var argument only on success, and only when the value has the
// expected form; strings are cut to 127 characters.

/// Raw read of the attribute's value in the client's value form into `value`, which holds
/// `valueSize` bytes (records with the data they point to); false when it needs more.
bool ndsGetObjAttr(int context, const std::string& objectName, TNWDSAttrType attr, void* value,
                   std::size_t valueSize);
bool ndsGetStringAttr(const std::string& contextName, const std::string& objectName,
                      TNWDSAttrType attr, std::string& text);
bool ndsGetPathAttr(const std::string& contextName, const std::string& objectName,
                    TNWDSAttrType attr, TNWDSPathInfo& path);
/// True when a value was read; `value` is true exactly when the byte is 1.
bool ndsGetBooleanAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, bool& value);
bool ndsGetIntegerAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, std::int32_t& value);
bool ndsGetDateTimeAttr(const std::string& contextName, const std::string& objectName,
                        TNWDSAttrType attr, rtl::TDateTime& value);
/// Appends every value of the attribute to `values`, one block each, allocated with
/// std::malloc (free each with ndsFreeAttrBlock). True when `values` is not empty after.
bool ndsGetMultiAttr(const std::string& contextName, const std::string& objectName,
                     TNWDSAttrType attr, rtl::TList& values);
/// Frees a value block of ndsGetMultiAttr.
void ndsFreeAttrBlock(void* block);

// ---- Attribute values: writing ----------------------------------------------------------

bool ndsAddObjAttr(const std::string& contextName, const std::string& objectName,
                   TNWDSAttrType attr, const void* value);
bool ndsModifyObjAttr(const std::string& contextName, const std::string& objectName,
                      TNWDSAttrType attr, const void* value);
bool ndsAddToMultiAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, const void* value);
bool ndsRemoveFromMultiAttr(const std::string& contextName, const std::string& objectName,
                            TNWDSAttrType attr, const void* value);
bool ndsRemoveObjAttr(const std::string& contextName, const std::string& objectName,
                      TNWDSAttrType attr);
bool ndsCreateStringAttr(const std::string& contextName, const std::string& objectName,
                         TNWDSAttrType attr, const std::string& text);
bool ndsModifyStringAttr(const std::string& contextName, const std::string& objectName,
                         TNWDSAttrType attr, const std::string& text);
bool ndsCreateIntegerAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, std::int32_t value);
bool ndsModifyIntegerAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, std::int32_t value);
bool ndsCreateBooleanAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, bool value);
bool ndsModifyBooleanAttr(const std::string& contextName, const std::string& objectName,
                          TNWDSAttrType attr, bool value);
bool ndsCreateDateTimeAttr(const std::string& contextName, const std::string& objectName,
                           TNWDSAttrType attr, rtl::TDateTime value);
bool ndsModifyDateTimeAttr(const std::string& contextName, const std::string& objectName,
                           TNWDSAttrType attr, rtl::TDateTime value);
bool ndsModifyPathAttr(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, const TNWDSPathInfo& path);

// ---- By attribute name and syntax --------------------------------------------------------

/// Raw read by name into `value` of `valueSize` bytes; the syntax argument is not used.
bool ndsReadAttr(const std::string& contextName, const std::string& objectName,
                 const std::string& attrName, TNWDSSynTypes syntax, void* value,
                 std::size_t valueSize);
/// Overwrites the value with the given syntax.
bool ndsWriteAttr(const std::string& contextName, const std::string& objectName,
                  const std::string& attrName, TNWDSSynTypes syntax, const void* value);
/// Adds a value with the given syntax.
bool ndsAddObjAttrEx(const std::string& contextName, const std::string& objectName,
                     const std::string& attrName, TNWDSSynTypes syntax, const void* value);
/// The octet-string value as text, up to its first zero byte and at most 256 bytes.
std::string ndsReadOctetAttr(const std::string& contextName, const std::string& objectName,
                             const std::string& attrName);
bool ndsWriteOctetAttr(const std::string& contextName, const std::string& objectName,
                       const std::string& attrName, const std::string& text);
/// Opens a stream attribute for reading and writing; the caller owns the stream and the file
/// handle (object and attribute names at most 47 characters).
bool ndsOpenAttrStream(const std::string& contextName, const std::string& objectName,
                       TNWDSAttrType attr, std::unique_ptr<rtl::THandleStream>& stream);

// ---- Schema ------------------------------------------------------------------------------

bool ndsDefineClass(const std::string& contextName, const std::string& className,
                    const TNWDSClassDef& classDef);
/// Defines an attribute (name at most 30 characters).
bool ndsDefineAttr(const std::string& contextName, const std::string& attrName,
                   const TNWDSAttrDef& attrDef);
bool ndsRemoveAttr(const std::string& contextName, const std::string& attrName);
/// The names of all attribute definitions, each with its syntax ID as object; the object
/// name is not used.
std::unique_ptr<rtl::TStringList> ndsGetObjAttrList(const std::string& contextName,
                                                    const std::string& objectName);

// ---- Rights ------------------------------------------------------------------------------

/// The effective rights bits of a subject to an object for a protected attribute name
/// ("[Entry Rights]", "[All Attributes Rights]", "[SMS Rights]" or an attribute), on the
/// internal context; names upper-cased. Records nothing; `bits` is written only on success.
bool ndsGetEffectiveRights(const std::string& subjectName, const std::string& objectName,
                           const std::string& protectedAttrName, std::uint32_t& bits);

bool ndsGetEntryRights(const std::string& subjectName, const std::string& objectName,
                       TNWDSEntryRights& rights);
bool ndsGetAttrRights(const std::string& subjectName, const std::string& objectName,
                      TNWDSAttrRights& rights);
bool ndsGetSMSRights(const std::string& subjectName, const std::string& objectName,
                     TNWDSSMSRights& rights);
/// The six-character rights text of an access-control entry.
std::string decodeACLRights(const TNWDSObjectACL& acl);
/// Sets the entry's privileges from the letters of a rights text.
void encodeACLRights(TNWDSObjectACL& acl, const std::string& rights);
/// Writes an access-control entry of the object for itself.
bool ndsWriteObjectACL(const std::string& contextName, const std::string& objectName,
                       const std::string& protectedAttrName, const std::string& rights);

// ---- Security equivalence and groups -------------------------------------------------------

bool ndsAddSecurityEquals(const std::string& contextName, const std::string& objectName,
                          const std::string& equalToName);
bool ndsRemoveSecurityEquals(const std::string& contextName, const std::string& objectName,
                             const std::string& equalToName);
bool ndsAddObjToGroup(const std::string& objectName, const std::string& groupName);
bool ndsRemoveObjFromGroup(const std::string& objectName, const std::string& groupName);
/// The groups of an object, sorted, each with object dsoGroup.
std::unique_ptr<rtl::TStringList> ndsGetMyGroups(const std::string& contextName,
                                                 const std::string& objectName);
/// The members of a group, sorted, each with object dsoUser.
std::unique_ptr<rtl::TStringList> ndsGetGroupMembers(const std::string& contextName,
                                                     const std::string& groupName);

// ---- Directory objects ---------------------------------------------------------------------

/// Creates an object of the kind in info.ObjType with its class and the kind's mandatory
/// values; an empty ObjName takes CommonName and an empty CommonName takes ObjName (both
/// changes stay in `info`). A user also gets its first password (upper-cased), and the
/// result is then that of setting it. Kinds without a class to create give false.
bool ndsCreateObject(TNWDSObjectInfo& info);
/// Removes a leaf object or an empty container.
bool ndsRemoveObject(const std::string& contextName, const std::string& objectName);
/// Moves an object below a new parent, keeping its own (leftmost) name; names at most 127
/// characters.
bool ndsMoveObject(const std::string& contextName, const std::string& objectName,
                   const std::string& newParentName);
/// The objects directly below an object (empty name: the context itself), in the client's
/// order, each with its TNWDSObjType ordinal as object.
std::unique_ptr<rtl::TStringList> ndsList(const std::string& contextName, const std::string& objectName);
/// The kind of an object from its class; dsoUnknown when it cannot be read.
TNWDSObjType ndsGetObjType(const std::string& contextName, const std::string& objectName);
/// Puts the fixed filter of ndsSearch ("CN" equal to "*") into a filter cursor.
bool _ndsBuildSearchFilter(Filter_Cursor_T* cursor);
/// The common names of every object with one in the subtree below the context, unsorted.
/// The second argument is reserved and not used.
std::unique_ptr<rtl::TStringList> ndsSearch(const std::string& contextName, const std::string& reserved);
/// The names of the objects in the subtree below the context that
/// match a filter text, unsorted; empty for a malformed filter, with no client call.
///
/// Filter text: relations joined by "&" (and) and "|" (or, binding weaker), negated by "!",
/// grouped with parentheses. A relation is "attribute=value" ("*" in the value matches any
/// run of characters; "\" takes the next character literally) or a bare attribute name,
/// which asks that the object has a value of it. Names and values are trimmed and compared
/// without regard to case: "Surname=Sm*&Object Class=User", "!(Telephone Number)".
std::unique_ptr<rtl::TStringList> ndsSearchFilter(const std::string& contextName, const std::string& filterText);
/// Whether ndsSearchFilter takes a filter text: a malformed one finds nothing, which a
/// caller can tell from an empty result only this way.
bool isSearchFilter(const std::string& filterText);

// ---- Directory login and passwords ---------------------------------------------------------

/// Logs the workstation in to the directory. The user name and password are trimmed (the
/// password keeps its case; the directory compares passwords without regard to case); a
/// non-empty context first names the internal context.
bool ndsLogin(const std::string& contextName, const std::string& userName, const std::string& password);
bool ndsLogout();
/// True when the password (upper-cased) is the object's.
bool ndsPassCheck(const std::string& contextName, const std::string& objectName, const std::string& password);
/// Changes the object's password (both upper-cased); an empty old password sets a first one.
bool ndsChangePassword(const std::string& contextName, const std::string& objectName,
                       const std::string& newPassword, const std::string& oldPassword);
/// Authenticates a connection (0: the primary one) as the directory login.
bool ndsAuthenticateServerConn(NWCONN_HANDLE conn);
/// Authenticates the connection of the server that holds the object; that connection, or 0.
NWCONN_HANDLE ndsAuthenticateObject(const std::string& contextName, const std::string& objectName);
/// True when connections can be authenticated to the directory (someone is logged in).
bool ndsCanAuthenticate(const std::string& contextName);

// ---- Trees and servers -----------------------------------------------------------------------

/// The trees advertised on the network, each once, with the advertisement's ID as object.
/// The scan's final code is left in lasterror.
std::unique_ptr<rtl::TStringList> ndsGetTreeList();
/// The trees the directory client finds, each once, with dsoTree as object; without the
/// client's tree scan, the objects below [Root].
std::unique_ptr<rtl::TStringList> ndsGetTreeListOld();
/// The trees whose names match the filter ("*", "ACME*"), each once, read block by block.
std::unique_ptr<rtl::TStringList> ndsGetTreeListEx(const std::string& scanFilter);
/// The connection to a directory server (opened when needed); 0 on failure.
NWCONN_HANDLE ndsConnectToServer(const std::string& serverName);
/// Attaches to a server and makes the connection a licensed, authenticated one; 0 on
/// failure, and a connection this call opened is then closed again.
NWCONN_HANDLE ndsAttach(const std::string& serverName);
/// Closes a connection; false when the client cannot.
bool ndsDetach(NWCONN_HANDLE conn);
/// True when the server (0: the primary one) is a directory server; lasterror -1 when not.
bool ndsisDSServer(NWCONN_HANDLE conn);
/// The tree of a directory server (0: the primary one) without its "_" padding; empty, with
/// lasterror 0, for a server that is none.
std::string ndsGetServerTreeName(NWCONN_HANDLE conn);
/// The connection to the preferred directory server; 0 when there is none.
NWCONN_HANDLE ndsGetPreferredDSServer();
bool ndsSetPreferredTreeName(const std::string& treeName);
/// The directory version of a server (0: the primary one) in decimal; empty on failure.
std::string ndsGetDSBuildLevel(NWCONN_HANDLE conn);

} // namespace nwnds
