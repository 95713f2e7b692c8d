// Client functions of printer capture and banners: the workstation's ports redirected to
// print queues, kept with the workstation.
#include "marshal.h"

#include <captures.h>
#include <print_queues.h>

#include <nwclient/nwclient.h>

#include <cstring>

using nwsim::Captures;
using nwsim::Connection;
using nwsim::PrintQueues;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace {

bool validPort(nuint8 device) { return device >= 1 && device <= Captures::kPorts; }

// A call on a captured port of the workstation.
template <typename Body>
NWCCODE onCapture(Session& s, nuint8 device, Body body) {
  if (!validPort(device)) return NWE_INVALID_PARAMETER;
  Captures captures(s.db(), s.workstation());
  auto c = captures.get(device);
  if (!c) return NWE_NOT_CAPTURED;
  return body(captures, *c);
}

// Whether the queue of a capture still exists.
bool queueExists(Session& s, const Captures::Capture& c) {
  return PrintQueues(s, s.server(c.serverId)).isQueue(c.queueId);
}

} // namespace

extern "C" {

NWCCODE NWGetCaptureFlags(nuint8 lptDevice, nuint8* captureFlagsRW102, nuint8* captureFlagsRO32) {
  NWSIM_SERVE_READ({
    return onCapture(s, lptDevice, [&](Captures&, const Captures::Capture& c) {
      if (captureFlagsRW102) std::memcpy(captureFlagsRW102, c.flags.data(), NW_CAPTURE_FLAGS_SIZE);
      if (captureFlagsRO32) {
        std::memset(captureFlagsRO32, 0, NW_CAPTURE_FLAGS_RO_SIZE);
        const nuint32 conn = c.connId, queue = m::wireId(c.queueId);
        std::memcpy(captureFlagsRO32 + NW_CFRO_CONNECTION, &conn, 4);
        std::memcpy(captureFlagsRO32 + NW_CFRO_QUEUE_ID, &queue, 4);
        captureFlagsRO32[NW_CFRO_LPT_ORPHANED] = queueExists(s, c) ? 0 : 0xFF;
        captureFlagsRO32[NW_CFRO_IN_PROGRESS] = 0xFF;
      }
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWSetCaptureFlags(NWCONN_HANDLE conn, nuint8 lptDevice, const nuint8* captureFlagsRW102) {
  NWSIM_SERVE({
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    if (!captureFlagsRW102) return NWE_INVALID_PARAMETER;
    return onCapture(s, lptDevice, [&](Captures& captures, const Captures::Capture&) {
      std::vector<std::uint8_t> flags(captureFlagsRW102, captureFlagsRW102 + NW_CAPTURE_FLAGS_SIZE);
      // Texts stay terminated inside their fields.
      flags[NW_CF_JOB_DESCRIPTION + 49] = 0;
      flags[NW_CF_FORM_NAME + 12] = 0;
      flags[NW_CF_BANNER_TEXT + 12] = 0;
      captures.setFlags(lptDevice, flags);
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWStartQueueCapture(NWCONN_HANDLE conn, nuint8 lptDevice, nuint32 queueID, const char* queueName) {
  NWSIM_SERVE({
    (void)queueName;  // the ID decides, as on the server
    if (!validPort(lptDevice)) return NWE_INVALID_PARAMETER;
    Connection c;
    Server server;
    if (NWCCODE rc = s.use(conn, c, server)) return rc;
    PrintQueues queues(s, server);
    const std::uint32_t queue = m::wireId(queueID);
    if (!queues.isQueue(queue)) return NWE_NO_SUCH_OBJECT;
    if (!queues.isUser(c.objectId, queue)) return NWE_NO_QUEUE_RIGHTS;
    Captures(s.db(), s.workstation()).start(lptDevice, c.id, server.id, queue);
    return NWE_OK;
  });
}

nuint8 NWGetCaptureStatus(nuint8 lptDevice) {
  // A value, not a completion code: served like the others, answered through `status`.
  static nwsim::CallCounter counter{__func__};
  nuint8 status = 0;
  nwsim::serve(counter, [&](Session& s) -> NWCCODE {
    return onCapture(s, lptDevice, [&](Captures&, const Captures::Capture&) {
      status = 0xFF;
      return NWCCODE(NWE_OK);
    });
  });
  return status;
}

NWCCODE NWEndCapture(nuint8 lptDevice) {
  NWSIM_SERVE({
    return onCapture(s, lptDevice, [&](Captures& captures, const Captures::Capture& c) {
      // Nothing captured can be delivered to a queue that is gone; such a capture is cancelled.
      if (!queueExists(s, c)) return NWCCODE(NWE_NO_SUCH_OBJECT);
      captures.remove(lptDevice);
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWCancelCapture(nuint8 lptDevice) {
  NWSIM_SERVE({
    return onCapture(s, lptDevice, [&](Captures& captures, const Captures::Capture&) {
      captures.remove(lptDevice);
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWSetBannerUserName(const char* bannerUserName128) {
  NWSIM_SERVE({
    if (!bannerUserName128) return NWE_INVALID_PARAMETER;
    Captures(s.db(), s.workstation()).setBannerName(m::getString(bannerUserName128, NW_BANNER_NAME_SIZE - 1));
    return NWE_OK;
  });
}

NWCCODE NWGetBannerUserName(char* bannerUserName128) {
  NWSIM_SERVE_READ({
    if (!bannerUserName128) return NWE_INVALID_PARAMETER;
    auto name = Captures(s.db(), s.workstation()).bannerName();
    if (!name) {
      // Until one is set, the banner carries the name logged in on the primary connection.
      name = std::string();
      if (auto c = s.connection(s.primaryConnection()); c && c->objectId)
        if (auto o = s.object(c->serverId, c->objectId)) name = o->name;
    }
    m::putString(bannerUserName128, NW_BANNER_NAME_SIZE, *name);
    return NWE_OK;
  });
}

NWCCODE NWGetMaxPrinters(nuint16* numPrinters) {
  NWSIM_SERVE_READ({
    if (!numPrinters) return NWE_INVALID_PARAMETER;
    *numPrinters = Captures::kPorts;
    return NWE_OK;
  });
}

} // extern "C"
