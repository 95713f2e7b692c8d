// The directory schema: defining, removing and reading attribute and class definitions.
#include "directory_call.h"

#include "directory_rights.h"

using nwsim::DirectoryName;
using nwsim::DirectoryTree;
using nwsim::DsContext;
namespace dc = nwsim::dircall;
using ItemKind = NWDSBuffer::ItemKind;

namespace {

// Schema changes need Supervisor rights to [Root].
bool mayChangeSchema(DirectoryTree& tree) {
  return nwsim::DirectoryRights(tree).entry(tree.caller(), tree.rootId(), DS_ENTRY_SUPERVISOR);
}

// Names from a request buffer (or every name when all is set), as defined.
template <typename Def>
NWCCODE requested(NWDSBuffer* req, std::uint32_t verb, bool all, const std::vector<Def>& defs, std::vector<Def>& out) {
  if (all) {
    out = defs;
    return 0;
  }
  if (!req) return NWDSE_INVALID_HANDLE;
  if (req->verb != verb) return NWDSE_BAD_VERB;
  for (auto& item : req->items) {
    if (item.kind != ItemKind::Name) continue;
    bool found = false;
    for (auto& d : defs)
      if (DirectoryName::key(d.name) == DirectoryName::key(item.name)) {
        out.push_back(d);
        found = true;
      }
    if (!found) return verb == DSV_READ_ATTR_DEF ? NWDSE_NO_SUCH_ATTRIBUTE : NWDSE_NO_SUCH_CLASS;
  }
  return 0;
}

} // namespace

extern "C" {

NWCCODE NWDSDefineAttr(NWDSContextHandle context, const char* attrName, const Attr_Info_T* attrDef) {
  NWSIM_SERVE({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!attrDef) return NWDSE_NULL_POINTER;
    std::string name;
    if (NWCCODE rc = dc::inSchemaName(attrName, name)) return rc;
    if (!nwsim::DsValueForm::known(attrDef->attrSyntaxID)) return NWDSE_INVALID_ATTR_SYNTAX;
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
    if (!mayChangeSchema(tree)) return NWDSE_NO_ACCESS;
    if (tree.schema().attr(name)) return NWDSE_ATTRIBUTE_ALREADY_EXISTS;
    nwsim::AttrDef d;
    d.name = name;
    d.syntax = attrDef->attrSyntaxID;
    d.flags = attrDef->attrFlags & 0x7F;
    d.lower = attrDef->attrLower;
    d.upper = attrDef->attrUpper;
    tree.schema().defineAttr(d);
    return 0;
  });
}

NWCCODE NWDSRemoveAttrDef(NWDSContextHandle context, const char* attrName) {
  NWSIM_SERVE({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    std::string name;
    if (NWCCODE rc = dc::inSchemaName(attrName, name)) return rc;
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
    auto d = tree.schema().attr(name);
    if (!d) return NWDSE_NO_SUCH_ATTRIBUTE;
    if (d->base) return NWDSE_SCHEMA_IS_NONREMOVABLE;
    if (!mayChangeSchema(tree)) return NWDSE_NO_ACCESS;
    bool used = tree.db().prepare("SELECT 1 FROM ds_class_items WHERE item=? AND kind >= 2").with(d->name).first([](nwsim::Stmt&) {}) ||
                tree.db().prepare("SELECT 1 FROM ds_values WHERE attr=? COLLATE NOCASE").with(d->name).first([](nwsim::Stmt&) {}) ||
                tree.db().prepare("SELECT 1 FROM ds_streams WHERE attr=?").with(d->name).first([](nwsim::Stmt&) {});
    if (used) return NWDSE_SCHEMA_IS_IN_USE;
    tree.schema().removeAttr(d->name);
    return 0;
  });
}

NWCCODE NWDSReadAttrDef(NWDSContextHandle context, nuint32 infoType, nuint8 allAttrs, Buf_T* attrNames,
                        nint32* iterationHandle, Buf_T* attrDefs) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!iterationHandle) return NWDSE_NULL_POINTER;
    if (infoType != DS_ATTR_DEF_NAMES && infoType != DS_ATTR_DEFS) return NWDSE_INVALID_REQUEST;
    NWDSBuffer* out = dc::buffer(attrDefs);
    if (!out) return NWDSE_INVALID_HANDLE;
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
    std::vector<nwsim::AttrDef> defs;
    if (NWCCODE rc = requested(allAttrs ? nullptr : dc::buffer(attrNames), DSV_READ_ATTR_DEF, allAttrs != 0, tree.schema().attrs(), defs))
      return rc;
    std::size_t pos = 0;
    if (!dc::startAt(iterationHandle, defs.size(), pos)) return NWDSE_INVALID_ITERATION;
    out->prepareResult(DSV_READ_ATTR_DEF);
    out->objects.emplace_back();
    std::size_t i = pos;
    for (; i < defs.size(); ++i) {
      std::uint32_t need = static_cast<std::uint32_t>(defs[i].name.size() + 1 + (infoType == DS_ATTR_DEFS ? sizeof(Attr_Info_T) : 4));
      if (!out->take(need)) break;
      NWDSBuffer::ResultAttr a;
      a.name = defs[i].name;
      a.syntax = defs[i].syntax;
      a.def = defs[i];
      out->objects.back().attrs.push_back(a);
    }
    *iterationHandle = i < defs.size() ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
    return 0;
  });
}

