#include "semaphores.h"

#include "open_files.h"

#include <unistd.h>

#include <vector>

namespace nwsim {

namespace {
constexpr int kMaxValue = 32767;
constexpr std::size_t kMaxName = 47;
} // namespace

void Semaphores::purgeEnded() {
  std::vector<std::pair<std::int64_t, std::string>> procs;
  db_.prepare("SELECT DISTINCT pid, pid_start FROM semaphore_opens").each([&](Stmt& q) {
    procs.emplace_back(q.int64(0), q.text(1));
  });
  for (const auto& [pid, start] : procs)
    if (OpenFiles::processStart(pid) != start)
      db_.prepare("DELETE FROM semaphore_opens WHERE pid=? AND pid_start=?").with(pid, start).run();
  dropUnused();
}

Semaphores::State Semaphores::state(std::int64_t id) {
  State st;
  st.id = id;
  db_.prepare("SELECT value, (SELECT COUNT(*) FROM semaphore_opens WHERE semaphore_id=?1) FROM semaphores WHERE id=?1")
      .with(id).first([&](Stmt& q) {
        st.value = q.integer(0);
        st.openCount = q.integer(1);
      });
  return st;
}

NWCCODE Semaphores::open(const Server& server, const Connection& conn, const std::string& name, int initial,
                         std::uint32_t& handle, State& out) {
  if (name.empty() || name.size() > kMaxName || initial < 0 || initial > kMaxValue) return NWE_INVALID_PARAMETER;
  purgeEnded();
  db_.prepare("INSERT OR IGNORE INTO semaphores(server_id, name, value) VALUES(?,?,?)").with(server.id, name, initial).run();
  std::int64_t id = 0;
  db_.prepare("SELECT id FROM semaphores WHERE server_id=? AND name=?").with(server.id, name)
      .first([&](Stmt& q) { id = q.int64(0); });
  const std::int64_t pid = ::getpid();
  db_.prepare("INSERT INTO semaphore_opens(semaphore_id, conn_id, pid, pid_start) VALUES(?,?,?,?)")
      .with(id, static_cast<std::int64_t>(conn.id), pid, OpenFiles::processStart(pid)).run();
  handle = static_cast<std::uint32_t>(db_.lastInsertId());
  out = state(id);
  return NWE_OK;
}

std::optional<Semaphores::State> Semaphores::byHandle(std::int64_t serverId, std::uint32_t handle) {
  purgeEnded();
  std::optional<std::int64_t> id;
  db_.prepare("SELECT s.id FROM semaphore_opens o JOIN semaphores s ON s.id = o.semaphore_id "
              "WHERE o.handle=? AND o.pid=? AND s.server_id=?")
      .with(static_cast<std::int64_t>(handle), static_cast<std::int64_t>(::getpid()), serverId)
      .first([&](Stmt& q) { id = q.int64(0); });
  if (!id) return std::nullopt;
  return state(*id);
}

bool Semaphores::take(std::int64_t id) {
  db_.prepare("UPDATE semaphores SET value = value - 1 WHERE id=? AND value > 0").with(id).run();
  return db_.changes() > 0;
}

NWCCODE Semaphores::signal(std::int64_t id) {
  db_.prepare("UPDATE semaphores SET value = value + 1 WHERE id=? AND value < ?").with(id, kMaxValue).run();
  return db_.changes() > 0 ? NWCCODE(NWE_OK) : NWCCODE(NWE_SEMAPHORE_OVERFLOW);
}

void Semaphores::close(std::uint32_t handle) {
  db_.prepare("DELETE FROM semaphore_opens WHERE handle=? AND pid=?")
      .with(static_cast<std::int64_t>(handle), static_cast<std::int64_t>(::getpid())).run();
  dropUnused();
}

void Semaphores::dropConnection(std::uint32_t connId) {
  db_.prepare("DELETE FROM semaphore_opens WHERE conn_id=?").with(static_cast<std::int64_t>(connId)).run();
  dropUnused();
}

void Semaphores::dropUnused() {
  db_.prepare("DELETE FROM semaphores WHERE id NOT IN (SELECT semaphore_id FROM semaphore_opens)").run();
}

} // namespace nwsim
