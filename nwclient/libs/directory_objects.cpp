// Directory objects: reading their attributes, changing them, adding, removing, moving and
// listing objects, passwords and stream values.
#include "directory_call.h"

#include "directory_rights.h"
#include "directory_stream.h"
#include "directory_update.h"

#include <cstring>

using nwsim::DirectoryName;
using nwsim::DirectoryRights;
using nwsim::DirectoryStreams;
using nwsim::DirectoryTree;
using nwsim::DirectoryUpdate;
using nwsim::DsContext;
using nwsim::DsValue;
using nwsim::DsValueForm;
namespace dc = nwsim::dircall;
using ItemKind = NWDSBuffer::ItemKind;

namespace {

void remember(NWDSBuffer* b, DirectoryTree& tree, const DsContext& c, const DsValue& v) {
  if (v.ref && !b->names.count(v.ref)) b->names[v.ref] = tree.nameOf(v.ref, c);
}

// Fills a result buffer with attributes from position `pos` (counted in values, or in
// attributes for names only) and sets the handle to where the next block starts.
NWCCODE fillAttributes(NWDSBuffer* b, DirectoryTree& tree, const DsContext& c, const std::vector<dc::ReadAttr>& attrs,
                       bool namesOnly, nint32* handle) {
  std::vector<std::pair<std::size_t, std::size_t>> entries;  // (attribute, value)
  for (std::size_t a = 0; a < attrs.size(); ++a) {
    if (namesOnly) entries.push_back({a, 0});
    else
      for (std::size_t v = 0; v < attrs[a].values.size(); ++v) entries.push_back({a, v});
  }
  std::size_t pos = 0;
  if (!dc::startAt(handle, entries.size(), pos)) return NWDSE_INVALID_ITERATION;
  b->prepareResult(DSV_READ);
  b->objects.emplace_back();
  auto& out = b->objects.back().attrs;
  std::size_t i = pos;
  for (; i < entries.size(); ++i) {
    const dc::ReadAttr& a = attrs[entries[i].first];
    bool newAttr = out.empty() || out.back().name != a.name || (i > pos && entries[i - 1].first != entries[i].first);
    std::uint32_t need = newAttr ? static_cast<std::uint32_t>(a.name.size() + 13) : 0;
    if (!namesOnly) {
      const DsValue& v = a.values[entries[i].second];
      remember(b, tree, c, v);
      need += DsValueForm::size(v, b->namer()) + 4;
    }
    if (!b->take(need)) break;
    if (newAttr) out.push_back({a.name, a.syntax, {}, {}, {}});
    if (!namesOnly) out.back().values.push_back(a.values[entries[i].second]);
  }
  if (i == pos && i < entries.size()) return NWDSE_INSUFFICIENT_BUFFER;
  if (handle) *handle = i < entries.size() ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
  return 0;
}

} // namespace

extern "C" {

NWCCODE NWDSRead(NWDSContextHandle context, const char* objectName, nuint32 infoType, nuint8 allAttrs, Buf_T* attrNames,
                 nint32* iterationHandle, Buf_T* objectInfo) {
  NWSIM_SERVE({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!iterationHandle) return NWDSE_NULL_POINTER;
    if (infoType != DS_ATTRIBUTE_NAMES && infoType != DS_ATTRIBUTE_VALUES) return NWDSE_INVALID_REQUEST;
    NWDSBuffer* out = dc::buffer(objectInfo);
    if (!out) return NWDSE_INVALID_HANDLE;
    NWDSBuffer* req = nullptr;
    if (!allAttrs) {
      req = dc::buffer(attrNames);
      if (!req) return NWDSE_INVALID_HANDLE;
      if (req->verb != DSV_READ) return NWDSE_BAD_VERB;
    }
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    auto caller = tree.caller();
    DirectoryRights rights(tree);
    if (!rights.mayBrowse(caller, id)) return NWDSE_NO_ACCESS;

    std::vector<std::string> names;
    if (!allAttrs)
      for (auto& item : req->items)
        if (item.kind == ItemKind::Name) names.push_back(item.name);
    std::vector<dc::ReadAttr> attrs;
    bool denied = false;
    if (NWCCODE rc = dc::readable(tree, rights, caller, id, allAttrs != 0, names, attrs, denied)) return rc;
    if (attrs.empty()) return denied ? NWDSE_NO_ACCESS : NWDSE_NO_SUCH_ATTRIBUTE;
    return fillAttributes(out, tree, *c, attrs, infoType == DS_ATTRIBUTE_NAMES, iterationHandle);
  });
}

