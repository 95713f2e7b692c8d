// The directory part of a seed: the tree, its partitions, containers and leaf objects, their
// attribute values, passwords, login scripts and trustee entries.
//
//   "directory": { "tree": "ACME", "acl": [...], "objects": [
//     { "name": "O=ACME", "class": "Organization", "partitionRoot": true, "acl": [...],
//       "attributes": { "Description": "...", "Login Script": "..." },
//       "objects": [ { "name": "CN=JSMITH", "class": "User", "id": "1A000010", "password": "x",
//                      "attributes": { "Surname": "Smith", "Group Membership": ["CN=SALES.O=ACME"] } } ] } ] }
//
// A trustee entry: { "subject": "CN=ADMIN.O=ACME" | "[Public]" | "[Root]" | "[Inheritance Mask]",
//                    "attribute": "[Entry Rights]", "rights": "BADRS" or a number }.
#include "seed.h"

#include "directory_stream.h"
#include "directory_tree.h"
#include "directory_update.h"
#include "password_hash.h"

#include <cstring>
#include <filesystem>
#include <functional>

namespace nwsim {

namespace {

struct PendingObject {
  std::int64_t id;
  const Value* value;
};

std::uint32_t rightsBits(SeedLoader& l, const Value& v, const std::string& prot) {
  if (v.isNumber()) return static_cast<std::uint32_t>(v.asInteger("rights"));
  std::string text = SeedLoader::upper(v.asString("rights"));
  std::string p = SeedLoader::upper(prot);
  const char* letters = p == "[ENTRY RIGHTS]" ? "BADRS" : p == "[SMS RIGHTS]" ? "SBRCDA" : "CRWA?S";
  std::uint32_t bits = 0;
  for (char c : text) {
    if (c == '-' || c == ' ') continue;
    const char* at = std::strchr(letters, c);
    if (!at || c == '?') l.fail(v, "unknown right \"" + std::string(1, c) + "\" for " + prot);
    bits |= 1u << (at - letters);
  }
  return bits;
}

} // namespace

void SeedLoader::directory(const Value& root) {
  const Value* d = root.find("directory");
  if (!d) return;
  if (!d->isObject()) fail(*d, "\"directory\" must be an object");
  std::string tree = upper(required(*d, "tree", "the directory").asString("\"tree\""));
  if (tree.empty() || tree.size() > 32 || tree.find_first_of(" .=") != std::string::npos)
    fail(*d->find("tree"), "a tree name is one word of 1 to 32 characters");
  db_.prepare("SELECT name, tree FROM servers WHERE kind='directory'").each([&](Stmt& q) {
    if (upper(q.text(1)) != tree) fail(*d, "directory server " + q.text(0) + " serves tree " + q.text(1) + ", not " + tree);
  });

  const char* file = sqlite3_db_filename(db_.handle(), "main");
  std::filesystem::path dir = file && *file ? std::filesystem::path(file).parent_path() : std::filesystem::path(".");
  DirectorySchema::install(db_);
  std::int64_t rootId = d->find("rootId") ? hex32(*d->find("rootId"), "the root ID") : 0x0A000001;
  db_.prepare("INSERT INTO ds_tree(id, name, root_id, next_id) VALUES(1,?,?,?)").with(tree, rootId, std::int64_t(0x8A000001)).run();
  db_.prepare("INSERT INTO ds_objects(id, parent, rdn_type, rdn, rdn_key, class, partition_root, modified) VALUES(?,NULL,'','[Root]','[ROOT]','Tree Root',1,?)")
      .with(rootId, localNow()).run();
  DirectoryTree t(db_, dir);
  {
    DsValue cls;
    cls.syntax = NWDS_SYN_CLASS_NAME;
    for (auto& c : t.schema().chain("Tree Root")) {
      cls.text = c;
      t.addValue(rootId, "Object Class", cls);
    }
  }

  // First every object, so that values may name objects anywhere in the tree.
  std::vector<PendingObject> pending{{rootId, d}};
  std::function<void(std::int64_t, const Value&)> create = [&](std::int64_t parent, const Value& list) {
    for (const Value& o : list.asArray("\"objects\"")) {
      if (!o.isObject()) fail(o, "a directory object must be an object");
      std::string name = required(o, "name", "a directory object").asString("name");
      std::string cls = required(o, "class", "a directory object").asString("class");
      auto def = t.schema().cls(cls);
      if (!def) fail(o, "unknown class \"" + cls + "\"");
      if (!def->effective()) fail(o, "objects of class " + cls + " cannot be made");
      auto parsed = DirectoryName::parse(name);
      if (!parsed || parsed->root || parsed->absolute || parsed->up || parsed->rdns.size() != 1)
        fail(o, "\"" + name + "\" is not one name component");
      Rdn rdn = parsed->rdns[0];
      std::string naming = t.schema().namingType(def->name);
      if (rdn.type.empty()) rdn.type = naming;
      if (rdn.type != naming) fail(o, name + ": a " + def->name + " is named with " + naming + "=");
      auto parentObj = t.object(parent);
      if (!t.schema().mayContain(parentObj->cls, def->name))
        fail(o, "a " + def->name + " cannot be placed in a " + parentObj->cls);
      if (t.child(parent, rdn.value)) fail(o, name + " appears twice in one container");
      std::int64_t id = o.find("id") ? hex32(*o.find("id"), "an object ID") : t.newId();
      if (t.object(id)) fail(o, "object ID of " + name + " is taken");
      bool partition = o.find("partitionRoot") && o.find("partitionRoot")->asBool("\"partitionRoot\"");
      if (partition && !def->container()) fail(o, "only a container can be a partition root");
      db_.prepare("INSERT INTO ds_objects(id, parent, rdn_type, rdn, rdn_key, class, partition_root, modified) VALUES(?,?,?,?,?,?,?,?)")
          .with(id, parent, rdn.type, rdn.value, DirectoryName::key(rdn.value), def->name, partition ? 1 : 0, localNow()).run();
      DsValue v;
      v.syntax = NWDS_SYN_CLASS_NAME;
      for (auto& c : t.schema().chain(def->name)) {
        v.text = c;
        t.addValue(id, "Object Class", v);
      }
      if (t.schema().attr(rdn.type)) {
        DsValue n;
        n.syntax = NWDS_SYN_CI_STRING;
        n.text = rdn.value;
        t.addValue(id, rdn.type, n);
      }
      pending.push_back({id, &o});
      if (const Value* kids = o.find("objects")) {
        if (!def->container()) fail(*kids, name + " is no container");
        create(id, *kids);
      }
    }
  };
  if (const Value* objects = d->find("objects")) create(rootId, *objects);

  // Then the values, through the same checks and upkeep as a client's writes.
  DsContext complete;
  complete.flags = DCV_DEFAULT_FLAGS;
  DirectoryUpdate update(t);
  update.setUnchecked(true);
  DirectoryStreams streams(t);
  auto lookup = [&](const Value& v, const std::string& name) {
    auto r = t.resolve(complete, name);
    if (r.code) fail(v, "\"" + name + "\" names no object of the tree");
    return r.id;
  };
  for (const PendingObject& p : pending) {
    const Value& o = *p.value;
    std::string what = p.id == rootId ? std::string("[Root]") : t.nameOf(p.id, complete);
    std::vector<DsChange> changes;
    if (const Value* attrs = o.find("attributes")) {
      if (!attrs->isObject()) fail(*attrs, "\"attributes\" must be an object");
      for (const std::string& key : attrs->keys()) {
        const Value& val = *attrs->find(key);
        auto def = t.schema().attr(key);
        if (!def) fail(val, "unknown attribute \"" + key + "\" on " + what);
        if (def->syntax == NWDS_SYN_STREAM) {
          auto obj = t.object(p.id);
          if (!t.schema().allows(obj->cls, def->name)) fail(val, def->name + " is not allowed on " + what);
          streams.write(p.id, def->name, val.asString(key.c_str()));
          continue;
        }
        std::vector<const Value*> items;
        if (val.isArray()) for (const Value& v : val.asArray(key.c_str())) items.push_back(&v);
        else items.push_back(&val);
        DsChange ch{DS_ADDITIONAL_VALUE, def->name, {}};
        for (const Value* iv : items) {
          DsValue v;
          v.syntax = def->syntax;
          switch (def->syntax) {
            case NWDS_SYN_DIST_NAME: v.ref = lookup(*iv, iv->asString(key.c_str())); break;
            case NWDS_SYN_INTEGER: case NWDS_SYN_COUNTER: case NWDS_SYN_INTERVAL: v.num = iv->asInteger(key.c_str()); break;
            case NWDS_SYN_BOOLEAN: v.num = iv->asBool(key.c_str()) ? 1 : 0; break;
            case NWDS_SYN_TIME: {
              auto tm = parseLocalTime(iv->asString(key.c_str()));
              if (!tm) fail(*iv, "a time is \"yyyy-mm-dd hh:mm:ss\"");
              v.num = *tm;
              break;
            }
            case NWDS_SYN_OCTET_STRING: v.data = iv->asString(key.c_str()); break;
            case NWDS_SYN_EMAIL_ADDRESS:
              if (iv->isObject()) {
                v.num = integer(*iv, "type", 0);
                v.text = required(*iv, "address", "an e-mail address").asString("address");
              } else {
                v.text = iv->asString(key.c_str());
              }
              break;
            case NWDS_SYN_TYPED_NAME:
              if (iv->isObject()) {
                v.ref = lookup(*iv, required(*iv, "name", "a typed name").asString("name"));
                v.num = integer(*iv, "level", 0);
                v.num2 = integer(*iv, "interval", 0);
              } else {
                v.ref = lookup(*iv, iv->asString(key.c_str()));
              }
              break;
            case NWDS_SYN_PATH:
              v.ref = lookup(*iv, required(*iv, "volume", "a path").asString("volume"));
              v.text = str(*iv, "path");
              v.num = integer(*iv, "nameSpace", 0);
              break;
            case NWDS_SYN_CE_STRING: case NWDS_SYN_CI_STRING: case NWDS_SYN_PR_STRING: case NWDS_SYN_NU_STRING:
            case NWDS_SYN_TEL_NUMBER: case NWDS_SYN_CLASS_NAME: case NWDS_SYN_FAX_NUMBER:
              v.text = iv->asString(key.c_str());
              break;
            default: fail(*iv, "values of " + def->name + " cannot be given in a seed");
          }
          ch.values.push_back(v);
        }
        changes.push_back(ch);
      }
    }
    if (const Value* acl = o.find("acl")) {
      DsChange ch{DS_ADDITIONAL_VALUE, "ACL", {}};
      for (const Value& e : acl->asArray("\"acl\"")) {
        DsValue v;
        v.syntax = NWDS_SYN_OBJECT_ACL;
        v.text = required(e, "attribute", "a trustee entry").asString("attribute");
        std::string subject = required(e, "subject", "a trustee entry").asString("subject");
        std::string k = upper(subject);
        if (k == "[PUBLIC]") v.text2 = "[Public]";
        else if (k == "[INHERITANCE MASK]") v.text2 = "[Inheritance Mask]";
        else v.ref = lookup(e, subject);
        v.num = rightsBits(*this, required(e, "rights", "a trustee entry"), v.text);
        ch.values.push_back(v);
      }
      changes.push_back(ch);
    }
    if (!changes.empty())
      if (NWCCODE rc = update.modify(p.id, changes))
        fail(o, "the values of " + what + " are refused (directory code " + std::to_string(rc) + ")");
    if (p.id != rootId)
      if (NWCCODE rc = update.modify(p.id, {}))
        fail(o, what + " lacks a mandatory attribute (directory code " + std::to_string(rc) + ")");
    if (const Value* pw = o.find("password"))
      db_.prepare("INSERT OR REPLACE INTO ds_passwords(object_id, password) VALUES(?,?)").with(p.id, hashPassword(pw->asString("password"))).run();
  }
}

} // namespace nwsim
