#pragma once
// A fresh network from this folder's bindery seed for every test, as workstation WS-TEST,
// with unit Ostrel constructed on it.
#include "fixtures/netfixture.h"

#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace binderytest {

inline std::string unitError() { return "ostrel getLastError = " + ostrel::formatLastError(ostrel::lasterror()); }

class BinderyTest : public ::testing::Test {
protected:
  void SetUp() override {
    nwsim::createNetwork(dir.path() / "net", BINDERY_SEED);
    nwsim::useNetwork(dir.path() / "net", "WS-TEST");
    nwsim::clearFaults();
    nwsim::resetCallCounts();
    unit = std::make_unique<ostrel::TOstrel>();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [ostrel] " << unitError() << "\n";
    ostrel::setAutoNDS(false);
    nwsim::clearFaults();
    nwsim::useNetwork(dir.path() / "closed");
  }
  /// Acts as another workstation of the network.
  void become(const std::string& workstation) {
    nwsim::useWorkstation(workstation);
    unit = std::make_unique<ostrel::TOstrel>();
  }
  /// The network folder, for volumes on disk.
  std::filesystem::path netDir() const { return dir.path() / "net"; }

  nwtest::TempDir dir;
  std::unique_ptr<ostrel::TOstrel> unit;
};

using nwtest::names;
using nwtest::objects;

/// The client form of a displayed ID: its bytes reversed.
constexpr std::uint32_t clientForm(std::uint32_t display) {
  return (display >> 24) | ((display >> 8) & 0xFF00) | ((display << 8) & 0xFF0000) | (display << 24);
}

} // namespace binderytest
