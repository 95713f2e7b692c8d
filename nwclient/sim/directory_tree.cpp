#include "directory_tree.h"

#include <algorithm>

namespace nwsim {

namespace {

DsObject readObject(Stmt& q) {
  DsObject o;
  o.id = q.int64(0);
  o.parent = q.isNull(1) ? 0 : q.int64(1);
  o.rdnType = q.text(2);
  o.rdn = q.text(3);
  o.cls = q.text(4);
  o.partitionRoot = q.int64(5) != 0;
  o.modified = q.int64(6);
  return o;
}

constexpr const char* kObjectColumns = "id, parent, rdn_type, rdn, class, partition_root, modified";

} // namespace

bool DirectoryTree::exists() {
  return db().prepare("SELECT 1 FROM ds_tree WHERE id=1").first([](Stmt&) {});
}

std::string DirectoryTree::treeName() {
  std::string n;
  db().prepare("SELECT name FROM ds_tree WHERE id=1").first([&](Stmt& q) { n = q.text(0); });
  return n;
}

std::int64_t DirectoryTree::rootId() {
  std::int64_t id = 0;
  db().prepare("SELECT root_id FROM ds_tree WHERE id=1").first([&](Stmt& q) { id = q.int64(0); });
  return id;
}

std::int64_t DirectoryTree::newId() {
  std::int64_t id = 0;
  db().prepare("SELECT next_id FROM ds_tree WHERE id=1").first([&](Stmt& q) { id = q.int64(0); });
  while (object(id)) ++id;
  db().prepare("UPDATE ds_tree SET next_id=? WHERE id=1").with(id + 1).run();
  return id;
}

std::optional<DsObject> DirectoryTree::object(std::int64_t id) {
  std::optional<DsObject> o;
  db().prepare(std::string("SELECT ") + kObjectColumns + " FROM ds_objects WHERE id=?").with(id).first([&](Stmt& q) {
    o = readObject(q);
  });
  return o;
}

std::optional<DsObject> DirectoryTree::child(std::int64_t parent, const std::string& value) {
  std::optional<DsObject> o;
  db().prepare(std::string("SELECT ") + kObjectColumns + " FROM ds_objects WHERE COALESCE(parent, 0)=? AND rdn_key=?")
      .with(parent, DirectoryName::key(value))
      .first([&](Stmt& q) { o = readObject(q); });
  return o;
}

std::vector<DsObject> DirectoryTree::children(std::int64_t parent) {
  std::vector<DsObject> out;
  db().prepare(std::string("SELECT ") + kObjectColumns + " FROM ds_objects WHERE parent=? ORDER BY rdn_key")
      .with(parent).each([&](Stmt& q) { out.push_back(readObject(q)); });
  return out;
}

std::size_t DirectoryTree::childCount(std::int64_t parent) {
  std::size_t n = 0;
  db().prepare("SELECT COUNT(*) FROM ds_objects WHERE parent=?").with(parent).first([&](Stmt& q) {
    n = static_cast<std::size_t>(q.int64(0));
  });
  return n;
}

std::vector<DsObject> DirectoryTree::path(std::int64_t id) {
  std::vector<DsObject> out;
  std::int64_t root = rootId();
  while (id && id != root && out.size() < 256) {
    auto o = object(id);
    if (!o) break;
    out.push_back(*o);
    id = o->parent;
  }
  return out;
}

std::vector<Rdn> DirectoryTree::rdnsOf(std::int64_t id) {
  std::vector<Rdn> out;
  for (const DsObject& o : path(id)) out.push_back({o.rdnType, o.rdn});
  return out;
}

std::string DirectoryTree::nameOf(std::int64_t id, const DsContext& c) {
  return DirectoryName::format(rdnsOf(id), c.typeless());
}

bool DirectoryTree::isA(const DsObject& o, const std::string& cls) {
  std::string k = DirectoryName::key(cls);
  for (auto& c : schema_.chain(o.cls))
    if (DirectoryName::key(c) == k) return true;
  return false;
}

namespace {

// A relative name whose top component is typed as a country, or as an organization where
// the name context's lowest container is no country, cannot lie below the name context:
// a country sits only below [Root], an organization only there or below a country. Such a
// name ("CN=JSMITH.OU=SALES.O=ACME") is complete as it stands.
bool completeAsWritten(const DirectoryName& n, const std::vector<Rdn>& nameContext) {
  if (n.up || n.rdns.empty()) return false;
  const std::string& top = n.rdns.back().type;
  if (top == "C") return true;
  return top == "O" && (nameContext.empty() || nameContext.front().type != "C");
}

} // namespace

DirectoryTree::Resolved DirectoryTree::resolve(const DsContext& c, const std::string& text, bool mustExist) {
  Resolved r;
  if (text.size() > NWDS_MAX_DN_CHARS) { r.code = NWDSE_INVALID_DS_NAME; return r; }
  if (!exists()) { r.code = NWDSE_NO_SUCH_ENTRY; return r; }
  auto n = DirectoryName::parse(text);
  if (!n) { r.code = NWDSE_ILLEGAL_DS_NAME; return r; }
  std::vector<Rdn> full;
  if (!n->root) {
    full = n->rdns;
    // Without canonicalisation the name is taken as complete as it stands.
    if (!n->absolute && (c.flags & DCV_CANONICALIZE_NAMES) && !completeAsWritten(*n, c.nameContext)) {
      if (n->up > static_cast<int>(c.nameContext.size())) { r.code = NWDSE_ILLEGAL_DS_NAME; return r; }
      full.insert(full.end(), c.nameContext.begin() + n->up, c.nameContext.end());
    }
  }
  // Walk down from [Root], typing each component by the object it names.
  std::int64_t at = rootId();
  bool found = true;
  for (std::size_t i = full.size(); i-- > 0;) {
    Rdn& rdn = full[i];
    if (found) {
      auto o = child(at, rdn.value);
      if (o && (rdn.type.empty() || rdn.type == o->rdnType)) {
        rdn.type = o->rdnType;
        rdn.value = o->rdn;
        at = o->id;
        continue;
      }
      found = false;
    }
    if (rdn.type.empty()) rdn.type = i == 0 ? "CN" : (i + 1 == full.size() ? "O" : "OU");
  }
  r.rdns = full;
  if (found) r.id = at;
  else if (mustExist) r.code = NWDSE_NO_SUCH_ENTRY;
  if (DirectoryName::format(full, false).size() > NWDS_MAX_DN_CHARS && !r.code) r.code = NWDSE_DN_TOO_LONG;
  return r;
}

NameToId DirectoryTree::lookup(const DsContext& c) {
  return [this, c](const std::string& name, std::int64_t& id) -> NWCCODE {
    auto r = resolve(c, name);
    if (r.code) return r.code;
    id = r.id;
    return 0;
  };
}

IdToName DirectoryTree::namer(const DsContext& c) {
  return [this, c](std::int64_t id) { return nameOf(id, c); };
}

std::vector<StoredValue> DirectoryTree::values(std::int64_t id, const std::string& attr) {
  std::vector<StoredValue> out;
  db().prepare("SELECT seq, syntax, COALESCE(ref, 0), text, text2, num, num2, data FROM ds_values "
               "WHERE object_id=? AND attr=? COLLATE NOCASE ORDER BY seq")
      .with(id, attr)
      .each([&](Stmt& q) {
        StoredValue sv;
        sv.seq = q.integer(0);
        sv.value.syntax = static_cast<std::uint32_t>(q.int64(1));
        sv.value.ref = q.int64(2);
        sv.value.text = q.text(3);
        sv.value.text2 = q.text(4);
        sv.value.num = q.int64(5);
        sv.value.num2 = q.int64(6);
        auto b = q.blob(7);
        sv.value.data.assign(b.begin(), b.end());
        out.push_back(sv);
      });
  return out;
}

std::vector<std::string> DirectoryTree::attributes(std::int64_t id) {
  std::vector<std::string> out;
  db().prepare("SELECT d.name FROM ds_attr_defs d WHERE EXISTS(SELECT 1 FROM ds_values v WHERE v.object_id=? AND v.attr=d.name COLLATE NOCASE) "
               "OR EXISTS(SELECT 1 FROM ds_streams s WHERE s.object_id=? AND s.attr=d.name) ORDER BY d.name")
      .with(id, id)
      .each([&](Stmt& q) { out.push_back(q.text(0)); });
  return out;
}

void DirectoryTree::addValue(std::int64_t id, const std::string& attr, const DsValue& v) {
  int seq = 0;
  db().prepare("SELECT COALESCE(MAX(seq), -1) + 1 FROM ds_values WHERE object_id=? AND attr=? COLLATE NOCASE")
      .with(id, attr).first([&](Stmt& q) { seq = q.integer(0); });
  auto& ins = db().prepare("INSERT INTO ds_values(object_id, attr, seq, syntax, ref, text, text2, num, num2, data) VALUES(?,?,?,?,?,?,?,?,?,?)");
  ins.with(id, attr, seq, v.syntax);
  if (v.ref) ins.bind(5, v.ref); else ins.bindNull(5);
  ins.bind(6, v.text).bind(7, v.text2).bind(8, v.num).bind(9, v.num2).bindBlob(10, v.data.data(), v.data.size());
  ins.run();
  touch(id);
}

void DirectoryTree::deleteValue(std::int64_t id, const std::string& attr, int seq) {
  db().prepare("DELETE FROM ds_values WHERE object_id=? AND attr=? COLLATE NOCASE AND seq=?").with(id, attr, seq).run();
  touch(id);
}

void DirectoryTree::deleteValues(std::int64_t id, const std::string& attr) {
  db().prepare("DELETE FROM ds_values WHERE object_id=? AND attr=? COLLATE NOCASE").with(id, attr).run();
  touch(id);
}

void DirectoryTree::touch(std::int64_t id) {
  db().prepare("UPDATE ds_objects SET modified=? WHERE id=?").with(localNow(), id).run();
}

std::optional<std::int64_t> DirectoryTree::caller() {
  if (!s_) return std::nullopt;
  std::optional<std::int64_t> id;
  db().prepare("SELECT object_id FROM ds_logins WHERE workstation=?").with(s_->workstation()).first([&](Stmt& q) {
    id = q.int64(0);
  });
  if (id) return id;
  std::string tree = DirectoryName::key(treeName());
  for (const Connection& c : s_->connections()) {
    if (!c.objectId) continue;
    Server sv = s_->server(c.serverId);
    if (!sv.isDirectory() || DirectoryName::key(sv.tree) != tree) continue;
    if (object(c.objectId)) return static_cast<std::int64_t>(c.objectId);
    // A bindery login on a directory server acts as the user of that name.
    if (auto b = s_->object(c.serverId, c.objectId)) {
      std::optional<std::int64_t> u;
      db().prepare("SELECT id FROM ds_objects WHERE rdn_key=? AND rdn_type='CN' ORDER BY id").with(DirectoryName::key(b->name)).each([&](Stmt& q) {
        if (!u) {
          auto o = object(q.int64(0));
          if (o && isA(*o, "User")) u = o->id;
        }
      });
      if (u) return u;
    }
  }
  return std::nullopt;
}

} // namespace nwsim
