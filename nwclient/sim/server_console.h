#pragma once
// The console of one server: running statistics, loaded modules (NLMs), volumes mounted
// and dismounted, SET parameters and command files (.NCF) made of those commands.
#include "simulator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class ServerConsole {
public:
  struct Stats {
    std::uint32_t ticks = 0;         // clock ticks (1/18.2 s) since the server came up
    std::uint32_t packets = 0;       // requests served, all stations together
    std::uint32_t utilization = 1;   // percent, from the recent request rate
    int connsInUse = 0, peakConns = 0;
    int openFiles = 0, peakOpenFiles = 0;
    std::uint32_t filesOpened = 0;
  };

  struct Module {
    int number = 0;
    std::string fileName, name, notice;
    int major = 1, minor = 0, revision = 0;
    int year = 1996, month = 1, day = 1;
    std::uint32_t flags = 0, type = 0, parent = 0, allocBytes = 0, allocFree = 0, language = 4, publics = 0;
  };

  /// `conn` is the caller's connection to the server (for paths without a server name).
  ServerConsole(Session& s, const Server& server, std::uint32_t conn) : s_(s), server_(server), conn_(conn) {}

  Stats stats();
  int setting(const std::string& name, int fallback);

  std::vector<std::uint32_t> moduleNumbers(std::uint32_t start, std::size_t max);
  int moduleCount();
  std::optional<Module> module(std::uint32_t number);
  NWCCODE load(const std::string& path);
  NWCCODE unload(const std::string& name);

  NWCCODE mount(const std::string& volume, std::uint32_t& number);
  NWCCODE dismount(const std::string& volume);

  NWCCODE setInt(const std::string& name, std::int64_t value);
  NWCCODE setString(const std::string& name, const std::string& value);

  /// Runs every line of a command file; the code of the first line that failed, else 0.
  NWCCODE execute(const std::string& path);
  NWCCODE command(const std::string& line);

  /// What every server starts with: its statistics row and its SET parameters.
  static void addDefaults(Store& db, std::int64_t serverId);
  static void addModule(Store& db, std::int64_t serverId, const Module& m);

private:
  /// The local file of a module or command file: a NetWare path, or a bare name in SYS:SYSTEM
  /// with `extension` added when it has none.
  NWCCODE systemFile(const std::string& path, const std::string& extension, std::string& fileName,
                     std::string& local);
  Session& s_;
  Server server_;
  std::uint32_t conn_;
};

} // namespace nwsim
