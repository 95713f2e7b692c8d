#pragma once
// The printer ports of a workstation captured to print queues, and its banner user name.
// Both belong to the workstation and are kept in the store, so every program on it sees them.
#include "store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class Captures {
public:
  struct Capture {
    int device = 0;
    std::uint32_t connId = 0;
    std::int64_t serverId = 0;
    std::uint32_t queueId = 0;        // display form
    std::vector<std::uint8_t> flags;  // the 102-byte read-write structure
  };

  /// Printer ports of every workstation: LPT1 to LPT9.
  static constexpr int kPorts = 9;

  Captures(Store& db, std::string workstation) : db_(db), ws_(std::move(workstation)) {}

  std::optional<Capture> get(int device);
  /// Captures the port (replacing its capture) with default settings.
  void start(int device, std::uint32_t connId, std::int64_t serverId, std::uint32_t queueId);
  void setFlags(int device, const std::vector<std::uint8_t>& flags);
  bool remove(int device);

  std::optional<std::string> bannerName();
  void setBannerName(const std::string& name);

private:
  Store& db_;
  std::string ws_;
};

} // namespace nwsim
