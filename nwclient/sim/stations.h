#pragma once
// Opening and closing the stations of a workstation on the servers. Closing frees the
// station: its drive mappings, directory handles and open-file records go with it, and its
// requests stay counted in the server's statistics.
#include "simulator.h"

namespace nwsim {

class Stations {
public:
  explicit Stations(Session& s) : s_(s) {}

  /// This workstation's connection to the server, the first one made.
  std::optional<Connection> ofWorkstation(std::int64_t serverId);
  /// A new station on the server for this workstation. NWE_SERVER_DOWN; NWE_FAILURE when
  /// every station of the server is taken.
  NWCCODE open(const Server& server, bool tree, bool licensed, std::uint32_t& connId);
  /// Frees the station of a connection, whichever workstation holds it.
  void close(std::uint32_t connId);
  /// Stations in use on the server now.
  int inUse(std::int64_t serverId);

private:
  Session& s_;
};

} // namespace nwsim
