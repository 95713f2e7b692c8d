#include "bindery_admin.h"

#include "trustees.h"

namespace nwsim {

namespace {
constexpr int kLevelSupervisor = 3;
} // namespace

int BinderyAdmin::levelFor(std::uint32_t objectId) {
  if (caller_ == 0) return 0;
  if (bindery_.isSupervisor(caller_)) return kLevelSupervisor;
  return caller_ == objectId ? 2 : 1;
}

NWCCODE BinderyAdmin::createObject(const std::string& name, std::uint16_t type, int flags, int security) {
  if (!bindery_.isManager(caller_)) return NWE_NO_OBJECT_CREATE_PRIVILEGE;
  if (Bindery::hasWildcards(name)) return NWE_INVALID_NAME;
  if (!validSecurity(security)) return NWE_INVALID_BINDERY_SECURITY;
  if (bindery_.find(name, type)) return NWE_OBJECT_ALREADY_EXISTS;
  const std::uint32_t id = bindery_.addObject(name, type);
  db_.prepare("UPDATE bindery_objects SET flags=?, security=? WHERE server_id=? AND object_id=?")
      .with(flags & 1, security, server_, static_cast<std::int64_t>(id)).run();
  return NWE_OK;
}

NWCCODE BinderyAdmin::deleteObject(const Bindery::Object& o) {
  if (!bindery_.isManager(caller_) || o.id == 1) return NWE_NO_OBJECT_DELETE_PRIVILEGE;
  // The object leaves every set that names it, then goes with its properties.
  std::vector<std::pair<std::uint32_t, std::string>> sets;
  db_.prepare("SELECT object_id, name FROM bindery_properties WHERE server_id=? AND (flags & 2) != 0")
      .with(server_).each([&](Stmt& q) { sets.emplace_back(static_cast<std::uint32_t>(q.int64(0)), q.text(1)); });
  for (const auto& [holder, property] : sets) bindery_.removeFromSet(holder, property, o.id);
  const auto id = static_cast<std::int64_t>(o.id);
  db_.prepare("DELETE FROM bindery_values WHERE server_id=? AND object_id=?").with(server_, id).run();
  db_.prepare("DELETE FROM bindery_properties WHERE server_id=? AND object_id=?").with(server_, id).run();
  db_.prepare("DELETE FROM bindery_objects WHERE server_id=? AND object_id=?").with(server_, id).run();
  // A print queue takes its jobs with it.
  db_.prepare("DELETE FROM queue_jobs WHERE server_id=? AND queue_id=?").with(server_, id).run();
  // Its trustee assignments go too: a later object must not come by them.
  Trustees(db_).removeObject(server_, o.id);
  return NWE_OK;
}

NWCCODE BinderyAdmin::renameObject(const Bindery::Object& o, const std::string& newName) {
  if (!bindery_.isManager(caller_) || o.id == 1) return NWE_NO_OBJECT_RENAME_PRIVILEGE;
  if (Bindery::hasWildcards(newName)) return NWE_INVALID_NAME;
  if (auto other = bindery_.find(newName, o.type); other && other->id != o.id) return NWE_OBJECT_ALREADY_EXISTS;
  db_.prepare("UPDATE bindery_objects SET name=? WHERE server_id=? AND object_id=?")
      .with(Bindery::upper(newName), server_, static_cast<std::int64_t>(o.id)).run();
  return NWE_OK;
}

NWCCODE BinderyAdmin::changeObjectSecurity(const Bindery::Object& o, int security) {
  if (!bindery_.isSupervisor(caller_)) return NWE_NO_CONSOLE_RIGHTS;
  if (!validSecurity(security)) return NWE_INVALID_BINDERY_SECURITY;
  db_.prepare("UPDATE bindery_objects SET security=? WHERE server_id=? AND object_id=?")
      .with(security, server_, static_cast<std::int64_t>(o.id)).run();
  return NWE_OK;
}

NWCCODE BinderyAdmin::changePassword(const Bindery::Object& o, const std::string& oldPassword,
                                     const std::string& newPassword) {
  if (!bindery_.isManager(caller_) && !bindery_.checkPassword(o.id, oldPassword)) return NWE_BAD_PASSWORD;
  bindery_.setPassword(o.id, newPassword);
  return NWE_OK;
}

std::optional<BinderyAdmin::Property> BinderyAdmin::property(std::uint32_t objectId, const std::string& name) {
  std::optional<Property> p;
  db_.prepare("SELECT name, flags, security FROM bindery_properties WHERE server_id=? AND object_id=? AND name=?")
      .with(server_, static_cast<std::int64_t>(objectId), Bindery::upper(name))
      .first([&](Stmt& q) { p = Property{q.text(0), q.integer(1), q.integer(2)}; });
  return p;
}

std::vector<BinderyAdmin::Property> BinderyAdmin::properties(std::uint32_t objectId) {
  std::vector<Property> all;
  db_.prepare("SELECT name, flags, security FROM bindery_properties WHERE server_id=? AND object_id=? ORDER BY name")
      .with(server_, static_cast<std::int64_t>(objectId))
      .each([&](Stmt& q) { all.push_back(Property{q.text(0), q.integer(1), q.integer(2)}); });
  return all;
}

NWCCODE BinderyAdmin::createProperty(const Bindery::Object& o, const std::string& name, int flags, int security) {
  if (!mayWrite(o.id, o.security)) return NWE_NO_PROPERTY_CREATE_PRIVILEGE;
  if (Bindery::hasWildcards(name)) return NWE_INVALID_NAME;
  if (!validSecurity(security) || (security & 0x0F) > levelFor(o.id) || (security >> 4) > levelFor(o.id))
    return NWE_INVALID_BINDERY_SECURITY;
  if (property(o.id, name)) return NWE_PROPERTY_ALREADY_EXISTS;
  db_.prepare("INSERT INTO bindery_properties(server_id, object_id, name, flags, security) VALUES(?,?,?,?,?)")
      .with(server_, static_cast<std::int64_t>(o.id), Bindery::upper(name), flags & 3, security).run();
  // A set starts with one empty segment, as the server keeps it.
  if (flags & NW_BF_SET) bindery_.writeSet(o.id, name, {});
  return NWE_OK;
}

NWCCODE BinderyAdmin::deleteProperty(const Bindery::Object& o, const std::string& name) {
  auto p = property(o.id, name);
  if (!p) return NWE_NO_SUCH_PROPERTY;
  if (!mayWrite(o.id, o.security) || !mayWrite(o.id, p->security)) return NWE_NO_PROPERTY_DELETE_PRIVILEGE;
  const auto id = static_cast<std::int64_t>(o.id);
  db_.prepare("DELETE FROM bindery_values WHERE server_id=? AND object_id=? AND property=?").with(server_, id, p->name).run();
  db_.prepare("DELETE FROM bindery_properties WHERE server_id=? AND object_id=? AND name=?").with(server_, id, p->name).run();
  return NWE_OK;
}

NWCCODE BinderyAdmin::changePropertySecurity(const Bindery::Object& o, const std::string& name, int security) {
  auto p = property(o.id, name);
  if (!p) return NWE_NO_SUCH_PROPERTY;
  if (!mayWrite(o.id, p->security)) return NWE_NO_PROPERTY_WRITE_PRIVILEGE;
  // Nobody raises a level above the one he holds himself.
  if (!validSecurity(security) || (security & 0x0F) > levelFor(o.id) || (security >> 4) > levelFor(o.id))
    return NWE_INVALID_BINDERY_SECURITY;
  db_.prepare("UPDATE bindery_properties SET security=? WHERE server_id=? AND object_id=? AND name=?")
      .with(security, server_, static_cast<std::int64_t>(o.id), p->name).run();
  return NWE_OK;
}

NWCCODE BinderyAdmin::readable(const Bindery::Object& o, const std::string& name, Property& out) {
  auto p = property(o.id, name);
  if (!p) return NWE_NO_SUCH_PROPERTY;
  if (!mayRead(o.id, p->security)) return NWE_NO_PROPERTY_READ_PRIVILEGE;
  out = *p;
  return NWE_OK;
}

NWCCODE BinderyAdmin::writable(const Bindery::Object& o, const std::string& name, bool set, Property& out) {
  auto p = property(o.id, name);
  if (!p) return NWE_NO_SUCH_PROPERTY;
  if (!mayWrite(o.id, p->security)) return NWE_NO_PROPERTY_WRITE_PRIVILEGE;
  if (set != ((p->flags & NW_BF_SET) != 0)) return set ? NWCCODE(NWE_NOT_SET_PROPERTY) : NWCCODE(NWE_NOT_ITEM_PROPERTY);
  out = *p;
  return NWE_OK;
}

NWCCODE BinderyAdmin::writeSegment(const Bindery::Object& o, const std::string& name, int segment,
                                   const std::vector<std::uint8_t>& data, bool more) {
  Property p;
  if (NWCCODE rc = writable(o, name, false, p)) return rc;
  const auto id = static_cast<std::int64_t>(o.id);
  int last = 0;
  db_.prepare("SELECT MAX(segment) FROM bindery_values WHERE server_id=? AND object_id=? AND property=?")
      .with(server_, id, p.name).first([&](Stmt& q) { if (!q.isNull(0)) last = q.integer(0); });
  if (segment < 1 || segment > last + 1) return NWE_NO_SUCH_SEGMENT;
  db_.prepare("INSERT OR REPLACE INTO bindery_values(server_id, object_id, property, segment, data) VALUES(?,?,?,?,?)")
      .with(server_, id, p.name, segment).bindBlob(5, data.data(), data.size()).run();
  if (!more)
    db_.prepare("DELETE FROM bindery_values WHERE server_id=? AND object_id=? AND property=? AND segment>?")
        .with(server_, id, p.name, segment).run();
  return NWE_OK;
}

NWCCODE BinderyAdmin::addMember(const Bindery::Object& o, const std::string& name, std::uint32_t member) {
  Property p;
  if (NWCCODE rc = writable(o, name, true, p)) return rc;
  if (bindery_.inSet(o.id, p.name, member)) return NWE_MEMBER_ALREADY_EXISTS;
  bindery_.addToSet(o.id, p.name, member);
  return NWE_OK;
}

NWCCODE BinderyAdmin::removeMember(const Bindery::Object& o, const std::string& name, std::uint32_t member) {
  Property p;
  if (NWCCODE rc = writable(o, name, true, p)) return rc;
  return bindery_.removeFromSet(o.id, p.name, member) ? NWCCODE(NWE_OK) : NWCCODE(NWE_NO_SUCH_MEMBER);
}

} // namespace nwsim
