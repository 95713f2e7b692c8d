#include "directory_update.h"

#include <unordered_set>

#include "directory_stream.h"

#include <algorithm>

namespace nwsim {

namespace {

// The attribute pairs the directory keeps in step: a value X in attr of A means a value A
// in the partner attribute of X.
std::optional<std::string> partner(const std::string& attr) {
  std::string k = DirectoryName::key(attr);
  if (k == "GROUP MEMBERSHIP") return "Member";
  if (k == "MEMBER") return "Group Membership";
  if (k == "SECURITY EQUALS") return "Equivalent To Me";
  if (k == "EQUIVALENT TO ME") return "Security Equals";
  return std::nullopt;
}

bool held(const std::vector<StoredValue>& vals, const DsValue& v, int* seq = nullptr) {
  for (auto& sv : vals)
    if (DsValueForm::same(sv.value, v)) {
      if (seq) *seq = sv.seq;
      return true;
    }
  return false;
}

} // namespace

void DirectoryUpdate::mirror(std::int64_t object, const std::string& attr, std::int64_t other, bool added) {
  auto p = partner(attr);
  if (!p) return;
  auto o = tree_.object(other);
  if (!o) return;
  if (!tree_.schema().allows(o->cls, *p)) return;
  DsValue v;
  v.syntax = NWDS_SYN_DIST_NAME;
  v.ref = object;
  int seq = 0;
  auto vals = tree_.values(other, *p);
  bool has = held(vals, v, &seq);
  if (added && !has) tree_.addValue(other, *p, v);
  if (!added && has) tree_.deleteValue(other, *p, seq);
}

NWCCODE DirectoryUpdate::change(const DsObject& o, const DsChange& c, std::optional<std::int64_t> caller) {
  auto def = tree_.schema().attr(c.attr);
  if (!def) return NWDSE_NO_SUCH_ATTRIBUTE;
  const std::string& attr = def->name;
  std::string key = DirectoryName::key(attr);
  if (key == "OBJECT CLASS") return NWDSE_OBJECT_CLASS_VIOLATION;
  bool removing = c.type == DS_REMOVE_ATTRIBUTE || c.type == DS_REMOVE_VALUE || c.type == DS_CLEAR_ATTRIBUTE ||
                  c.type == DS_CLEAR_VALUE;
  if (c.type > DS_CLEAR_VALUE) return NWDSE_INVALID_REQUEST;
  if (!removing && !tree_.schema().allows(o.cls, attr)) return NWDSE_ILLEGAL_ATTRIBUTE;
  if (!unchecked_) {
    if (def->readOnly()) return NWDSE_NO_ACCESS;
    bool self = caller && def->syntax == NWDS_SYN_DIST_NAME && !c.values.empty() &&
                std::all_of(c.values.begin(), c.values.end(), [&](const DsValue& v) { return v.ref == *caller; });
    bool ok = self ? rights_.mayWriteSelf(caller, o.id, attr) : rights_.mayWrite(caller, o.id, attr);
    if (!ok) return NWDSE_NO_ACCESS;
  }
  if (def->syntax == NWDS_SYN_STREAM) {
    // Stream values are written through NWDSOpenStream; a change can only remove them.
    if (c.type != DS_REMOVE_ATTRIBUTE && c.type != DS_CLEAR_ATTRIBUTE) return NWDSE_SYNTAX_VIOLATION;
    bool had = DirectoryStreams(tree_).remove(o.id, attr);
    return had || c.type == DS_CLEAR_ATTRIBUTE ? 0 : NWDSE_NO_SUCH_ATTRIBUTE;
  }
  std::vector<DsValue> values;
  for (DsValue v : c.values) {
    if (!DirectorySchema::compatible(v.syntax, def->syntax)) return NWDSE_SYNTAX_VIOLATION;
    v.syntax = def->syntax;
    if ((def->flags & DS_SIZED_ATTR) && (def->syntax == NWDS_SYN_INTEGER || def->syntax == NWDS_SYN_COUNTER) &&
        (v.num < def->lower || v.num > def->upper))
      return NWDSE_SYNTAX_VIOLATION;
    values.push_back(v);
  }
  bool mirrored = partner(attr).has_value();
  auto current = tree_.values(o.id, attr);
  std::vector<std::int64_t> added, removed;
  auto addOne = [&](const DsValue& v) {
    tree_.addValue(o.id, attr, v);
    if (v.ref) added.push_back(v.ref);
  };
  auto removeSeq = [&](const StoredValue& sv) {
    tree_.deleteValue(o.id, attr, sv.seq);
    if (sv.value.ref) removed.push_back(sv.value.ref);
  };
  // The values held, by identity, kept up to date while values are added, so that adding
  // many values costs one read of the attribute, not one per value.
  std::unordered_set<std::string> holding;
  auto heldNow = [&](const DsValue& v) {
    if (holding.empty())
      for (auto& sv : current) holding.insert(DsValueForm::identity(sv.value));
    return holding.count(DsValueForm::identity(v)) != 0;
  };
  auto addNew = [&](const DsValue& v) {
    addOne(v);
    holding.insert(DsValueForm::identity(v));
  };
  switch (c.type) {
    case DS_ADD_ATTRIBUTE:
      if (!current.empty()) return NWDSE_ATTRIBUTE_ALREADY_EXISTS;
      for (auto& v : values)
        if (!heldNow(v)) addNew(v);
      break;
    case DS_ADD_VALUE:
    case DS_ADDITIONAL_VALUE:
      for (auto& v : values) {
        if (heldNow(v)) {
          // The second half of a two-step membership update finds its work done.
          if (c.type == DS_ADD_VALUE && !mirrored) return NWDSE_DUPLICATE_VALUE;
          continue;
        }
        addNew(v);
      }
      break;
    case DS_REMOVE_VALUE:
    case DS_CLEAR_VALUE:
      for (auto& v : values) {
        bool found = false;
        for (auto& sv : tree_.values(o.id, attr))
          if (DsValueForm::same(sv.value, v)) {
            removeSeq(sv);
            found = true;
            break;
          }
        if (!found && c.type == DS_REMOVE_VALUE && !mirrored) return NWDSE_NO_SUCH_VALUE;
      }
      break;
    case DS_REMOVE_ATTRIBUTE:
    case DS_CLEAR_ATTRIBUTE:
      if (current.empty() && c.type == DS_REMOVE_ATTRIBUTE) return NWDSE_NO_SUCH_ATTRIBUTE;
      for (auto& sv : current) removeSeq(sv);
      break;
    case DS_OVERWRITE_VALUE: {
      bool keyed = !def->singleValued() && DsValueForm::hasKey(def->syntax);
      if (!keyed)
        for (auto& sv : current) removeSeq(sv);
      for (auto& v : values) {
        if (keyed)
          for (auto& sv : tree_.values(o.id, attr))
            if (DsValueForm::sameKey(sv.value, v)) removeSeq(sv);
        addOne(v);
      }
      break;
    }
    default: return NWDSE_INVALID_REQUEST;
  }
  if (def->singleValued() && tree_.values(o.id, attr).size() > 1) return NWDSE_CANT_HAVE_MULTIPLE_VALUES;
  for (auto id : removed) mirror(o.id, attr, id, false);
  for (auto id : added) mirror(o.id, attr, id, true);
  return 0;
}

NWCCODE DirectoryUpdate::checkObject(const DsObject& o) {
  // The naming value must stay.
  DsValue naming;
  naming.syntax = NWDS_SYN_CI_STRING;
  naming.text = o.rdn;
  if (tree_.schema().attr(o.rdnType) && !held(tree_.values(o.id, o.rdnType), naming)) return NWDSE_CANT_REMOVE_NAMING_VALUE;
  for (const std::string& m : tree_.schema().items(o.cls, 3))
    if (tree_.values(o.id, m).empty() && !DirectoryStreams(tree_).has(o.id, m)) return NWDSE_MISSING_MANDATORY;
  return 0;
}

NWCCODE DirectoryUpdate::modify(std::int64_t object, const std::vector<DsChange>& changes) {
  auto o = tree_.object(object);
  if (!o) return NWDSE_NO_SUCH_ENTRY;
  auto caller = tree_.caller();
  Transaction t(tree_.db());
  for (const DsChange& c : changes)
    if (NWCCODE rc = change(*o, c, caller)) return rc;
  if (NWCCODE rc = checkObject(*o)) return rc;
  t.commit();
  return 0;
}

NWCCODE DirectoryUpdate::add(const std::vector<Rdn>& name, const std::vector<DsNewAttr>& attrs, std::int64_t& id) {
  if (name.empty()) return NWDSE_CANT_ADD_ROOT;
  // The parent: everything but the leftmost component, which must exist.
  std::int64_t parent = tree_.rootId();
  for (std::size_t i = name.size(); i-- > 1;) {
    auto c = tree_.child(parent, name[i].value);
    if (!c) return NWDSE_NO_SUCH_PARENT;
    parent = c->id;
  }
  if (tree_.child(parent, name[0].value)) return NWDSE_ENTRY_ALREADY_EXISTS;
  auto parentObj = tree_.object(parent);
  if (!parentObj) return NWDSE_NO_SUCH_PARENT;
  std::string cls;
  for (auto& a : attrs)
    if (DirectoryName::key(a.attr) == "OBJECT CLASS" && !a.values.empty()) cls = a.values.front().text;
  if (cls.empty()) return NWDSE_MISSING_MANDATORY;
  auto def = tree_.schema().cls(cls);
  if (!def) return NWDSE_NO_SUCH_CLASS;
  if (!def->effective()) return NWDSE_NOT_EFFECTIVE_CLASS;
  if (!tree_.schema().mayContain(parentObj->cls, def->name)) return NWDSE_ILLEGAL_CONTAINMENT;
  std::string namingType = tree_.schema().namingType(def->name);
  Rdn rdn = name[0];
  if (rdn.type.empty() || rdn.type == "CN") rdn.type = namingType;
  if (rdn.type != namingType && !(namingType == "L" && rdn.type == "S")) return NWDSE_BAD_NAMING_ATTRIBUTES;
  if (rdn.value.size() > NWDS_MAX_RDN_CHARS) return NWDSE_RDN_TOO_LONG;
  if (!unchecked_ && !rights_.entry(tree_.caller(), parent, DS_ENTRY_ADD)) return NWDSE_NO_ACCESS;

  Transaction t(tree_.db());
  id = tree_.newId();
  tree_.db().prepare("INSERT INTO ds_objects(id, parent, rdn_type, rdn, rdn_key, class, modified) VALUES(?,?,?,?,?,?,?)")
      .with(id, parent, rdn.type, rdn.value, DirectoryName::key(rdn.value), def->name, localNow()).run();
  auto o = *tree_.object(id);
  for (const std::string& c : tree_.schema().chain(def->name)) {
    DsValue v;
    v.syntax = NWDS_SYN_CLASS_NAME;
    v.text = c;
    tree_.addValue(id, "Object Class", v);
  }
  // The object is new: writing its own attributes needs no further rights.
  bool saved = unchecked_;
  unchecked_ = true;
  NWCCODE rc = 0;
  for (auto& a : attrs) {
    if (DirectoryName::key(a.attr) == "OBJECT CLASS") continue;
    rc = change(o, DsChange{DS_ADDITIONAL_VALUE, a.attr, a.values}, std::nullopt);
    if (rc) break;
  }
  if (!rc && tree_.schema().attr(rdn.type) && tree_.schema().allows(def->name, rdn.type)) {
    DsValue naming;
    naming.syntax = NWDS_SYN_CI_STRING;
    naming.text = rdn.value;
    rc = change(o, DsChange{DS_ADDITIONAL_VALUE, rdn.type, {naming}}, std::nullopt);
  }
  if (!rc && tree_.isA(o, "User")) {
    // A new user may read its own attributes and keep its login script.
    for (auto [prot, rights] : {std::pair<const char*, std::uint32_t>{"[All Attributes Rights]", DS_ATTR_READ | DS_ATTR_COMPARE},
                                {"Login Script", DS_ATTR_READ | DS_ATTR_WRITE},
                                {"Print Job Configuration", DS_ATTR_READ | DS_ATTR_WRITE}}) {
      DsValue acl;
      acl.syntax = NWDS_SYN_OBJECT_ACL;
      acl.text = prot;
      acl.ref = id;
      acl.num = rights;
      tree_.addValue(id, "ACL", acl);
    }
  }
  unchecked_ = saved;
  if (!rc) rc = checkObject(o);
  if (rc) return rc;
  t.commit();
  return 0;
}

NWCCODE DirectoryUpdate::remove(std::int64_t object) {
  auto o = tree_.object(object);
  if (!o) return NWDSE_NO_SUCH_ENTRY;
  if (object == tree_.rootId()) return NWDSE_INVALID_ENTRY_FOR_ROOT;
  if (!tree_.children(object).empty()) return NWDSE_ENTRY_IS_NOT_LEAF;
  if (!unchecked_ && !rights_.entry(tree_.caller(), object, DS_ENTRY_DELETE)) return NWDSE_NO_ACCESS;
  Transaction t(tree_.db());
  DirectoryStreams(tree_).removeAll(object);
  // Every value that names the object goes with it (memberships, trustee entries, ...).
  tree_.db().prepare("DELETE FROM ds_values WHERE ref=?").with(object).run();
  tree_.db().prepare("DELETE FROM ds_objects WHERE id=?").with(object).run();
  t.commit();
  return 0;
}

NWCCODE DirectoryUpdate::move(std::int64_t object, std::int64_t newParent, const Rdn& newRdn) {
  auto o = tree_.object(object);
  auto p = tree_.object(newParent);
  if (!o) return NWDSE_NO_SUCH_ENTRY;
  if (!p) return NWDSE_NO_SUCH_PARENT;
  if (object == tree_.rootId()) return NWDSE_INVALID_ENTRY_FOR_ROOT;
  for (const DsObject& a : tree_.path(newParent))
    if (a.id == object) return NWDSE_ILLEGAL_CONTAINMENT;  // into its own subtree
  if (!tree_.schema().mayContain(p->cls, o->cls)) return NWDSE_ILLEGAL_CONTAINMENT;
  if (!newRdn.type.empty() && newRdn.type != o->rdnType) return NWDSE_BAD_NAMING_ATTRIBUTES;
  if (auto other = tree_.child(newParent, newRdn.value); other && other->id != object) return NWDSE_ENTRY_ALREADY_EXISTS;
  auto caller = tree_.caller();
  if (!unchecked_ && (!rights_.entry(caller, newParent, DS_ENTRY_ADD) ||
                      (DirectoryName::key(newRdn.value) != DirectoryName::key(o->rdn) && !rights_.entry(caller, object, DS_ENTRY_RENAME))))
    return NWDSE_NO_ACCESS;
  Transaction t(tree_.db());
  tree_.db().prepare("UPDATE ds_objects SET parent=?, rdn=?, rdn_key=? WHERE id=?")
      .with(newParent, newRdn.value, DirectoryName::key(newRdn.value), object).run();
  // The naming value follows the new name.
  if (tree_.schema().attr(o->rdnType)) {
    for (auto& sv : tree_.values(object, o->rdnType))
      if (DirectoryName::key(sv.value.text) == DirectoryName::key(o->rdn)) tree_.deleteValue(object, o->rdnType, sv.seq);
    DsValue naming;
    naming.syntax = NWDS_SYN_CI_STRING;
    naming.text = newRdn.value;
    tree_.addValue(object, o->rdnType, naming);
  }
  t.commit();
  return 0;
}

} // namespace nwsim
