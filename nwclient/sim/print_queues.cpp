#include "print_queues.h"

#include "volumes.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace nwsim {

namespace {

constexpr std::uint16_t kPrintQueue = 0x0300;

/// Object IDs travel in client form: the display ID with its bytes reversed.
std::uint32_t wireId(std::uint32_t id) { return __builtin_bswap32(id); }

NWQueueJobStruct fromBlob(const std::vector<std::uint8_t>& blob) {
  NWQueueJobStruct e{};
  std::memcpy(&e, blob.data(), std::min(blob.size(), sizeof e));
  return e;
}

} // namespace

std::string PrintQueues::directoryName(std::uint32_t queueId) {
  char name[32];
  std::snprintf(name, sizeof name, "%08X.QDR", queueId);
  return name;
}

std::filesystem::path PrintQueues::directory(std::uint32_t queueId) {
  Volumes volumes(db_, dir_);
  if (!volumes.byName(serverId_, "SYS")) return {};
  auto dir = volumes.root(serverName_, "SYS") / "SYSTEM" / directoryName(queueId);
  std::filesystem::create_directories(dir);
  return dir;
}

bool PrintQueues::isQueue(std::uint32_t queueId) {
  auto o = bindery_.byId(queueId);
  return o && o->type == kPrintQueue;
}

bool PrintQueues::isOperator(std::uint32_t objectId, std::uint32_t queueId) {
  if (objectId == 0) return false;
  return bindery_.isSupervisor(objectId) || bindery_.namedIn(objectId, queueId, "Q_OPERATORS");
}

bool PrintQueues::isUser(std::uint32_t objectId, std::uint32_t queueId) {
  return isOperator(objectId, queueId) || (objectId != 0 && bindery_.namedIn(objectId, queueId, "Q_USERS"));
}

std::vector<std::uint32_t> PrintQueues::jobNumbers(std::uint32_t queueId) {
  std::vector<std::uint32_t> jobs;
  db_.prepare("SELECT job_number FROM queue_jobs WHERE server_id=? AND queue_id=? ORDER BY position")
      .with(serverId_, static_cast<std::int64_t>(queueId))
      .each([&](Stmt& q) { jobs.push_back(static_cast<std::uint32_t>(q.int64(0))); });
  return jobs;
}

std::optional<NWQueueJobStruct> PrintQueues::job(std::uint32_t queueId, std::uint32_t jobNumber) {
  std::optional<NWQueueJobStruct> e;
  db_.prepare("SELECT entry, position FROM queue_jobs WHERE server_id=? AND queue_id=? AND job_number=?")
      .with(serverId_, static_cast<std::int64_t>(queueId), static_cast<std::int64_t>(jobNumber))
      .first([&](Stmt& q) {
        e = fromBlob(q.blob(0));
        e->jobPosition = static_cast<nuint16>(q.integer(1));
      });
  return e;
}

std::uint32_t PrintQueues::ownerOf(std::uint32_t queueId, std::uint32_t jobNumber) {
  std::uint32_t owner = 0;
  db_.prepare("SELECT owner_id FROM queue_jobs WHERE server_id=? AND queue_id=? AND job_number=?")
      .with(serverId_, static_cast<std::int64_t>(queueId), static_cast<std::int64_t>(jobNumber))
      .first([&](Stmt& q) { owner = static_cast<std::uint32_t>(q.int64(0)); });
  return owner;
}

std::filesystem::path PrintQueues::jobFile(std::uint32_t queueId, const NWQueueJobStruct& entry) {
  const std::size_t length = std::min<std::size_t>(entry.jobFileName[0], sizeof entry.jobFileName - 1);
  const std::string name(reinterpret_cast<const char*>(entry.jobFileName + 1), length);
  auto dir = directory(queueId);
  return dir.empty() || name.empty() ? std::filesystem::path() : dir / name;
}

