#pragma once
// Private to the unit: its process-wide state, its one table of client entry points (resolved
// from the unit's own directory-services and locale libraries) and the scope guards every
// operation uses for working contexts and client buffers.
#include <nwnds/nwnds.h>
#include <ostrel/ostrel.h>

#include <cstddef>
#include <string>

namespace nwnds::detail {

/// Process-wide state of the unit besides the error state.
struct Unit {
  platform::ModuleHandle net = nullptr;  // "NETWIN32.DLL"
  platform::ModuleHandle loc = nullptr;  // "LOCWIN32.DLL"
  NWDSContextHandle internal = 0;        // the internal context, 0 = none
  int objects = 0;                       // unit objects alive
};
extern Unit unit;

/// The client functions the unit calls. The first block is bound eagerly by the unit
/// object's constructor, in this order; the rest on first use.
struct Client {
  NW_VALUE_ENTRY(NWLlocaleconv, hNWLoc, state)
  NW_ENTRY(NWInitUnicodeTables, hNWLoc, state)
  NW_VALUE_ENTRY(NWDSCreateContext, hNWNet, state)
  NW_ENTRY(NWDSFreeContext, hNWNet, state)
  NW_ENTRY(NWDSSetContext, hNWNet, state)
  NW_ENTRY(NWDSAllocBuf, hNWNet, state)
  NW_ENTRY(NWDSInitBuf, hNWNet, state)
  NW_ENTRY(NWDSFreeBuf, hNWNet, state)
  NW_VALUE_ENTRY(NWDSDuplicateContext, hNWNet, state)
  NW_ENTRY(NWDSPutAttrName, hNWNet, state)
  NW_ENTRY(NWDSPutAttrVal, hNWNet, state)
  NW_ENTRY(NWDSGetAttrName, hNWNet, state)
  NW_ENTRY(NWDSGetAttrVal, hNWNet, state)
  NW_ENTRY(NWDSGetAttrCount, hNWNet, state)
  NW_ENTRY(NWDSPutChange, hNWNet, state)
  NW_ENTRY(NWDSModifyObject, hNWNet, state)
  NW_ENTRY(NWDSComputeAttrValSize, hNWNet, state)
  NW_ENTRY(NWDSRead, hNWNet, state)
  NW_ENTRY(NWDSRemoveObject, hNWNet, state)
  NW_ENTRY(NWDSGenerateObjectKeyPair, hNWNet, state)
  NW_ENTRY(NWDSGetObjectName, hNWNet, state)
  NW_ENTRY(NWDSGetObjectCount, hNWNet, state)
  NW_ENTRY(NWDSAddObject, hNWNet, state)
  NW_ENTRY(NWDSList, hNWNet, state)
  NW_ENTRY(NWFreeUnicodeTables, hNWLoc, state)
  NW_ENTRY(NWDSGetContext, hNWNet, state)
  NW_ENTRY(NWDSOpenStream, hNWNet, state)

