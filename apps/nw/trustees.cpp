// nw grant, revoke, rights (of paths) and tlist: trustees and rights on volumes.
#include "file_rights.h"

#include <nwprop/nwprop.h>
#include <ostrel/ostrel.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>

namespace nw {

namespace {

std::string propError() { return failure(nwprop::lasterror()); }

/// Rights from letters of SRWOCEMFA, or "ALL".
nwprop::TNWRights parseRights(const std::string& text) {
  nwprop::TNWRights r;
  const std::string upper = rtl::UpperCase(text);
  if (upper == "ALL") return parseRights("SRWOCEMFA");
  for (char c : upper) {
    switch (c) {
      case 'S': r.supervisor = true; break;
      case 'R': r.read = true; break;
      case 'W': r.write = true; break;
      case 'O': r.open = true; break;
      case 'C': r.create = true; break;
      case 'E': r.erase = true; break;
      case 'M': r.modify = true; break;
      case 'F': r.fileScan = true; break;
      case 'A': r.accessControl = true; break;
      default: throw CommandError("'" + text + "' is not a set of rights (letters of SRWOCEMFA, or ALL)");
    }
  }
  return r;
}

/// "[RWOCEMFA]" with "-" for each right not held.
std::string rightsField(const nwprop::TNWRights& r) {
  const bool held[] = {r.read, r.write, r.open, r.create, r.erase, r.modify, r.fileScan, r.accessControl};
  std::string f = "[";
  for (std::size_t i = 0; i < 8; ++i) f += held[i] ? "RWOCEMFA"[i] : '-';
  return f + "]";
}

int grant(const Args& args) {
  args.atMost(3);
  const nwprop::TNWRights rights = parseRights(args.need(0, "rights"));
  const std::string& path = args.need(1, "path");
  const std::string object = rtl::UpperCase(args.need(2, "user or group"));
  requireClient();
  ostrel::TNWPathInfo info;
  if (!ostrel::parseNetwarePath(0, path, info)) throw CommandError("'" + path + "' is not a NetWare path");
  if (!nwprop::modifyTrusteeRights(info.connHandle, object, info.volName, info.path, rights))
    throw CommandError("cannot make " + object + " a trustee of " + path + " (" + propError() + ")");
  std::cout << object << " is a trustee of " << info.serverName << "/" << info.fullPath << " with "
            << rightsField(rights) << ".\n";
  return 0;
}

int revoke(const Args& args) {
  args.atMost(2);
  const std::string& path = args.need(0, "path");
  const std::string object = rtl::UpperCase(args.need(1, "user or group"));
  requireClient();
  if (!nwprop::deleteTrusteeRight(0, object, "", path))
    throw CommandError("cannot remove " + object + " as a trustee of " + path + " (" + propError() + ")");
  std::cout << object << " is no longer a trustee of " << rtl::UpperCase(path) << ".\n";
  return 0;
}

int tlist(const Args& args) {
  args.atMost(1);
  const std::string& path = args.need(0, "path");
  requireClient();
  ostrel::TNWPathInfo info;
  if (!ostrel::parseNetwarePath(0, path, info)) throw CommandError("'" + path + "' is not a NetWare path");
  const std::string target = info.serverName + "/" + info.fullPath + "    [";
  std::cout << "Trustees of " << info.serverName << "/" << info.fullPath << ":\n";
  int found = 0;
  for (std::uint16_t type : {std::uint16_t{0x0200}, std::uint16_t{0x0100}}) {
    const auto objects = ostrel::getBinderyList(info.connHandle, type);
    for (const auto& object : *objects) {
      const auto lines = nwprop::getTrusteeList(info.connHandle, object.text);
      for (const auto& line : *lines) {
        if (line.text.compare(0, target.size(), target) != 0) continue;
        std::printf("  %-48s %s %s\n", object.text.c_str(), type == 0x0200 ? "(group)" : "(user) ",
                    line.text.substr(target.size() - 1).c_str());
        ++found;
      }
    }
  }
  if (!found) std::cout << "  No trustees.\n";
  return 0;
}

} // namespace

bool isVolumePath(const std::string& name) { return name.find(':') != std::string::npos; }

int fileRights(const Args& args) {
  args.atMost(2);
  const std::string& path = args.need(0, "path");
  requireClient();
  nwprop::TNWRights rights;
  if (args.positional().size() < 2) {
    if (!nwprop::getEffectiveRights(0, path, rights))
      throw CommandError("cannot read your effective rights to " + path);
    std::cout << "Your effective rights to " << rtl::UpperCase(path) << " are " << rightsField(rights) << ".\n";
    return 0;
  }
  // Another object's rights are those of its own assignment at the path or nearest above it.
  const std::string object = rtl::UpperCase(args.positional()[1]);
  if (!nwprop::getObjectDirRights(0, object, path, rights)) {
    std::cout << object << " holds no trustee assignment at " << rtl::UpperCase(path) << " or above it.\n";
    return 0;
  }
  std::cout << "Trustee rights of " << object << " to " << rtl::UpperCase(path) << " are " << rightsField(rights)
            << ".\n";
  return 0;
}

namespace {

Register grantCmd({"grant", "make a user or group a trustee of a directory or file",
                   "usage: nw grant RIGHTS PATH USER\n\n"
                   "Makes USER (a user or group) a trustee of PATH with RIGHTS, letters of\n"
                   "SRWOCEMFA (supervisor, read, write, open, create, erase, modify, file scan,\n"
                   "access control) or ALL; an existing assignment gets the new rights. Needs\n"
                   "the supervisor or access control at PATH.\n",
                   {}, grant});
Register revokeCmd({"revoke", "remove a trustee from a directory or file",
                    "usage: nw revoke PATH USER\n\nRemoves the trustee assignment of USER at PATH.\n", {}, revoke});
Register tlistCmd({"tlist", "the trustees of a directory or file",
                   "usage: nw tlist PATH\n\nLists the groups and users with a trustee assignment at PATH and their\n"
                   "rights.\n",
                   {}, tlist});

} // namespace
} // namespace nw
