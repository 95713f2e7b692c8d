// nw: the classic NetWare utilities over the Rudodor4 function units.
#include "cli.h"

#include <nwsim/nwsim.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {

void usage(std::ostream& out) {
  out << "usage: nw [--network DIR] COMMAND [ARGS] [--help]\n\ncommands:\n";
  for (const auto& [name, c] : nw::commands()) {
    std::string padded = name;
    padded.resize(std::max<std::size_t>(padded.size() + 1, 14), ' ');
    out << "  " << padded << c.summary << "\n";
  }
  out << "\nThe network is DIR of --network, else $NWSIM_NETWORK, else the per-user default\n"
         "network (made from the sample seed on first use). $NWSIM_WORKSTATION names the\n"
         "workstation this program runs on.\n";
}

} // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 1 && (args[0] == "--network" || args[0].rfind("--network=", 0) == 0)) {
      std::string dir;
      if (args[0] == "--network") {
        if (args.size() < 2) throw nw::UsageError("--network needs a folder");
        dir = args[1];
        args.erase(args.begin(), args.begin() + 2);
      } else {
        dir = args[0].substr(10);
        args.erase(args.begin());
      }
      nwsim::useNetwork(dir);
    }
    if (args.empty()) {
      usage(std::cerr);
      return 1;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
      usage(std::cout);
      return 0;
    }
    auto it = nw::commands().find(args[0]);
    if (it == nw::commands().end()) throw nw::UsageError("unknown command '" + args[0] + "' (see nw --help)");
    const nw::Command& cmd = it->second;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const auto& a : rest)
      if (a == "--help" || a == "-h") {
        std::cout << cmd.help;
        return 0;
      }
    return cmd.run(nw::Args(rest, cmd));
  } catch (const nw::UsageError& e) {
    std::cout.flush();
    std::cerr << "nw: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "nw: " << e.what() << "\n";
    return 1;
  }
}
