// Client buffers: making and preparing them, putting requests in, getting results out.
#include "directory_call.h"

#include <cstring>

using nwsim::DirectoryBuffers;
using nwsim::DirectoryTree;
using nwsim::DsContext;
using nwsim::DsValueForm;
namespace dc = nwsim::dircall;
namespace m = nwsim::marshal;
using Item = NWDSBuffer::Item;
using ItemKind = NWDSBuffer::ItemKind;

namespace {

bool requestVerb(nuint32 v) {
  return v == DSV_READ || v == DSV_SEARCH || v == DSV_ADD_ENTRY || v == DSV_MODIFY_ENTRY || v == DSV_READ_ATTR_DEF ||
         v == DSV_DEFINE_CLASS || v == DSV_READ_CLASS_DEF || v == DSV_SEARCH_FILTER;
}

// The object whose attributes the Get... calls walk: the one result of a read or of a
// definition read, the current object of a list or search.
NWDSBuffer::ResultObject* current(NWDSBuffer* b) {
  if (b->objects.empty()) return nullptr;
  if (b->resultKind == DSV_LIST || b->resultKind == DSV_SEARCH)
    return b->objCursor ? &b->objects[b->objCursor - 1] : nullptr;
  return &b->objects[0];
}

NWDSBuffer::ResultAttr* currentAttr(NWDSBuffer* b) {
  auto* o = current(b);
  if (!o || b->attrCursor == 0 || b->attrCursor > o->attrs.size()) return nullptr;
  return &o->attrs[b->attrCursor - 1];
}

} // namespace

extern "C" {

NWCCODE NWDSAllocBuf(nuint32 size, Buf_T** buf) {
  NWSIM_SERVE_READ({
    if (!buf) return NWDSE_NULL_POINTER;
    if (size == 0 || size > NWDS_MAX_BUFFER_SIZE) return NWDSE_NOT_ENOUGH_MEMORY;
    *buf = DirectoryBuffers::instance().allocate(size);
    return 0;
  });
}

NWCCODE NWDSInitBuf(NWDSContextHandle context, nuint32 operation, Buf_T* buf) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!requestVerb(operation)) return NWDSE_INVALID_REQUEST;
    b->prepare(operation);
    return 0;
  });
}

NWCCODE NWDSFreeBuf(Buf_T* buf) {
  NWSIM_SERVE_READ({
    if (!buf) return 0;
    return DirectoryBuffers::instance().free(buf) ? 0 : NWDSE_INVALID_HANDLE;
  });
}

NWCCODE NWDSPutAttrName(NWDSContextHandle context, Buf_T* buf, const char* attrName) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_READ && b->verb != DSV_ADD_ENTRY && b->verb != DSV_SEARCH && b->verb != DSV_READ_ATTR_DEF &&
        b->verb != DSV_READ_CLASS_DEF)
      return NWDSE_BAD_VERB;
    std::string name;
    if (NWCCODE rc = dc::inSchemaName(attrName, name)) return rc;
    if (!b->take(static_cast<std::uint32_t>(name.size() + 9))) return NWDSE_BUFFER_FULL;
    b->items.push_back(Item{ItemKind::Name, name, 0, {}});
    return 0;
  });
}

NWCCODE NWDSPutChange(NWDSContextHandle context, Buf_T* buf, nuint32 changeType, const char* attrName) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_MODIFY_ENTRY) return NWDSE_BAD_VERB;
    if (changeType > DS_CLEAR_VALUE) return NWDSE_INVALID_REQUEST;
    std::string name;
    if (NWCCODE rc = dc::inSchemaName(attrName, name)) return rc;
    if (!b->take(static_cast<std::uint32_t>(name.size() + 13))) return NWDSE_BUFFER_FULL;
    b->items.push_back(Item{ItemKind::Change, name, changeType, {}});
    return 0;
  });
}

