#include "stations.h"

#include "dir_handles.h"
#include "drive_table.h"
#include "open_files.h"
#include "semaphores.h"
#include "transactions.h"

namespace nwsim {

std::optional<Connection> Stations::ofWorkstation(std::int64_t serverId) {
  for (auto& c : s_.connections())
    if (c.serverId == serverId) return c;
  return std::nullopt;
}

int Stations::inUse(std::int64_t serverId) {
  int n = 0;
  s_.db().prepare("SELECT COUNT(*) FROM connections WHERE server_id=?").with(serverId).first([&](Stmt& q) { n = q.integer(0); });
  return n;
}

NWCCODE Stations::open(const Server& server, bool tree, bool licensed, std::uint32_t& connId) {
  if (!server.up) return NWE_SERVER_DOWN;
  const int station = freeStation(s_.db(), server);
  if (station == 0) return NWE_FAILURE;
  s_.db().prepare("INSERT INTO connections(workstation, server_id, conn_number, tree_conn, licensed, opened) VALUES(?,?,?,?,?,?)")
      .with(s_.workstation(), server.id, station, tree ? 1 : 0, licensed ? 1 : 0, localNow()).run();
  connId = static_cast<std::uint32_t>(s_.db().lastInsertId());
  s_.db().prepare("UPDATE server_stats SET peak_conns = MAX(peak_conns, ?) WHERE server_id=?")
      .with(inUse(server.id), server.id).run();
  // A workstation without a primary connection takes its first new one.
  if (s_.primaryConnection() == 0)
    s_.db().prepare("UPDATE workstations SET primary_conn=? WHERE name=?").with(static_cast<std::int64_t>(connId), s_.workstation()).run();
  return NWE_OK;
}

void Stations::close(std::uint32_t connId) {
  const auto id = static_cast<std::int64_t>(connId);
  s_.writeUsage();
  s_.db().prepare("UPDATE server_stats SET packets_base = packets_base + "
                  "(SELECT requests FROM connections WHERE id=?1) WHERE server_id = (SELECT server_id FROM connections WHERE id=?1)")
      .with(id).run();
  DriveTable(s_.db(), s_.workstation()).dropConnection(connId);
  DirHandles(s_.db()).dropConnection(connId);
  OpenFiles(s_.db()).dropConnection(connId);
  // The station's transaction is backed out, its semaphores closed, its mailbox emptied.
  Connection c;
  c.id = connId;
  s_.db().prepare("SELECT server_id FROM connections WHERE id=?").with(id).first([&](Stmt& q) { c.serverId = q.int64(0); });
  Transactions(s_).abort(c);
  Semaphores(s_.db()).dropConnection(connId);
  s_.db().prepare("DELETE FROM broadcast_messages WHERE conn_id=?").with(id).run();
  s_.db().prepare("DELETE FROM connections WHERE id=?").with(id).run();
}

} // namespace nwsim
