// nw send, caston, castoff, messages, prefer and userlist: messages between stations, the
// preferred server and who is logged in.
#include "cli.h"

#include <ostrel/ostrel.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>

namespace nw {
namespace {

std::string unitError() { return failure(ostrel::lasterror()); }

int send(const Args& args) {
  const std::string& message = args.need(0, "message");
  const std::string station = args.option("station");
  args.atMost(station.empty() ? 2 : 1);
  requireClient();
  // As SEND does, the message says who sent it.
  const std::string text = "From " + ostrel::whoAmI(0) + "[" + std::to_string(ostrel::getConnectID(0)) + "]: " + message;
  if (!station.empty()) {
    std::size_t used = 0;
    unsigned long number = 0;
    try {
      number = std::stoul(station, &used);
    } catch (const std::exception&) {
    }
    if (used != station.size() || number == 0 || number > 0xFFFF)
      throw CommandError("'" + station + "' is not a station number");
    if (!ostrel::broadcastToConn(0, static_cast<std::uint16_t>(number), text))
      throw CommandError("the message was not sent to station " + station + " (it is not in use, does not take "
                         "messages, or its mailbox is full)");
    std::cout << "Message sent to station " << station << ".\n";
    return 0;
  }
  const std::string user = rtl::UpperCase(args.need(1, "user name or --station N"));
  if (!ostrel::sendLineMessage(0, user, text))
    throw CommandError("the message was not sent to " + user + " (not logged in, or no station takes messages)");
  std::cout << "Message sent to " << user << ".\n";
  return 0;
}

int cast(const Args& args, bool on) {
  args.atMost(0);
  requireClient();
  if (!(on ? ostrel::castOn(0) : ostrel::castOff(0)))
    throw CommandError("cannot switch broadcasts " + std::string(on ? "on" : "off") + " (" + unitError() + ")");
  std::cout << (on ? "Broadcast messages will be received.\n" : "Broadcast messages will be refused.\n");
  return 0;
}

int messages(const Args& args) {
  args.atMost(0);
  requireClient();
  int shown = 0;
  for (std::string m = ostrel::getBroadcastMessage(0); !m.empty(); m = ostrel::getBroadcastMessage(0)) {
    std::cout << m << "\n";
    ++shown;
  }
  if (!shown) std::cout << "No messages.\n";
  return 0;
}

int prefer(const Args& args) {
  args.atMost(1);
  const std::string server = rtl::UpperCase(args.need(0, "server name"));
  requireClient();
  NWCONN_HANDLE handle = 0;
  if (!ostrel::setPreferredServer(server, handle))
    throw CommandError("cannot make " + server + " the preferred server (" + unitError() + ")");
  if (handle)
    std::cout << "Your preferred server is now " << server << ", connection " << ostrel::getConnectID(handle) << ".\n";
  else
    std::cout << "Your preferred server is now " << server << " (not attached).\n";
  return 0;
}

int userlist(const Args& args) {
  args.atMost(0);
  requireClient();
  const std::uint16_t own = ostrel::getConnectID(0);
  const auto list = ostrel::getUserList(0, args.flag("all"));
  std::cout << "User information for server " << ostrel::getServerName(0) << "\n";
  std::printf("%-12s %s\n", "Connection", "User Name");
  std::printf("%-12s %s\n", "----------", "---------");
  for (const auto& item : *list) {
    const std::string number = (item.object == own ? "*" : " ") + std::to_string(item.object);
    std::printf("%-12s %s\n", number.c_str(), item.text.c_str());
  }
  return 0;
}

Register sendCmd({"send", "send a one-line message to a user or a station",
                  "usage: nw send MESSAGE USER\n       nw send MESSAGE --station N\n\n"
                  "Sends MESSAGE (at most 127 characters with the sender's name) to every station\n"
                  "USER is logged in on, or to station N of the primary server.\n",
                  {"station"}, send});
Register castonCmd({"caston", "receive broadcast messages",
                    "usage: nw caston\n\nThis workstation's stations take messages again.\n", {},
                    [](const Args& a) { return cast(a, true); }});
Register castoffCmd({"castoff", "refuse broadcast messages",
                     "usage: nw castoff\n\nThis workstation's stations refuse messages from other stations.\n", {},
                     [](const Args& a) { return cast(a, false); }});
Register messagesCmd({"messages", "read the broadcast messages stored for this station",
                      "usage: nw messages\n\nShows and removes the messages waiting on the primary connection's "
                      "station,\noldest first.\n",
                      {}, messages});
Register preferCmd({"prefer", "make a server the preferred (primary) server",
                    "usage: nw prefer SERVER\n\nMakes SERVER this workstation's preferred server; its connection "
                    "becomes the\nprimary connection of later commands.\n",
                    {}, prefer});
Register userlistCmd({"userlist", "the users logged in on the primary server",
                      "usage: nw userlist [--all]\n\nLists the stations of the primary server with the user logged "
                      "in on each;\n--all also lists stations nobody is logged in on. * marks your own.\n",
                      {}, userlist});

} // namespace
} // namespace nw
