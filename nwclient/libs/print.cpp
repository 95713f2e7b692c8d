// Client functions of print queues: job lists and entries, positions, removal, and queue
// files that programs write through the platform's file calls.
#include "marshal.h"

#include <print_queues.h>

#include <nwclient/nwclient.h>

#include <algorithm>
#include <cstring>

using nwsim::Connection;
using nwsim::PrintQueues;
using nwsim::Server;
using nwsim::Session;
namespace m = nwsim::marshal;

namespace {

// A call on a queue of the connection's server; the queue ID is in client form.
template <typename Body>
NWCCODE onQueue(Session& s, NWCONN_HANDLE conn, nuint32 queueID, Body body) {
  Connection c;
  Server server;
  if (NWCCODE rc = s.use(conn, c, server)) return rc;
  PrintQueues queues(s, server);
  const std::uint32_t queue = m::wireId(queueID);
  if (!queues.isQueue(queue)) return NWE_NO_SUCH_OBJECT;
  return body(queues, c, server, queue);
}

} // namespace

extern "C" {

NWCCODE NWGetQueueJobList2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 startPosition, QueueJobListReply* reply) {
  NWSIM_SERVE_READ({
    if (!reply) return NWE_INVALID_PARAMETER;
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection&, const Server&, std::uint32_t queue) {
      const auto jobs = q.jobNumbers(queue);
      std::memset(reply, 0, sizeof *reply);
      reply->totalQueueJobs = static_cast<nuint32>(jobs.size());
      const std::size_t from = startPosition == 0 ? 0 : startPosition - 1;
      for (std::size_t i = from; i < jobs.size() && reply->replyQueueJobNumbers < NW_JOB_LIST_BLOCK; ++i)
        reply->jobNumberList[reply->replyQueueJobNumbers++] = jobs[i];
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWReadQueueJobEntry2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber, NWQueueJobStruct* job) {
  NWSIM_SERVE_READ({
    if (!job) return NWE_INVALID_PARAMETER;
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection&, const Server&, std::uint32_t queue) {
      auto e = q.job(queue, jobNumber);
      if (!e) return NWCCODE(NWE_NO_QUEUE_JOB);
      *job = *e;
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWChangeQueueJobEntry2(NWCONN_HANDLE conn, nuint32 queueID, const NWQueueJobStruct* job) {
  NWSIM_SERVE({
    if (!job) return NWE_INVALID_PARAMETER;
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection& c, const Server&, std::uint32_t queue) {
      return q.change(c, queue, *job);
    });
  });
}

NWCCODE NWChangeQueueJobPosition2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber, nuint16 newPosition) {
  NWSIM_SERVE({
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection& c, const Server&, std::uint32_t queue) {
      return q.move(c, queue, jobNumber, newPosition);
    });
  });
}

NWCCODE NWRemoveJobFromQueue2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber) {
  NWSIM_SERVE({
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection& c, const Server&, std::uint32_t queue) {
      return q.remove(c, queue, jobNumber);
    });
  });
}

NWCCODE NWCreateQueueFile2(NWCONN_HANDLE conn, nuint32 queueID, NWQueueJobStruct* job, nuint32* fileHandle) {
  NWSIM_SERVE({
    if (!job || !fileHandle) return NWE_INVALID_PARAMETER;
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection& c, const Server& server, std::uint32_t queue) {
      NWQueueJobStruct entry = *job;
      std::uint8_t now[7];
      m::putDateTime(now, server.clock());
      std::memcpy(entry.jobEntryTime, now, sizeof entry.jobEntryTime);
      int fd = -1;
      if (NWCCODE rc = q.create(c, queue, entry, fd)) return rc;
      *job = entry;
      *fileHandle = static_cast<nuint32>(fd);
      return NWCCODE(NWE_OK);
    });
  });
}

NWCCODE NWCloseFileAndStartQueueJob2(NWCONN_HANDLE conn, nuint32 queueID, nuint32 jobNumber, nuint32 fileHandle) {
  NWSIM_SERVE({
    return onQueue(s, conn, queueID, [&](PrintQueues& q, const Connection& c, const Server&, std::uint32_t queue) {
      return q.start(c, queue, jobNumber, fileHandle);
    });
  });
}

} // extern "C"
