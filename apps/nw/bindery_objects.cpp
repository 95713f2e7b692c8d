// nw slist, nlist, fullname, members: the bindery's servers, objects, names and groups.
#include "cli.h"

#include <nwnds/nwnds.h>
#include <ostrel/ostrel.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>
#include <map>

namespace nw {
namespace {

std::string typeName(std::uint16_t type) {
  for (const auto& [name, value] : typeNames())
    if (value == type && name != "PRINTQUEUE" && name != "FILESERVER") return name;
  return "0x" + rtl::IntToHex(type, 4);
}

/// The displayed form of a client-form ID.
std::string displayID(std::intptr_t clientID) {
  const auto id = static_cast<std::uint32_t>(clientID);
  const std::uint32_t swapped = (id >> 24) | ((id >> 8) & 0xFF00) | ((id << 8) & 0xFF0000) | (id << 24);
  return rtl::IntToHex(swapped, 8);
}

int slist(const Args& args) {
  args.atMost(0);
  requireClient();
  const NWCONN_HANDLE primary = ostrel::getPrimaryServerID();
  const std::string defaultServer = ostrel::getServerName(primary);
  auto attached = ostrel::getConnectedServerList();
  auto known = ostrel::getBinderyList(primary, 0x0400);
  // Servers the workstation is attached to are known even when the bindery does not list them.
  for (const auto& item : *attached)
    if (!item.text.empty() && known->IndexOf(item.text) < 0) known->Add(item.text);
  std::printf("%-48s %s\n", "Known NetWare File Servers", "Status");
  std::printf("%-48s %s\n", "--------------------------", "------");
  for (const auto& item : *known) {
    const char* status = item.text == defaultServer ? "Default" : attached->IndexOf(item.text) >= 0 ? "Attached" : "";
    std::printf("%-48s %s\n", item.text.c_str(), status);
  }
  std::printf("\nTotal of %d file servers found\n", known->Count());
  return 0;
}

int nlist(const Args& args) {
  args.atMost(1);
  const std::string& kind = args.need(0, "object type");
  // Directory options, or a directory class that is no bindery type, list the directory.
  if (args.flag("context") || args.flag("search") || args.flag("filter") ||
      (!typeNames().count(rtl::UpperCase(kind)) && isDirectoryClass(kind)))
    return directoryNlist(args);
  const std::uint16_t type = parseType(kind);
  requireClient();
  auto list = ostrel::getBinderyList(0, type);
  std::printf("%-48s %-14s %s\n", "Object Name", "Type", "Object ID");
  std::printf("%-48s %-14s %s\n", "-----------", "----", "---------");
  for (const auto& item : *list)
    std::printf("%-48s %-14s %s\n", item.text.c_str(), typeName(type).c_str(), displayID(item.object).c_str());
  std::printf("\nA total of %d %s object%s was found on server %s.\n", list->Count(), typeName(type).c_str(),
              list->Count() == 1 ? "" : "s", ostrel::getServerName(0).c_str());
  return 0;
}

int fullname(const Args& args) {
  args.atMost(1);
  const std::string name = args.need(0, "object name");
  requireClient();
  // A name that is no object has no full name either, not even its own.
  if (ostrel::getObjType(0, name) == 0)
    throw CommandError("no object " + rtl::UpperCase(name) + " on server " + ostrel::getServerName(0));
  std::cout << ostrel::fullName(0, name) << "\n";
  return 0;
}

bool isDirectoryName(const std::string& name) {
  return name.find('=') != std::string::npos || name.find('.') != std::string::npos;
}

int members(const Args& args) {
  args.atMost(1);
  const std::string group = args.need(0, "group name");
  requireClient();
  std::unique_ptr<rtl::TStringList> list;
  if (isDirectoryName(group)) {
    nwnds::TNWNDS directory;
    directory.resetLastError();
    list = nwnds::ndsGetGroupMembers("", group);
    if (list->Empty() && nwnds::lasterror() != 0)
      throw CommandError("cannot read the members of " + group + " (" + failure(nwnds::lasterror()) + ")");
  } else {
    NWCONN_HANDLE conn = 0;
    if (ostrel::getObjNumber(conn, group, 0x0200) == 0)
      throw CommandError("group " + rtl::UpperCase(group) + " not found on server " + ostrel::getServerName(0) +
                         " (" + failure(ostrel::lasterror()) + ")");
    list = ostrel::getMemberList(0, group, true);
  }
  for (const auto& item : *list) std::cout << item.text << "\n";
  return 0;
}

Register slistCmd({"slist", "the file servers this workstation knows",
                   "usage: nw slist\n\nLists the file servers known to the primary server's bindery and the servers\n"
                   "this workstation is attached to; the primary server is marked Default.\n",
                   {}, slist});
Register nlistCmd({"nlist", "bindery objects of a type, or directory objects of a class",
                   "usage: nw nlist TYPE\n       nw nlist CLASS [--context C] [--search] [--filter F]\n\n"
                   "Lists the bindery objects of one type on the primary server, with their\n"
                   "object IDs. TYPE is user, group, queue, server, jobserver, gateway, printserver,\n"
                   "archivequeue, archiveserver, jobqueue, administration, or a number such as 0x0100\n"
                   "(in the client's byte order).\n\n"
                   "The directory is listed instead when --context, --search or --filter is given,\n"
                   "or when CLASS is a directory class that is no bindery type (\"Organizational\n"
                   "Unit\", organization, printer, alias, ...; \"*\" for every class). Without\n"
                   "--search, the objects of that class directly in the context (C, else the\n"
                   "context CX set); with --search, every one in the context's subtree. --filter F\n"
                   "searches the subtree for objects of the class that also match F:\n"
                   "  relations   attribute=value  (\"*\" matches any run of characters)\n"
                   "              attribute        (the object has a value of it)\n"
                   "  combined    A&B  A|B  !A  (A)   (& binds before |)\n"
                   "for example --filter \"Surname=Sm*&!Telephone Number\". Case is ignored.\n",
                   {"context", "filter"}, nlist});
Register fullnameCmd({"fullname", "the full name of a user or other object",
                      "usage: nw fullname NAME\n\nShows the object's full name; the name itself in upper case when it has none.\n",
                      {}, fullname});
Register membersCmd({"members", "the members of a group",
                     "usage: nw members GROUP\n\nLists the members of a bindery group of the primary server. A directory name\n"
                     "(one containing \"=\" or \".\", such as SALES.ACME) lists the directory group's members.\n",
                     {}, members});

} // namespace
} // namespace nw
