#pragma once
// The print queues of a server: their jobs in queue order, each with its entry and its file
// in the queue's directory on SYS, and who may enter, change and manage jobs.
#include "bindery.h"
#include "simulator.h"

#include <nwclient/nwclient.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class PrintQueues {
public:
  PrintQueues(Store& db, std::filesystem::path networkDir, std::int64_t serverId, std::string serverName)
      : db_(db), dir_(std::move(networkDir)), serverId_(serverId), serverName_(std::move(serverName)),
        bindery_(db, serverId) {}
  PrintQueues(Session& s, const Server& server) : PrintQueues(s.db(), s.network().dir(), server.id, server.name) {}

  /// The queue's directory: "SYSTEM\<queue ID>.QDR" on SYS, as the server names it.
  static std::string directoryName(std::uint32_t queueId);
  /// The local folder of the queue's directory (made when missing); empty without SYS.
  std::filesystem::path directory(std::uint32_t queueId);

  /// True when the ID names a print queue of the server.
  bool isQueue(std::uint32_t queueId);
  /// A supervisor, or named in "Q_OPERATORS" (itself or through a group).
  bool isOperator(std::uint32_t objectId, std::uint32_t queueId);
  /// An operator, or named in "Q_USERS".
  bool isUser(std::uint32_t objectId, std::uint32_t queueId);

  /// Job numbers in queue order.
  std::vector<std::uint32_t> jobNumbers(std::uint32_t queueId);
  /// The job's entry with its current position; nullopt when there is no such job.
  std::optional<NWQueueJobStruct> job(std::uint32_t queueId, std::uint32_t jobNumber);

  /// Enters a job for the connection's object (or, for an operator, the owner the entry
  /// names) at the end of the queue, creates its file and opens it; `fd` is the open file.
  /// The entry time is the caller's to set.
  NWCCODE create(const Connection& c, std::uint32_t queueId, NWQueueJobStruct& entry, int& fd);
  /// Adds a job as a seed describes it, with its file's content.
  std::uint32_t add(std::uint32_t queueId, NWQueueJobStruct entry, std::uint32_t ownerId, const std::string& content);
  NWCCODE start(const Connection& c, std::uint32_t queueId, std::uint32_t jobNumber, std::uint32_t fileHandle);
  NWCCODE change(const Connection& c, std::uint32_t queueId, const NWQueueJobStruct& entry);
  NWCCODE move(const Connection& c, std::uint32_t queueId, std::uint32_t jobNumber, int position);
  NWCCODE remove(const Connection& c, std::uint32_t queueId, std::uint32_t jobNumber);

private:
  void store(std::uint32_t queueId, const NWQueueJobStruct& entry);
  void renumber(std::uint32_t queueId, const std::vector<std::uint32_t>& order);
  std::uint32_t ownerOf(std::uint32_t queueId, std::uint32_t jobNumber);
  std::filesystem::path jobFile(std::uint32_t queueId, const NWQueueJobStruct& entry);

  Store& db_;
  std::filesystem::path dir_;
  std::int64_t serverId_;
  std::string serverName_;
  Bindery bindery_;
};

} // namespace nwsim