NWCCODE NWDSPutAttrVal(NWDSContextHandle context, Buf_T* buf, nuint32 syntaxID, const void* attrVal) {
  NWSIM_SERVE_READ({
    DsContext* c = dc::context(context);
    if (!c) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_ADD_ENTRY && b->verb != DSV_MODIFY_ENTRY) return NWDSE_BAD_VERB;
    // A value follows its attribute name (add) or its change (modify).
    ItemKind owner = b->verb == DSV_ADD_ENTRY ? ItemKind::Name : ItemKind::Change;
    bool placed = false;
    bool ignored = false;
    for (auto it = b->items.rbegin(); it != b->items.rend(); ++it)
      if (it->kind != ItemKind::Value) {
        placed = it->kind == owner;
        ignored = placed && owner == ItemKind::Change &&
                  (it->change == DS_REMOVE_ATTRIBUTE || it->change == DS_CLEAR_ATTRIBUTE);
        break;
      }
    if (!placed) return NWDSE_ATTR_TYPE_EXPECTED;
    // Removing a whole attribute needs no value; one sent along is taken and ignored, of
    // whatever form, since callers may send a placeholder of any syntax.
    if (ignored) return b->take(8) ? 0 : NWDSE_BUFFER_FULL;
    DirectoryTree tree(s);
    nwsim::DsValue v;
    if (NWCCODE rc = DsValueForm::read(syntaxID, attrVal, tree.lookup(*c), v)) return rc;
    std::uint32_t size = DsValueForm::size(v, [](std::int64_t) { return std::string(64, ' '); });
    if (!b->take(size + 8)) return NWDSE_BUFFER_FULL;
    b->items.push_back(Item{ItemKind::Value, {}, 0, v});
    return 0;
  });
}

NWCCODE NWDSGetObjectCount(NWDSContextHandle context, Buf_T* buf, nuint32* objectCount) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!objectCount) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_LIST && b->resultKind != DSV_SEARCH) return NWDSE_BAD_VERB;
    *objectCount = static_cast<nuint32>(b->objects.size());
    return 0;
  });
}

NWCCODE NWDSGetObjectName(NWDSContextHandle context, Buf_T* buf, char* objectName, nuint32* attrCount,
                          struct Object_Info_T* objectInfo) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!objectName) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_LIST && b->resultKind != DSV_SEARCH) return NWDSE_BAD_VERB;
    if (b->objCursor >= b->objects.size()) return NWDSE_BUFFER_EMPTY;
    const auto& o = b->objects[b->objCursor++];
    b->attrCursor = b->valCursor = 0;
    dc::putName(objectName, o.name);
    if (attrCount) *attrCount = static_cast<nuint32>(o.attrs.size());
    if (objectInfo) *objectInfo = o.info;
    return 0;
  });
}

NWCCODE NWDSGetAttrCount(NWDSContextHandle context, Buf_T* buf, nuint32* attrCount) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!attrCount) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ && b->resultKind != DSV_SEARCH && b->resultKind != DSV_READ_ATTR_DEF)
      return NWDSE_BAD_VERB;
    auto* o = current(b);
    if (!o && b->resultKind == DSV_SEARCH) return NWDSE_BUFFER_EMPTY;
    *attrCount = o ? static_cast<nuint32>(o->attrs.size()) : 0;
    return 0;
  });
}

NWCCODE NWDSGetAttrName(NWDSContextHandle context, Buf_T* buf, char* attrName, nuint32* attrValCount, nuint32* syntaxID) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!attrName) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ && b->resultKind != DSV_SEARCH) return NWDSE_BAD_VERB;
    auto* o = current(b);
    if (!o || b->attrCursor >= o->attrs.size()) return NWDSE_BUFFER_EMPTY;
    const auto& a = o->attrs[b->attrCursor++];
    b->valCursor = 0;
    m::putString(attrName, NWDS_MAX_SCHEMA_NAME_BYTES, a.name);
    if (attrValCount) *attrValCount = static_cast<nuint32>(a.values.size());
    if (syntaxID) *syntaxID = a.syntax;
    return 0;
  });
}

NWCCODE NWDSComputeAttrValSize(NWDSContextHandle context, Buf_T* buf, nuint32 syntaxID, nuint32* attrValSize) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!attrValSize) return NWDSE_NULL_POINTER;
    auto* a = currentAttr(b);
    if (!a || b->valCursor >= a->values.size()) return NWDSE_BUFFER_EMPTY;
    if (!nwsim::DirectorySchema::compatible(syntaxID, a->syntax)) return NWDSE_BAD_SYNTAX;
    *attrValSize = DsValueForm::size(a->values[b->valCursor], b->namer());
    return 0;
  });
}

NWCCODE NWDSGetAttrVal(NWDSContextHandle context, Buf_T* buf, nuint32 syntaxID, void* attrVal) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!attrVal) return NWDSE_NULL_POINTER;
    auto* a = currentAttr(b);
    if (!a || b->valCursor >= a->values.size()) return NWDSE_BUFFER_EMPTY;
    if (!nwsim::DirectorySchema::compatible(syntaxID, a->syntax)) return NWDSE_BAD_SYNTAX;
    DsValueForm::write(a->values[b->valCursor++], b->namer(), attrVal);
    return 0;
  });
}

