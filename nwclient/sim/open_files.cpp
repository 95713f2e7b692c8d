#include "open_files.h"

#include "simulator.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace nwsim {

std::string OpenFiles::processStart(std::int64_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return {};
  // The command name may hold blanks and parentheses; the fields follow the last ')'.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream fields(line.substr(close + 1));
  std::string f;
  // Field 3 (state) is the first after the name; the start time is field 22.
  for (int i = 3; i <= 22; ++i)
    if (!(fields >> f)) return {};
  return f;
}

void OpenFiles::purgeEnded() {
  std::vector<std::pair<std::int64_t, std::string>> procs;
  db_.prepare("SELECT DISTINCT pid, pid_start FROM open_files").each([&](Stmt& q) {
    procs.emplace_back(q.int64(0), q.text(1));
  });
  for (const auto& [pid, start] : procs)
    if (processStart(pid) != start)
      db_.prepare("DELETE FROM open_files WHERE pid=? AND pid_start=?").with(pid, start).run();
}

void OpenFiles::add(Entry e) {
  const std::int64_t pid = ::getpid();
  // A handle number is reused once closed; a row left by a close that was never reported
  // would otherwise be taken for the new file.
  remove(pid, e.localHandle);
  db_.prepare("INSERT INTO open_files(pid, pid_start, local_handle, conn_id, server_id, conn_number, volume, path, access, opened) "
              "VALUES(?,?,?,?,?,?,?,?,?,?)")
      .with(pid, processStart(pid), e.localHandle, static_cast<std::int64_t>(e.connId), e.serverId, e.connNumber,
            e.volume, e.path, e.access, localNow())
      .run();
  db_.prepare("UPDATE server_stats SET files_opened = files_opened + 1, "
              "peak_open_files = MAX(peak_open_files, (SELECT COUNT(*) FROM open_files WHERE server_id=?1)) WHERE server_id=?1")
      .with(e.serverId).run();
}

void OpenFiles::remove(std::int64_t pid, int localHandle) {
  db_.prepare("DELETE FROM open_files WHERE pid=? AND local_handle=?").with(pid, localHandle).run();
}

std::vector<OpenFiles::Entry> OpenFiles::select(const std::string& where, std::int64_t a, std::int64_t b,
                                                const std::string* c) {
  std::vector<Entry> out;
  auto& q = db_.prepare("SELECT id, pid, local_handle, conn_id, server_id, conn_number, volume, path, access "
                        "FROM open_files WHERE " + where + " ORDER BY id");
  q.with(a, b);
  if (c) q.bind(3, *c);
  q.each([&](Stmt& r) {
    out.push_back(Entry{r.int64(0), r.int64(1), r.integer(2), static_cast<std::uint32_t>(r.int64(3)), r.int64(4),
                        r.integer(5), r.integer(6), r.text(7), r.integer(8)});
  });
  return out;
}

std::optional<OpenFiles::Entry> OpenFiles::byHandle(std::int64_t pid, int localHandle) {
  auto v = select("pid=? AND local_handle=?", pid, localHandle, nullptr);
  if (v.empty()) return std::nullopt;
  return v.front();
}

std::vector<OpenFiles::Entry> OpenFiles::ofStation(std::int64_t serverId, int connNumber) {
  return select("server_id=? AND conn_number=?", serverId, connNumber, nullptr);
}

std::vector<OpenFiles::Entry> OpenFiles::ofFile(std::int64_t serverId, int volume, const std::string& path) {
  return select("server_id=? AND volume=? AND path=?", serverId, volume, &path);
}

int OpenFiles::countOnServer(std::int64_t serverId) {
  int n = 0;
  db_.prepare("SELECT COUNT(*) FROM open_files WHERE server_id=?").with(serverId).first([&](Stmt& q) { n = q.integer(0); });
  return n;
}

void OpenFiles::dropConnection(std::uint32_t connId) {
  db_.prepare("DELETE FROM open_files WHERE conn_id=?").with(static_cast<std::int64_t>(connId)).run();
}

} // namespace nwsim
