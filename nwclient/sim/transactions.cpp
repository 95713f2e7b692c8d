#include "transactions.h"

#include "file_entries.h"
#include "netware_path.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace nwsim {

bool Transactions::enabled(std::int64_t serverId) {
  bool on = true;
  s_.db().prepare("SELECT enabled FROM tts_servers WHERE server_id=?").with(serverId)
      .first([&](Stmt& q) { on = q.integer(0) != 0; });
  return on;
}

void Transactions::setEnabled(std::int64_t serverId, bool on) {
  s_.db().prepare("INSERT OR IGNORE INTO tts_servers(server_id) VALUES(?)").with(serverId).run();
  s_.db().prepare("UPDATE tts_servers SET enabled=? WHERE server_id=?").with(on ? 1 : 0, serverId).run();
}

bool Transactions::running(const Connection& c) {
  return s_.db().prepare("SELECT 1 FROM tts_transactions WHERE conn_id=?").with(static_cast<std::int64_t>(c.id))
      .first([](Stmt&) {});
}

void Transactions::forget(const Connection& c) {
  const auto id = static_cast<std::int64_t>(c.id);
  s_.db().prepare("DELETE FROM tts_backups WHERE conn_id=?").with(id).run();
  s_.db().prepare("DELETE FROM tts_transactions WHERE conn_id=?").with(id).run();
}

NWCCODE Transactions::begin(const Connection& c) {
  if (!enabled(c.serverId)) return NWE_TTS_DISABLED;
  if (running(c)) return NWE_FAILURE;
  s_.db().prepare("INSERT INTO tts_transactions(conn_id, server_id) VALUES(?,?)")
      .with(static_cast<std::int64_t>(c.id), c.serverId).run();
  return NWE_OK;
}

NWCCODE Transactions::end(const Connection& c, std::uint32_t& number) {
  if (!running(c)) return NWE_NO_TRANSACTION;
  s_.db().prepare("INSERT OR IGNORE INTO tts_servers(server_id) VALUES(?)").with(c.serverId).run();
  s_.db().prepare("UPDATE tts_servers SET last_transaction = last_transaction + 1 WHERE server_id=?").with(c.serverId).run();
  s_.db().prepare("SELECT last_transaction FROM tts_servers WHERE server_id=?").with(c.serverId)
      .first([&](Stmt& q) { number = static_cast<std::uint32_t>(q.int64(0)); });
  forget(c);
  return NWE_OK;
}

NWCCODE Transactions::abort(const Connection& c) {
  if (!running(c)) return NWE_NO_TRANSACTION;
  const Server server = s_.server(c.serverId);
  Volumes volumes(s_.db(), s_.network().dir());
  struct Backup {
    int volume;
    std::string path;
    bool existed;
    std::vector<std::uint8_t> data;
  };
  std::vector<Backup> backups;
  s_.db().prepare("SELECT volume, path, existed, data FROM tts_backups WHERE conn_id=?")
      .with(static_cast<std::int64_t>(c.id))
      .each([&](Stmt& q) { backups.push_back(Backup{q.integer(0), q.text(1), q.integer(2) != 0, q.blob(3)}); });
  for (const auto& b : backups) {
    auto volume = volumes.byNumber(server.id, b.volume);
    auto parts = NetWarePath::components(b.path);
    std::filesystem::path local;
    if (!volume || !parts || volumes.localPath(server.name, *volume, *parts, local)) continue;
    std::error_code ec;
    if (!b.existed) {
      std::filesystem::remove(local, ec);
      continue;
    }
    std::ofstream out(local, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data.data()), static_cast<std::streamsize>(b.data.size()));
  }
  forget(c);
  return NWE_OK;
}

void Transactions::reaching(const Location& at, const std::filesystem::path& local) {
  if (!running(at.conn)) return;
  const auto conn = static_cast<std::int64_t>(at.conn.id);
  // One spelling per file, so that the first contents kept are the ones restored.
  const std::string path = FileEntries::key(at.path());
  if (path.empty() || s_.db().prepare("SELECT 1 FROM tts_backups WHERE conn_id=? AND volume=? AND path=?")
                          .with(conn, at.volume.number, path).first([](Stmt&) {}))
    return;
  std::error_code ec;
  if (std::filesystem::is_directory(local, ec)) return;
  const bool existed = std::filesystem::is_regular_file(local, ec);
  std::vector<char> data;
  if (existed) {
    std::ifstream in(local, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), {});
  }
  s_.db().prepare("INSERT INTO tts_backups(conn_id, volume, path, existed, data) VALUES(?,?,?,?,?)")
      .with(conn, at.volume.number, path, existed ? 1 : 0)
      .bindBlob(5, data.data(), data.size())
      .run();
}

} // namespace nwsim
