// Client functions of server semaphores and the Transaction Tracking System.
#include "marshal.h"

#include <bindery.h>
#include <semaphores.h>
#include <transactions.h>

#include <nwclient/nwclient.h>

#include <chrono>
#include <thread>

using nwsim::Connection;
using nwsim::Semaphores;
using nwsim::Server;
using nwsim::Session;
using nwsim::Transactions;
namespace m = nwsim::marshal;

namespace {

// How often a waiting program looks at the semaphore again.
constexpr auto kWaitPoll = std::chrono::milliseconds(10);

// The semaphore behind one of this program's handles, on the connection's server.
NWCCODE semaphore(Session& s, NWCONN_HANDLE conn, nuint32 handle, Semaphores::State& out) {
  Connection c;
  Server server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  auto st = Semaphores(s.db()).byHandle(server.id, handle);
  if (!st) return NWE_INVALID_SEMAPHORE;
  out = *st;
  return NWE_OK;
}

NWCCODE switchTTS(Session& s, NWCONN_HANDLE conn, bool on) {
  Connection c;
  Server server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  if (!nwsim::Bindery(s.db(), server.id).isConsoleOperator(c.objectId, server.name)) return NWE_NO_CONSOLE_RIGHTS;
  Transactions(s).setEnabled(server.id, on);
  return NWE_OK;
}

// A transaction call on the connection's station.
template <typename F>
NWCCODE onStation(Session& s, NWCONN_HANDLE conn, F call) {
  Connection c;
  Server server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  return call(Transactions(s), c);
}

} // namespace

extern "C" {

NWCCODE NWOpenSemaphore(NWCONN_HANDLE conn, const char* name, nuint16 initialValue, nuint32* handle,
                        nuint16* openCount) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!name || !handle) return NWE_INVALID_PARAMETER;
    Semaphores::State st;
    std::uint32_t opened = 0;
    if (NWCCODE rc = Semaphores(s.db()).open(server, c, nwsim::Bindery::upper(m::getString(name, 48)), initialValue,
                                             opened, st))
      return rc;
    *handle = opened;
    if (openCount) *openCount = static_cast<nuint16>(st.openCount);
    return NWE_OK;
  });
}

NWCCODE NWExamineSemaphore(NWCONN_HANDLE conn, nuint32 handle, int16_t* value, nuint16* openCount) {
  NWSIM_SERVE({
    Semaphores::State st;
    if (NWCCODE rc = semaphore(s, conn, handle, st)) return rc;
    if (value) *value = static_cast<int16_t>(st.value);
    if (openCount) *openCount = static_cast<nuint16>(st.openCount);
    return NWE_OK;
  });
}

NWCCODE NWWaitOnSemaphore(NWCONN_HANDLE conn, nuint32 handle, nuint16 timeOutTicks) {
  // Each look is a call of its own, so that other programs can signal in between; only the
  // first one counts as the function's call.
  static nwsim::CallCounter counter{__func__};
  static nwsim::CallCounter again{"NWWaitOnSemaphore (waiting)"};
  auto attempt = [&](Session& s) -> NWCCODE {
    Semaphores::State st;
    if (NWCCODE rc = semaphore(s, conn, handle, st)) return rc;
    return Semaphores(s.db()).take(st.id) ? NWCCODE(NWE_OK) : NWCCODE(NWE_TIMEOUT);
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeOutTicks * 1000 / NW_TICKS_PER_SECOND);
  NWCCODE rc = nwsim::serve(counter, attempt);
  while (rc == NWE_TIMEOUT && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kWaitPoll);
    rc = nwsim::serve(again, attempt);
  }
  return rc;
}

NWCCODE NWSignalSemaphore(NWCONN_HANDLE conn, nuint32 handle) {
  NWSIM_SERVE({
    Semaphores::State st;
    if (NWCCODE rc = semaphore(s, conn, handle, st)) return rc;
    return Semaphores(s.db()).signal(st.id);
  });
}

NWCCODE NWCloseSemaphore(NWCONN_HANDLE conn, nuint32 handle) {
  NWSIM_SERVE({
    Semaphores::State st;
    if (NWCCODE rc = semaphore(s, conn, handle, st)) return rc;
    Semaphores(s.db()).close(handle);
    return NWE_OK;
  });
}

NWCCODE NWEnableTTS(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return switchTTS(s, conn, true); });
}

NWCCODE NWDisableTTS(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return switchTTS(s, conn, false); });
}

NWCCODE NWTTSBeginTransaction(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return onStation(s, conn, [](Transactions t, const Connection& c) { return t.begin(c); }); });
}

NWCCODE NWTTSEndTransaction(NWCONN_HANDLE conn, nuint32* transactionNumber) {
  NWSIM_SERVE({
    return onStation(s, conn, [&](Transactions t, const Connection& c) {
      std::uint32_t number = 0;
      if (NWCCODE rc = t.end(c, number)) return rc;
      if (transactionNumber) *transactionNumber = number;
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWTTSAbortTransaction(NWCONN_HANDLE conn) {
  NWSIM_SERVE({ return onStation(s, conn, [](Transactions t, const Connection& c) { return t.abort(c); }); });
}

} // extern "C"
