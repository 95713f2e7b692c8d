#pragma once
// Changes to a server's bindery and the security levels that guard them: who may read or
// write a property, create, rename and delete objects, and change security and passwords.
#include "bindery.h"

#include <nwclient/nwclient.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class BinderyAdmin {
public:
  struct Property {
    std::string name;
    int flags = 0;
    int security = 0;
  };

  /// `caller` is the object logged in on the calling connection (0 = nobody).
  BinderyAdmin(Store& db, std::int64_t serverId, std::uint32_t caller)
      : db_(db), server_(serverId), bindery_(db, serverId), caller_(caller) {}

  Bindery& bindery() { return bindery_; }

  /// The highest security level the caller holds towards the object: 0 anyone, 1 logged
  /// in, 2 the object itself, 3 supervisor. Level 4 (the bindery) nobody holds.
  int levelFor(std::uint32_t objectId);
  bool mayRead(std::uint32_t objectId, int security) { return (security & 0x0F) <= levelFor(objectId); }
  bool mayWrite(std::uint32_t objectId, int security) { return ((security >> 4) & 0x0F) <= levelFor(objectId); }

  NWCCODE createObject(const std::string& name, std::uint16_t type, int flags, int security);
  NWCCODE deleteObject(const Bindery::Object& o);
  NWCCODE renameObject(const Bindery::Object& o, const std::string& newName);
  NWCCODE changeObjectSecurity(const Bindery::Object& o, int security);
  NWCCODE changePassword(const Bindery::Object& o, const std::string& oldPassword, const std::string& newPassword);

  std::optional<Property> property(std::uint32_t objectId, const std::string& name);
  /// The object's properties in name order.
  std::vector<Property> properties(std::uint32_t objectId);
  NWCCODE createProperty(const Bindery::Object& o, const std::string& name, int flags, int security);
  NWCCODE deleteProperty(const Bindery::Object& o, const std::string& name);
  NWCCODE changePropertySecurity(const Bindery::Object& o, const std::string& name, int security);
  /// A property the caller may read: NWE_NO_SUCH_PROPERTY or NWE_NO_PROPERTY_READ_PRIVILEGE.
  NWCCODE readable(const Bindery::Object& o, const std::string& name, Property& out);
  NWCCODE writeSegment(const Bindery::Object& o, const std::string& name, int segment,
                       const std::vector<std::uint8_t>& data, bool more);
  NWCCODE addMember(const Bindery::Object& o, const std::string& name, std::uint32_t member);
  NWCCODE removeMember(const Bindery::Object& o, const std::string& name, std::uint32_t member);

private:
  /// A property the caller may write, of the kind wanted (set or item).
  NWCCODE writable(const Bindery::Object& o, const std::string& name, bool set, Property& out);
  static bool validSecurity(int security) { return (security & 0x0F) <= 4 && (security >> 4) <= 4; }

  Store& db_;
  std::int64_t server_;
  Bindery bindery_;
  std::uint32_t caller_;
};

} // namespace nwsim
