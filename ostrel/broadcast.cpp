// Broadcast messages and shell error mode: whether the workstation receives broadcasts, its
// stored messages, messages to stations and to the server console, and the client's error
// mode.
#include "ostrel/client.h"

#include <rtl/sysutils.h>

#include <algorithm>
#include <array>

namespace ostrel {

using detail::client;
using detail::state;

namespace {

constexpr std::size_t kMessageBuffer = 128;
constexpr std::size_t kReceiveBuffer = 256;
constexpr std::size_t kNameBuffer = 48;
constexpr nuint16 kUserType = 0x0100;
constexpr std::size_t kStations = 50;
constexpr nuint16 kStationQueryMax = 49;
// A count above this is not a count the client could have meant.
constexpr nuint16 kImplausibleCount = 20000;
// What a station's result says until the client writes one: not accepted.
constexpr nuint8 kNoResult = 0xFF;

struct MessageBuffer {
  explicit MessageBuffer(const std::string& text) { rtl::copyToBuffer(data, kMessageBuffer, text); }
  char data[kMessageBuffer] = {};
};

} // namespace

std::uint16_t getBroadcastMode(NWCONN_HANDLE conn) {
  if (!client.NWCCGetConnInfo.bind()) return 0;
  conn = primaryIfZero(conn);
  nuint16 mode = 0;
  if (client.NWCCGetConnInfo(conn, NWCC_INFO_BCAST_STATE, sizeof mode, &mode) != 0) return 0;
  return mode;
}

bool setBroadcastMode(NWCONN_HANDLE conn, std::uint16_t mode) {
  if (!client.NWSetBroadcastMode.bind()) return false;
  return client.NWSetBroadcastMode(primaryIfZero(conn), mode) == 0;
}

bool castOn(NWCONN_HANDLE conn) {
  if (!client.NWEnableBroadcasts.bind()) return false;
  return client.NWEnableBroadcasts(primaryIfZero(conn)) == 0;
}

bool castOff(NWCONN_HANDLE conn) {
  if (!client.NWDisableBroadcasts.bind()) return false;
  return client.NWDisableBroadcasts(primaryIfZero(conn)) == 0;
}

std::string getBroadcastMessage(NWCONN_HANDLE conn) {
  if (!client.NWGetBroadcastMessage.bind()) return {};
  char message[kReceiveBuffer] = {};
  if (client.NWGetBroadcastMessage(primaryIfZero(conn), message) != 0) return {};
  return rtl::bufferToString(message, kReceiveBuffer);
}

bool broadcastToConsole(NWCONN_HANDLE conn, const std::string& message) {
  if (!client.NWBroadcastToConsole.bind()) return false;
  const MessageBuffer text(message);
  return client.NWBroadcastToConsole(primaryIfZero(conn), text.data) == 0;
}

bool broadcastToConn(NWCONN_HANDLE conn, std::uint16_t connNumber, const std::string& message) {
  if (!client.NWSendBroadcastMessage.bind()) return false;
  const MessageBuffer text(message);
  const nuint16 stations[1] = {connNumber};
  nuint8 results[1] = {kNoResult};
  if (client.NWSendBroadcastMessage(primaryIfZero(conn), text.data, 1, stations, results) != 0) return false;
  return results[0] == 0;
}

bool sendLineMessage(NWCONN_HANDLE conn, const std::string& userName, const std::string& message) {
  if (!client.NWGetObjectConnectionNumbers.bind() || !client.NWSendBroadcastMessage.bind()) return false;
  conn = primaryIfZero(conn);
  char name[kNameBuffer] = {};
  rtl::copyToBuffer(name, kNameBuffer, rtl::UpperCase(userName));
  const MessageBuffer text(message);

  std::array<nuint16, kStations> stations{};
  nuint16 count = 0;
  client.NWGetObjectConnectionNumbers.unrecorded(conn, name, kUserType, &count, stations.data(), kStationQueryMax);
  if ((count == 0 || count > kImplausibleCount) && client.NWGetConnListFromObject.bind()) {
    // The lookup's failure is not recorded either.
    const std::int32_t saved = state.lasterror;
    const nuint32 id = getObjNumber(conn, userName, kUserType);
    state.lasterror = saved;
    count = 0;
    client.NWGetConnListFromObject.unrecorded(conn, id, 1, &count, stations.data());
  }
  if (count == 0) return false;
  count = static_cast<nuint16>(std::min<std::size_t>(count, kStations));

  // Results the client does not write count as refusals, and a failed call sent nothing.
  std::array<nuint8, kStations> results;
  results.fill(kNoResult);
  if (client.NWSendBroadcastMessage.unrecorded(conn, text.data, count, stations.data(), results.data()) != 0)
    return false;
  return std::any_of(results.begin(), results.begin() + count, [](nuint8 r) { return r == 0; });
}

std::uint8_t setShellErrorMode(std::uint8_t mode) {
  if (!client.NWSetNetWareErrorMode.bind()) return 0;
  nuint8 previous = 0;
  if (client.NWSetNetWareErrorMode(mode, &previous) != 0) return 0;
  return previous;
}

} // namespace ostrel
