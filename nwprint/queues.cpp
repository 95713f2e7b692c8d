// Queue jobs: job numbers, the summary list, reading and changing a job, its position and
// removal, and the users, operators and servers of a queue.
#include "nwprint/client.h"

#include <nwtools/bytedates.h>
#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace nwprint {

using detail::client;
using detail::queueID;
using detail::state;

namespace {

constexpr std::uint16_t kPrintQueue = 0x0300;
constexpr int kLastSegment = 255;  // segment numbers are one byte on the wire
constexpr std::size_t kFormOffset = 10;

struct FlagBit {
  bool TNWQueueJobCtrlFlags::*field;
  std::uint16_t bit;
};
constexpr FlagBit kFlagBits[] = {{&TNWQueueJobCtrlFlags::autoStart, QF_AUTO_START},
                                 {&TNWQueueJobCtrlFlags::entryRestart, QF_ENTRY_RESTART},
                                 {&TNWQueueJobCtrlFlags::entryOpen, QF_ENTRY_OPEN},
                                 {&TNWQueueJobCtrlFlags::userHold, QF_USER_HOLD},
                                 {&TNWQueueJobCtrlFlags::operatorHold, QF_OPERATOR_HOLD}};

/// A date of the entry; the current date and time when the bytes are not a valid one.
rtl::TDateTime entryDate(const nuint8* bytes) {
  rtl::TDateTime t = 0;
  return nwtools::getByteDate(bytes, true, t) ? t : rtl::Now();
}

std::string statusText(const NWQueueJobStruct& job) {
  // The user's hold is tested before the operator's.
  if (job.jobControlFlags & QF_USER_HOLD) return "Paused";
  if (job.jobControlFlags & QF_OPERATOR_HOLD) return "Operator";
  if (job.jobControlFlags & (QF_ENTRY_RESTART | QF_ENTRY_OPEN)) return "Adding";
  if (job.servicingServerID != 0) return "Active";
  return "Waiting";
}

/// The members of one of the queue's set properties, by name.
std::unique_ptr<rtl::TStringList> readQueueSet(NWCONN_HANDLE conn, const std::string& queueName, const char* property) {
  auto list = std::make_unique<rtl::TStringList>();
  if (!client.NWReadPropertyValue.bind()) return list;
  conn = ostrel::primaryIfZero(conn);
  const std::string queue = rtl::UpperCase(nwtools::allTrim(queueName));
  if (queue.size() >= 48) return list;
  for (int segment = 1; segment <= kLastSegment; ++segment) {
    nuint8 data[NW_SEGMENT_SIZE] = {};
    nuint8 more = 0, flags = 0;
    if (client.NWReadPropertyValue.unrecorded(conn, queue.c_str(), kPrintQueue, property,
                                              static_cast<nuint8>(segment), data, &more, &flags) != 0)
      break;
    for (std::size_t i = 0; i < NW_SEGMENT_SIZE; i += 4) {
      const auto stored = static_cast<std::int32_t>(std::uint32_t(data[i]) << 24 | std::uint32_t(data[i + 1]) << 16 |
                                                    std::uint32_t(data[i + 2]) << 8 | data[i + 3]);
      if (stored == 0) continue;
      std::string name = ostrel::getObjName(conn, ostrel::longSwap(stored));
      if (!name.empty()) list->Add(name);
    }
    if (more == 0) break;
  }
  return list;
}

} // namespace

namespace detail {
std::uint32_t queueID(NWCONN_HANDLE& conn, const std::string& queueName) {
  return ostrel::getObjNumber(conn, nwtools::allTrim(queueName), kPrintQueue);
}
} // namespace detail

bool getQueueJobNumbers(NWCONN_HANDLE conn, const std::string& queueName, TNWQueueJobNumbers& numbers) {
  if (!client.NWGetQueueJobList2.bind()) return false;
  const std::uint32_t queue = queueID(conn, queueName);
  if (queue == 0) return false;
  numbers.fill(-1);
  QueueJobListReply reply{};
  if (client.NWGetQueueJobList2(conn, queue, 1, &reply) != 0) return false;
  // A reply never fills more than its 125 numbers, whatever its count says.
  const std::size_t first = std::min<std::size_t>(reply.replyQueueJobNumbers, NW_JOB_LIST_BLOCK);
  std::copy_n(reply.jobNumberList, first, numbers.begin());
  if (reply.totalQueueJobs > NW_JOB_LIST_BLOCK) {
    QueueJobListReply more{};
    if (client.NWGetQueueJobList2.unrecorded(conn, queue, NW_JOB_LIST_BLOCK + 1, &more) == 0) {
      const std::size_t second = std::min<std::size_t>(more.replyQueueJobNumbers, NW_JOB_LIST_BLOCK);
      std::copy_n(more.jobNumberList, second, numbers.begin() + NW_JOB_LIST_BLOCK);
    }
  }
  return true;
}

