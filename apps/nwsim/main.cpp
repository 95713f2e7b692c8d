// nwsim: the simulated network's own administration tool.
#include <nwsim/completion_codes.h>
#include <nwsim/nwsim.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: nwsim [--network DIR] COMMAND [ARGS]\n"
    "\n"
    "The simulated NetWare network's own administration.\n"
    "\n"
    "commands:\n"
    "  create DIR [--seed FILE]   make a network in DIR from a seed (default: the sample seed)\n"
    "  show                       servers and stations of the network\n"
    "  seed                       print the sample seed\n"
    "  fault FUNCTION CODE [N]    make the next N calls (default 1, -1 = all) of a client\n"
    "                             function fail with CODE (hexadecimal, e.g. 89FF)\n"
    "  faults clear               remove all injected faults\n"
    "\n"
    "The network is DIR of --network, else $NWSIM_NETWORK, else the per-user default\n"
    "network, which is made from the sample seed on first use.\n";

int fail(const std::string& msg) {
  std::cerr << "nwsim: " << msg << "\n";
  return 1;
}

bool wantsHelp(const std::vector<std::string>& args) {
  for (auto& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

int cmdCreate(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << "usage: nwsim create DIR [--seed FILE]\n\nMakes a new network in DIR (which must not exist or be empty)\nfrom a JSON seed, by default the built-in sample seed.\n";
    return 0;
  }
  std::string dir, seed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--seed") {
      if (++i >= args.size()) return fail("--seed needs a file");
      seed = args[i];
    } else if (dir.empty()) {
      dir = args[i];
    } else {
      return fail("unexpected argument '" + args[i] + "'");
    }
  }
  if (dir.empty()) return fail("create needs a folder (see nwsim create --help)");
  nwsim::createNetwork(dir, seed);
  std::cout << "created network in " << dir << "\n";
  return 0;
}

int cmdShow(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << "usage: nwsim show\n\nLists the servers of the network and every station in use.\n";
    return 0;
  }
  nwsim::openNetwork();
  std::cout << "Network " << nwsim::currentNetworkDir().string() << " (this workstation: "
            << nwsim::currentWorkstation() << ")\n\nServers:\n";
  for (auto& s : nwsim::servers()) {
    std::printf("  %-20s %-9s v%d.%02d  %4d connections%s%s\n", s.name.c_str(), s.kind.c_str(),
                s.versionMajor, s.versionMinor, s.maxConnections,
                s.tree.empty() ? "" : ("  tree " + s.tree).c_str(), s.up ? "" : "  DOWN");
  }
  std::cout << "\nStations:\n";
  std::printf("  %-20s %5s  %-16s %-20s %s\n", "server", "conn", "workstation", "logged in as", "since");
  for (auto& st : nwsim::stations()) {
    std::printf("  %-20s %5d  %-16s %-20s %s\n", st.server.c_str(), st.connNumber, st.workstation.c_str(),
                st.objectName.empty() ? "(not logged in)" : st.objectName.c_str(), st.loginTime.c_str());
  }
  return 0;
}

int cmdFault(const std::vector<std::string>& args) {
  if (wantsHelp(args) || args.size() < 2) {
    std::cout << "usage: nwsim fault FUNCTION CODE [COUNT]\n\nMakes the next COUNT calls (default 1; -1 for every call) of the named client\nfunction fail with the completion code CODE (hexadecimal), for every program\non the network.\n";
    return wantsHelp(args) ? 0 : 1;
  }
  char* end = nullptr;
  long code = std::strtol(args[1].c_str(), &end, 16);
  if (!end || *end || code == 0) return fail("CODE must be a non-zero hexadecimal number");
  int count = 1;
  if (args.size() > 2) count = std::atoi(args[2].c_str());
  if (count == 0 || count < -1) return fail("COUNT must be positive or -1");
  nwsim::injectFault(args[0], static_cast<std::int32_t>(code), count);
  std::cout << (count == -1 ? std::string("Every call") : count == 1 ? std::string("The next call") : "The next " + std::to_string(count) + " calls")
            << " of " << args[0] << " will fail: " << nwsim::describeCode(static_cast<std::int32_t>(code)) << ".\n";
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--network") {
    if (args.size() < 2) return fail("--network needs a folder");
    nwsim::useNetwork(args[1]);
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << kUsage;
    return args.empty() ? 1 : 0;
  }
  std::string cmd = args[0];
  args.erase(args.begin());
  try {
    if (cmd == "create") return cmdCreate(args);
    if (cmd == "show") return cmdShow(args);
    if (cmd == "seed") { std::cout << nwsim::sampleSeed(); return 0; }
    if (cmd == "fault") return cmdFault(args);
    if (cmd == "faults" && args.size() == 1 && args[0] == "clear") { nwsim::clearFaults(); return 0; }
    return fail("unknown command '" + cmd + "' (see nwsim --help)");
  } catch (const std::exception& e) {
    return fail(e.what());
  }
}
