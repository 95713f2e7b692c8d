#pragma once
// Unit Nwprop: bindery properties and trustees.
// Operations never throw for a client failure; the completion code of a failed call stays
// in lasterror().
#include <ostrel/callframe.h>
#include <rtl/datetime.h>
#include <rtl/tstringlist.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace nwprop {

namespace detail {
extern ostrel::UnitState state;
}

/// The unit object: reads and clears the unit error code.
class TNWProp : public ostrel::UnitObject<detail::state> {};

/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();

// ---- Bindery objects and properties --------------------------------------------------------
// Object and property names and passwords are trimmed and upper-cased before they are sent,
// unless an operation says otherwise. A name that does not fit its 48-byte client buffer is
// refused without a client call (a cut name could address another object); passwords are
// cut at 47 characters and item values at 127. Security levels: read 0..4 and write
// 0x00..0x40, sent OR-ed into one byte.

/// The login restrictions of an object (its "LOGIN_CONTROL" property).
struct TNWLoginControl {
  rtl::TDateTime accountExpires = 0;   // 0 = none
  bool accountDisabled = false;
  rtl::TDateTime passwordExpires = 0;  // 0 = none
  std::uint8_t graceLogins = 0;
  std::uint16_t passwordInterval = 0;  // days
  std::uint8_t graceReset = 0;
  std::uint8_t minPasswordLength = 0;
  std::uint16_t maxConnections = 0;
  std::array<std::uint8_t, 42> loginTimes{};  // not transferred
  rtl::TDateTime lastLogin = 0;        // 0 = none
  std::uint8_t restrictions = 0;
  std::uint32_t maxDiskBlocks = 0;
  std::uint16_t badLoginCount = 0;
  std::uint32_t auxLong = 0;
  std::string extraInfo;               // not transferred
};

/// The account balance and credit limit of an object.
struct TNWAccountStatus {
  std::int32_t balance = 0;
  std::int32_t limit = 0;
};

/// Writes segment 1 of an item property (the value trimmed, case kept, cut at 127 bytes).
bool writeItemProperty(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                       const std::string& value, const std::string& propertyName);
/// Segment 1 of an item property as text; the object name is sent unchanged, the property
/// name upper-cased but not trimmed. Empty on failure.
std::string readItemProperty(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                             const std::string& propertyName);
bool createProperty(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                    const std::string& propertyName, std::uint8_t setFlag, bool isStatic, std::uint8_t readSecurity,
                    std::uint8_t writeSecurity);
/// Creates the object (its name sent unchanged) and the standard properties of its type:
/// users, groups, print queues and print servers. True when the object and its first
/// property were made; false for other types although the object exists.
bool createObject(NWCONN_HANDLE conn, const std::string& name, std::uint16_t objectType, const std::string& fullName,
                  const std::string& password, bool isStatic, std::uint8_t readSecurity, std::uint8_t writeSecurity);
bool deleteObject(NWCONN_HANDLE conn, const std::string& name);
bool renameObject(NWCONN_HANDLE conn, const std::string& oldName, const std::string& newName, std::uint16_t objectType);
bool changeNWPassword(NWCONN_HANDLE conn, const std::string& objectName, const std::string& newPassword,
                      const std::string& oldPassword);
bool changeObjectSecurity(NWCONN_HANDLE conn, const std::string& name, std::uint8_t readSecurity,
                          std::uint8_t writeSecurity);
bool changePropertySecurity(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
                            std::uint8_t readSecurity, std::uint8_t writeSecurity);
bool deleteProperty(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName);
bool addObjectToSet(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
                    const std::string& memberName);
bool deleteObjectFromSet(NWCONN_HANDLE conn, const std::string& objectName, const std::string& propertyName,
                         const std::string& memberName);
