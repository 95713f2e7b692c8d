#pragma once
// Broadcast messages between stations: each station's mailbox, the broadcast mode of the
// workstation that holds it, and each server's console log.
#include "simulator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class Broadcasts {
public:
  struct ConsoleLine {
    LocalSeconds sent = 0;
    int connNumber = 0;
    std::string text;
  };

  explicit Broadcasts(Session& s) : s_(s) {}

  /// Puts a message in the mailbox of a station of the server; the station's result
  /// (NW_BCAST_SENT, NW_BCAST_REFUSED, NW_BCAST_NO_STATION).
  std::uint8_t deliver(const Server& server, int connNumber, const std::string& text);
  /// Takes the oldest message of a connection's mailbox; nullopt when it is empty.
  std::optional<std::string> take(std::uint32_t connId);
  /// The broadcast mode of this workstation.
  int mode();
  void setMode(int mode);

  void toConsole(const Server& server, int connNumber, const std::string& text);
  std::vector<ConsoleLine> console(std::int64_t serverId);

private:
  Session& s_;
};

} // namespace nwsim
