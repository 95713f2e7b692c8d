#include "ostrel/client.h"
#include "ostrel/counters.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace ostrel {

using detail::client;
using detail::state;

namespace {

constexpr const char* kLocalServer = "LOCAL";
constexpr std::size_t kNameBuffer = 48;
constexpr nuint16 kUserType = 0x0100;
constexpr int kStationList = 50;
constexpr nuint16 kOldConnListMax = 49;
// Far more connections than any client holds; a scan that reaches it is not advancing.
constexpr int kScanLimit = 4096;

template <std::size_t N>
std::string bufferText(const char (&buffer)[N]) {
  return rtl::bufferToString(buffer, N);
}

/// The server's clock; false when it cannot be read.
bool readServerClock(NWCONN_HANDLE conn, NW_DATE_TIME& clock) {
  if (!client.NWGetFileServerDateAndTime.bind()) return false;
  conn = primaryIfZero(conn);
  NW_DATE_TIME read{};
  if (client.NWGetFileServerDateAndTime(conn, &read.year) != 0) return false;
  clock = read;
  return true;
}

std::string netAddressText(const NW_INET_ADDR& addr) {
  std::string text;
  for (nuint8 b : addr.networkAddr) text += rtl::IntToHex(b, 2);
  for (nuint8 b : addr.netNodeAddr) text += rtl::IntToHex(b, 2);
  return text;
}

} // namespace

std::uint16_t getConnectID(NWCONN_HANDLE conn) {
  state.lastCode = -1;
  if (client.NWCCGetConnInfo.bind()) {
    conn = primaryIfZero(conn);
    nuint32 number = 0;
    if (client.NWCCGetConnInfo(conn, NWCC_INFO_CONN_NUMBER, sizeof number, &number) != 0) return 0;
    return static_cast<std::uint16_t>(number & 0xFFFF);
  }
  if (client.NWGetConnectionNumber.bind()) {
    conn = primaryIfZero(conn);
    nuint16 number = 0;
    if (client.NWGetConnectionNumber(conn, &number) != 0) return 0;
    return number;
  }
  state.record(-1);
  return 0;
}

std::string whoAmI(NWCONN_HANDLE conn) {
  if (!client.NWGetConnectionInformation.bind()) return {};
  conn = primaryIfZero(conn);
  const std::uint16_t station = getConnectID(conn);
  char name[kNameBuffer] = {};
  nuint16 type = 0;
  nuint32 id = 0;
  NW_LOGIN_TIME login{};
  if (client.NWGetConnectionInformation(conn, station, name, &type, &id, &login.year) != 0) return {};
  return bufferText(name);
}

std::string getServerName(NWCONN_HANDLE conn) {
  state.lastCode = -1;
  char name[kNameBuffer] = {};
  if (client.NWCCGetConnInfo.bind()) {
    conn = primaryIfZero(conn);
    if (client.NWCCGetConnInfo(conn, NWCC_INFO_SERVER_NAME, sizeof name, name) != 0) return kLocalServer;
    return bufferText(name);
  }
  if (client.NWGetFileServerName.bind()) {
    conn = primaryIfZero(conn);
    if (client.NWGetFileServerName(conn, name) != 0) return kLocalServer;
    return bufferText(name);
  }
  state.record(-1);
  return kLocalServer;
}

rtl::TDateTime getServerDate(NWCONN_HANDLE conn) {
  NW_DATE_TIME clock{};
  rtl::TDateTime date = 0;
  // A clock the calendar cannot hold counts as unreadable, like a failed call.
  if (!readServerClock(conn, clock) || !rtl::TryEncodeDate(clock.year + 1900, clock.month, clock.day, date))
    return rtl::Date();
  return date;
}

rtl::TDateTime getServerTime(NWCONN_HANDLE conn) {
  NW_DATE_TIME clock{};
  rtl::TDateTime time = 0;
  if (!readServerClock(conn, clock) || !rtl::TryEncodeTime(clock.hour, clock.minute, clock.second, 0, time))
    return rtl::Time();
  return time;
}

std::uint16_t maxConns() {
  if (!client.NWGetMaximumConnections.bind()) return 0;
  nuint16 count = 0;
  client.NWGetMaximumConnections.unrecorded(&count);
  return count;
}

bool getConnUsageStats(NWCONN_HANDLE conn, std::uint16_t connNumber, TNWConnectionStats& stats) {
  if (!client.NWGetConnectionUsageStats.bind()) return false;
  conn = primaryIfZero(conn);
  CONN_USE usage{};
  if (client.NWGetConnectionUsageStats(conn, connNumber, &usage) != 0) return false;
  stats.bytesRead = sixByteCounterLow32(usage.bytesRead);
  stats.bytesWritten = sixByteCounterLow32(usage.bytesWritten);
  stats.requestPackets = usage.totalRequestPackets;
  return true;
}