bool getQueueJobList(NWCONN_HANDLE conn, const std::string& queueName, rtl::TStringList& list) {
  if (!client.NWReadQueueJobEntry2.bind()) return false;
  list.Clear();
  TNWQueueJobNumbers numbers;
  if (!getQueueJobNumbers(conn, queueName, numbers)) return false;
  conn = ostrel::primaryIfZero(conn);
  const std::uint32_t queue = queueID(conn, queueName);
  // A queue's jobs belong to few owners: each name is asked for once per listing.
  std::map<nuint32, std::string> owners;
  for (std::int32_t number : numbers) {
    if (number == -1) continue;  // an empty slot needs no call
    NWQueueJobStruct job{};
    if (client.NWReadQueueJobEntry2(conn, queue, static_cast<nuint32>(number), &job) != 0) continue;
    auto known = owners.find(job.clientID);
    if (known == owners.end())
      known = owners.emplace(job.clientID, ostrel::getObjName(conn, static_cast<std::int32_t>(job.clientID))).first;
    const std::string& owner = known->second;
    list.AddObject(owner + "[" + std::to_string(job.clientStation) + "]\t" + statusText(job) + "\t" +
                       rtl::bufferToString(job.jobDescription, sizeof job.jobDescription),
                   number);
  }
  return true;
}

bool getQueueJobInfo(TNWQueueJobInfo& info) {
  if (!client.NWReadQueueJobEntry2.bind()) return false;
  const std::uint32_t queue = queueID(info.connection, info.queueName);
  NWQueueJobStruct job{};
  if (client.NWReadQueueJobEntry2(info.connection, queue, info.jobNumber, &job) != 0) return false;
  const NWCONN_HANDLE conn = info.connection;
  info.ownerName = ostrel::getObjName(conn, static_cast<std::int32_t>(job.clientID));
  info.serverName = ostrel::getServerName(conn);
  info.queueServerName =
      job.servicingServerID ? ostrel::getObjName(conn, static_cast<std::int32_t>(job.servicingServerID)) : "";
  // The file name field is a length byte and at most 13 characters.
  const std::size_t nameLength = std::min<std::size_t>(job.jobFileName[0], sizeof job.jobFileName - 1);
  info.jobFileName = rtl::bufferToString(reinterpret_cast<const char*>(job.jobFileName + 1), nameLength);
  info.jobDescription = rtl::bufferToString(job.jobDescription, sizeof job.jobDescription);
  info.formName = rtl::bufferToString(reinterpret_cast<const char*>(job.clientRecordArea + kFormOffset),
                                      sizeof job.clientRecordArea - kFormOffset);
  info.ownerID = job.clientID;
  info.jobPosition = job.jobPosition;
  info.jobType = job.jobType;
  info.entryDateTime = entryDate(job.jobEntryTime);
  info.execDateTime = job.targetExecTime[0] == 0xFF ? rtl::Now() : entryDate(job.targetExecTime);
  for (const auto& f : kFlagBits) info.ctrlFlags.*f.field = (job.jobControlFlags & f.bit) != 0;
  return true;
}

bool setQueueJobInfo(const TNWQueueJobInfo& info) {
  if (!client.NWChangeQueueJobEntry2.bind() || !client.NWReadQueueJobEntry2.bind()) return false;
  NWCONN_HANDLE conn = info.connection;
  const std::uint32_t queue = queueID(conn, info.queueName);
  NWQueueJobStruct job{};
  if (client.NWReadQueueJobEntry2.unrecorded(conn, queue, info.jobNumber, &job) != 0) return false;
  if (info.execDateTime < 1.0) std::memset(job.targetExecTime, 0xFF, sizeof job.targetExecTime);
  else nwtools::putByteDate(job.targetExecTime, info.execDateTime, true);
  job.jobControlFlags = 0;
  for (const auto& f : kFlagBits)
    if (info.ctrlFlags.*f.field) job.jobControlFlags = static_cast<nuint16>(job.jobControlFlags | f.bit);
  job.jobPosition = info.jobPosition;
  job.jobType = info.jobType;
  rtl::copyToBuffer(job.jobDescription, sizeof job.jobDescription, info.jobDescription);
  rtl::copyToBuffer(reinterpret_cast<char*>(job.clientRecordArea + kFormOffset), sizeof job.clientRecordArea - kFormOffset,
                    info.formName);
  return client.NWChangeQueueJobEntry2(conn, queue, &job) == 0;
}

bool setQueueJobPosition(TNWQueueJobInfo& info, std::uint16_t newPosition) {
  if (!client.NWChangeQueueJobPosition2.bind()) return false;
  const std::uint32_t queue = queueID(info.connection, info.queueName);
  if (client.NWChangeQueueJobPosition2(info.connection, queue, info.jobNumber, newPosition) != 0) return false;
  info.jobPosition = newPosition;
  return true;
}

bool deleteQueueJob(const TNWQueueJobInfo& info) {
  if (!client.NWRemoveJobFromQueue2.bind()) return false;
  NWCONN_HANDLE conn = info.connection;
  const std::uint32_t queue = queueID(conn, info.queueName);
  return client.NWRemoveJobFromQueue2(conn, queue, info.jobNumber) == 0;
}

std::unique_ptr<rtl::TStringList> getQueueUsers(NWCONN_HANDLE conn, const std::string& queueName) {
  return readQueueSet(conn, queueName, "Q_USERS");
}

std::unique_ptr<rtl::TStringList> getQueueOperators(NWCONN_HANDLE conn, const std::string& queueName) {
  return readQueueSet(conn, queueName, "Q_OPERATORS");
}

std::unique_ptr<rtl::TStringList> getQueueServers(NWCONN_HANDLE conn, const std::string& queueName) {
  return readQueueSet(conn, queueName, "Q_SERVERS");
}

} // namespace nwprint
