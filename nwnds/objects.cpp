// Directory objects as wholes: creating, removing, moving, listing and searching.
#include "nwnds/client.h"
#include "nwnds/search_filter.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <cstring>
#include <functional>

namespace nwnds {

using detail::client;
using detail::ClientBuffer;
using detail::fits;
using detail::kDirNameBuf;
using detail::kResultNameBuf;
using detail::ScanGuard;
using detail::state;
using detail::WorkingContext;

namespace {

// Move requests go to the client in buffers of this size.
constexpr std::size_t kMoveNameBuf = 128;
constexpr std::size_t kPasswordBuf = 256;

// The attributes written with an object of each kind, in order, after its class.
struct CreateAttr {
  TNWDSAttrType attr;
  std::string TNWDSObjectInfo::*field;
};

std::vector<CreateAttr> createAttrs(TNWDSObjType kind) {
  using I = TNWDSObjectInfo;
  switch (kind) {
    case dsoAlias: return {{dsaAliasedObjName, &I::AliasedObjName}};
    case dsoOrganization: return {{dsaOrganization, &I::Organization}};
    case dsoOrganizationalUnit: return {{dsaOrganizationalUnit, &I::OrganizationalUnit}};
    case dsoQueue: return {{dsaCommonName, &I::CommonName}, {dsaQueueDirectory, &I::QueueDirectory}};
    case dsoAFPServer: case dsoGroup: case dsoOrganizationalRole: case dsoPrinter: case dsoPrintServer:
      return {{dsaCommonName, &I::CommonName}};
    default: return {{dsaSurname, &I::Surname}, {dsaGivenName, &I::GivenName}, {dsaFullName, &I::FullName}};
  }
}

// Fills an add-entry buffer with the class and the kind's attributes; false at the first
// value that does not go in.
bool putNewObject(NWDSContextHandle context, Buf_T* buffer, const std::string& className,
                  const TNWDSObjectInfo& info) {
  if (!_ndsPutObjectClass(context, buffer, className)) return false;
  for (const CreateAttr& a : createAttrs(info.ObjType))
    if (!_ndsPutStringAttr(context, buffer, a.attr, info.*(a.field))) return false;
  return true;
}

// The leftmost component of a name (a leading "." of a complete name skipped): up to its
// first "." that no "\" escapes.
std::string leftmostComponent(const std::string& name) {
  const std::size_t start = name.find_first_not_of('.');
  if (start == std::string::npos) return {};
  for (std::size_t i = start; i < name.size(); ++i) {
    if (name[i] == '\\') ++i;
    else if (name[i] == '.') return name.substr(start, i - start);
  }
  return name.substr(start);
}

// Called with each object of a search result: its name and its first "CN" value (empty when
// the result carries none).
using FoundObject = std::function<void(const std::string& name, const std::string& commonName)>;

// The first value of the current attribute when it is text that fits a name buffer.
std::string currentText(NWDSContextHandle context, Buf_T* result, nuint32 syntax) {
  nuint32 size = 0;
  if (client.NWDSComputeAttrValSize.unrecorded(context, result, syntax, &size) != 0 || size > kDirNameBuf)
    return {};
  char value[kDirNameBuf] = {};
  if (client.NWDSGetAttrVal.unrecorded(context, result, syntax, value) != 0) return {};
  return rtl::bufferToString(value, sizeof value);
}

// Walks one block of search results: every object, and of each its "CN" value.
void readFound(NWDSContextHandle context, Buf_T* result, const FoundObject& found) {
  auto& c = client;
  nuint32 count = 0;
  if (c.NWDSGetObjectCount.unrecorded(context, result, &count) != 0) return;
  for (nuint32 i = 0; i < count; ++i) {
    char name[kResultNameBuf] = {};
    nuint32 attrs = 0;
    Object_Info_T info{};
    if (c.NWDSGetObjectName.unrecorded(context, result, name, &attrs, &info) != 0) return;
    std::string commonName;
    for (nuint32 a = 0; a < attrs; ++a) {
      char attr[NWDS_MAX_SCHEMA_NAME_BYTES] = {};
      nuint32 values = 0, syntax = 0;
      if (c.NWDSGetAttrName.unrecorded(context, result, attr, &values, &syntax) != 0) break;
      if (values > 0 && commonName.empty() && rtl::SameText(rtl::bufferToString(attr, sizeof attr), "CN"))
        commonName = currentText(context, result, syntax);
    }
    found(rtl::bufferToString(name, sizeof name), commonName);
  }
}

// Puts a token list into a filter cursor; the first code that is not 0, else 0.
NWCCODE addTokens(Filter_Cursor_T* cursor, const std::vector<detail::FilterToken>& tokens) {
  for (const detail::FilterToken& t : tokens) {
    const bool hasValue = t.tok == FTOK_ANAME || t.tok == FTOK_AVAL;
    char value[kDirNameBuf] = {};
    if (hasValue) {
      if (!fits(t.text, sizeof value)) return NWDSE_INVALID_FILTER_SYNTAX;
      rtl::copyToBuffer(value, sizeof value, t.text);
    }
    const nuint32 syntax = hasValue ? SYN_CI_STRING : 0;
    if (NWCCODE code = client.NWDSAddFilterToken(cursor, t.tok, hasValue ? value : nullptr, syntax); code != 0)
      return code;
  }
  return 0;
}

// A subtree search below the working context with the given filter, reporting every object
// found; the common names are read only when asked for.
void search(const std::string& contextName, const std::vector<detail::FilterToken>& tokens,
            bool withCommonName, const FoundObject& found) {
  auto& c = client;
  if (!c.NWDSSearch.bind() || !c.NWDSAllocFilter.bind() || !c.NWDSPutFilter.bind() ||
      !c.NWDSAddFilterToken.bind() || !c.NWDSInitBuf.bind() || !c.NWDSPutAttrName.bind())
    return;
  WorkingContext working(contextName);
  if (!working) return;
  ClientBuffer names, filter, results;
  if (!names || !filter || !results) return;
  const NWDSContextHandle ctx = working.get();
  char cn[] = "CN";
  if (c.NWDSInitBuf(ctx, DSV_SEARCH, names.get()) != 0 || c.NWDSPutAttrName(ctx, names.get(), cn) != 0 ||
      c.NWDSInitBuf(ctx, DSV_SEARCH_FILTER, filter.get()) != 0)
    return;
  Filter_Cursor_T* cursor = nullptr;
  if (c.NWDSAllocFilter(&cursor) != 0) return;
  // A filter that cannot be built is not searched with half of it: the cursor goes back and
  // the search ends empty.
  if (NWCCODE code = addTokens(cursor, tokens); code != 0) {
    state.record(code);
    if (c.NWDSFreeFilter.bind()) c.NWDSFreeFilter.unrecorded(cursor, nullptr);
    return;
  }
  // The client releases the cursor with the filter put into the buffer, also on failure.
  if (c.NWDSPutFilter(ctx, filter.get(), cursor, nullptr) != 0) return;

  const nuint32 infoType = withCommonName ? DS_ATTRIBUTE_VALUES : DS_ATTRIBUTE_NAMES;
  char base[] = "";
  nint32 iteration = NWDS_NO_MORE_ITERATIONS;
  ScanGuard guard;
  do {
    nint32 searched = 0;
    if (c.NWDSSearch(ctx, base, DS_SEARCH_SUBTREE, 0, filter.get(), infoType, 0, names.get(), &iteration, 0,
                     &searched, results.get()) != 0)
      break;
    readFound(ctx, results.get(), found);
  } while (guard.more(iteration));
}

} // namespace

// ---- Creating, removing, moving -------------------------------------------------------------

bool ndsCreateObject(TNWDSObjectInfo& info) {
  auto& c = client;
  if (!c.NWDSInitBuf.bind() || !c.NWDSAddObject.bind() || !c.NWDSGenerateObjectKeyPair.bind()) return false;
  ClientBuffer buffer;
  if (!buffer) return false;
  WorkingContext working(info.Context);
  if (!working) return false;
  if (c.NWDSInitBuf.unrecorded(working.get(), DSV_ADD_ENTRY, buffer.get()) != 0) return false;
  if (info.ObjName.empty()) info.ObjName = info.CommonName;
  if (info.CommonName.empty()) info.CommonName = info.ObjName;
  const std::string className = objTypeCreateClass(info.ObjType);
  if (className.empty() || !fits(info.ObjName, kDirNameBuf)) return false;
  if (!putNewObject(working.get(), buffer.get(), className, info)) return false;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, info.ObjName);
  if (c.NWDSAddObject(working.get(), name, nullptr, 0, buffer.get()) != 0) return false;
  if (info.ObjType != dsoUser) return true;
  // Passwords are cut to their buffer, as every password operation cuts them alike.
  char password[kPasswordBuf] = {};
  rtl::copyToBuffer(password, sizeof password, rtl::UpperCase(info.Password));
  return c.NWDSGenerateObjectKeyPair.unrecorded(working.get(), name, password, 0) == 0;
}