NWCCODE NWDSGetAttrDef(NWDSContextHandle context, Buf_T* buf, char* attrName, Attr_Info_T* attrInfo) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!attrName) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ_ATTR_DEF) return NWDSE_BAD_VERB;
    auto* o = current(b);
    if (!o || b->attrCursor >= o->attrs.size()) return NWDSE_BUFFER_EMPTY;
    const auto& a = o->attrs[b->attrCursor++];
    m::putString(attrName, NWDS_MAX_SCHEMA_NAME_BYTES, a.name);
    if (attrInfo) {
      std::memset(attrInfo, 0, sizeof *attrInfo);
      attrInfo->attrFlags = a.def.flags;
      attrInfo->attrSyntaxID = a.def.syntax;
      attrInfo->attrLower = a.def.lower;
      attrInfo->attrUpper = a.def.upper;
    }
    return 0;
  });
}

NWCCODE NWDSBeginClassItem(NWDSContextHandle context, Buf_T* buf) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_DEFINE_CLASS) return NWDSE_BAD_VERB;
    int lists = 0;
    for (auto& i : b->items) lists += i.kind == ItemKind::ClassItemBegin;
    if (lists >= DS_CLASS_ITEM_COUNT) return NWDSE_INVALID_REQUEST;
    if (!b->take(4)) return NWDSE_BUFFER_FULL;
    b->items.push_back(Item{ItemKind::ClassItemBegin, {}, 0, {}});
    return 0;
  });
}

NWCCODE NWDSPutClassItem(NWDSContextHandle context, Buf_T* buf, const char* itemName) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (b->verb != DSV_DEFINE_CLASS) return NWDSE_BAD_VERB;
    if (b->items.empty()) return NWDSE_ATTR_TYPE_EXPECTED;
    std::string name;
    if (NWCCODE rc = dc::inSchemaName(itemName, name)) return rc;
    if (!b->take(static_cast<std::uint32_t>(name.size() + 5))) return NWDSE_BUFFER_FULL;
    b->items.push_back(Item{ItemKind::ClassItem, name, 0, {}});
    return 0;
  });
}

NWCCODE NWDSGetClassDefCount(NWDSContextHandle context, Buf_T* buf, nuint32* classDefCount) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!classDefCount) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ_CLASS_DEF) return NWDSE_BAD_VERB;
    auto* o = current(b);
    *classDefCount = o ? static_cast<nuint32>(o->attrs.size()) : 0;
    return 0;
  });
}

NWCCODE NWDSGetClassDef(NWDSContextHandle context, Buf_T* buf, char* className, Class_Info_T* classInfo) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!className) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ_CLASS_DEF) return NWDSE_BAD_VERB;
    auto* o = current(b);
    if (!o || b->attrCursor >= o->attrs.size()) return NWDSE_BUFFER_EMPTY;
    const auto& a = o->attrs[b->attrCursor++];
    b->valCursor = 0;
    b->itemCursor = 0;
    m::putString(className, NWDS_MAX_SCHEMA_NAME_BYTES, a.name);
    if (classInfo) {
      std::memset(classInfo, 0, sizeof *classInfo);
      classInfo->classFlags = a.cls.flags;
    }
    return 0;
  });
}

NWCCODE NWDSGetClassItemCount(NWDSContextHandle context, Buf_T* buf, nuint32* itemCount) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!itemCount) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ_CLASS_DEF) return NWDSE_BAD_VERB;
    auto* a = currentAttr(b);
    // valCursor counts the lists read of the current class.
    if (!a || b->valCursor >= DS_CLASS_ITEM_COUNT) return NWDSE_BUFFER_EMPTY;
    *itemCount = static_cast<nuint32>(a->cls.items[b->valCursor++].size());
    b->itemCursor = 0;
    return 0;
  });
}

NWCCODE NWDSGetClassItem(NWDSContextHandle context, Buf_T* buf, char* itemName) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    NWDSBuffer* b = dc::buffer(buf);
    if (!b) return NWDSE_INVALID_HANDLE;
    if (!itemName) return NWDSE_NULL_POINTER;
    if (b->resultKind != DSV_READ_CLASS_DEF) return NWDSE_BAD_VERB;
    auto* a = currentAttr(b);
    if (!a || b->valCursor == 0) return NWDSE_BUFFER_EMPTY;
    const auto& list = a->cls.items[b->valCursor - 1];
    if (b->itemCursor >= list.size()) return NWDSE_BUFFER_EMPTY;
    m::putString(itemName, NWDS_MAX_SCHEMA_NAME_BYTES, list[b->itemCursor++]);
    return 0;
  });
}

} // extern "C"
