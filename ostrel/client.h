#pragma once
// Private to unit Ostrel: its process-wide state and its one table of client entry points,
// shared by every operation of the unit.
#include <nwnds/nwnds.h>
#include <ostrel/ostrel.h>

namespace ostrel::detail {

/// Process-wide state of the unit besides the error state.
struct Unit {
  platform::ModuleHandle calls = nullptr;  // "CALWIN32.DLL"
  platform::ModuleHandle clx = nullptr;    // "CLXWIN32.DLL"
  bool nds = false;                        // directory fallback switch
  NWCONN_HANDLE primary = 0;               // remembered primary connection, 0 = none
};
extern Unit unit;

/// The client functions the unit calls: names beginning with NWCC come from the client
/// connection library, all others from the calls library.
struct Client {
  NW_ENTRY(NWCallsInit, hNWCalls, state)
  NW_ENTRY(NWGetPrimaryConnectionID, hNWCalls, state)
  NW_VALUE_ENTRY(NWLongSwap, hNWCalls, state)
  NW_ENTRY(NWGetConnectionNumber, hNWCalls, state)
  NW_ENTRY(NWGetConnectionInformation, hNWCalls, state)
  NW_ENTRY(NWGetFileServerName, hNWCalls, state)
  NW_ENTRY(NWGetFileServerDateAndTime, hNWCalls, state)
  NW_ENTRY(NWGetMaximumConnections, hNWCalls, state)
  NW_ENTRY(NWGetConnectionUsageStats, hNWCalls, state)
  NW_ENTRY(NWGetInetAddr, hNWCalls, state)
  NW_ENTRY(NWGetConnectionStatus, hNWCalls, state)
  NW_ENTRY(NWGetConnectionList, hNWCalls, state)
  NW_ENTRY(NWGetObjectConnectionNumbers, hNWCalls, state)

  NW_ENTRY(NWCCGetPrimConnRef, hNWClx, state)
  NW_ENTRY(NWCCOpenConnByRef, hNWClx, state)
  NW_ENTRY(NWCCGetConnInfo, hNWClx, state)
  NW_ENTRY(NWCCGetAllConnInfo, hNWClx, state)
  NW_ENTRY(NWCCGetAllConnRefInfo, hNWClx, state)
  NW_ENTRY(NWCCScanConnRefs, hNWClx, state)

  // Bindery objects, identity and membership.
  NW_ENTRY(NWGetObjectName, hNWCalls, state)
  NW_ENTRY(NWGetObjectID, hNWCalls, state)
  NW_ENTRY(NWScanObject, hNWCalls, state)
  NW_ENTRY(NWReadPropertyValue, hNWCalls, state)
  NW_ENTRY(NWIsObjectInSet, hNWCalls, state)
  NW_ENTRY(NWVerifyObjectPassword, hNWCalls, state)
  NW_ENTRY(NWCheckConsolePrivileges, hNWCalls, state)
  NW_ENTRY(NWIsManager, hNWCalls, state)

  // NetWare paths, drive mappings, file copy and open files.
  NW_ENTRY(NWParseNetWarePath, hNWCalls, state)
  NW_ENTRY(NWGetVolumeNumber, hNWCalls, state)
  NW_ENTRY(NWGetVolumeName, hNWCalls, state)
  NW_ENTRY(NWParsePath, hNWCalls, state)
  NW_ENTRY(NWSetDriveBase, hNWCalls, state)
  NW_ENTRY(NWDeleteDriveBase, hNWCalls, state)
  NW_ENTRY(NWGetFirstDrive, hNWCalls, state)
  NW_ENTRY(NWGetDriveStatus, hNWCalls, state)
  NW_ENTRY(NWConvertFileHandle, hNWCalls, state)
  NW_ENTRY(NWFileServerFileCopy, hNWCalls, state)
  NW_ENTRY(NWScanOpenFilesByConn2, hNWCalls, state)
  NW_ENTRY(NWIntScanDirectoryInformation2, hNWCalls, state)
  NW_ENTRY(NWScanConnectionsUsingFile, hNWCalls, state)

  // Broadcast messages and shell error mode.
  NW_ENTRY(NWSetBroadcastMode, hNWCalls, state)
  NW_ENTRY(NWEnableBroadcasts, hNWCalls, state)
  NW_ENTRY(NWDisableBroadcasts, hNWCalls, state)
  NW_ENTRY(NWGetBroadcastMessage, hNWCalls, state)
  NW_ENTRY(NWBroadcastToConsole, hNWCalls, state)
  NW_ENTRY(NWSendBroadcastMessage, hNWCalls, state)
  NW_ENTRY(NWGetConnListFromObject, hNWCalls, state)
  NW_ENTRY(NWSetNetWareErrorMode, hNWCalls, state)

  // Preferred server and station lists.
  NW_ENTRY(NWCCSetPrefServerName, hNWClx, state)
  NW_ENTRY(NWGetConnectionHandle, hNWCalls, state)
  NW_ENTRY(NWSetPrimaryConnectionID, hNWCalls, state)
  NW_VALUE_ENTRY(NWIsDSServer, nwnds::hNWNet, state)
};
extern Client client;

} // namespace ostrel::detail
