// Capture: printer ports redirected to queues, their settings, banners and queue operators.
#include "nwprint/client.h"

#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <cstring>

namespace nwprint {

using detail::client;
using detail::queueID;

namespace {

std::uint16_t get16(const nuint8* rw, std::size_t offset) {
  std::uint16_t v;
  std::memcpy(&v, rw + offset, sizeof v);
  return v;
}

void put16(nuint8* rw, std::size_t offset, std::uint32_t value) {
  const auto v = static_cast<std::uint16_t>(value);
  std::memcpy(rw + offset, &v, sizeof v);
}

std::string text(const nuint8* rw, std::size_t offset, std::size_t size) {
  return rtl::bufferToString(reinterpret_cast<const char*>(rw + offset), size);
}

void putText(nuint8* rw, std::size_t offset, std::size_t size, const std::string& s) {
  rtl::copyToBuffer(reinterpret_cast<char*>(rw + offset), size, s);
}

} // namespace

bool getCaptureFlags(std::uint8_t lptDevice, TNWCaptureFlags& flags) {
  flags.copies = 1;
  flags.tabSize = 0;
  flags.formType = 0;
  flags.flushTimeout = 10;
  flags.formName.clear();
  flags.bannerText.clear();
  flags.queueName.clear();
  flags.connection = ostrel::getPrimaryServerID();
  flags.printFlag04 = true;
  flags.formFeed = false;
  flags.notify = false;
  if (!client.NWGetCaptureFlags.bind()) return false;
  nuint8 rw[NW_CAPTURE_FLAGS_SIZE] = {};
  nuint8 ro[NW_CAPTURE_FLAGS_RO_SIZE] = {};
  if (client.NWGetCaptureFlags(lptDevice, rw, ro) != 0) return false;
  flags.copies = get16(rw, NW_CF_COPIES);
  flags.tabSize = rw[NW_CF_TAB_SIZE];
  flags.formType = get16(rw, NW_CF_FORM_TYPE);
  flags.flushTimeout = get16(rw, NW_CF_FLUSH_TIMEOUT);
  flags.jobDescription = text(rw, NW_CF_JOB_DESCRIPTION, 50);
  flags.formName = text(rw, NW_CF_FORM_NAME, 13);
  flags.bannerText = text(rw, NW_CF_BANNER_TEXT, 13);
  const std::uint16_t print = get16(rw, NW_CF_PRINT_FLAGS);
  flags.printFlag04 = (print & 0x04) != 0;
  flags.formFeed = (print & 0x08) == 0;
  flags.notify = (print & 0x10) != 0;
  std::uint32_t connection = 0, queue = 0;
  std::memcpy(&connection, ro + NW_CFRO_CONNECTION, 4);
  std::memcpy(&queue, ro + NW_CFRO_QUEUE_ID, 4);
  flags.connection = connection;
  flags.queueName = ostrel::getObjName(connection, static_cast<std::int32_t>(queue));
  return true;
}

bool setCaptureFlags(NWCONN_HANDLE conn, std::uint8_t lptDevice, const TNWCaptureFlags& flags) {
  if (!client.NWSetCaptureFlags.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  nuint8 rw[NW_CAPTURE_FLAGS_SIZE] = {};
  putText(rw, NW_CF_JOB_DESCRIPTION, 50, flags.jobDescription);
  rw[NW_CF_TAB_SIZE] = static_cast<nuint8>(flags.tabSize);
  put16(rw, NW_CF_COPIES, flags.copies);
  std::uint16_t print = 0;
  if (flags.printFlag04) print |= 0x04;
  if (!flags.formFeed) print |= 0x08;
  if (flags.notify) print |= 0x10;
  if (flags.tabSize > 0) print |= 0x40;
  if (!flags.bannerText.empty()) print |= 0x80;
  put16(rw, NW_CF_PRINT_FLAGS, print);
  putText(rw, NW_CF_FORM_NAME, 13, rtl::UpperCase(flags.formName));
  put16(rw, NW_CF_FORM_TYPE, flags.formType);
  putText(rw, NW_CF_BANNER_TEXT, 13, flags.bannerText);
  put16(rw, NW_CF_FLUSH_TIMEOUT, flags.flushTimeout);
  rw[NW_CF_FLUSH_ON_CLOSE] = flags.printFlag04 ? 0 : 1;
  return client.NWSetCaptureFlags(conn, lptDevice, rw) == 0;
}

bool capture(NWCONN_HANDLE conn, const std::string& queueName, std::uint8_t lptDevice, const TNWCaptureFlags& flags) {
  if (!client.NWStartQueueCapture.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::uint32_t queue = queueID(conn, queueName);
  endCap(lptDevice);
  const std::string name = rtl::UpperCase(nwtools::allTrim(queueName));
  if (client.NWStartQueueCapture.unrecorded(conn, lptDevice, queue, name.c_str()) != 0) return false;
  return setCaptureFlags(conn, lptDevice, flags);
}

bool isCaptured(std::uint8_t lptDevice) {
  return client.NWGetCaptureStatus.bind() && client.NWGetCaptureStatus(lptDevice) == 0xFF;
}

bool endCap(std::uint8_t lptDevice) {
  if (!client.NWEndCapture.bind() || !client.NWGetCaptureFlags.bind()) return false;
  nuint8 rw[NW_CAPTURE_FLAGS_SIZE] = {};
  nuint8 ro[NW_CAPTURE_FLAGS_RO_SIZE] = {};
  if (client.NWGetCaptureFlags(lptDevice, rw, ro) == 0 && ro[NW_CFRO_LPT_ORPHANED] == 0xFF)
    return cancelCapture(lptDevice);
  return client.NWEndCapture(lptDevice) == 0;
}

bool cancelCapture(std::uint8_t lptDevice) {
  return client.NWCancelCapture.bind() && client.NWCancelCapture(lptDevice) == 0;
}

bool setBannerUserName(const std::string& name) {
  if (!client.NWSetBannerUserName.bind()) return false;
  char buffer[NW_BANNER_NAME_SIZE] = {};
  rtl::copyToBuffer(buffer, sizeof buffer, name);
  return client.NWSetBannerUserName(buffer) == 0;
}

std::string getBannerUserName() {
  if (!client.NWGetBannerUserName.bind()) return {};
  char buffer[NW_BANNER_NAME_SIZE] = {};
  if (client.NWGetBannerUserName(buffer) != 0) return {};
  return rtl::bufferToString(buffer, sizeof buffer);
}

std::uint8_t getMaxPrinters() {
  if (!client.NWGetMaxPrinters.bind()) return 0;
  nuint16 count = 0;
  if (client.NWGetMaxPrinters(&count) != 0) return 0;
  return static_cast<std::uint8_t>(count);
}

bool isQueueOperator(NWCONN_HANDLE conn, const std::string& queueName, const std::string& userName) {
  const auto operators = getQueueOperators(conn, queueName);
  const std::string user = rtl::UpperCase(nwtools::allTrim(userName));
  for (const auto& item : *operators) {
    // A named user is tested himself; without one, the user logged in on the connection.
    if (user.empty() ? ostrel::isInList(conn, item.text)
                     : (item.text == user || ostrel::isMember(conn, user, item.text)))
      return true;
  }
  return false;
}

} // namespace nwprint
