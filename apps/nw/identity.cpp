// nw whoami, servers, time, version: who this workstation is and where it is attached.
#include "cli.h"

#include <nwtools/nwtools.h>
#include <ostrel/ostrel.h>
#include <rtl/datetime.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>

namespace nw {
namespace {

std::string formatNetAddress(const std::string& hex20) {
  // 4 bytes of network number, then the 6-byte node address.
  if (hex20.size() != 20) return hex20;
  return hex20.substr(0, 8) + ":" + hex20.substr(8);
}

void showConnection(NWCONN_HANDLE conn) {
  ostrel::TNWConnectInfo info;
  std::uint16_t station = ostrel::getConnectID(conn);
  if (!ostrel::getConnectInfo(conn, station, info)) {
    // A station nobody is logged in on has no login time, so no full record either.
    if (ostrel::whoAmI(conn).empty())
      std::cout << "Attached to server " << ostrel::getServerName(conn) << ", connection " << station
                << ", not logged in.\n";
    else
      throw CommandError("cannot read the connection information of server " + ostrel::getServerName(conn) +
                         " (" + failure(ostrel::lasterror()) + ")");
    return;
  }
  std::string tree = nwtools::allTrim(info.treeName);
  std::cout << "You are user " << info.userName << " attached to server " << info.serverName << ", connection "
            << info.connNumber << ".\n"
            << "Login time:      " << rtl::FormatDateTime("dddd, mmmm d, yyyy h:nn am/pm", info.loginTime) << "\n";
  if (!tree.empty()) std::cout << "Directory tree:  " << tree << "\n";
  std::cout << "Network address: " << formatNetAddress(info.netAddress) << "\n";
}

int whoami(const Args& args) {
  args.atMost(0);
  requireClient();
  showConnection(ostrel::getPrimaryServerID());
  return 0;
}

int servers(const Args& args) {
  args.atMost(0);
  requireClient();
  std::string primary = ostrel::getServerName(ostrel::getPrimaryServerID());
  auto list = ostrel::getConnectedServerList();
  std::printf("%-24s %10s\n", "Server", "Connection");
  for (const auto& item : *list) {
    // A connection made to a directory tree by name does not know its server.
    std::printf("%-24s %10ld  %s\n", item.text.empty() ? "(tree connection)" : item.text.c_str(),
                static_cast<long>(item.object), item.text == primary ? "primary" : "");
  }
  return 0;
}

int timeCmd(const Args& args) {
  args.atMost(0);
  requireClient();
  NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  // The unit answers the workstation's own clock when the server's cannot be read; that
  // is no server time to show.
  ostrel::TOstrel().resetLastError();
  rtl::TDateTime t = ostrel::getServerDate(conn) + ostrel::getServerTime(conn);
  if (ostrel::lasterror() != 0)
    throw CommandError("cannot read the clock of server " + ostrel::getServerName(conn) + " (" +
                       failure(ostrel::lasterror()) + ")");
  std::cout << "Current server (" << ostrel::getServerName(conn) << ") time is "
            << rtl::FormatDateTime("dddd, mmmm d, yyyy  h:nn:ss am/pm", t) << ".\n";
  return 0;
}

int version(const Args& args) {
  args.atMost(0);
  std::cout << "nw (Rudodor4 " << ostrel::getOstrelVersion() << ")\n";
  return 0;
}

Register whoamiCmd({"whoami", "your user name, server, station, login time, tree and address",
                    "usage: nw whoami\n\nShows who you are logged in as on the primary server: server, login name,\n"
                    "connection (station) number, login time, directory tree and network address.\n",
                    {}, whoami});
Register serversCmd({"servers", "the servers this workstation is attached to",
                     "usage: nw servers\n\nLists the servers this workstation has connections to, with the connection\n"
                     "(station) number on each; the primary server is marked.\n",
                     {}, servers});
Register timeCmdReg({"time", "the primary server's date and time",
                     "usage: nw time\n\nShows the date and time of the primary server.\n", {}, timeCmd});
Register versionCmd({"version", "the version of the library and the tool",
                     "usage: nw version\n\nShows the version of Rudodor4 that nw is built on.\n", {}, version});

} // namespace
} // namespace nw
