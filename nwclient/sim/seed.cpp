// Building a network folder from a JSON seed.
//
// A seed names the network and lists its servers (with their bindery objects), the
// workstation configuration written to net.cfg, and workstations with their connections.
// Every mistake is reported with the seed's name and the line of the offending value.
#include "seed.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace nwsim {

const std::map<std::string, std::uint16_t>& objectTypes() {
  static const std::map<std::string, std::uint16_t> types = {
      {"user", 0x0100},        {"group", 0x0200},         {"queue", 0x0300},
      {"printqueue", 0x0300},  {"fileserver", 0x0400},    {"jobserver", 0x0500},
      {"gateway", 0x0600},     {"printserver", 0x0700},   {"archivequeue", 0x0800},
      {"archiveserver", 0x0900}, {"jobqueue", 0x0A00},    {"administration", 0x0B00},
      {"remotebridge", 0x2600}, {"advertisingprintserver", 0x4700}};
  return types;
}

namespace {

void writeFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw SimError("cannot write " + file.string());
}

/// The folder a network is built in before it takes its name: beside the target, with the
/// building process's number, so that one left by a killed build is known.
std::string buildFolderPrefix(const std::filesystem::path& dir) { return ".nwsim-" + dir.filename().string() + "-"; }

/// Removes the build folders of this target that killed processes left behind.
void sweepStaleBuilds(const std::filesystem::path& parent, const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  const std::string prefix = buildFolderPrefix(dir);
  std::error_code ec;
  for (auto it = fs::directory_iterator(parent, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || rest.find_first_not_of("0123456789") != dash) continue;
    const long pid = std::strtol(rest.c_str(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove_all(it->path(), ignored);
    }
  }
}

} // namespace

void buildNetwork(const std::filesystem::path& dir, const std::string& seedText, const std::string& seedName) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(dir / "network.db", ec)) throw SimError(dir.string() + " already holds a network");
  if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) throw SimError(dir.string() + " is not a folder");
  if (fs::exists(dir, ec) && !fs::is_empty(dir, ec)) throw SimError(dir.string() + " is not empty");

  Value root;
  try {
    root = Value::parse(seedText);
  } catch (const json::ParseError& e) {
    throw SimError(seedName + ":" + std::to_string(e.line()) + ": " + e.what());
  }

  // Build beside the target and move it into place at the end, so that a failure (or a
  // killed process) never leaves a half-made network under the real name.
  fs::path parent = dir.parent_path().empty() ? fs::current_path() : dir.parent_path();
  if (!fs::is_directory(parent, ec)) throw SimError("cannot create " + dir.string() + ": " + parent.string() + " does not exist");
  sweepStaleBuilds(parent, dir);
  std::random_device rd;
  fs::path tmp = parent / (buildFolderPrefix(dir) + std::to_string(::getpid()) + "-" + std::to_string(rd()));
  if (!fs::create_directory(tmp, ec))
    throw SimError("cannot create " + dir.string() + ": " + (ec ? ec.message() : std::string("folder exists")));
  try {
    {
      Store db(tmp / "network.db", true);
      db.migrate();
      Transaction t(db);
      try {
        NetCfg cfg = SeedLoader(db, seedName).load(root);
        writeFile(tmp / "net.cfg", cfg.text());
      } catch (const json::ParseError& e) {
        throw SimError(seedName + ":" + std::to_string(e.line()) + ": " + e.what());
      }
      t.commit();
      db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    fs::create_directories(tmp / "volumes");
    if (fs::exists(dir, ec)) fs::remove(dir, ec);  // an empty folder given as the target
    fs::rename(tmp, dir);
  } catch (const StoreError& e) {
    fs::remove_all(tmp, ec);
    throw SimError("cannot create " + dir.string() + ": " + e.what());
  } catch (const fs::filesystem_error& e) {
    fs::remove_all(tmp, ec);
    throw SimError("cannot create " + dir.string() + ": " + e.code().message());
  } catch (...) {
    fs::remove_all(tmp, ec);
    throw;
  }
}

void createNetwork(const std::filesystem::path& dir, const std::filesystem::path& seed) {
  if (seed.empty()) {
    buildNetwork(dir, sampleSeed(), "the sample seed");
    return;
  }
  std::ifstream in(seed, std::ios::binary);
  if (!in) throw SimError("cannot read the seed " + seed.string());
  std::stringstream text;
  text << in.rdbuf();
  buildNetwork(dir, text.str(), seed.string());
}

void createNetworkFromText(const std::filesystem::path& dir, const std::string& seedText, const std::string& seedName) {
  buildNetwork(dir, seedText, seedName);
}

} // namespace nwsim