NWCCODE NWDSModifyObject(NWDSContextHandle context, const char* objectName, nint32* iterationHandle, nuint8 more,
                         Buf_T* changes) {
  NWSIM_SERVE({
    (void)more;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(changes);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_MODIFY_ENTRY) return NWDSE_BAD_VERB;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    std::vector<nwsim::DsChange> list;
    for (auto& item : b->items) {
      if (item.kind == ItemKind::Change) list.push_back({item.change, item.name, {}});
      else if (item.kind == ItemKind::Value && !list.empty()) list.back().values.push_back(item.value);
    }
    if (list.empty()) return NWDSE_BUFFER_EMPTY;
    // A value sent with a removal of the whole attribute means nothing.
    for (auto& ch : list)
      if (ch.type == DS_REMOVE_ATTRIBUTE || ch.type == DS_CLEAR_ATTRIBUTE) ch.values.clear();
    DirectoryUpdate update(tree);
    NWCCODE rc = update.modify(id, list);
    if (!rc && iterationHandle) *iterationHandle = NWDS_NO_MORE_ITERATIONS;
    return rc;
  });
}

NWCCODE NWDSAddObject(NWDSContextHandle context, const char* objectName, nint32* iterationHandle, nuint8 more,
                      Buf_T* objectInfo) {
  NWSIM_SERVE({
    (void)more;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(objectInfo);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_ADD_ENTRY) return NWDSE_BAD_VERB;
    std::string n;
    if (!objectName) return NWDSE_NULL_POINTER;
    if (!dc::inName(objectName, n)) return NWDSE_INVALID_DS_NAME;
    DirectoryTree tree(s);
    auto r = tree.resolve(*c, n, false);
    if (r.code) return r.code;
    if (r.id) return NWDSE_ENTRY_ALREADY_EXISTS;
    std::vector<nwsim::DsNewAttr> attrs;
    for (auto& item : b->items) {
      if (item.kind == ItemKind::Name) attrs.push_back({item.name, {}});
      else if (item.kind == ItemKind::Value && !attrs.empty()) attrs.back().values.push_back(item.value);
    }
    DirectoryUpdate update(tree);
    std::int64_t id = 0;
    NWCCODE rc = update.add(r.rdns, attrs, id);
    if (!rc && iterationHandle) *iterationHandle = NWDS_NO_MORE_ITERATIONS;
    return rc;
  });
}

NWCCODE NWDSRemoveObject(NWDSContextHandle context, const char* objectName) {
  NWSIM_SERVE({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    return DirectoryUpdate(tree).remove(id);
  });
}

NWCCODE NWDSMoveObject(NWDSContextHandle context, const char* objectName, const char* destParentDN, const char* destRDN) {
  NWSIM_SERVE({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    DirectoryTree tree(s);
    std::int64_t id = 0, parent = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    if (NWCCODE rc = dc::object(tree, *c, destParentDN, parent)) return rc;
    std::string rdnText;
    if (!destRDN) return NWDSE_NULL_POINTER;
    if (!dc::inName(destRDN, rdnText)) return NWDSE_INVALID_DS_NAME;
    auto rdn = DirectoryName::parse(rdnText);
    if (!rdn || rdn->root || rdn->absolute || rdn->up || rdn->rdns.size() != 1) return NWDSE_ILLEGAL_DS_NAME;
    return DirectoryUpdate(tree).move(id, parent, rdn->rdns[0]);
  });
}