/// Adds the user to the group: "GROUPS_I'M_IN" and "SECURITY_EQUALS" of the user, then
/// "GROUP_MEMBERS" of the group; stops at the first failure.
bool addUserToGroup(NWCONN_HANDLE conn, const std::string& group, const std::string& user);
bool deleteUserFromGroup(NWCONN_HANDLE conn, const std::string& group, const std::string& user);
/// Whether the object has properties, and its read (0..4) and write (0x00..0x40) security.
bool getObjectInfo(NWCONN_HANDLE conn, const std::string& name, bool& hasProperties, std::uint8_t& readSecurity,
                   std::uint8_t& writeSecurity);
/// The names of the object's properties that match the pattern and the caller may read, sorted.
std::unique_ptr<rtl::TStringList> getPropertyList(NWCONN_HANDLE conn, const std::string& objectName,
                                                  const std::string& pattern);
/// The non-empty segments of a property as texts.
std::unique_ptr<rtl::TStringList> readSetProperty(NWCONN_HANDLE conn, const std::string& objectName,
                                                  std::uint16_t objectType, const std::string& propertyName);
/// The names of the members of a set property.
std::unique_ptr<rtl::TStringList> readObjNamesFromSet(NWCONN_HANDLE conn, const std::string& objectName,
                                                      std::uint16_t objectType, const std::string& propertyName);
/// Writes the fields the record carries into "LOGIN_CONTROL", keeping the stored bytes it
/// does not carry (the login time map among them).
bool setLoginControl(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                     const TNWLoginControl& control);
/// Reads "LOGIN_CONTROL"; dates whose bytes are 0 leave the caller's value. False when the
/// value cannot be read or holds an impossible date.
bool getLoginControl(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                     TNWLoginControl& control);
/// The account balance and credit limit; connection 0 is the primary connection.
bool getAccountStatus(NWCONN_HANDLE conn, const std::string& objectName, std::uint16_t objectType,
                      TNWAccountStatus& status);
// ---- Trustees and effective rights --------------------------------------------------------

/// File-system rights as the trustee operations read and write them.
struct TNWRights {
  /// Written as modify and access control together; read back only by getObjectDirRights.
  bool supervisor = false;
  bool read = false;
  bool open = false;
  bool write = false;
  bool create = false;
  bool erase = false;
  bool modify = false;
  bool fileScan = false;
  bool accessControl = false;
};

/// The trustee assignments of a user or group, one line each: "SERVER/VOL:DIR    [SRWCEMFA]".
/// Empty for other objects.
std::unique_ptr<rtl::TStringList> getTrusteeList(NWCONN_HANDLE conn, const std::string& objectName);
/// The object's own assignment at the path or at a directory above it; false when it has none.
bool getObjectDirRights(NWCONN_HANDLE conn, const std::string& objectName, const std::string& path,
                        TNWRights& rights);
/// The caller's effective rights at the path, on the connection the path names (`conn` is not
/// used); every field but `supervisor` is set. Nothing is recorded.
bool getEffectiveRights(NWCONN_HANDLE conn, const std::string& path, TNWRights& rights);
/// Makes the user a trustee of a file or directory with the rights given.
bool addTrusteeToFile(NWCONN_HANDLE conn, const std::string& path, const std::string& userName,
                      const TNWRights& rights);
/// Makes the object a trustee of the directory `directory` of `volume` with the rights given.
bool modifyTrusteeRights(NWCONN_HANDLE conn, const std::string& objectName, const std::string& volume,
                         const std::string& directory, const TNWRights& rights);
/// Removes the object's assignment at `pathPrefix` followed by the trustee text: a path, or a
/// line of getTrusteeList (with an empty prefix).
bool deleteTrusteeRight(NWCONN_HANDLE conn, const std::string& objectName, const std::string& pathPrefix,
                        const std::string& trusteeText);
/// Whether the caller's bindery access level reaches the object's read and write security.
/// Both outputs stay untouched when the caller's level cannot be read.
void compareObjectAccessRights(NWCONN_HANDLE conn, const std::string& objectName, bool& readAllowed,
                               bool& writeAllowed);

} // namespace nwprop
