#pragma once
// Private to the unit: its one table of client entry points, shared by every operation and
// resolved from Ostrel's libraries (ostrel::hNWCalls, ostrel::hNWClx) on first use.
#include <nwprint/nwprint.h>
#include <ostrel/ostrel.h>

namespace nwprint::detail {

struct Client {
  // Queue jobs and queue membership.
  NW_ENTRY(NWGetQueueJobList2, ostrel::hNWCalls, state)
  NW_ENTRY(NWReadQueueJobEntry2, ostrel::hNWCalls, state)
  NW_ENTRY(NWChangeQueueJobEntry2, ostrel::hNWCalls, state)
  NW_ENTRY(NWChangeQueueJobPosition2, ostrel::hNWCalls, state)
  NW_ENTRY(NWRemoveJobFromQueue2, ostrel::hNWCalls, state)
  NW_ENTRY(NWReadPropertyValue, ostrel::hNWCalls, state)

  // Capture, banners and direct printing.
  NW_ENTRY(NWGetCaptureFlags, ostrel::hNWCalls, state)
  NW_ENTRY(NWSetCaptureFlags, ostrel::hNWCalls, state)
  NW_ENTRY(NWStartQueueCapture, ostrel::hNWCalls, state)
  NW_VALUE_ENTRY(NWGetCaptureStatus, ostrel::hNWCalls, state)
  NW_ENTRY(NWEndCapture, ostrel::hNWCalls, state)
  NW_ENTRY(NWCancelCapture, ostrel::hNWCalls, state)
  NW_ENTRY(NWSetBannerUserName, ostrel::hNWCalls, state)
  NW_ENTRY(NWGetBannerUserName, ostrel::hNWCalls, state)
  NW_ENTRY(NWGetMaxPrinters, ostrel::hNWCalls, state)
  NW_ENTRY(NWParseNetWarePath, ostrel::hNWCalls, state)
  NW_ENTRY(NWCreateQueueFile2, ostrel::hNWCalls, state)
  NW_ENTRY(NWCloseFileAndStartQueueJob2, ostrel::hNWCalls, state)
};
extern Client client;

/// The object ID of the print queue of that name; 0 when there is none. A connection of 0
/// becomes the primary connection.
std::uint32_t queueID(NWCONN_HANDLE& conn, const std::string& queueName);

} // namespace nwprint::detail
