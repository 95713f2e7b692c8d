#pragma once
// A fresh small network for every test, as workstation WS-TEST (SUPERVISOR on FS1), with
// unit Nwprop constructed; WS-SALES is JSMITH, a plain user, on FS1.
#include "fixtures/netfixture.h"

#include <nwprop/nwprop.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <iostream>

namespace proptest {

inline std::string unitError() { return "nwprop getLastError = " + nwprop::TNWProp().getLastError(); }

class PropTest : public nwtest::NetworkTest {
protected:
  void SetUp() override {
    NetworkTest::SetUp();
    nwsim::clearFaults();
    ostrelUnit = std::make_unique<ostrel::TOstrel>();  // loads the client libraries
    unit.resetLastError();
  }
  void TearDown() override {
    if (HasFailure()) std::cout << "  [nwprop] " << unitError() << "\n";
    nwsim::clearFaults();
    NetworkTest::TearDown();
  }
  /// Acts as another workstation of the network.
  void become(const std::string& workstation) {
    nwsim::useWorkstation(workstation);
    ostrelUnit = std::make_unique<ostrel::TOstrel>();
  }

  std::unique_ptr<ostrel::TOstrel> ostrelUnit;
  nwprop::TNWProp unit;
};

using nwtest::names;

inline bool has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace proptest
