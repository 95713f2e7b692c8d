#include "server_console.h"

#include "open_files.h"
#include "redirector.h"
#include "stations.h"

#include <nwclient/paths.h>
#include <nwclient/server.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <fstream>

namespace nwsim {

namespace {

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::optional<std::int64_t> parseInteger(const std::string& text) {
  const std::string t = trim(text);
  if (t.empty() || t.size() > 10) return std::nullopt;
  std::int64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

struct Parameter {
  const char* name;
  bool isString;
  std::int64_t value, min, max;
  const char* text;
};

// The console parameters the simulated server knows, with their defaults and ranges.
constexpr Parameter kParameters[] = {
    {"MAXIMUM PACKET RECEIVE BUFFERS", false, 100, 50, 4000, ""},
    {"MINIMUM PACKET RECEIVE BUFFERS", false, 10, 10, 1000, ""},
    {"CACHE BUFFER SIZE", false, 4096, 1024, 16384, ""},
    {"MAXIMUM CONCURRENT DISK CACHE WRITES", false, 50, 10, 1000, ""},
    {"DIRTY DISK CACHE DELAY TIME", false, 3300, 100, 10000, ""},
    {"MINIMUM FILE CACHE BUFFERS", false, 20, 20, 1000, ""},
    {"MAXIMUM FILE CACHE BUFFERS", false, 1000, 20, 100000, ""},
    {"MAXIMUM SERVICE PROCESSES", false, 20, 5, 100, ""},
    {"MAXIMUM RECORD LOCKS", false, 10000, 100, 200000, ""},
    {"MAXIMUM FILE LOCKS", false, 10000, 100, 100000, ""},
    {"MAXIMUM OPEN FILES", false, 240, 20, 100000, ""},
    {"ALLOW UNENCRYPTED PASSWORDS", true, 0, 0, 0, "OFF"},
    {"CONSOLE DISPLAY WATCHDOG LOGOUTS", true, 0, 0, 0, "OFF"},
    {"IMMEDIATE PURGE OF DELETED FILES", true, 0, 0, 0, "OFF"},
    {"TIME ZONE", true, 0, 0, 0, "GMT0"},
};

} // namespace

void ServerConsole::addDefaults(Store& db, std::int64_t serverId) {
  // A server of a new network has been up for a while already: an hour.
  constexpr std::int64_t kUptimeMs = 3600 * 1000;
  db.prepare("INSERT OR IGNORE INTO server_stats(server_id, up_since_ms) VALUES(?,?)").with(serverId, nowMs() - kUptimeMs).run();
  for (const auto& p : kParameters)
    db.prepare("INSERT OR IGNORE INTO server_settings(server_id, name, is_string, int_value, str_value, min_value, max_value) "
               "VALUES(?,?,?,?,?,?,?)")
        .with(serverId, std::string(p.name), p.isString ? 1 : 0, p.value, std::string(p.text), p.min, p.max).run();
}

void ServerConsole::addModule(Store& db, std::int64_t serverId, const Module& m) {
  int number = m.number;
  if (number == 0)
    db.prepare("SELECT COALESCE(MAX(number), 0) + 1 FROM nlms WHERE server_id=?").with(serverId).first([&](Stmt& q) {
      number = q.integer(0);
    });
  db.prepare("INSERT INTO nlms(server_id, number, file_name, name, notice, ver_major, ver_minor, ver_revision, year, month, day, "
             "flags, type, parent, alloc_bytes, alloc_free, language, publics) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
      .with(serverId, number, upper(m.fileName), m.name, m.notice, m.major, m.minor, m.revision, m.year, m.month, m.day,
            static_cast<std::int64_t>(m.flags), static_cast<std::int64_t>(m.type), static_cast<std::int64_t>(m.parent),
            static_cast<std::int64_t>(m.allocBytes), static_cast<std::int64_t>(m.allocFree),
            static_cast<std::int64_t>(m.language), static_cast<std::int64_t>(m.publics))
      .run();
}

ServerConsole::Stats ServerConsole::stats() {
  Store& db = s_.db();
  addDefaults(db, server_.id);
  OpenFiles(db).purgeEnded();
  Stats st;
  std::int64_t upSince = 0, base = 0, sampleMs = 0, samplePackets = 0, requests = 0;
  int utilization = 1;
  db.prepare("SELECT up_since_ms, packets_base, peak_conns, files_opened, peak_open_files, sample_ms, sample_packets, utilization "
             "FROM server_stats WHERE server_id=?")
      .with(server_.id).first([&](Stmt& q) {
        upSince = q.int64(0);
        base = q.int64(1);
        st.peakConns = q.integer(2);
        st.filesOpened = static_cast<std::uint32_t>(q.int64(3));
        st.peakOpenFiles = q.integer(4);
        sampleMs = q.int64(5);
        samplePackets = q.int64(6);
        utilization = q.integer(7);
      });
  s_.writeUsage();
  db.prepare("SELECT COALESCE(SUM(requests), 0) FROM connections WHERE server_id=?").with(server_.id).first([&](Stmt& q) {
    requests = q.int64(0);
  });
  const std::int64_t now = nowMs();
  const std::int64_t packets = base + requests;
  // Utilisation follows the request rate since the last look (at most every 200 ms):
  // a thousand requests a second keep the server fully busy.
  if (now - sampleMs >= 200) {
    const std::int64_t rate = sampleMs ? (packets - samplePackets) * 1000 / (now - sampleMs) : 0;
    utilization = static_cast<int>(std::min<std::int64_t>(100, 1 + rate / 10));
    db.prepare("UPDATE server_stats SET sample_ms=?, sample_packets=?, utilization=? WHERE server_id=?")
        .with(now, packets, utilization, server_.id).run();
  }
  st.connsInUse = Stations(s_).inUse(server_.id);
  st.peakConns = std::max(st.peakConns, st.connsInUse);
  st.openFiles = OpenFiles(db).countOnServer(server_.id);
  st.peakOpenFiles = std::max(st.peakOpenFiles, st.openFiles);
  db.prepare("UPDATE server_stats SET peak_conns=?, peak_open_files=? WHERE server_id=?")
      .with(st.peakConns, st.peakOpenFiles, server_.id).run();
  st.packets = static_cast<std::uint32_t>(packets);
  st.utilization = static_cast<std::uint32_t>(utilization);
  st.ticks = static_cast<std::uint32_t>(std::max<std::int64_t>(0, now - upSince) * 182 / 10000);
  return st;
}

int ServerConsole::setting(const std::string& name, int fallback) {
  int v = fallback;
  s_.db().prepare("SELECT int_value FROM server_settings WHERE server_id=? AND name=? AND is_string=0")
      .with(server_.id, upper(name)).first([&](Stmt& q) { v = q.integer(0); });
  return v;
}

std::vector<std::uint32_t> ServerConsole::moduleNumbers(std::uint32_t start, std::size_t max) {
  std::vector<std::uint32_t> out;
  s_.db().prepare("SELECT number FROM nlms WHERE server_id=? AND number>=? ORDER BY number LIMIT ?")
      .with(server_.id, static_cast<std::int64_t>(start), static_cast<std::int64_t>(max))
      .each([&](Stmt& q) { out.push_back(static_cast<std::uint32_t>(q.int64(0))); });
  return out;
}

int ServerConsole::moduleCount() {
  int n = 0;
  s_.db().prepare("SELECT COUNT(*) FROM nlms WHERE server_id=?").with(server_.id).first([&](Stmt& q) { n = q.integer(0); });
  return n;
}

std::optional<ServerConsole::Module> ServerConsole::module(std::uint32_t number) {
  std::optional<Module> m;
  s_.db().prepare("SELECT number, file_name, name, notice, ver_major, ver_minor, ver_revision, year, month, day, flags, type, "
                  "parent, alloc_bytes, alloc_free, language, publics FROM nlms WHERE server_id=? AND number=?")
      .with(server_.id, static_cast<std::int64_t>(number)).first([&](Stmt& q) {
        Module x;
        x.number = q.integer(0);
        x.fileName = q.text(1);
        x.name = q.text(2);
        x.notice = q.text(3);
        x.major = q.integer(4);
        x.minor = q.integer(5);
        x.revision = q.integer(6);
        x.year = q.integer(7);
        x.month = q.integer(8);
        x.day = q.integer(9);
        x.flags = static_cast<std::uint32_t>(q.int64(10));
        x.type = static_cast<std::uint32_t>(q.int64(11));
        x.parent = static_cast<std::uint32_t>(q.int64(12));
        x.allocBytes = static_cast<std::uint32_t>(q.int64(13));
        x.allocFree = static_cast<std::uint32_t>(q.int64(14));
        x.language = static_cast<std::uint32_t>(q.int64(15));
        x.publics = static_cast<std::uint32_t>(q.int64(16));
        m = x;
      });
  return m;
}

NWCCODE ServerConsole::systemFile(const std::string& path, const std::string& extension, std::string& fileName,
                                  std::string& local) {
  std::string p = trim(path);
  if (p.empty()) return NWE_INVALID_PATH;
  if (p.find(':') == std::string::npos && p.find_first_of("\\/") == std::string::npos) p = "SYS:SYSTEM\\" + p;
  Redirector r(s_);
  Location at;
  if (NWCCODE rc = r.locate(p, conn_, 0, at)) return rc;
  if (at.server.id != server_.id || at.parts.empty()) return NWE_INVALID_PATH;
  if (at.parts.back().find('.') == std::string::npos) at.parts.back() += extension;
  fileName = at.parts.back();
  std::filesystem::path file;
  if (NWCCODE rc = r.localPath(at, file)) return rc;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return NWE_NLM_FILE_NOT_FOUND;
  local = file.string();
  return NWE_OK;
}

NWCCODE ServerConsole::load(const std::string& path) {
  std::string fileName, local;
  if (NWCCODE rc = systemFile(path, ".NLM", fileName, local)) return rc;
  if (s_.db().prepare("SELECT 1 FROM nlms WHERE server_id=? AND file_name=?").with(server_.id, fileName).first([](Stmt&) {}))
    return NWE_NLM_ALREADY_LOADED;
  Module m;
  m.fileName = fileName;
  // A module file's first line is its description.
  std::ifstream in(local);
  std::string first;
  std::getline(in, first);
  first = trim(first).substr(0, 127);
  m.name = first.empty() ? fileName.substr(0, fileName.find('.')) : first;
  const LocalSeconds now = server_.clock();
  std::time_t t = static_cast<std::time_t>(now);
  std::tm tm{};
  gmtime_r(&t, &tm);
  m.year = tm.tm_year + 1900;
  m.month = tm.tm_mon + 1;
  m.day = tm.tm_mday;
  addModule(s_.db(), server_.id, m);
  return NWE_OK;
}

NWCCODE ServerConsole::unload(const std::string& name) {
  std::string n = upper(trim(name));
  const auto cut = n.find_last_of("\\/:");
  if (cut != std::string::npos) n = n.substr(cut + 1);
  if (n.empty()) return NWE_NLM_NOT_LOADED;
  if (n.find('.') == std::string::npos) n += ".NLM";
  s_.db().prepare("DELETE FROM nlms WHERE server_id=? AND file_name=?").with(server_.id, n).run();
  return s_.db().changes() ? NWCCODE(NWE_OK) : NWCCODE(NWE_NLM_NOT_LOADED);
}

NWCCODE ServerConsole::mount(const std::string& volume, std::uint32_t& number) {
  Volumes vols = Redirector(s_).volumes();
  auto v = vols.byName(server_.id, trim(volume));
  if (!v) return NWE_VOLUME_DOES_NOT_EXIST;
  vols.setMounted(*v, true);
  number = static_cast<std::uint32_t>(v->number);
  return NWE_OK;
}

NWCCODE ServerConsole::dismount(const std::string& volume) {
  Volumes vols = Redirector(s_).volumes();
  auto v = vols.byName(server_.id, trim(volume));
  if (!v) return NWE_VOLUME_DOES_NOT_EXIST;
  vols.setMounted(*v, false);
  return NWE_OK;
}

NWCCODE ServerConsole::setInt(const std::string& name, std::int64_t value) {
  std::optional<std::pair<std::int64_t, std::int64_t>> range;
  bool isString = false;
  s_.db().prepare("SELECT is_string, min_value, max_value FROM server_settings WHERE server_id=? AND name=?")
      .with(server_.id, upper(trim(name))).first([&](Stmt& q) {
        isString = q.integer(0) != 0;
        range = std::make_pair(q.int64(1), q.int64(2));
      });
  if (!range) return NWE_NO_SUCH_PARAMETER;
  if (isString || value < range->first || value > range->second) return NWE_BAD_PARAMETER_VALUE;
  s_.db().prepare("UPDATE server_settings SET int_value=? WHERE server_id=? AND name=?")
      .with(value, server_.id, upper(trim(name))).run();
  return NWE_OK;
}

NWCCODE ServerConsole::setString(const std::string& name, const std::string& value) {
  std::optional<bool> isString;
  s_.db().prepare("SELECT is_string FROM server_settings WHERE server_id=? AND name=?")
      .with(server_.id, upper(trim(name))).first([&](Stmt& q) { isString = q.integer(0) != 0; });
  if (!isString) return NWE_NO_SUCH_PARAMETER;
  if (!*isString || value.size() > 47) return NWE_BAD_PARAMETER_VALUE;
  s_.db().prepare("UPDATE server_settings SET str_value=? WHERE server_id=? AND name=?")
      .with(value, server_.id, upper(trim(name))).run();
  return NWE_OK;
}

NWCCODE ServerConsole::command(const std::string& text) {
  const std::string line = trim(text);
  if (line.empty() || line[0] == '#' || line[0] == ';') return NWE_OK;
  const auto space = line.find_first_of(" \t");
  const std::string verb = upper(line.substr(0, space));
  const std::string rest = space == std::string::npos ? std::string() : trim(line.substr(space));
  if (verb == "REM") return NWE_OK;
  if (verb == "LOAD") return load(rest.substr(0, rest.find_first_of(" \t")));
  if (verb == "UNLOAD") return unload(rest);
  if (verb == "DISMOUNT") return dismount(rest);
  if (verb == "MOUNT") {
    std::uint32_t number = 0;
    if (upper(rest) != "ALL") return mount(rest, number);
    for (const auto& v : Redirector(s_).volumes().all(server_.id))
      if (NWCCODE rc = mount(v.name, number)) return rc;
    return NWE_OK;
  }
  if (verb == "SET") {
    const auto eq = rest.find('=');
    if (eq == std::string::npos) return NWE_UNKNOWN_COMMAND;
    const std::string name = trim(rest.substr(0, eq));
    std::string value = trim(rest.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::optional<bool> isString;
    s_.db().prepare("SELECT is_string FROM server_settings WHERE server_id=? AND name=?")
        .with(server_.id, upper(name)).first([&](Stmt& q) { isString = q.integer(0) != 0; });
    if (!isString) return NWE_NO_SUCH_PARAMETER;
    if (*isString) return setString(name, upper(value));
    auto n = parseInteger(value);
    return n ? setInt(name, *n) : NWE_BAD_PARAMETER_VALUE;
  }
  return NWE_UNKNOWN_COMMAND;
}

NWCCODE ServerConsole::execute(const std::string& path) {
  std::string fileName, local;
  if (NWCCODE rc = systemFile(path, ".NCF", fileName, local)) return rc;
  std::ifstream in(local);
  NWCCODE first = NWE_OK;
  std::string line;
  // A console line is at most 255 characters; longer ones are not commands.
  for (int n = 0; std::getline(in, line) && n < 10000; ++n) {
    const NWCCODE rc = line.size() > 255 ? NWE_UNKNOWN_COMMAND : command(line);
    if (rc && !first) first = rc;
  }
  return first;
}

} // namespace nwsim
