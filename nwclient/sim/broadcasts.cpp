#include "broadcasts.h"

#include "bindery.h"
#include "nwsim/nwsim.h"

#include <nwclient/nwclient.h>

namespace nwsim {

namespace {
// Messages are kept up to the client's buffer, less its terminator.
std::string cut(const std::string& text) { return text.substr(0, NW_MESSAGE_SIZE - 1); }
} // namespace

std::uint8_t Broadcasts::deliver(const Server& server, int connNumber, const std::string& text) {
  auto station = s_.stationOn(server.id, connNumber);
  if (!station) return NW_BCAST_NO_STATION;
  int mode = NW_BCAST_ALL;
  s_.db().prepare("SELECT broadcast_mode FROM workstations WHERE name=?").with(station->workstation)
      .first([&](Stmt& q) { mode = q.integer(0); });
  if (mode == NW_BCAST_SERVER_ONLY || mode == NW_BCAST_NONE) return NW_BCAST_REFUSED;
  int waiting = 0;
  s_.db().prepare("SELECT COUNT(*) FROM broadcast_messages WHERE conn_id=?").with(static_cast<std::int64_t>(station->id))
      .first([&](Stmt& q) { waiting = q.integer(0); });
  if (waiting >= NW_MAILBOX_SIZE) return NW_BCAST_REFUSED;
  s_.db().prepare("INSERT INTO broadcast_messages(conn_id, text) VALUES(?,?)")
      .with(static_cast<std::int64_t>(station->id), cut(text)).run();
  return NW_BCAST_SENT;
}

std::optional<std::string> Broadcasts::take(std::uint32_t connId) {
  std::optional<std::string> text;
  std::int64_t id = 0;
  s_.db().prepare("SELECT id, text FROM broadcast_messages WHERE conn_id=? ORDER BY id LIMIT 1")
      .with(static_cast<std::int64_t>(connId)).first([&](Stmt& q) {
        id = q.int64(0);
        text = q.text(1);
      });
  if (text) s_.db().prepare("DELETE FROM broadcast_messages WHERE id=?").with(id).run();
  return text;
}

int Broadcasts::mode() {
  int mode = NW_BCAST_ALL;
  s_.db().prepare("SELECT broadcast_mode FROM workstations WHERE name=?").with(s_.workstation())
      .first([&](Stmt& q) { mode = q.integer(0); });
  return mode;
}

void Broadcasts::setMode(int mode) {
  s_.db().prepare("UPDATE workstations SET broadcast_mode=? WHERE name=?").with(mode, s_.workstation()).run();
}

void Broadcasts::toConsole(const Server& server, int connNumber, const std::string& text) {
  s_.db().prepare("INSERT INTO console_log(server_id, sent, conn_number, text) VALUES(?,?,?,?)")
      .with(server.id, server.clock(), connNumber, cut(text)).run();
}

std::vector<Broadcasts::ConsoleLine> Broadcasts::console(std::int64_t serverId) {
  std::vector<ConsoleLine> lines;
  s_.db().prepare("SELECT sent, conn_number, text FROM console_log WHERE server_id=? ORDER BY id").with(serverId)
      .each([&](Stmt& q) { lines.push_back(ConsoleLine{q.int64(0), q.integer(1), q.text(2)}); });
  return lines;
}

std::vector<std::string> consoleMessages(const std::string& server) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  auto sv = s.serverByName(Bindery::upper(server));
  if (!sv) throw SimError("no server " + server + " on the network");
  std::vector<std::string> out;
  for (const auto& line : Broadcasts(s).console(sv->id))
    out.push_back(formatLocalTime(line.sent) + "  station " + std::to_string(line.connNumber) + ": " + line.text);
  return out;
}

} // namespace nwsim
