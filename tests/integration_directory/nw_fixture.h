#pragma once
// The nw tool run as a user runs it against a fresh network, as workstation WS-TEST (logged
// in to the tree TESTTREE as ADMIN) unless a test names another.
#include "fixtures/netfixture.h"

#include <string>

namespace {

using Result = nwtest::CommandResult;

inline Result run(const std::string& command) { return nwtest::runCommand(command); }

using nwtest::contains;

inline int lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

class NwDirectory : public nwtest::NetworkTest {
protected:
  Result nw(const std::string& args, const std::string& profile = "full", const std::string& ws = "WS-TEST") {
    return run("env NWCLIENT_PATH=" + std::string(NWCLIENT_PROFILE_ROOT) + "/" + profile +
               " NWSIM_NETWORK=" + net->dir().string() + " NWSIM_WORKSTATION=" + ws + " " + NW_TOOL + " " + args);
  }
};

} // namespace
