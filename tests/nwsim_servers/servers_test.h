#pragma once
// Shared helpers of the tests of bindery, paths, files and server control.
#include "fixtures/netfixture.h"
#include "nwsim/client.h"

#include <nwclient/nwclient.h>

#include <cstring>

#include <filesystem>
#include <string>

namespace nwtest {

class ServersTest : public NetworkTest {
protected:
  // The workstation's primary connection: WS-TEST is SUPERVISOR on FS1 station 3.
  NWCONN_HANDLE primary() {
    NWCONN_HANDLE h = 0;
    EXPECT_EQ(CALLS(NWGetPrimaryConnectionID)(&h), NWE_OK);
    return h;
  }
  // Acts as another workstation of the fixture: WS-SALES is JSMITH, WS-ACCT is MJONES (a
  // console operator of FS1).
  NWCONN_HANDLE as(const std::string& workstation) {
    nwsim::useWorkstation(workstation);
    return primary();
  }
  std::filesystem::path volume(const std::string& server, const std::string& vol) const {
    return net->dir() / "volumes" / server / vol;
  }
};

} // namespace nwtest