NWCCODE NWDSList(NWDSContextHandle context, const char* objectName, nint32* iterationHandle, Buf_T* subordinates) {
  NWSIM_SERVE({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!iterationHandle) return NWDSE_NULL_POINTER;
    NWDSBuffer* b = dc::buffer(subordinates);
    if (!b) return NWDSE_INVALID_HANDLE;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (objectName && !*objectName) {
      // An empty name lists the name context itself.
      if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
      DsContext complete = *c;
      complete.nameContext.clear();
      auto r = tree.resolve(complete, DirectoryName::format(c->nameContext, false));
      if (r.code) return r.code;
      id = r.id;
    } else if (NWCCODE rc = dc::object(tree, *c, objectName, id)) {
      return rc;
    }
    auto caller = tree.caller();
    DirectoryRights rights(tree);
    std::vector<nwsim::DsObject> visible;
    for (auto& o : tree.children(id))
      if (rights.mayBrowse(caller, o.id)) visible.push_back(o);
    std::size_t pos = 0;
    if (!dc::startAt(iterationHandle, visible.size(), pos)) return NWDSE_INVALID_ITERATION;
    b->prepareResult(DSV_LIST);
    std::size_t i = pos;
    for (; i < visible.size(); ++i) {
      const auto& o = visible[i];
      NWDSBuffer::ResultObject r;
      r.name = DirectoryName::format({{o.rdnType, o.rdn}}, c->typeless());
      if (!b->take(static_cast<std::uint32_t>(r.name.size() + 1 + sizeof(Object_Info_T)))) break;
      auto cls = tree.schema().cls(o.cls);
      r.info.objectFlags = (cls && cls->container() ? DS_CONTAINER_ENTRY : 0) | (o.partitionRoot ? DS_PARTITION_ROOT : 0) |
                           (tree.isA(o, "Alias") ? DS_ALIAS_ENTRY : 0);
      r.info.subordinateCount = static_cast<nuint32>(tree.children(o.id).size());
      r.info.modificationTime = static_cast<nuint32>(o.modified);
      nwsim::marshal::putString(r.info.baseClass, sizeof r.info.baseClass, o.cls);
      b->objects.push_back(r);
    }
    *iterationHandle = i < visible.size() ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
    return 0;
  });
}

NWCCODE NWDSGenerateObjectKeyPair(NWDSContextHandle context, const char* objectName, const char* objectPassword,
                                  nuint32 optionsFlag) {
  NWSIM_SERVE({
    (void)optionsFlag;
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!objectPassword) return NWDSE_NULL_POINTER;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    auto caller = tree.caller();
    if (caller != id && !DirectoryRights(tree).entry(caller, id, DS_ENTRY_SUPERVISOR)) return NWDSE_NO_ACCESS;
    std::string pw = nwsim::marshal::getString(objectPassword, 256);
    tree.db().prepare("INSERT OR REPLACE INTO ds_passwords(object_id, password) VALUES(?,?)").with(id, DirectoryName::key(pw)).run();
    return 0;
  });
}

NWCCODE NWDSOpenStream(NWDSContextHandle context, const char* objectName, const char* attrName, nuint32 flags,
                       nint32* fileHandle) {
  NWSIM_SERVE({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    if (!fileHandle) return NWDSE_NULL_POINTER;
    if (flags < DS_READ_STREAM || flags > DS_READ_WRITE_STREAM) return NWDSE_INVALID_REQUEST;
    std::string attr;
    if (NWCCODE rc = dc::inSchemaName(attrName, attr)) return rc;
    DirectoryTree tree(s);
    std::int64_t id = 0;
    if (NWCCODE rc = dc::object(tree, *c, objectName, id)) return rc;
    auto def = tree.schema().attr(attr);
    if (!def) return NWDSE_NO_SUCH_ATTRIBUTE;
    if (def->syntax != NWDS_SYN_STREAM) return NWDSE_SYNTAX_VIOLATION;
    auto o = tree.object(id);
    auto caller = tree.caller();
    DirectoryRights rights(tree);
    DirectoryStreams streams(tree);
    std::filesystem::path file;
    if (flags & DS_WRITE_STREAM) {
      if (!tree.schema().allows(o->cls, def->name)) return NWDSE_ILLEGAL_ATTRIBUTE;
      if (!rights.mayWrite(caller, id, def->name)) return NWDSE_NO_ACCESS;
      file = streams.create(id, def->name);
    } else {
      if (!rights.mayRead(caller, id, def->name)) return NWDSE_NO_ACCESS;
      auto f = streams.file(id, def->name);
      if (!f) return NWDSE_NO_SUCH_ATTRIBUTE;
      file = *f;
    }
    int fd = streams.open(file, flags);
    if (fd < 0) return NWDSE_SYSTEM_FAILURE;
    *fileHandle = fd;
    return 0;
  });
}

} // extern "C"
