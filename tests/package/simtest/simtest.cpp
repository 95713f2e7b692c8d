// An application's own test, built against the installed package: each test makes a fresh
// simulated network from the built-in sample, then uses the library and the network's API.
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

class AppTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("simtest-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    nwsim::createNetwork(dir_);
    nwsim::useNetwork(dir_, "WS-APP");
    unit_ = std::make_unique<ostrel::TOstrel>();
    nwsim::clearFaults();
    nwsim::resetCallCounts();
  }
  void TearDown() override {
    unit_.reset();
    nwsim::useNetwork({});
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
  std::unique_ptr<ostrel::TOstrel> unit_;  // the unit object loads the client libraries
};

TEST_F(AppTest, SeesTheSimulatedServer) {
  ASSERT_TRUE(ostrel::nwInit());
  const auto servers = nwsim::servers();
  ASSERT_FALSE(servers.empty());
  const std::string name = ostrel::getServerName(ostrel::getPrimaryServerID());
  bool known = false;
  for (const auto& s : servers) known = known || s.name == name;
  EXPECT_TRUE(known) << name;
  EXPECT_GE(nwsim::callCount("NWCCGetConnInfo"), 1u);
}

TEST_F(AppTest, AnInjectedFaultReachesTheProgram) {
  ASSERT_TRUE(ostrel::nwInit());
  const auto conn = ostrel::getPrimaryServerID();
  nwsim::injectFault("NWCCGetConnInfo", 0x89FF, -1);
  EXPECT_EQ(ostrel::getConnectID(conn), 0);
  nwsim::clearFaults();
  EXPECT_NE(ostrel::getConnectID(conn), 0);
}

} // namespace