bool ndsRemoveObject(const std::string& contextName, const std::string& objectName) {
  if (!client.NWDSRemoveObject.bind() || !fits(objectName, kDirNameBuf)) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  return client.NWDSRemoveObject(working.get(), name) == 0;
}

bool ndsMoveObject(const std::string& contextName, const std::string& objectName,
                   const std::string& newParentName) {
  if (!client.NWDSMoveObject.bind()) return false;
  if (!fits(objectName, kMoveNameBuf) || !fits(newParentName, kMoveNameBuf)) return false;
  WorkingContext working(contextName);
  if (!working) return false;
  char object[kMoveNameBuf] = {}, parent[kMoveNameBuf] = {}, rdn[kMoveNameBuf] = {};
  rtl::copyToBuffer(object, sizeof object, objectName);
  rtl::copyToBuffer(parent, sizeof parent, newParentName);
  // The object keeps its own name below the new parent: only its leftmost component.
  rtl::copyToBuffer(rdn, sizeof rdn, leftmostComponent(objectName));
  return client.NWDSMoveObject(working.get(), object, parent, rdn) == 0;
}

// ---- Listing -------------------------------------------------------------------------------

std::unique_ptr<rtl::TStringList> ndsList(const std::string& contextName, const std::string& objectName) {
  auto list = std::make_unique<rtl::TStringList>();
  auto& c = client;
  if (!c.NWDSList.bind() || !c.NWDSGetObjectCount.bind() || !c.NWDSGetObjectName.bind()) return list;
  if (!fits(objectName, kDirNameBuf)) return list;
  ClientBuffer buffer;
  if (!buffer) return list;
  WorkingContext working(contextName);
  if (!working) return list;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  nint32 iteration = NWDS_NO_MORE_ITERATIONS;
  ScanGuard guard;
  do {
    if (c.NWDSList(working.get(), name, &iteration, buffer.get()) != 0) break;
    nuint32 count = 0;
    if (c.NWDSGetObjectCount(working.get(), buffer.get(), &count) != 0) break;
    for (nuint32 i = 0; i < count; ++i) {
      char found[kResultNameBuf] = {};
      nuint32 attrs = 0;
      Object_Info_T info{};
      if (c.NWDSGetObjectName(working.get(), buffer.get(), found, &attrs, &info) == 0)
        list->AddObject(rtl::bufferToString(found, sizeof found), static_cast<std::intptr_t>(_ndsClassToObjType(info)));
    }
  } while (guard.more(iteration));
  return list;
}

