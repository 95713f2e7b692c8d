#pragma once
// A fresh network from this folder's server seed for every test, as workstation WS-TEST,
// with units Ostrel and Nwserver constructed on it.
#include "fixtures/netfixture.h"

#include <nwserver/nwserver.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

namespace servertest {

inline std::string unitError() { return "nwserver getLastError = " + nwserver::TNWServer().getLastError(); }

/// The server seed with each `from` replaced by its `to`.
inline std::string seedText(const std::vector<std::pair<std::string, std::string>>& edits = {}) {
  std::ifstream in(SERVER_SEED);
  std::string seed{std::istreambuf_iterator<char>(in), {}};
  for (const auto& [from, to] : edits) {
    const auto at = seed.find(from);
    if (at != std::string::npos) seed.replace(at, from.size(), to);
  }
  return seed;
}

class ServerTest : public ::testing::Test {
protected:
  void SetUp() override { useSeed(seedText()); }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [nwserver] " << unitError() << "\n";
    nwsim::clearFaults();
    nwsim::useNetwork(dir.path() / "closed");
  }
  /// Starts again on a network made from `seed`.
  void useSeed(const std::string& seed) {
    const auto net = dir.path() / ("net" + std::to_string(++networks_));
    nwsim::createNetworkFromText(net, seed, "server test seed");
    nwsim::useNetwork(net, "WS-TEST");
    netDir_ = net;
    nwsim::clearFaults();
    nwsim::resetCallCounts();
    ostrel_ = std::make_unique<ostrel::TOstrel>();
    nwserver::TNWServer().resetLastError();
  }
  void become(const std::string& workstation) {
    nwsim::useWorkstation(workstation);
    ostrel_ = std::make_unique<ostrel::TOstrel>();
  }
  const std::filesystem::path& netDir() const { return netDir_; }
  std::int32_t lasterror() const { return nwserver::lasterror(); }

  nwtest::TempDir dir;

private:
  int networks_ = 0;
  std::filesystem::path netDir_;
  std::unique_ptr<ostrel::TOstrel> ostrel_;
};

/// This workstation's handle on a server; 0 when it has no station there.
inline NWCONN_HANDLE handleOf(const std::string& server) {
  for (const auto& s : nwsim::stations())
    if (s.workstation == nwsim::currentWorkstation() && s.server == server) return s.handle;
  return 0;
}

/// The stations of this workstation.
inline std::size_t myStations() {
  std::size_t n = 0;
  for (const auto& s : nwsim::stations()) n += s.workstation == nwsim::currentWorkstation();
  return n;
}

} // namespace servertest
