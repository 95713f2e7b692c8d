#include "drive_table.h"

#include <nwclient/paths.h>

#include <cctype>
#include <fstream>

namespace nwsim {

std::uint16_t DriveTable::localStatus(int drive) {
  switch (drive) {
    case 1: case 2: return NW_DRIVE_LOCAL_REMOVABLE;
    case 3: case 5: return NW_DRIVE_LOCAL;
    case 4: return NW_DRIVE_CDROM;
    default: return NW_DRIVE_FREE;
  }
}

int DriveTable::firstNetworkDrive(const std::filesystem::path& netCfg) {
  std::ifstream in(netCfg);
  std::string line;
  while (std::getline(in, line)) {
    std::string up;
    for (char c : line) up.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    const auto key = up.find("FIRST NETWORK DRIVE");
    if (key == std::string::npos || up.find_first_not_of(" \t") != key) continue;
    const auto eq = up.find('=', key);
    if (eq == std::string::npos) continue;
    const auto v = up.find_first_not_of(" \t\"", eq + 1);
    if (v != std::string::npos && up[v] >= 'A' && up[v] <= 'Z') return up[v] - 'A' + 1;
  }
  return 6;
}

std::optional<DriveTable::Mapping> DriveTable::find(int drive) {
  std::optional<Mapping> m;
  db_.prepare("SELECT d.conn_id, d.volume, d.path FROM drives d JOIN connections c ON c.id = d.conn_id "
              "WHERE d.workstation=? AND d.drive=?")
      .with(ws_, drive).first([&](Stmt& q) {
        m = Mapping{static_cast<std::uint32_t>(q.int64(0)), q.integer(1), q.text(2)};
      });
  return m;
}

void DriveTable::set(int drive, const Mapping& m) {
  db_.prepare("INSERT OR REPLACE INTO drives(workstation, drive, conn_id, volume, path) VALUES(?,?,?,?,?)")
      .with(ws_, drive, static_cast<std::int64_t>(m.connId), m.volume, m.path).run();
}

bool DriveTable::remove(int drive) {
  const bool mapped = find(drive).has_value();
  db_.prepare("DELETE FROM drives WHERE workstation=? AND drive=?").with(ws_, drive).run();
  return mapped;
}

void DriveTable::dropConnection(std::uint32_t connId) {
  db_.prepare("DELETE FROM drives WHERE conn_id=?").with(static_cast<std::int64_t>(connId)).run();
}

} // namespace nwsim
