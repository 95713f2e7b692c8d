#include "dir_handles.h"

namespace nwsim {

std::optional<DirHandles::Entry> DirHandles::find(std::uint32_t connId, int handle) {
  std::optional<Entry> e;
  db_.prepare("SELECT volume, path FROM dir_handles WHERE conn_id=? AND handle=?")
      .with(static_cast<std::int64_t>(connId), handle).first([&](Stmt& q) { e = Entry{q.integer(0), q.text(1)}; });
  return e;
}

int DirHandles::obtain(std::uint32_t connId, int volume, const std::string& path) {
  int handle = 0;
  db_.prepare("SELECT handle FROM dir_handles WHERE conn_id=? AND volume=? AND path=?")
      .with(static_cast<std::int64_t>(connId), volume, path).first([&](Stmt& q) { handle = q.integer(0); });
  if (handle) return handle;
  return allocate(connId, volume, path);
}

int DirHandles::allocate(std::uint32_t connId, int volume, const std::string& path) {
  int expected = 1;
  db_.prepare("SELECT handle FROM dir_handles WHERE conn_id=? ORDER BY handle")
      .with(static_cast<std::int64_t>(connId)).each([&](Stmt& q) {
        if (q.integer(0) == expected) ++expected;
      });
  if (expected > 255) return 0;
  db_.prepare("INSERT INTO dir_handles(conn_id, handle, volume, path) VALUES(?,?,?,?)")
      .with(static_cast<std::int64_t>(connId), expected, volume, path).run();
  return expected;
}

bool DirHandles::release(std::uint32_t connId, int handle) {
  if (!find(connId, handle)) return false;
  db_.prepare("DELETE FROM dir_handles WHERE conn_id=? AND handle=?").with(static_cast<std::int64_t>(connId), handle).run();
  return true;
}

void DirHandles::dropConnection(std::uint32_t connId) {
  db_.prepare("DELETE FROM dir_handles WHERE conn_id=?").with(static_cast<std::int64_t>(connId)).run();
}

} // namespace nwsim
