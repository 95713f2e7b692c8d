#include "nwnds/client.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <cstddef>
#include <cstring>

namespace nwnds {

namespace detail {
constinit ostrel::UnitState state;
constinit Unit unit;
constinit Client client;

void freeContext(NWDSContextHandle handle) {
  if (handle != 0 && client.NWDSFreeContext.bind()) client.NWDSFreeContext.unrecorded(handle);
}

WorkingContext::WorkingContext(const std::string& contextName) {
  if (contextName.empty()) {
    if (client.NWDSDuplicateContext.bind()) handle_ = client.NWDSDuplicateContext(unit.internal);
    return;
  }
  if (!fits(nwtools::allTrim(contextName), kContextNameBuf)) return;
  int working = ndsGetContextHandle();
  if (working == 0) return;
  if (!ndsSetContextName(working, contextName)) {
    freeContext(working);
    return;
  }
  handle_ = working;
}

WorkingContext::~WorkingContext() { freeContext(handle_); }

ClientBuffer::ClientBuffer() {
  // Both ends are checked before the buffer exists, so that it can always be freed.
  if (!client.NWDSAllocBuf.bind() || !client.NWDSFreeBuf.bind()) return;
  Buf_T* buf = nullptr;
  if (client.NWDSAllocBuf.unrecorded(NWDS_DEFAULT_BUFFER_SIZE, &buf) == 0) buf_ = buf;
}

ClientBuffer::~ClientBuffer() {
  if (buf_) client.NWDSFreeBuf.unrecorded(buf_);
}
} // namespace detail

using detail::client;
using detail::fits;
using detail::freeContext;
using detail::kContextNameBuf;
using detail::kDirNameBuf;
using detail::kResultNameBuf;
using detail::state;
using detail::unit;

namespace {

// The functions the unit object binds before it names the internal context, in order.
template <typename... Entry>
bool bindInOrder(Entry&... entry) {
  return (entry.bind() && ...);
}

bool bindEager() {
  auto& c = client;
  return bindInOrder(c.NWLlocaleconv, c.NWInitUnicodeTables, c.NWDSCreateContext,
                     c.NWDSFreeContext, c.NWDSSetContext, c.NWDSAllocBuf, c.NWDSInitBuf,
                     c.NWDSFreeBuf, c.NWDSDuplicateContext, c.NWDSPutAttrName,
                     c.NWDSPutAttrVal, c.NWDSGetAttrName, c.NWDSGetAttrVal,
                     c.NWDSGetAttrCount, c.NWDSPutChange, c.NWDSModifyObject,
                     c.NWDSComputeAttrValSize, c.NWDSRead, c.NWDSRemoveObject,
                     c.NWDSGenerateObjectKeyPair, c.NWDSGetObjectName, c.NWDSGetObjectCount,
                     c.NWDSAddObject, c.NWDSList, c.NWFreeUnicodeTables, c.NWDSGetContext,
                     c.NWDSOpenStream);
}

// Reads a context's flags; false when they cannot be read.
bool readFlags(NWDSContextHandle context, nuint32& flags) {
  if (!client.NWDSGetContext.bind()) return false;
  return client.NWDSGetContext(context, DCK_FLAGS, &flags) == 0;
}

bool writeFlags(NWDSContextHandle context, nuint32 flags) {
  return client.NWDSSetContext(context, DCK_FLAGS, &flags) == 0;
}

// Adds bits to a context's flags; writes nothing when the current flags cannot be read, so
// that a failed read never wipes them.
bool addFlags(NWDSContextHandle context, int flags) {
  if (!client.NWDSGetContext.bind() || !client.NWDSSetContext.bind()) return false;
  nuint32 current = 0;
  if (!readFlags(context, current)) return false;
  return writeFlags(context, current | static_cast<nuint32>(flags));
}

// Names a context: the name trimmed, refused when it does not fit its buffer.
bool nameContext(NWDSContextHandle context, const std::string& name) {
  if (!client.NWDSSetContext.bind()) return false;
  const std::string trimmed = nwtools::allTrim(name);
  if (!fits(trimmed, kContextNameBuf)) return false;
  char buffer[kContextNameBuf] = {};
  rtl::copyToBuffer(buffer, sizeof buffer, trimmed);
  return client.NWDSSetContext(context, DCK_NAME_CONTEXT, buffer) == 0;
}

// A name-to-name conversion of the client on the internal context. The input must fit
// its 256-byte buffer; the output buffer holds the longest name the client returns.
template <typename Entry>
std::string convertName(Entry& entry, const std::string& name, bool recorded) {
  if (!entry.bind() || !fits(name, kDirNameBuf)) return {};
  char in[kDirNameBuf] = {};
  rtl::copyToBuffer(in, sizeof in, name);
  char out[kResultNameBuf] = {};
  const NWCCODE code = recorded ? entry(unit.internal, in, out) : entry.unrecorded(unit.internal, in, out);
  return code == 0 ? rtl::bufferToString(out, sizeof out) : std::string{};
}

// A name the client returns for a connection, on the internal context.
template <typename Entry>
std::string connectionName(Entry& entry, NWCONN_HANDLE conn) {
  if (!entry.bind()) return {};
  conn = ostrel::primaryIfZero(conn);
  char out[kResultNameBuf] = {};
  if (entry.unrecorded(unit.internal, conn, out) != 0) return {};
  return rtl::bufferToString(out, sizeof out);
}

} // namespace

// ---- Unit object ---------------------------------------------------------------------------

TNWNDS::TNWNDS() {
  ++unit.objects;
  state.lasterror = 0;
  // A context left by an earlier unit object is freed, not leaked.
  if (unit.internal != 0) freeContext(unit.internal);
  unit.internal = 0;

  unit.net = platform::loadLibrary("NETWIN32.DLL");
  if (!unit.net) {
    state.lasterror = 0xFFFF;
    return;
  }
  unit.loc = platform::loadLibrary("LOCWIN32.DLL");
  if (!unit.loc) {
    state.lasterror = 0xFFFF;
    return;
  }
  // A client without one of these names gets no context; the operations that need a
  // missing one return their failure value.
  if (!bindEager()) return;
  unit.internal = client.NWDSCreateContext();
  ndsSetContext("[Root]");
}

TNWNDS::~TNWNDS() {
  // The context is the unit's: an object replaced by a newer one leaves the newer one's
  // context alone, and the last one frees it.
  if (--unit.objects > 0) return;
  freeContext(unit.internal);
  unit.internal = 0;
}

std::int32_t lasterror() { return state.lasterror; }
platform::ModuleHandle hNWNet() { return unit.net; }
platform::ModuleHandle hNWLoc() { return unit.loc; }

// ---- Start-up ------------------------------------------------------------------------------

bool ndsInit() {
  if (!unit.net || !unit.loc) return false;
  if (!client.NWDSCreateContext.bind() || !client.NWLlocaleconv.bind() ||
      !client.NWInitUnicodeTables.bind())
    return false;
  if (unit.internal == 0) unit.internal = client.NWDSCreateContext();
  NWLCONV locale{};
  static_assert(sizeof locale == 132 && offsetof(NWLCONV, codePage) == 56 &&
                offsetof(NWLCONV, countryID) == 60);
  client.NWLlocaleconv(&locale);
  const NWCCODE code = client.NWInitUnicodeTables.unrecorded(locale.countryID, locale.codePage);
  return code == 0 && unit.internal != 0;
}

bool ndsClose() {
  if (!client.NWFreeUnicodeTables.bind()) return false;
  return client.NWFreeUnicodeTables() == 0;
}

// ---- Contexts ------------------------------------------------------------------------------

int getInternalContextHandle() { return unit.internal; }

int ndsGetContextHandle() {
  if (!client.NWDSDuplicateContext.bind() || !client.NWDSCreateContext.bind()) return 0;
  if (unit.internal < 1) return client.NWDSCreateContext();
  return client.NWDSDuplicateContext(unit.internal);
}

bool ndsFreeContext(int handle) {
  if (!client.NWDSFreeContext.bind()) return false;
  return client.NWDSFreeContext.unrecorded(handle) == 0;
}

int ndsCopyContext(int handle) {
  if (!client.NWDSDuplicateContext.bind()) return 0;
  return client.NWDSDuplicateContext(handle);
}

bool resetOstrelContext() {
  if (!client.NWDSCreateContext.bind()) return false;
  freeContext(unit.internal);
  unit.internal = client.NWDSCreateContext();
  return ndsSetContext("[Root]");
}

bool ndsSetContext(const std::string& name) { return nameContext(unit.internal, name); }

bool ndsSetContextName(int& handle, const std::string& name) {
  if (!nameContext(handle, name)) return false;
  // The internal context named itself: nothing to copy.
  if (handle == unit.internal) return unit.internal != 0;
  // Copy first, so that a failed copy keeps the internal context usable.
  NWDSContextHandle copy = 0;
  if (client.NWDSDuplicateContextHandle.bind()) {
    if (client.NWDSDuplicateContextHandle.unrecorded(handle, &copy) != 0) copy = 0;
  } else if (client.NWDSDuplicateContext.bind()) {
    copy = client.NWDSDuplicateContext(handle);
  }
  if (copy == 0) return false;
  freeContext(unit.internal);
  unit.internal = copy;
  return true;
}

std::string ndsGetContextName() {
  if (!client.NWDSGetContext.bind()) return {};
  char name[kResultNameBuf] = {};
  if (client.NWDSGetContext(unit.internal, DCK_NAME_CONTEXT, name) != 0) return {};
  return rtl::bufferToString(name, sizeof name);
}

bool ndsSetContextFlags(int flags) { return addFlags(unit.internal, flags); }

bool ndsSetUserContextFlags(int& handle, int flags) { return addFlags(handle, flags); }

bool ndsReplaceContextFlags(int flags) {
  if (!client.NWDSGetContext.bind() || !client.NWDSSetContext.bind()) return false;
  nuint32 current = 0;
  if (!readFlags(unit.internal, current)) return false;
  return writeFlags(unit.internal, static_cast<nuint32>(flags));
}

bool ndsSwitchContextFlag(int flag, bool on) {
  if (!client.NWDSGetContext.bind() || !client.NWDSSetContext.bind()) return false;
  nuint32 current = 0;
  if (!readFlags(unit.internal, current)) return false;
  const nuint32 bits = static_cast<nuint32>(flag);
  return writeFlags(unit.internal, on ? (current | bits) : (current & ~bits));
}

int ndsGetContextFlags() {
  nuint32 flags = 0;
  return readFlags(unit.internal, flags) ? static_cast<int>(flags) : 0;
}

bool ndsSetReplicaServer(NWCONN_HANDLE conn) {
  if (!client.NWDSSetContext.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  return client.NWDSSetContext(unit.internal, DCK_CONNECTION, &conn) == 0;
}

// ---- Names ---------------------------------------------------------------------------------

std::string ndsGetRootName(const std::string& objectName) {
  return convertName(client.NWDSGetPartitionRoot, objectName, false);
}

std::string ndsExpandName(const std::string& name) {
  auto& c = client;
  if (!c.NWDSCanonicalizeName.bind() || !c.NWDSSetContext.bind() || !fits(name, kDirNameBuf))
    return {};
  nuint32 saved = 0;
  if (!readFlags(unit.internal, saved)) return {};
  // The saved flags come back on every path.
  struct Restore {
    nuint32 flags;
    ~Restore() { client.NWDSSetContext.unrecorded(unit.internal, DCK_FLAGS, &flags); }
  } restore{saved};
  nuint32 expand = DCV_DEREF_ALIASES | DCV_XLATE_STRINGS | DCV_CANONICALIZE_NAMES;
  c.NWDSSetContext.unrecorded(unit.internal, DCK_FLAGS, &expand);
  return convertName(c.NWDSCanonicalizeName, name, true);
}

std::string ndsAbbreviateName(const std::string& name) {
  return convertName(client.NWDSAbbreviateName, name, true);
}

std::string ndsGetTypelessName(const std::string& name) {
  return convertName(client.NWDSRemoveAllTypes, name, true);
}

std::string ndsGetBinderyContextName(NWCONN_HANDLE conn) {
  return connectionName(client.NWDSGetBinderyContext, conn);
}

std::string ndsGetServerDN(NWCONN_HANDLE conn) { return connectionName(client.NWDSGetServerDN, conn); }

std::string ndsWhoAmI() {
  if (!client.NWDSWhoAmI.bind()) return {};
  char out[kResultNameBuf] = {};
  if (client.NWDSWhoAmI.unrecorded(unit.internal, out) != 0) return {};
  return rtl::bufferToString(out, sizeof out);
}

// ---- Object IDs ----------------------------------------------------------------------------

std::string ndsGetObjID(NWCONN_HANDLE conn, const std::string& objectName) {
  if (!client.NWDSMapNameToID.bind() || !fits(objectName, kDirNameBuf)) return {};
  conn = ostrel::primaryIfZero(conn);
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  nuint32 id = 0;
  if (client.NWDSMapNameToID(unit.internal, conn, name, &id) != 0) return {};
  const auto swapped = static_cast<std::uint32_t>(ostrel::longSwap(static_cast<std::int32_t>(id)));
  std::string text = rtl::IntToHex(swapped, 8);
  const auto first = text.find_first_not_of('0');
  return first == std::string::npos ? "0" : text.substr(first);
}

std::uint32_t ndsGetObjNumber(NWCONN_HANDLE& conn, const std::string& objectName) {
  conn = 0;
  if (!client.NWDSAuditGetObjectID.bind() || !fits(objectName, kDirNameBuf)) return 0;
  char name[kDirNameBuf] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  NWCONN_HANDLE holder = 0;
  nuint32 id = 0;
  if (client.NWDSAuditGetObjectID(unit.internal, name, &holder, &id) != 0) return 0;
  conn = holder;
  return id;
}

std::string ndsGetObjName(NWCONN_HANDLE conn, std::int32_t objectID) {
  if (!client.NWDSMapIDToName.bind()) return {};
  conn = ostrel::primaryIfZero(conn);
  char name[kResultNameBuf] = {};
  if (client.NWDSMapIDToName(unit.internal, conn, static_cast<nuint32>(objectID), name) != 0) return {};
  return rtl::bufferToString(name, sizeof name);
}

} // namespace nwnds
