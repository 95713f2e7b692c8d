#pragma once
// Semaphores of the servers, shared by every station and program on the network. Each open
// belongs to one process (pid and its start time), so the opens of a program that ended,
// also a killed one, are dropped; a semaphore nobody holds open is gone.
#include "simulator.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nwsim {

class Semaphores {
public:
  struct State {
    std::int64_t id = 0;
    int value = 0;
    int openCount = 0;
  };

  explicit Semaphores(Store& db) : db_(db) {}

  /// Drops the opens of programs that ended and the semaphores nobody holds any more.
  void purgeEnded();
  /// Opens the semaphore of the server for this process, creating it with `initial`.
  /// NWE_INVALID_PARAMETER for a bad name or value.
  NWCCODE open(const Server& server, const Connection& conn, const std::string& name, int initial,
               std::uint32_t& handle, State& state);
  /// The semaphore of one of this process's opens on the server.
  std::optional<State> byHandle(std::int64_t serverId, std::uint32_t handle);
  /// Takes one unit of the value when it is above 0.
  bool take(std::int64_t id);
  /// Adds one unit; NWE_SEMAPHORE_OVERFLOW at the top of the range.
  NWCCODE signal(std::int64_t id);
  void close(std::uint32_t handle);
  /// Closes every open made on a connection (it was closed).
  void dropConnection(std::uint32_t connId);

private:
  State state(std::int64_t id);
  /// Removes the semaphores nobody holds open.
  void dropUnused();
  Store& db_;
};

} // namespace nwsim
