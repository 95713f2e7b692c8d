// nw attach, login, logout and server: connections to servers and the server console.
#include "cli.h"

#include <nwserver/nwserver.h>
#include <nwsim/nwsim.h>
#include <nwtools/nwtools.h>
#include <ostrel/ostrel.h>
#include <rtl/datetime.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>

namespace nw {
namespace {

std::string serverError() { return failure(nwserver::lasterror()); }

bool isAttached(const std::string& server) {
  auto list = ostrel::getConnectedServerList();
  return list->IndexOf(server) >= 0;
}

/// The connection the server commands work on: --server NAME, else the primary one.
NWCONN_HANDLE targetServer(const Args& args) {
  const std::string name = args.option("server");
  if (name.empty()) return ostrel::getPrimaryServerID();
  if (!isAttached(rtl::UpperCase(name)))
    throw CommandError("not attached to server " + rtl::UpperCase(name) + " (use nw attach)");
  const NWCONN_HANDLE conn = nwserver::getServerHandle(name);
  if (conn == 0) throw CommandError("no connection to server " + rtl::UpperCase(name) + " (" + serverError() + ")");
  return conn;
}

int attachCmd(const Args& args) {
  args.atMost(1);
  const std::string server = rtl::UpperCase(args.need(0, "server name"));
  requireClient();
  if (nwserver::attach(server) == 0) throw CommandError("cannot attach to server " + server + " (" + serverError() + ")");
  std::cout << "Attached to server " << server << ".\n";
  return 0;
}

int loginCmd(const Args& args) {
  if (args.flag("tree")) return treeLogin(args);
  args.atMost(2);
  const std::string server = rtl::UpperCase(args.need(0, "server name"));
  const std::string user = rtl::UpperCase(args.need(1, "user name"));
  requireClient();
  const std::string password = readPassword("Enter your password: ");
  if (!nwserver::NWLogin(server, user, password, 0))
    throw CommandError("login of " + user + " to server " + server + " failed (" + serverError() + ")");
  std::cout << "Logged in to server " << server << " as " << user << ".\n";
  return 0;
}

int logoutCmd(const Args& args) {
  if (args.flag("tree")) return treeLogout(args);
  args.atMost(1);
  requireClient();
  NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  std::string server = ostrel::getServerName(conn);
  if (!args.positional().empty()) {
    server = rtl::UpperCase(args.positional()[0]);
    if (!isAttached(server)) throw CommandError("not attached to server " + server);
    conn = nwserver::getServerHandle(server);
  }
  if (conn == 0 || !nwserver::NWLogout(conn))
    throw CommandError("logout from server " + server + " failed (" + serverError() + ")");
  std::cout << "Logged out from server " << server << ".\n";
  return 0;
}

void showInfo(NWCONN_HANDLE conn) {
  nwserver::TNWServerInfo info;
  if (!nwserver::getServerStats(conn, info) && info.serverName.empty())
    throw CommandError("cannot read the server's information (" + serverError() + ")");
  std::printf("Server:               %s\n", info.serverName.c_str());
  std::printf("NetWare version:      %s\n", info.version.c_str());
  std::printf("Connections:          %u in use, %u at most, %u supported\n", info.connectionsInUse,
              info.peakConnections, info.maxConnections);
  std::printf("Volumes mounted:      %u\n", info.volumeCount);
  std::printf("SFT level, TTS level: %u, %u\n", info.sftLevel, info.ttsLevel);
  std::printf("Utilization:          %u%%\n", info.utilization);
  std::printf("Packets serviced:     %u\n", info.packetsServiced);
  FILESYS_STATS fs{};
  if (nwserver::getFileSysStats(conn, fs)) {
    std::printf("Up time:              %s\n",
                nwserver::ticksToTimeString(static_cast<std::int32_t>(fs.systemElapsedTime)).c_str());
    std::printf("Open files:           %u (peak %u)\n", fs.currOpenFiles, fs.maxFilesOpened);
  }
  std::printf("Logins:               %s\n", nwserver::serverLoginOK(conn) ? "enabled" : "disabled");
}

void showNLMs(NWCONN_HANDLE conn) {
  auto list = nwserver::getNLMList(conn);
  if (list->Empty()) throw CommandError("cannot list the loaded modules (" + serverError() + ")");
  std::printf("%-5s %-14s %-10s %-10s %s\n", "No.", "Module", "Version", "Date", "Description");
  for (const auto& item : *list) {
    nwserver::TNWNLMInfo info;
    if (!nwserver::getNLMInfo(conn, static_cast<std::int32_t>(item.object), info)) continue;
    const std::string date = info.date > 0 ? rtl::FormatDateTime("yyyy-mm-dd", info.date) : "-";
    std::printf("%-5ld %-14s %-10s %-10s %s\n", static_cast<long>(item.object), info.fileName.c_str(),
                info.version.c_str(), date.c_str(), info.name.c_str());
  }
}

void check(bool ok, const std::string& what) {
  if (!ok) throw CommandError(what + " failed (" + serverError() + ")");
}

int serverCmd(const Args& args) {
  const std::string action = rtl::UpperCase(args.need(0, "server command"));
  const auto& words = args.positional();
  requireClient();
  const NWCONN_HANDLE conn = targetServer(args);
  const std::string server = ostrel::getServerName(conn);
  if (action == "INFO") {
    args.atMost(1);
    showInfo(conn);
  } else if (action == "NLMS") {
    args.atMost(1);
    showNLMs(conn);
  } else if (action == "CONSOLE") {
    args.atMost(2);
    if (words.size() == 2) {
      if (!ostrel::broadcastToConsole(conn, words[1]))
        throw CommandError("writing to the console of " + server + " failed (" + failure(ostrel::lasterror()) + ")");
      std::cout << "Message sent to the console of " << server << ".\n";
    } else {
      const auto lines = nwsim::consoleMessages(server);
      if (lines.empty()) std::cout << "No console messages on " << server << ".\n";
      for (const auto& line : lines) std::cout << line << "\n";
    }
  } else if (action == "LOAD") {
    args.atMost(2);
    check(nwserver::nlmLoad(conn, args.need(1, "module path")), "loading " + words[1]);
    std::cout << "Module " << rtl::UpperCase(words[1]) << " loaded on " << server << ".\n";
  } else if (action == "UNLOAD") {
    args.atMost(2);
    check(nwserver::nlmUnload(conn, args.need(1, "module name")), "unloading " + words[1]);
    std::cout << "Module " << rtl::UpperCase(words[1]) << " unloaded on " << server << ".\n";
  } else if (action == "MOUNT") {
    args.atMost(2);
    const std::string volume = rtl::UpperCase(args.need(1, "volume name"));
    // Volume 0 and a failure both give 0; the error code tells them apart.
    nwserver::TNWServer().resetLastError();
    const std::uint32_t number = nwserver::mountVolume(conn, volume);
    check(number != 0 || nwserver::lasterror() == 0, "mounting " + volume);
    std::cout << "Volume " << volume << " mounted on " << server << " as volume " << number << ".\n";
  } else if (action == "DISMOUNT") {
    args.atMost(2);
    const std::string volume = rtl::UpperCase(args.need(1, "volume name"));
    check(nwserver::dismountVolume(conn, volume), "dismounting " + volume);
    std::cout << "Volume " << volume << " dismounted on " << server << ".\n";
  } else if (action == "SET") {
    args.atMost(3);
    const std::string name = args.need(1, "parameter name");
    const std::string value = args.need(2, "value");
    std::size_t used = 0;
    long number = 0;
    bool numeric = false;
    try {
      number = std::stol(value, &used, 10);
      numeric = used == value.size();
    } catch (const std::exception&) {
    }
    check(numeric ? nwserver::serverSetIntegerValue(conn, name, static_cast<std::int32_t>(number))
                  : nwserver::serverSetStringValue(conn, name, value),
          "setting " + name);
    std::cout << name << " set to " << (numeric ? value : rtl::UpperCase(value)) << " on " << server << ".\n";
  } else if (action == "TIME") {
    args.atMost(2);
    if (words.size() == 2) {
      int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
      char rest = 0;
      rtl::TDateTime date = 0, time = 0;
      if (std::sscanf(words[1].c_str(), "%d-%d-%d %d:%d:%d%c", &year, &month, &day, &hour, &minute, &second, &rest) !=
              6 ||
          !rtl::TryEncodeDate(year, month, day, date) || !rtl::TryEncodeTime(hour, minute, second, 0, time))
        throw CommandError("'" + words[1] + "' is not a date and time (yyyy-mm-dd hh:mm:ss)");
      const rtl::TDateTime when = date + time;
      check(nwserver::setServerDateTime(conn, when), "setting the clock of " + server);
    }
    const rtl::TDateTime now = ostrel::getServerDate(conn) + ostrel::getServerTime(conn);
    std::cout << "Server " << server << " time: " << rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", now) << "\n";
  } else if (action == "LOGINS") {
    args.atMost(2);
    if (words.size() == 1) {
      std::cout << "Logins on " << server << " are " << (nwserver::serverLoginOK(conn) ? "enabled" : "disabled")
                << ".\n";
      return 0;
    }
    const std::string state = rtl::UpperCase(words[1]);
    if (state != "ON" && state != "OFF") throw CommandError("nw server logins takes on or off");
    check(state == "ON" ? nwserver::enableLogins(conn) : nwserver::disableLogins(conn), "switching logins " + state);
    std::cout << "Logins on " << server << " " << (state == "ON" ? "enabled" : "disabled") << ".\n";
  } else if (action == "DOWN") {
    args.atMost(1);
    check(nwserver::downServer(conn), "bringing down " + server);
    std::cout << "Server " << server << " has been brought down.\n";
  } else {
    throw CommandError("unknown server command '" + words[0] + "' (see --help)");
  }
  return 0;
}

Register attachReg({"attach", "attach to a server",
                    "usage: nw attach SERVER\n\nMakes a connection to the server without logging in.\n", {},
                    attachCmd});
Register loginReg({"login", "log in to a server or a directory tree",
                   "usage: nw login SERVER USER\n       nw login --tree TREE USER\n\n"
                   "Logs in to the server, attaching first when needed; with --tree, logs in to\n"
                   "the directory tree as USER (a name relative to the context, or complete with a\n"
                   "leading \".\"), which becomes the preferred tree. The password is read\n"
                   "from the terminal without echo, or from standard input when that is not a\n"
                   "terminal; it is never taken from the command line.\n",
                   {"tree"}, loginCmd, true});
Register logoutReg({"logout", "log out of a server or a directory tree",
                    "usage: nw logout [SERVER]\n       nw logout --tree\n\n"
                    "Logs out of the server (the primary server when none is named) and\n"
                    "closes the connection; with --tree, logs out of the directory tree.\n",
                    {}, logoutCmd});
Register serverReg({"server", "server information and console commands",
                    "usage: nw server [--server NAME] COMMAND\n\n"
                    "Commands (on the primary server, or the attached server NAME):\n"
                    "  info                 version, connections, volumes, up time\n"
                    "  nlms                 the loaded modules\n"
                    "  console [MESSAGE]    show the console's messages, or send one to it\n"
                    "  load PATH            load a module (console operator)\n"
                    "  unload NAME          unload a module\n"
                    "  mount VOLUME         mount a volume\n"
                    "  dismount VOLUME      dismount a volume\n"
                    "  set NAME VALUE       set a server parameter (a number or a text)\n"
                    "  time [\"yyyy-mm-dd hh:mm:ss\"]\n"
                    "                       show the server's clock, or set it first\n"
                    "  logins [on|off]      show, enable or disable logins\n"
                    "  down                 bring the server down\n",
                    {"server"}, serverCmd});

} // namespace
} // namespace nw
