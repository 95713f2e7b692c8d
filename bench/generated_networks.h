#pragma once
// What several benchmarks share: generated networks kept for the program's run, one per size
// and removed when it ends, and the directory units loaded on one of them.
#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace bench {

/// The folder of the generated network `name` of size `count`, made by `make(folder)` the
/// first time it is asked for.
template <typename Make>
std::filesystem::path generatedNetwork(const std::string& name, int count, Make&& make) {
  static std::map<int, std::filesystem::path> made;
  if (auto it = made.find(count); it != made.end()) return it->second;
  auto d = std::filesystem::temp_directory_path() /
           ("nwbench-" + name + "-" + std::to_string(::getpid()) + "-" + std::to_string(count));
  std::filesystem::remove_all(d);
  make(d);
  if (made.empty())
    std::atexit([] {
      std::error_code ec;
      for (auto& [n, dir] : made) std::filesystem::remove_all(dir, ec);
    });
  made[count] = d;
  return d;
}

/// Ostrel and Nwnds loaded on `network` as workstation WS-BENCH, anew when the network
/// changes; false without a directory client.
inline bool loadDirectoryUnits(const std::filesystem::path& network) {
  static std::unique_ptr<ostrel::TOstrel> ostrelUnit;
  static std::unique_ptr<nwnds::TNWNDS> ndsUnit;
  static std::filesystem::path current;
  if (current == network) return true;
  nwsim::useNetwork(network, "WS-BENCH");
  ndsUnit.reset();
  ostrelUnit = std::make_unique<ostrel::TOstrel>();
  ndsUnit = std::make_unique<nwnds::TNWNDS>();
  current = network;
  return nwnds::ndsInit();
}

} // namespace bench
