#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>
#include <rtl/sysutils.h>

#include <string>

namespace nwserver::detail {

using ostrel::hNWCalls;
using ostrel::hNWClx;

/// Names beginning with NWCC come from the client connection library, all others from the
/// calls library; "NWCCCloseConn" is the exception, looked up in the calls library.
struct Client {
  NW_VALUE_ENTRY(NWUnpackDateTime, hNWCalls, state)
  NW_ENTRY(NWCCOpenConnByName, hNWClx, state)
  NW_ENTRY(NWCCCloseConn, hNWCalls, state)
  NW_ENTRY(NWGetConnectionHandle, hNWCalls, state)
  NW_ENTRY(NWAttachToFileServer, hNWCalls, state)
  NW_ENTRY(NWDetachFromFileServer, hNWCalls, state)
  NW_ENTRY(NWParseNetWarePath, hNWCalls, state)
  NW_ENTRY(NWClearConnectionNumber, hNWCalls, state)
  NW_ENTRY(NWLoginToFileServer, hNWCalls, state)
  NW_ENTRY(NWLogoutFromFileServer, hNWCalls, state)
  NW_ENTRY(NWGetFileServerLoginStatus, hNWCalls, state)
  NW_ENTRY(NWDisableFileServerLogin, hNWCalls, state)
  NW_ENTRY(NWEnableFileServerLogin, hNWCalls, state)
  NW_ENTRY(NWDownFileServer, hNWCalls, state)
  NW_ENTRY(NWSetFileServerDateAndTime, hNWCalls, state)
  NW_ENTRY(NWGetNetworkSerialNumber, hNWCalls, state)
  NW_VALUE_ENTRY(NWLongSwap, hNWCalls, state)
  NW_ENTRY(NWGetUserInfo, hNWCalls, state)
  NW_ENTRY(NWGetFileServerInfo, hNWCalls, state)
  NW_ENTRY(NWGetFileServerInformation, hNWCalls, state)
  NW_ENTRY(NWGetCacheInfo, hNWCalls, state)
  NW_ENTRY(NWGetFileSystemStats, hNWCalls, state)
  NW_ENTRY(NWGetDiskCacheStats, hNWCalls, state)
  NW_ENTRY(NWGetNLMLoadedList, hNWCalls, state)
  NW_ENTRY(NWGetNLMInfo, hNWCalls, state)
  NW_ENTRY(NWSMLoadNLM, hNWCalls, state)
  NW_ENTRY(NWSMUnloadNLM, hNWCalls, state)
  NW_ENTRY(NWSMExecuteNCFFile, hNWCalls, state)
  NW_ENTRY(NWSMMountVolume, hNWCalls, state)
  NW_ENTRY(NWSMDismountVolumeByName, hNWCalls, state)
  NW_ENTRY(NWSMSetDynamicCmdStrValue, hNWCalls, state)
  NW_ENTRY(NWSMSetDynamicCmdIntValue, hNWCalls, state)