void PrintQueues::store(std::uint32_t queueId, const NWQueueJobStruct& entry) {
  db_.prepare("UPDATE queue_jobs SET entry=? WHERE server_id=? AND queue_id=? AND job_number=?")
      .bindBlob(1, &entry, sizeof entry).bind(2, serverId_).bind(3, static_cast<std::int64_t>(queueId))
      .bind(4, static_cast<std::int64_t>(entry.jobNumber)).run();
}

void PrintQueues::renumber(std::uint32_t queueId, const std::vector<std::uint32_t>& order) {
  auto& q = db_.prepare("UPDATE queue_jobs SET position=? WHERE server_id=? AND queue_id=? AND job_number=?");
  for (std::size_t i = 0; i < order.size(); ++i)
    q.with(static_cast<std::int64_t>(i + 1), serverId_, static_cast<std::int64_t>(queueId),
           static_cast<std::int64_t>(order[i])).run();
}

std::uint32_t PrintQueues::add(std::uint32_t queueId, NWQueueJobStruct entry, std::uint32_t ownerId,
                               const std::string& content) {
  // Job numbers are the lowest free ones from 1; a job's file is named after its number.
  auto numbers = jobNumbers(queueId);
  std::sort(numbers.begin(), numbers.end());
  std::uint32_t number = 1;
  for (auto n : numbers)
    if (n == number) ++number;
  char fileName[16];
  std::snprintf(fileName, sizeof fileName, "Q$%04X.JOB", number & 0xFFFF);
  const std::size_t length = std::strlen(fileName);
  std::memset(entry.jobFileName, 0, sizeof entry.jobFileName);
  entry.jobFileName[0] = static_cast<nuint8>(length);
  std::memcpy(entry.jobFileName + 1, fileName, length);
  entry.jobNumber = number;
  entry.clientID = wireId(ownerId);
  db_.prepare("INSERT INTO queue_jobs(server_id, queue_id, job_number, position, owner_id, entry) VALUES(?,?,?,?,?,?)")
      .with(serverId_, static_cast<std::int64_t>(queueId), static_cast<std::int64_t>(number),
            static_cast<std::int64_t>(numbers.size() + 1), static_cast<std::int64_t>(ownerId))
      .bindBlob(6, &entry, sizeof entry).run();
  const auto file = jobFile(queueId, entry);
  if (!file.empty()) std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
  return number;
}

