// Semaphores and transaction tracking: named server semaphores that applications use to
// coordinate across workstations, and the server's Transaction Tracking System.
#include "nwserver/client.h"

namespace nwserver {

using detail::client;
using detail::state;

namespace {

constexpr std::size_t kNameBuffer = 48;

/// Calls `step` count times, stopping at the first failure, whose code is recorded.
template <typename Step>
bool repeat(std::uint16_t count, Step step) {
  for (std::uint16_t i = 0; i < count; ++i)
    if (step() != 0) return false;
  return true;
}

/// A TTS call on the primary connection for 0, recording nothing.
template <typename Entry, typename... A>
bool tts(Entry& entry, NWCONN_HANDLE conn, A... args) {
  conn = ostrel::primaryIfZero(conn);
  return entry.bind() && entry.unrecorded(conn, args...) == 0;
}

} // namespace

std::uint32_t createSemaphore(NWCONN_HANDLE conn, const std::string& name, std::uint16_t initialValue) {
  if (!client.NWOpenSemaphore.bind() || !client.NWSignalSemaphore.bind()) return 0;
  conn = ostrel::primaryIfZero(conn);
  char buffer[kNameBuffer] = {};
  if (!detail::toBuffer(buffer, rtl::UpperCase(name))) return 0;
  nuint32 handle = 0;
  nuint16 openCount = 0;
  if (client.NWOpenSemaphore(conn, buffer, initialValue, &handle, &openCount) != 0) return 0;
  // Created here with nothing to take: one unit, so that the first wait passes.
  if (initialValue == 0 && openCount == 1) client.NWSignalSemaphore.unrecorded(conn, handle);
  return handle;
}

bool decSemaValue(NWCONN_HANDLE conn, std::uint32_t handle, std::uint16_t count) {
  if (!client.NWWaitOnSemaphore.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  return repeat(count, [&] { return client.NWWaitOnSemaphore(conn, handle, 0); });
}

bool incSemaValue(NWCONN_HANDLE conn, std::uint32_t handle, std::uint16_t count) {
  if (!client.NWSignalSemaphore.bind()) return false;
  conn = ostrel::primaryIfZero(conn);
  return repeat(count, [&] { return client.NWSignalSemaphore(conn, handle); });
}

bool freeSemaphore(NWCONN_HANDLE conn, std::uint32_t handle) {
  // Bound anew on every call.
  client.NWCloseSemaphore.reset();
  if (!client.NWCloseSemaphore.bind()) return false;
  state.lastCode = 0;
  if (handle == 0) return true;
  return client.NWCloseSemaphore(ostrel::primaryIfZero(conn), handle) == 0;
}

std::uint16_t querySemaphore(NWCONN_HANDLE conn, std::uint32_t handle, std::int16_t& value) {
  if (!client.NWExamineSemaphore.bind()) return 0;
  nuint16 openCount = 0;
  if (client.NWExamineSemaphore(ostrel::primaryIfZero(conn), handle, &value, &openCount) != 0) return 0;
  return openCount;
}

bool TTSEnable(NWCONN_HANDLE conn) { return tts(client.NWEnableTTS, conn); }
bool TTSDisable(NWCONN_HANDLE conn) { return tts(client.NWDisableTTS, conn); }
bool TTSBeginTransaction(NWCONN_HANDLE conn) { return tts(client.NWTTSBeginTransaction, conn); }
bool TTSAbortTransaction(NWCONN_HANDLE conn) { return tts(client.NWTTSAbortTransaction, conn); }

std::uint32_t TTSEndTransaction(NWCONN_HANDLE conn) {
  nuint32 number = 0;
  return tts(client.NWTTSEndTransaction, conn, &number) ? number : 0;
}

} // namespace nwserver
