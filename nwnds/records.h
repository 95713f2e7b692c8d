#pragma once
// Records of the directory unit: path values, rights, access-control entries and schema
// definitions.
#include <nwnds/catalogue.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace nwnds {

/// What ndsCreateObject makes: the kind, where, and the values written with it. The caller
/// owns it; ndsCreateObject may fill ObjName and CommonName from each other.
struct TNWDSObjectInfo {
  TNWDSObjType ObjType = dsoUnknown;
  std::string Context;
  std::string AliasedObjName;
  std::string ObjName;
  std::string Spare1;  // not read or written
  std::string Spare2;  // not read or written
  std::string QueueDirectory;
  std::string Spare3;  // not read or written
  std::string FullName;
  std::string Password;
  std::string Surname;
  std::string GivenName;
  std::string CommonName;
  std::string Organization;
  std::string OrganizationalUnit;
};

/// A path value: name space, volume object name and path on the volume.
struct TNWDSPathInfo {
  std::uint32_t NameSpaceType = 0;
  std::string VolumeName;
  std::string Path;
};

/// Entry rights, one flag per rights bit.
struct TNWDSEntryRights {
  bool Browse = false;     // 0x01
  bool Add = false;        // 0x02
  bool Delete = false;     // 0x04
  bool Rename = false;     // 0x08
  bool Supervisor = false; // 0x10
};

/// Attribute rights.
struct TNWDSAttrRights {
  bool Compare = false;    // 0x01
  bool Read = false;       // 0x02
  bool Write = false;      // 0x04
  bool AddSelf = false;    // 0x08
  bool Supervisor = false; // 0x20
};

/// Storage-management rights.
struct TNWDSSMSRights {
  bool Scan = false;    // 0x01
  bool Backup = false;  // 0x02
  bool Restore = false; // 0x04
  bool Rename = false;  // 0x08
  bool Delete = false;  // 0x10
  bool Admin = false;   // 0x20
};

/// One access-control entry in the client's object-ACL value form.
struct TNWDSObjectACL {
  /// "[Entry Rights]", "[All Attributes Rights]", "[SMS Rights]" or an attribute name.
  char* ProtectedAttrName = nullptr;
  char* SubjectName = nullptr;
  std::uint32_t Privileges = 0;
};
static_assert(sizeof(TNWDSObjectACL) == sizeof(Object_ACL_T) &&
              offsetof(TNWDSObjectACL, SubjectName) == offsetof(Object_ACL_T, subjectName) &&
              offsetof(TNWDSObjectACL, Privileges) == offsetof(Object_ACL_T, privileges));

/// A class definition's flags.
struct TNWDSClassDef {
  std::uint32_t Reserved = 0;
  bool ContainerClass = false;       // 0x01
  bool EffectiveClass = false;       // 0x02
  bool NonRemovable = false;         // 0x04
  bool AmbiguousNaming = false;      // 0x08
  bool AmbiguousContainment = false; // 0x10
};

/// An attribute definition's flags and syntax.
struct TNWDSAttrDef {
  bool SingleValued = false;    // 0x01
  bool Sized = false;           // 0x02
  bool NonRemovable = false;    // 0x04
  bool ReadOnly = false;        // 0x08
  bool Hidden = false;          // 0x10
  bool String = false;          // 0x20
  bool SyncImmediate = false;   // 0x40
  TNWDSSynTypes Syntax = SYN_UNKNOWN;
  std::uint8_t Reserved[8] = {};
};

// Declared for applications; no operation of the unit takes or fills them.

/// An e-mail address value.
struct TNWDSEMailInfo {
  std::uint32_t Type = 0;
  std::string Address;
};

/// A telephone or fax number with its parameter bits.
struct TNWDSPhoneInfo {
  std::string Number;
  std::uint32_t Bits = 0;
};

/// A network address: type, length and bytes.
struct TNWDSNetworkAddress {
  std::uint32_t AddressType = 0;
  std::uint32_t AddressLength = 0;
  std::uint8_t Address[32] = {};
};

/// Attribute flags, one per bit of TNWDSAttrDef.
struct TNWDSAttrFlags {
  bool SingleValued = false, Sized = false, NonRemovable = false, ReadOnly = false,
       Hidden = false, String = false, SyncImmediate = false;
};

/// Class flags, one per bit of TNWDSClassDef.
struct TNWDSClassFlags {
  bool ContainerClass = false, EffectiveClass = false, NonRemovable = false,
       AmbiguousNaming = false, AmbiguousContainment = false;
};

} // namespace nwnds