NWCCODE PrintQueues::create(const Connection& c, std::uint32_t queueId, NWQueueJobStruct& entry, int& fd) {
  if (!isQueue(queueId)) return NWE_NO_SUCH_OBJECT;
  if (!isUser(c.objectId, queueId)) return NWE_NO_QUEUE_RIGHTS;
  if (jobNumbers(queueId).size() >= NW_MAX_QUEUE_JOBS) return NWE_QUEUE_FULL;
  // Only an operator enters a job on another object's behalf.
  std::uint32_t owner = c.objectId;
  if (entry.clientID != 0 && wireId(entry.clientID) != c.objectId) {
    if (!isOperator(c.objectId, queueId)) return NWE_NO_JOB_RIGHTS;
    if (!bindery_.byId(wireId(entry.clientID))) return NWE_NO_SUCH_OBJECT;
    owner = wireId(entry.clientID);
  }
  if (directory(queueId).empty()) return NWE_VOLUME_DOES_NOT_EXIST;
  entry.clientStation = static_cast<nuint32>(c.connNumber);
  entry.jobControlFlags = static_cast<nuint16>(entry.jobControlFlags | QF_ENTRY_OPEN);
  entry.servicingServerID = 0;
  entry.servicingServerStation = 0;
  entry.servicingServerTask = 0;
  const std::uint32_t number = add(queueId, entry, owner, {});
  const auto stored = *job(queueId, number);
  do {
    fd = ::open(jobFile(queueId, stored).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return NWE_FAILURE;
  entry = stored;
  entry.jobFileHandle = static_cast<nuint32>(fd);
  store(queueId, entry);
  return NWE_OK;
}

NWCCODE PrintQueues::start(const Connection& c, std::uint32_t queueId, std::uint32_t jobNumber,
                           std::uint32_t fileHandle) {
  auto e = job(queueId, jobNumber);
  if (!e) return NWE_NO_QUEUE_JOB;
  if (!(e->jobControlFlags & QF_ENTRY_OPEN) || e->jobFileHandle != fileHandle) return NWE_INVALID_FILE_HANDLE;
  if (ownerOf(queueId, jobNumber) != c.objectId && !isOperator(c.objectId, queueId)) return NWE_NO_JOB_RIGHTS;
  ::close(static_cast<int>(fileHandle));
  e->jobControlFlags = static_cast<nuint16>(e->jobControlFlags & ~QF_ENTRY_OPEN);
  e->jobFileHandle = 0;
  store(queueId, *e);
  return NWE_OK;
}

NWCCODE PrintQueues::change(const Connection& c, std::uint32_t queueId, const NWQueueJobStruct& entry) {
  auto e = job(queueId, entry.jobNumber);
  if (!e) return NWE_NO_QUEUE_JOB;
  const bool op = isOperator(c.objectId, queueId);
  if (!op && ownerOf(queueId, entry.jobNumber) != c.objectId) return NWE_NO_JOB_RIGHTS;
  // The operator hold is the operator's; the open state is the server's.
  nuint16 keep = QF_ENTRY_OPEN | (op ? 0 : QF_OPERATOR_HOLD);
  if (!op && (entry.jobControlFlags & QF_OPERATOR_HOLD) != (e->jobControlFlags & QF_OPERATOR_HOLD))
    return NWE_NO_JOB_RIGHTS;
  e->jobControlFlags = static_cast<nuint16>((e->jobControlFlags & keep) | (entry.jobControlFlags & ~keep));
  e->targetServerID = entry.targetServerID;
  std::memcpy(e->targetExecTime, entry.targetExecTime, sizeof e->targetExecTime);
  e->jobType = entry.jobType;
  std::memcpy(e->jobDescription, entry.jobDescription, sizeof e->jobDescription);
  e->jobDescription[sizeof e->jobDescription - 1] = '\0';
  std::memcpy(e->clientRecordArea, entry.clientRecordArea, sizeof e->clientRecordArea);
  store(queueId, *e);
  return NWE_OK;
}

NWCCODE PrintQueues::move(const Connection& c, std::uint32_t queueId, std::uint32_t jobNumber, int position) {
  auto order = jobNumbers(queueId);
  auto it = std::find(order.begin(), order.end(), jobNumber);
  if (it == order.end()) return NWE_NO_QUEUE_JOB;
  if (!isOperator(c.objectId, queueId)) return NWE_NO_JOB_RIGHTS;
  order.erase(it);
  const std::size_t at = std::min<std::size_t>(position < 1 ? 0 : static_cast<std::size_t>(position - 1), order.size());
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), jobNumber);
  renumber(queueId, order);
  return NWE_OK;
}

NWCCODE PrintQueues::remove(const Connection& c, std::uint32_t queueId, std::uint32_t jobNumber) {
  auto e = job(queueId, jobNumber);
  if (!e) return NWE_NO_QUEUE_JOB;
  if (ownerOf(queueId, jobNumber) != c.objectId && !isOperator(c.objectId, queueId)) return NWE_NO_JOB_RIGHTS;
  if (e->jobControlFlags & QF_ENTRY_OPEN && e->jobFileHandle != 0) ::close(static_cast<int>(e->jobFileHandle));
  const auto file = jobFile(queueId, *e);
  std::error_code ignored;
  if (!file.empty()) std::filesystem::remove(file, ignored);
  db_.prepare("DELETE FROM queue_jobs WHERE server_id=? AND queue_id=? AND job_number=?")
      .with(serverId_, static_cast<std::int64_t>(queueId), static_cast<std::int64_t>(jobNumber)).run();
  auto order = jobNumbers(queueId);
  renumber(queueId, order);
  return NWE_OK;
}

} // namespace nwsim