  NW_ENTRY(NWDSDuplicateContextHandle, hNWNet, state)
  NW_ENTRY(NWDSGetPartitionRoot, hNWNet, state)
  NW_ENTRY(NWDSCanonicalizeName, hNWNet, state)
  NW_ENTRY(NWDSAbbreviateName, hNWNet, state)
  NW_ENTRY(NWDSRemoveAllTypes, hNWNet, state)
  NW_ENTRY(NWDSGetBinderyContext, hNWNet, state)
  NW_ENTRY(NWDSGetServerDN, hNWNet, state)
  NW_ENTRY(NWDSWhoAmI, hNWNet, state)
  NW_ENTRY(NWDSMapNameToID, hNWNet, state)
  NW_ENTRY(NWDSAuditGetObjectID, hNWNet, state)
  NW_ENTRY(NWDSMapIDToName, hNWNet, state)
  NW_ENTRY(NWDSDefineClass, hNWNet, state)
  NW_ENTRY(NWDSDefineAttr, hNWNet, state)
  NW_ENTRY(NWDSRemoveAttrDef, hNWNet, state)
  NW_ENTRY(NWDSReadAttrDef, hNWNet, state)
  NW_ENTRY(NWDSGetAttrDef, hNWNet, state)
  NW_ENTRY(NWDSGetEffectiveRights, hNWNet, state)
  NW_ENTRY(NWDSAddSecurityEquiv, hNWNet, state)
  NW_ENTRY(NWDSRemSecurityEquiv, hNWNet, state)
  NW_ENTRY(NWDSMoveObject, hNWNet, state)
  NW_ENTRY(NWDSSearch, hNWNet, state)
  NW_ENTRY(NWDSAllocFilter, hNWNet, state)
  NW_ENTRY(NWDSAddFilterToken, hNWNet, state)
  NW_ENTRY(NWDSPutFilter, hNWNet, state)
  NW_ENTRY(NWDSFreeFilter, hNWNet, state)
  NW_ENTRY(NWDSLogin, hNWNet, state)
  NW_ENTRY(NWDSLogout, hNWNet, state)
  NW_ENTRY(NWDSVerifyObjectPassword, hNWNet, state)
  NW_ENTRY(NWDSChangeObjectPassword, hNWNet, state)
  NW_ENTRY(NWDSAuthenticateConn, hNWNet, state)
  NW_ENTRY(NWDSResolveName, hNWNet, state)
  NW_ENTRY(NWDSAuthenticate, hNWNet, state)
  NW_VALUE_ENTRY(NWDSCanDSAuthenticate, hNWNet, state)
  NW_ENTRY(NWDSOpenConnToNDSServer, hNWNet, state)
  NW_ENTRY(NWCCCloseConn, hNWNet, state)
  NW_ENTRY(NWDSUnlockConnection, hNWNet, state)
  NW_VALUE_ENTRY(NWIsDSServer, hNWNet, state)
  NW_ENTRY(NWGetPreferredDSServer, hNWNet, state)
  NW_ENTRY(NWSetPreferredDSTree, hNWNet, state)
  NW_ENTRY(NWDSGetDSVerInfo, hNWNet, state)
  NW_ENTRY(NWCCLicenseConn, hNWNet, state)
  NW_ENTRY(NWDSLockConnection, hNWNet, state)
  NW_ENTRY(NWDSSetMonitoredConnection, hNWNet, state)
  NW_ENTRY(NWDSScanForAvailableTrees, hNWNet, state)
  NW_ENTRY(NWDSReturnBlockOfAvailableTrees, hNWNet, state)
  // From the calls library: the tree advertisements, and whether a server is attached.
  NW_ENTRY(NWScanObject, ostrel::hNWCalls, state)
  NW_ENTRY(NWGetConnectionHandle, ostrel::hNWCalls, state)
};
extern Client client;

// ---- Input limits ------------------------------------------------------------------------
// A name that does not fit its buffer is refused, never cut: a cut name could address
// another object.
inline constexpr std::size_t kDirNameBuf = 256;     // object, subject and tree names
inline constexpr std::size_t kContextNameBuf = 128; // context names
inline constexpr std::size_t kAttrNameBuf = 34;     // attribute names in read and change paths
inline constexpr std::size_t kWriterBuf = 64;       // names and texts of the add-entry writers
inline constexpr std::size_t kResultNameBuf = NWDS_MAX_DN_BYTES + 1; // names the client returns

/// True when `s` fits a zero-terminated buffer of `size` bytes.
inline bool fits(const std::string& s, std::size_t size) { return s.size() < size; }

/// Longest scan the unit runs before it gives up on a client that keeps asking for more.
inline constexpr long kMaxScanPasses = 1'000'000;

/// Watches an iteration handle across passes: a scan ends when the client is done (-1),
/// when it returns the same handle twice in a row, or after kMaxScanPasses passes.
class ScanGuard {
public:
  /// True when another pass is due after the one that left `handle`.
  bool more(nint32 handle) {
    if (handle == NWDS_NO_MORE_ITERATIONS) return false;
    if (passes_ > 0 && handle == last_) return false;
    last_ = handle;
    return ++passes_ < kMaxScanPasses;
  }

private:
  nint32 last_ = NWDS_NO_MORE_ITERATIONS;
  long passes_ = 0;
};

/// A working context obtained by the context rule and freed when the scope ends.
class WorkingContext {
public:
  /// Empty name: a copy of the internal context. Otherwise a new context named so, which
  /// also re-points the internal context. A name longer than its buffer is refused.
  explicit WorkingContext(const std::string& contextName);
  ~WorkingContext();
  WorkingContext(const WorkingContext&) = delete;
  WorkingContext& operator=(const WorkingContext&) = delete;
  explicit operator bool() const { return handle_ != 0; }
  NWDSContextHandle get() const { return handle_; }

private:
  NWDSContextHandle handle_ = 0;
};

/// A client buffer of 4096 bytes, freed when the scope ends.
class ClientBuffer {
public:
  ClientBuffer();
  ~ClientBuffer();
  ClientBuffer(const ClientBuffer&) = delete;
  ClientBuffer& operator=(const ClientBuffer&) = delete;
  explicit operator bool() const { return buf_ != nullptr; }
  Buf_T* get() const { return buf_; }

private:
  Buf_T* buf_ = nullptr;
};

/// Frees a context with the client; the handle is left as it is.
void freeContext(NWDSContextHandle handle);

} // namespace nwnds::detail
