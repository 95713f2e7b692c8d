// nw user, group, prop and logincontrol: bindery objects, their properties and the login
// restrictions of users.
#include "cli.h"

#include <nwprop/nwprop.h>
#include <ostrel/ostrel.h>
#include <rtl/datetime.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>

namespace nw {
namespace {

constexpr std::uint16_t kUser = 0x0100;
constexpr std::uint16_t kGroup = 0x0200;
// New objects: readable by anyone logged in, written by supervisors.
constexpr std::uint8_t kReadLogged = 0x01;
constexpr std::uint8_t kWriteSupervisor = 0x30;

std::string propError() { return failure(nwprop::lasterror()); }

void check(bool ok, const std::string& what) {
  if (!ok) throw CommandError(what + " (" + propError() + ")");
}

/// Object creation records no code of its own: say what usually stands in the way.
void checkCreated(bool ok, const std::string& what) {
  if (!ok && nwprop::lasterror() == 0)
    throw CommandError(what + ": the name is taken, or creating objects needs a supervisor or manager");
  check(ok, what);
}

/// The object's type: --type when given, else looked up by name.
std::uint16_t objectType(const Args& args, const std::string& name) {
  if (!args.option("type").empty()) return parseType(args.option("type"));
  const std::uint16_t type = ostrel::getObjType(0, name);
  if (type == 0) throw CommandError("no object " + rtl::UpperCase(name));
  return type;
}

std::string dateText(rtl::TDateTime t) { return t > 0 ? rtl::FormatDateTime("yyyy-mm-dd", t) : "none"; }

rtl::TDateTime parseDate(const std::string& text) {
  if (text == "none") return 0;
  int y = 0, m = 0, d = 0;
  rtl::TDateTime t = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d", &y, &m, &d) != 3 || !rtl::TryEncodeDate(y, m, d, t))
    throw CommandError("a date is yyyy-mm-dd or none, not '" + text + "'");
  return t;
}

int number(const std::string& text, int low, int high, const std::string& what) {
  const int n = rtl::StrToIntDef(text, low - 1);
  if (n < low || n > high) throw CommandError(what + " must be " + std::to_string(low) + " to " + std::to_string(high));
  return n;
}

void printList(const rtl::TStringList& list, const std::string& indent = "  ") {
  for (const auto& item : list) std::cout << indent << item.text << "\n";
}

int user(const Args& args) {
  const std::string& action = args.need(0, "an action (add, del, rename, passwd, info)");
  requireClient();
  if (action == "add") {
    args.atMost(2);
    const std::string& name = args.need(1, "a user name");
    const std::string password = readPassword("Password for " + rtl::UpperCase(name) + ": ");
    checkCreated(nwprop::createObject(0, rtl::UpperCase(name), kUser, args.option("fullname"), password, true, kReadLogged,
                               kWriteSupervisor),
          "cannot create user " + rtl::UpperCase(name));
    std::cout << "User " << rtl::UpperCase(name) << " created.\n";
  } else if (action == "del") {
    args.atMost(2);
    const std::string& name = args.need(1, "a user name");
    check(nwprop::deleteObject(0, name), "cannot delete " + rtl::UpperCase(name));
    std::cout << "User " << rtl::UpperCase(name) << " deleted.\n";
  } else if (action == "rename") {
    args.atMost(3);
    check(nwprop::renameObject(0, args.need(1, "the old name"), args.need(2, "the new name"), kUser),
          "cannot rename " + rtl::UpperCase(args.need(1, "")));
    std::cout << "User " << rtl::UpperCase(args.need(1, "")) << " is now " << rtl::UpperCase(args.need(2, "")) << ".\n";
  } else if (action == "passwd") {
    args.atMost(2);
    const std::string& name = args.need(1, "a user name");
    const std::string oldPassword = readPassword("Old password for " + rtl::UpperCase(name) + ": ");
    const std::string newPassword = readPassword("New password: ");
    check(nwprop::changeNWPassword(0, name, newPassword, oldPassword), "password not changed");
    std::cout << "Password changed.\n";
  } else if (action == "info") {
    args.atMost(2);
    const std::string name = rtl::UpperCase(args.need(1, "a user name"));
    if (ostrel::getObjType(0, name) != kUser) throw CommandError("no user " + name);
    std::cout << "User:       " << name << "\n";
    std::cout << "Full name:  " << nwprop::readItemProperty(0, name, kUser, "IDENTIFICATION") << "\n";
    std::cout << "Groups:\n";
    printList(*nwprop::readObjNamesFromSet(0, name, kUser, "GROUPS_I'M_IN"));
    std::cout << "Security equals:\n";
    printList(*nwprop::readObjNamesFromSet(0, name, kUser, "SECURITY_EQUALS"));
    nwprop::TNWAccountStatus account;
    if (nwprop::getAccountStatus(0, name, kUser, account))
      std::cout << "Balance:    " << account.balance << " (credit limit " << account.limit << ")\n";
  } else {
    throw CommandError("unknown action '" + action + "' (see --help)");
  }
  return 0;
}

int group(const Args& args) {
  const std::string& action = args.need(0, "an action (add, del, addmember, delmember)");
  requireClient();
  const std::string name = rtl::UpperCase(args.need(1, "a group name"));
  if (action == "add") {
    args.atMost(2);
    checkCreated(nwprop::createObject(0, name, kGroup, args.option("fullname"), "", true, kReadLogged, kWriteSupervisor),
          "cannot create group " + name);
    std::cout << "Group " << name << " created.\n";
  } else if (action == "del") {
    args.atMost(2);
    check(nwprop::deleteObject(0, name), "cannot delete " + name);
    std::cout << "Group " << name << " deleted.\n";
  } else if (action == "addmember" || action == "delmember") {
    args.atMost(3);
    const std::string member = rtl::UpperCase(args.need(2, "a user name"));
    const bool add = action == "addmember";
    check(add ? nwprop::addUserToGroup(0, name, member) : nwprop::deleteUserFromGroup(0, name, member),
          std::string(add ? "cannot add " : "cannot remove ") + member);
    std::cout << member << (add ? " added to " : " removed from ") << name << ".\n";
  } else {
    throw CommandError("unknown action '" + action + "' (see --help)");
  }
  return 0;
}

int prop(const Args& args) {
  const std::string& action = args.need(0, "an action (list, read, write)");
  requireClient();
  const std::string object = rtl::UpperCase(args.need(1, "an object name"));
  if (action == "list") {
    args.atMost(2);
    objectType(args, object);
    bool hasProperties = false;
    std::uint8_t read = 0, write = 0;
    if (nwprop::getObjectInfo(0, object, hasProperties, read, write))
      std::cout << object << ": read security " << int(read) << ", write security " << int(write >> 4) << "\n";
    printList(*nwprop::getPropertyList(0, object, args.option("pattern", "*")));
  } else if (action == "read") {
    args.atMost(3);
    const std::string property = rtl::UpperCase(args.need(2, "a property name"));
    const std::uint16_t type = objectType(args, object);
    auto value = args.flag("set") ? nwprop::readObjNamesFromSet(0, object, type, property)
                                  : nwprop::readSetProperty(0, object, type, property);
    if (value->Empty() && nwprop::lasterror() != 0) throw CommandError("cannot read " + property + " (" + propError() + ")");
    if (args.flag("set")) printList(*value, "");
    else if (!value->Empty()) std::cout << value->Strings(0) << "\n";
  } else if (action == "write") {
    args.atMost(4);
    const std::string property = rtl::UpperCase(args.need(2, "a property name"));
    const std::string& value = args.need(3, "a value");
    const std::uint16_t type = objectType(args, object);
    if (args.flag("create"))
      check(nwprop::createProperty(0, object, type, property, 0, true, kReadLogged, kWriteSupervisor),
            "cannot create " + property);
    check(nwprop::writeItemProperty(0, object, type, value, property), "cannot write " + property);
    std::cout << property << " of " << object << " written.\n";
  } else {
    throw CommandError("unknown action '" + action + "' (see --help)");
  }
  return 0;
}

int loginControl(const Args& args) {
  args.atMost(1);
  const std::string name = rtl::UpperCase(args.need(0, "a user name"));
  requireClient();
  nwprop::TNWLoginControl c;
  const bool exists = nwprop::getLoginControl(0, name, kUser, c);
  bool changed = false;
  auto set = [&](const char* option, auto apply) {
    if (args.option(option).empty()) return;
    apply(args.option(option));
    changed = true;
  };
  set("expires", [&](const std::string& v) { c.accountExpires = parseDate(v); });
  set("password-expires", [&](const std::string& v) { c.passwordExpires = parseDate(v); });
  set("max-connections", [&](const std::string& v) { c.maxConnections = static_cast<std::uint16_t>(number(v, 0, 65535, "--max-connections")); });
  set("min-password", [&](const std::string& v) { c.minPasswordLength = static_cast<std::uint8_t>(number(v, 0, 255, "--min-password")); });
  set("grace", [&](const std::string& v) { c.graceLogins = c.graceReset = static_cast<std::uint8_t>(number(v, 0, 255, "--grace")); });
  set("password-interval", [&](const std::string& v) { c.passwordInterval = static_cast<std::uint16_t>(number(v, 0, 65535, "--password-interval")); });
  if (args.flag("disable") || args.flag("enable")) {
    c.accountDisabled = args.flag("disable");
    changed = true;
  }
  if (changed) {
    // A user made by other tools may have no restrictions yet: they are created with the
    // security administration tools give them.
    if (!exists && !nwprop::createProperty(0, name, kUser, "LOGIN_CONTROL", 0, true, 0x02, kWriteSupervisor) &&
        nwprop::lasterror() != NWE_PROPERTY_ALREADY_EXISTS)
      throw CommandError("cannot create the login restrictions of " + name + " (" + propError() + ")");
    check(nwprop::setLoginControl(0, name, kUser, c), "cannot write the login restrictions of " + name);
  } else if (!exists) {
    throw CommandError("cannot read the login restrictions of " + name + " (" + propError() + ")");
  }
  std::cout << "Login restrictions of " << name << ":\n"
            << "  Account expires:     " << dateText(c.accountExpires) << "\n"
            << "  Account disabled:    " << (c.accountDisabled ? "yes" : "no") << "\n"
            << "  Password expires:    " << dateText(c.passwordExpires) << "\n"
            << "  Password interval:   " << c.passwordInterval << " days\n"
            << "  Minimum length:      " << int(c.minPasswordLength) << "\n"
            << "  Grace logins:        " << int(c.graceLogins) << " of " << int(c.graceReset) << "\n"
            << "  Max. connections:    " << c.maxConnections << "\n"
            << "  Failed logins:       " << c.badLoginCount << "\n";
  return 0;
}

const Register userCommand{{"user", "add, delete, rename users, change passwords, show a user",
                            "usage: nw user add NAME [--fullname TEXT]\n"
                            "       nw user del NAME\n"
                            "       nw user rename OLD NEW\n"
                            "       nw user passwd NAME\n"
                            "       nw user info NAME\n\n"
                            "Passwords are read from the terminal without echo, or from standard input\n"
                            "(passwd reads the old password, then the new one); never from the command line.\n",
                            {"fullname"},
                            user, true}};
const Register groupCommand{{"group", "add and delete groups and their members",
                             "usage: nw group add NAME [--fullname TEXT]\n"
                             "       nw group del NAME\n"
                             "       nw group addmember GROUP USER\n"
                             "       nw group delmember GROUP USER\n",
                             {"fullname"},
                             group}};
const Register propCommand{{"prop", "list, read and write the properties of a bindery object",
                            "usage: nw prop list OBJECT [--pattern P] [--type T]\n"
                            "       nw prop read OBJECT PROPERTY [--set] [--type T]\n"
                            "       nw prop write OBJECT PROPERTY VALUE [--create] [--type T]\n\n"
                            "read shows an item value, or with --set the names of a set's members.\n"
                            "write --create makes the item property first. The type is looked up by name\n"
                            "unless --type (user, group, queue, printserver, 0x0100, ...) gives it.\n",
                            {"pattern", "type"},
                            prop}};
const Register loginControlCommand{
    {"logincontrol", "show or change the login restrictions of a user",
     "usage: nw logincontrol USER [--expires DATE|none] [--password-expires DATE|none]\n"
     "         [--disable | --enable] [--max-connections N] [--min-password N] [--grace N]\n"
     "         [--password-interval DAYS]\n\n"
     "Dates are yyyy-mm-dd. Without options the restrictions are shown; the stored login\n"
     "time map is kept by every change.\n",
     {"expires", "password-expires", "max-connections", "min-password", "grace", "password-interval"},
     loginControl}};

} // namespace
} // namespace nw