bool getConnectInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, TNWConnectInfo& info) {
  if (!client.NWGetInetAddr.bind() || !client.NWGetConnectionInformation.bind()) return false;
  conn = primaryIfZero(conn);
  NW_INET_ADDR addr{};
  if (client.NWGetInetAddr(conn, connNumber, &addr) != 0) return false;

  // Zeroed: an older client fills only the connection number and the server name.
  TNWCCConnInfo record{};
  char name[kNameBuffer] = {};
  nuint16 type = 0;
  nuint32 id = 0;
  NW_LOGIN_TIME login{};
  if (getAllConnectInfo(conn, record))
    client.NWGetConnectionInformation(conn, connNumber, name, &type, &id, &login.year);
  // Either the failure getAllConnectInfo left or the code of the information request.
  if (state.lastCode != 0) {
    state.lasterror = state.lastCode;
    return false;
  }

  // A station nobody is logged in on reports no valid login date: no answer, not an error.
  rtl::TDateTime date = 0, time = 0;
  if (!rtl::TryEncodeDate(login.year + 1900, login.month, login.day, date) ||
      !rtl::TryEncodeTime(login.hour, login.minute, login.second, 0, time))
    return false;

  const std::string tree = nwtools::strTran(bufferText(record.treeName), "_", " ");
  const std::string server = bufferText(record.serverName);

  info.connHandle = conn;
  info.loginTime = date + time;
  info.treeName = tree;
  info.netAddress = netAddressText(addr);
  info.connNumber = connNumber;
  info.userName = bufferText(name);
  info.objectType = type;
  info.serverName = server.empty() ? tree : server;
  return true;
}

bool getAllConnectRefInfo(NWCONN_REF connRef, TNWCCConnInfo& info) {
  if (!client.NWCCGetAllConnRefInfo.bind()) return false;
  return client.NWCCGetAllConnRefInfo(connRef, NWCC_INFO_VERSION_1, &info) == 0;
}

bool getAllConnectInfo(NWCONN_HANDLE conn, TNWCCConnInfo& info) {
  state.lastCode = -1;
  if (client.NWCCGetAllConnInfo.bind()) return client.NWCCGetAllConnInfo(conn, NWCC_INFO_VERSION_1, &info) == 0;
  if (!client.NWGetConnectionStatus.bind()) return false;

  std::array<char, NW_CONN_STATUS_SIZE> status{};
  if (client.NWGetConnectionStatus(conn, status.data(), NW_CONN_STATUS_SIZE) != 0) return false;
  std::memcpy(&info.connNum, status.data() + NW_CONN_STATUS_CONN_NUMBER, sizeof info.connNum);
  // The name need not be terminated inside the buffer; names hold at most 47 characters.
  const std::string server = rtl::bufferToString(status.data() + NW_CONN_STATUS_SERVER_NAME,
                                                 NW_CONN_STATUS_SIZE - NW_CONN_STATUS_SERVER_NAME);
  rtl::copyToBuffer(info.serverName, kNameBuffer, server);
  return true;
}

std::unique_ptr<rtl::TStringList> getConnectedServerList() {
  auto list = std::make_unique<rtl::TStringList>();
  if (client.NWCCScanConnRefs.bind()) {
    if (!client.NWCCGetAllConnRefInfo.bind()) return list;
    nuint32 iterator = 0;
    NWCONN_REF previous = 0;
    for (int scanned = 0; scanned < kScanLimit; ++scanned) {
      NWCONN_REF ref = 0;
      // The code that ends the scan stays in the error code, end of list included.
      if (client.NWCCScanConnRefs(&iterator, &ref) != 0) break;
      if (scanned > 0 && ref == previous) break;  // the client is not advancing
      previous = ref;
      TNWCCConnInfo info{};
      if (client.NWCCGetAllConnRefInfo(ref, NWCC_INFO_VERSION_1, &info) != 0) continue;
      list->AddObject(bufferText(info.serverName), static_cast<std::intptr_t>(info.connNum));
    }
    return list;
  }
  if (client.NWGetConnectionList.bind()) {
    std::array<nuint16, kOldConnListMax> handles{};
    nuint16 count = 0;
    // A failure here only means an empty list.
    if (client.NWGetConnectionList.unrecorded(0, handles.data(), kOldConnListMax, &count) == 0) {
      const int n = std::min<int>(count, kOldConnListMax);
      for (int i = 0; i < n; ++i) list->AddObject(getServerName(handles[i]), handles[i]);
    }
  }
  return list;
}

bool isLoggedIn(NWCONN_HANDLE conn, const std::string& objectName) {
  if (!client.NWGetObjectConnectionNumbers.bind()) return false;
  conn = primaryIfZero(conn);
  char name[kNameBuffer] = {};
  rtl::copyToBuffer(name, sizeof name, objectName);
  std::array<nuint16, kStationList> stations{};
  nuint16 count = 0;
  if (client.NWGetObjectConnectionNumbers(conn, name, kUserType, &count, stations.data(), kStationList) != 0)
    return false;
  return count > 0;
}

} // namespace ostrel
