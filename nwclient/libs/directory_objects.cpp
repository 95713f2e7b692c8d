// Directory objects: reading their attributes, changing them, adding, removing, moving and
// listing objects, passwords and stream values.
#include "directory_call.h"

#include "directory_login.h"
#include "directory_rights.h"
#include "directory_stream.h"
#include "directory_update.h"

#include <cstring>
#include <map>

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
  std::size_t total = 0;
  for (const auto& a : attrs) total += namesOnly ? 1 : a.values.size();
  std::size_t pos = 0;
  if (!dc::startAt(handle, total, pos)) return NWDSE_INVALID_ITERATION;
  b->prepareResult(DSV_READ);
  b->objects.emplace_back();
  auto& out = b->objects.back().attrs;
  // Find the attribute and value at `pos` without walking the values before it.
  std::size_t ai = namesOnly ? pos : 0, vi = namesOnly ? 0 : pos;
  auto settle = [&] {
    while (!namesOnly && ai < attrs.size() && vi >= attrs[ai].values.size()) {
      vi -= attrs[ai].values.size();
      ++ai;
    }
  };
  settle();
  std::size_t i = pos;
  for (; i < total; ++i) {
    const dc::ReadAttr& a = attrs[ai];
    bool firstOfAttr = namesOnly || vi == 0;
    bool newAttr = out.empty() || out.back().name != a.name || (i > pos && firstOfAttr);
    std::uint32_t need = newAttr ? static_cast<std::uint32_t>(a.name.size() + 13) : 0;
    if (!namesOnly) {
      const DsValue& v = a.values[vi];
      remember(b, tree, c, v);
      need += DsValueForm::size(v, b->namer()) + 4;
    }
    if (!b->take(need)) break;
    if (newAttr) out.push_back({a.name, a.syntax, {}, {}, {}});
    if (!namesOnly) out.back().values.push_back(a.values[vi]);
    if (namesOnly) ++ai;
    else ++vi;
    settle();
  }
  if (i == pos && i < total) return NWDSE_INSUFFICIENT_BUFFER;
  if (handle) *handle = i < total ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
  return 0;
}

// The attributes of the last read, kept while it is continued block by block and nothing in
// the store has changed, so that reading N values in blocks loads them once.
struct ReadInProgress {
  const void* network = nullptr;
  NWDSContextHandle context = 0;
  std::string object;
  bool all = false;
  std::vector<std::string> names;
  std::int64_t stamp = -1;
  nint32 next = NWDS_NO_MORE_ITERATIONS;
  std::vector<dc::ReadAttr> attrs;
};

ReadInProgress& readInProgress() {
  static ReadInProgress r;
  return r;
}

} // namespace

extern "C" {

NWCCODE NWDSRead(NWDSContextHandle context, const char* objectName, nuint32 infoType, nuint8 allAttrs, Buf_T* attrNames,
                 nint32* iterationHandle, Buf_T* objectInfo) {
  NWSIM_SERVE_READ({
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
    ReadInProgress& r = readInProgress();
    std::string object = objectName ? objectName : "";
    std::int64_t stamp = s.db().changeStamp();
    bool continued = *iterationHandle != NWDS_NO_MORE_ITERATIONS && *iterationHandle == r.next &&
                     r.network == &s.network() && r.context == context && r.object == object && r.all == (allAttrs != 0) && r.names == names &&
                     r.stamp == stamp;
    if (!continued) {
      std::vector<dc::ReadAttr> attrs;
      bool denied = false;
      r.next = NWDS_NO_MORE_ITERATIONS;
      if (NWCCODE rc = dc::readable(tree, rights, caller, id, allAttrs != 0, names, attrs, denied)) return rc;
      if (attrs.empty()) return denied ? NWDSE_NO_ACCESS : NWDSE_NO_SUCH_ATTRIBUTE;
      r = ReadInProgress{&s.network(), context, object, allAttrs != 0, names, stamp, NWDS_NO_MORE_ITERATIONS, std::move(attrs)};
    }
    NWCCODE rc = fillAttributes(out, tree, *c, r.attrs, infoType == DS_ATTRIBUTE_NAMES, iterationHandle);
    r.next = rc == 0 ? *iterationHandle : NWDS_NO_MORE_ITERATIONS;
    if (r.next == NWDS_NO_MORE_ITERATIONS) r.attrs.clear();
    return rc;
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
  NWSIM_SERVE_READ({
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
    static dc::ResultInProgress<nwsim::DsObject> listing;
    const std::int64_t stamp = s.db().changeStamp();
    const std::string key = std::to_string(id);
    auto* kept = listing.continued(&s.network(), context, key, stamp, *iterationHandle);
    if (!kept) {
      auto found = DirectoryRights(tree).browsable(tree.caller(), tree.children(id));
      kept = &listing.start(&s.network(), context, key, stamp, std::move(found));
    }
    const std::vector<nwsim::DsObject>& visible = *kept;
    std::size_t pos = 0;
    if (!dc::startAt(iterationHandle, visible.size(), pos)) return NWDSE_INVALID_ITERATION;
    b->prepareResult(DSV_LIST);
    // Listed objects share a few classes: each class is looked up once per block.
    std::map<std::string, nuint32> flagsOfClass;
    auto classFlags = [&](const nwsim::DsObject& o) {
      auto [it, fresh] = flagsOfClass.try_emplace(o.cls, 0);
      if (fresh) {
        auto cls = tree.schema().cls(o.cls);
        it->second = (cls && cls->container() ? DS_CONTAINER_ENTRY : 0) | (tree.isA(o, "Alias") ? DS_ALIAS_ENTRY : 0);
      }
      return it->second;
    };
    std::size_t i = pos;
    for (; i < visible.size(); ++i) {
      const auto& o = visible[i];
      NWDSBuffer::ResultObject r;
      r.name = DirectoryName::format({{o.rdnType, o.rdn}}, c->typeless());
      if (!b->take(static_cast<std::uint32_t>(r.name.size() + 1 + sizeof(Object_Info_T)))) break;
      const nuint32 kind = classFlags(o);
      r.info.objectFlags = kind | (o.partitionRoot ? DS_PARTITION_ROOT : 0);
      // Only containers hold objects.
      r.info.subordinateCount = kind & DS_CONTAINER_ENTRY ? static_cast<nuint32>(tree.childCount(o.id)) : 0;
      r.info.modificationTime = static_cast<nuint32>(o.modified);
      nwsim::marshal::putString(r.info.baseClass, sizeof r.info.baseClass, o.cls);
      b->objects.push_back(r);
    }
    *iterationHandle = i < visible.size() ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
    listing.handed(*iterationHandle);
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
    nwsim::DirectoryLogin(tree).setPassword(id, nwsim::marshal::getString(objectPassword, 256));
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