  // Volumes, files and directories; deleted files.
  NW_ENTRY(NWGetVolumeName, hNWCalls, state)
  NW_ENTRY(NWGetVolumeNumber, hNWCalls, state)
  NW_ENTRY(NWGetVolumeStats, hNWCalls, state)
  NW_ENTRY(NWGetVolumeInfoWithNumber, hNWCalls, state)
  NW_ENTRY(NWGetExtendedVolumeInfo, hNWCalls, state)
  NW_ENTRY(NWGetDirSpaceInfo, hNWCalls, state)
  NW_ENTRY(NWGetDiskUtilization, hNWCalls, state)
  NW_ENTRY(NWAllocTemporaryDirectoryHandle, hNWCalls, state)
  NW_ENTRY(NWDeallocateDirectoryHandle, hNWCalls, state)
  NW_ENTRY(NWIntScanDirEntryInfo, hNWCalls, state)
  NW_ENTRY(NWIntScanExtendedInfo, hNWCalls, state)
  NW_ENTRY(NWIntScanForTrustees, hNWCalls, state)
  NW_ENTRY(NWIntScanFileInformation2, hNWCalls, state)
  NW_ENTRY(NWSetFileAttributes, hNWCalls, state)
  NW_ENTRY(NWSetFileInformation2, hNWCalls, state)
  NW_ENTRY(NWSetExtendedFileAttributes2, hNWCalls, state)
  NW_ENTRY(NWSetDirEntryInfo, hNWCalls, state)
  NW_ENTRY(NWSetDirSpaceLimit, hNWCalls, state)
  NW_ENTRY(NWGetObjDiskRestrictions, hNWCalls, state)
  NW_ENTRY(NWSetObjectVolSpaceLimit, hNWCalls, state)
  NW_ENTRY(NWRemoveObjectDiskRestrictions, hNWCalls, state)
  NW_ENTRY(NWScanForDeletedFiles, hNWCalls, state)
  NW_ENTRY(NWRecoverDeletedFile, hNWCalls, state)
  NW_ENTRY(NWPurgeDeletedFile, hNWCalls, state)
  // Semaphores and transaction tracking.
  NW_ENTRY(NWOpenSemaphore, hNWCalls, state)
  NW_ENTRY(NWExamineSemaphore, hNWCalls, state)
  NW_ENTRY(NWWaitOnSemaphore, hNWCalls, state)
  NW_ENTRY(NWSignalSemaphore, hNWCalls, state)
  NW_ENTRY(NWCloseSemaphore, hNWCalls, state)
  NW_ENTRY(NWEnableTTS, hNWCalls, state)
  NW_ENTRY(NWDisableTTS, hNWCalls, state)
  NW_ENTRY(NWTTSBeginTransaction, hNWCalls, state)
  NW_ENTRY(NWTTSEndTransaction, hNWCalls, state)
  NW_ENTRY(NWTTSAbortTransaction, hNWCalls, state)
};
extern Client client;

/// The workstation's connection to a server for a passing purpose; `opened` tells whether
/// this call made it, and so whether closeTemporary must close it.
NWCONN_HANDLE openTemporary(const std::string& serverName, bool& opened);
/// Closes a connection made by openTemporary (never the primary connection).
void closeTemporary(NWCONN_HANDLE conn);

/// Puts a text in a fixed client buffer; false when it does not fit, since a cut name or
/// path could address another object.
template <std::size_t N>
bool toBuffer(char (&buffer)[N], const std::string& text) {
  if (text.size() >= N) return false;
  rtl::copyToBuffer(buffer, N, text);
  return true;
}

/// A directory handle of a connection for the length of one operation, released on every
/// path (also when the work throws).
class TemporaryDirHandle {
public:
  /// Parses `path` (a 256-byte buffer; `conn` serves a path without a server, 0 the primary
  /// connection) and allocates a handle for it; ok() tells whether both succeeded. Neither
  /// code is recorded. `withRights` passes the effective-rights out-parameter.
  explicit TemporaryDirHandle(const std::string& path, NWCONN_HANDLE conn = 0, bool withRights = true);
  ~TemporaryDirHandle();
  TemporaryDirHandle(const TemporaryDirHandle&) = delete;
  TemporaryDirHandle& operator=(const TemporaryDirHandle&) = delete;
  bool ok() const { return handle_ != 0; }
  NWCONN_HANDLE conn() const { return conn_; }
  nuint8 handle() const { return handle_; }
  /// The volume path the parse returned.
  const char* volumePath() const { return volumePath_; }

private:
  NWCONN_HANDLE conn_ = 0;
  nuint8 handle_ = 0;
  char volumePath_[256] = {};
};

/// Stops a scan that makes no progress: the same iteration handle twice in a row, or more
/// steps than any volume holds entries.
class ScanGuard {
public:
  /// False when the scan should stop.
  bool advance(std::uint32_t iteration);

private:
  static constexpr std::uint64_t kMaxSteps = 1ull << 26;
  bool started_ = false;
  std::uint32_t last_ = 0;
  std::uint64_t steps_ = 0;
};

/// Sets the thirteen rights booleans from an inherited rights mask.
void decodeRights(std::uint16_t mask, TNWRights& rights);

/// The directory part of a NetWare path: up to and including its last "\\" or ":".
std::string directoryPart(const std::string& path);
/// The name part: what follows the directory part.
std::string namePart(const std::string& path);

} // namespace nwserver::detail
