#include "captures.h"

#include <nwclient/nwclient.h>

namespace nwsim {

std::optional<Captures::Capture> Captures::get(int device) {
  std::optional<Capture> c;
  db_.prepare("SELECT conn_id, server_id, queue_id, flags FROM captures WHERE workstation=? AND device=?")
      .with(ws_, device).first([&](Stmt& q) {
        c = Capture{device, static_cast<std::uint32_t>(q.int64(0)), q.int64(1), static_cast<std::uint32_t>(q.int64(2)),
                    q.blob(3)};
        c->flags.resize(NW_CAPTURE_FLAGS_SIZE, 0);
      });
  return c;
}

void Captures::start(int device, std::uint32_t connId, std::int64_t serverId, std::uint32_t queueId) {
  std::vector<std::uint8_t> flags(NW_CAPTURE_FLAGS_SIZE, 0);
  flags[NW_CF_COPIES] = 1;  // one copy, banner and tabs off, no flush timeout
  db_.prepare("INSERT OR REPLACE INTO captures(workstation, device, conn_id, server_id, queue_id, flags) VALUES(?,?,?,?,?,?)")
      .with(ws_, device, static_cast<std::int64_t>(connId), serverId, static_cast<std::int64_t>(queueId))
      .bindBlob(6, flags.data(), flags.size()).run();
}

void Captures::setFlags(int device, const std::vector<std::uint8_t>& flags) {
  db_.prepare("UPDATE captures SET flags=? WHERE workstation=? AND device=?")
      .bindBlob(1, flags.data(), flags.size()).bind(2, ws_).bind(3, device).run();
}

bool Captures::remove(int device) {
  db_.prepare("DELETE FROM captures WHERE workstation=? AND device=?").with(ws_, device).run();
  return db_.changes() > 0;
}

std::optional<std::string> Captures::bannerName() {
  std::optional<std::string> name;
  db_.prepare("SELECT name FROM banner_names WHERE workstation=?").with(ws_).first([&](Stmt& q) { name = q.text(0); });
  return name;
}

void Captures::setBannerName(const std::string& name) {
  db_.prepare("INSERT OR REPLACE INTO banner_names(workstation, name) VALUES(?,?)").with(ws_, name).run();
}

} // namespace nwsim
