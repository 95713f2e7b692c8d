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

} // namespace nwserver::detail