NWCCODE NWDSDefineClass(NWDSContextHandle context, const char* className, const Class_Info_T* classInfo, Buf_T* classItems) {
  NWSIM_SERVE({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!classInfo) return NWDSE_NULL_POINTER;
    std::string name;
    if (NWCCODE rc = dc::inSchemaName(className, name)) return rc;
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
    if (!mayChangeSchema(tree)) return NWDSE_NO_ACCESS;
    if (tree.schema().cls(name)) return NWDSE_CLASS_ALREADY_EXISTS;
    nwsim::ClassDef d;
    d.name = name;
    d.flags = classInfo->classFlags & 0x1F;
    if (classItems) {
      NWDSBuffer* b = dc::buffer(classItems);
      if (!b) return NWDSE_INVALID_HANDLE;
      if (b->verb != DSV_DEFINE_CLASS) return NWDSE_BAD_VERB;
      int list = -1;
      for (auto& item : b->items) {
        if (item.kind == ItemKind::ClassItemBegin) ++list;
        else if (item.kind == ItemKind::ClassItem && list >= 0 && list < DS_CLASS_ITEM_COUNT) d.items[list].push_back(item.name);
      }
    }
    if (d.items[DS_CLASS_ITEM_SUPER_CLASSES].empty()) d.items[DS_CLASS_ITEM_SUPER_CLASSES].push_back("Top");
    for (int k = 0; k < DS_CLASS_ITEM_COUNT; ++k)
      for (auto& item : d.items[k]) {
        bool isClass = k <= DS_CLASS_ITEM_CONTAINMENT;
        if (isClass ? !tree.schema().cls(item) : !tree.schema().attr(item))
          return isClass ? NWDSE_NO_SUCH_CLASS : NWDSE_NO_SUCH_ATTRIBUTE;
      }
    tree.schema().defineClass(d);
    return 0;
  });
}

NWCCODE NWDSReadClassDef(NWDSContextHandle context, nuint32 infoType, nuint8 allClasses, Buf_T* classNames,
                         nint32* iterationHandle, Buf_T* classDefs) {
  NWSIM_SERVE_READ({
    if (!dc::context(context)) return NWDSE_BAD_CONTEXT;
    if (!iterationHandle) return NWDSE_NULL_POINTER;
    if (infoType != DS_CLASS_DEF_NAMES && infoType != DS_CLASS_DEFS) return NWDSE_INVALID_REQUEST;
    NWDSBuffer* out = dc::buffer(classDefs);
    if (!out) return NWDSE_INVALID_HANDLE;
    DirectoryTree tree(s);
    if (!tree.exists()) return NWDSE_NO_SUCH_ENTRY;
    std::vector<nwsim::ClassDef> defs;
    if (NWCCODE rc = requested(allClasses ? nullptr : dc::buffer(classNames), DSV_READ_CLASS_DEF, allClasses != 0,
                               tree.schema().classes(), defs))
      return rc;
    std::size_t pos = 0;
    if (!dc::startAt(iterationHandle, defs.size(), pos)) return NWDSE_INVALID_ITERATION;
    out->prepareResult(DSV_READ_CLASS_DEF);
    out->objects.emplace_back();
    std::size_t i = pos;
    for (; i < defs.size(); ++i) {
      std::uint32_t need = static_cast<std::uint32_t>(defs[i].name.size() + 1 + sizeof(Class_Info_T));
      if (infoType == DS_CLASS_DEFS)
        for (auto& list : defs[i].items)
          for (auto& n : list) need += static_cast<std::uint32_t>(n.size() + 5);
      if (!out->take(need)) break;
      NWDSBuffer::ResultAttr a;
      a.name = defs[i].name;
      a.cls = defs[i];
      if (infoType == DS_CLASS_DEF_NAMES)
        for (auto& list : a.cls.items) list.clear();
      out->objects.back().attrs.push_back(a);
    }
    if (i == pos && i < defs.size()) return NWDSE_INSUFFICIENT_BUFFER;
    *iterationHandle = i < defs.size() ? static_cast<nint32>(i) : NWDS_NO_MORE_ITERATIONS;
    return 0;
  });
}

} // extern "C"
