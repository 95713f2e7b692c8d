#pragma once
// Shared by the Ostrel test programs: a fixture that loads the client on a fresh network,
// and helpers that show the unit error code when an expectation fails.
#include "fixtures/netfixture.h"

#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>
#include <memory>
#include <string>
#include <vector>

namespace ostreltest {

/// Streamed into an expectation (EXPECT_...(...) << unitError()); evaluated only on failure.
inline std::string unitError() { return "ostrel getLastError = " + ostrel::formatLastError(ostrel::lasterror()); }

/// A fresh network as workstation WS-TEST, with the unit object constructed on it.
class OstrelTest : public nwtest::NetworkTest {
protected:
  void SetUp() override {
    NetworkTest::SetUp();
    unit = std::make_unique<ostrel::TOstrel>();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [ostrel] " << unitError() << "\n";
    NetworkTest::TearDown();
  }

  /// Acts as another workstation: the unit is constructed again so that it remembers that
  /// workstation's primary connection.
  void become(const std::string& workstation) {
    nwsim::useWorkstation(workstation);
    unit = std::make_unique<ostrel::TOstrel>();
  }

  std::unique_ptr<ostrel::TOstrel> unit;
};

/// A variant of the fixture network, every occurrence of each `from` text of the seed replaced
/// by its `to`, used as `workstation` while the object lives; then the previous network is
/// used again and the variant removed.
class VariantNetwork {
public:
  using Edits = std::vector<std::pair<std::string, std::string>>;
  VariantNetwork(const Edits& edits, const std::string& workstation)
      : previousDir_(nwsim::currentNetworkDir()), previousWorkstation_(nwsim::currentWorkstation()) {
    std::ifstream in(nwtest::fixtureDir() / "small.json");
    std::string seed{std::istreambuf_iterator<char>(in), {}};
    for (const auto& [from, to] : edits)
      for (auto at = seed.find(from); at != std::string::npos; at = seed.find(from, at + to.size()))
        seed.replace(at, from.size(), to);
    nwsim::createNetworkFromText(dir_.path() / "net", seed, "variant of small.json");
    nwsim::useNetwork(dir_.path() / "net", workstation);
  }
  ~VariantNetwork() { nwsim::useNetwork(previousDir_, previousWorkstation_); }

private:
  nwtest::TempDir dir_;
  std::filesystem::path previousDir_;
  std::string previousWorkstation_;
};

/// The client handle of this workstation's station on a server; 0 when it has none.
inline NWCONN_HANDLE handleOf(const std::string& server) {
  const std::string ws = nwsim::currentWorkstation();
  for (const auto& s : nwsim::stations())
    if (s.workstation == ws && s.server == server) return s.handle;
  return 0;
}

using nwtest::names;
using nwtest::objects;

} // namespace ostreltest