TNWDSObjType ndsGetObjType(const std::string& contextName, const std::string& objectName) {
  std::string className;
  if (!ndsGetStringAttr(contextName, objectName, dsaClassName, className)) return dsoUnknown;
  Object_Info_T info{};
  rtl::copyToBuffer(info.baseClass, sizeof info.baseClass, className);
  return _ndsClassToObjType(info);
}

// ---- Searching -----------------------------------------------------------------------------

bool _ndsBuildSearchFilter(Filter_Cursor_T* cursor) {
  if (!client.NWDSAddFilterToken.bind()) return false;
  return addTokens(cursor, detail::everyCommonNameFilter()) == 0;
}

std::unique_ptr<rtl::TStringList> ndsSearch(const std::string& contextName, const std::string& /*reserved*/) {
  auto list = std::make_unique<rtl::TStringList>();
  search(contextName, detail::everyCommonNameFilter(), true, [&](const std::string&, const std::string& commonName) {
    if (!commonName.empty()) list->Add(commonName);
  });
  return list;
}

std::unique_ptr<rtl::TStringList> ndsSearchFilter(const std::string& contextName, const std::string& filterText) {
  auto list = std::make_unique<rtl::TStringList>();
  std::vector<detail::FilterToken> tokens;
  if (!detail::parseSearchFilter(filterText, tokens)) return list;
  search(contextName, tokens, false, [&](const std::string& name, const std::string&) { list->Add(name); });
  return list;
}

bool isSearchFilter(const std::string& filterText) {
  std::vector<detail::FilterToken> tokens;
  return detail::parseSearchFilter(filterText, tokens);
}

} // namespace nwnds
