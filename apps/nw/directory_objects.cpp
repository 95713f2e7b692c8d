// nw nlist (directory), create, remove, move, login --tree, logout --tree, passwd, trees:
// directory objects as wholes, the directory login and the trees of the network.
#include "cli.h"
#include "directory_client.h"

#include <nwnds/nwnds.h>
#include <nwsim/completion_codes.h>
#include <rtl/sysutils.h>

#include <cstdio>
#include <iostream>

namespace nw {

namespace {

// A name without its "CN=" (or other) type, for the naming value written with it.
std::string namingValue(const std::string& name) {
  const auto eq = name.find('=');
  return eq == std::string::npos ? name : name.substr(eq + 1);
}

// Why a directory login or password change failed, in words a user acts on.
std::string loginFailure() {
  // The object a login names is a user: "no such entry" is no such user.
  if (nwnds::lasterror() == NWDSE_NO_SUCH_ENTRY) return "no such user, code " + nwsim::codeNumber(NWDSE_NO_SUCH_ENTRY);
  return dsError();
}

void printNames(const std::string& cls, const std::vector<std::string>& names, bool subtree) {
  std::printf("Object Class: %s\nCurrent context: %s\n\n", cls.c_str(), nwnds::ndsGetContextName().c_str());
  for (const auto& n : names) std::printf("  %s\n", n.c_str());
  std::printf("\nA total of %zu %s object%s was found in this %s.\n", names.size(), cls.c_str(),
              names.size() == 1 ? "" : "s", subtree ? "context and below" : "context");
}

int create(const Args& args) {
  args.atMost(2);
  const std::string& cls = args.need(0, "class");
  const std::string& name = args.need(1, "object name");
  nwnds::TNWDSObjectInfo info;
  info.ObjType = nwnds::classNameToObjType(cls);
  // Only the kinds that are their own class; the others would be made as users.
  if (nwnds::objTypeCreateClass(info.ObjType).empty() || info.ObjType == nwnds::dsoServer ||
      info.ObjType > nwnds::dsoVolume)
    throw CommandError("objects of class '" + cls + "' cannot be created (see --help)");
  info.ObjName = name;
  const std::string value = namingValue(name);
  info.CommonName = value;
  info.Organization = value;
  info.OrganizationalUnit = value;
  info.Surname = args.option("surname");
  info.GivenName = args.option("given");
  info.FullName = args.option("fullname");
  info.QueueDirectory = args.option("queue-dir");
  info.AliasedObjName = args.option("alias-of");
  if (info.ObjType == nwnds::dsoUser && info.Surname.empty()) throw CommandError("a user needs --surname");
  Directory dir;
  info.Context = contextOption(args);
  if (info.ObjType == nwnds::dsoUser && args.flag("password")) info.Password = readPassword("Password for the new user: ");
  if (!nwnds::ndsCreateObject(info)) throw CommandError("cannot create " + name + " (" + dsError() + ")");
  std::cout << "Created " << nwnds::objTypeCreateClass(info.ObjType) << " " << info.ObjName << " in "
            << nwnds::ndsGetContextName() << ".\n";
  return 0;
}

int remove(const Args& args) {
  args.atMost(1);
  const std::string& name = args.need(0, "object name");
  Directory dir;
  if (!nwnds::ndsRemoveObject(contextOption(args), name))
    throw CommandError("cannot remove " + name + " (" +
                       (nwnds::lasterror() == NWDSE_ENTRY_IS_NOT_LEAF ? "it holds objects" : dsError()) + ")");
  std::cout << "Removed " << name << ".\n";
  return 0;
}

int move(const Args& args) {
  args.atMost(2);
  const std::string& name = args.need(0, "object name");
  const std::string& parent = args.need(1, "new container");
  Directory dir;
  if (!nwnds::ndsMoveObject(contextOption(args), name, parent))
    throw CommandError("cannot move " + name + " to " + parent + " (" + dsError() + ")");
  std::cout << "Moved " << name << " to " << parent << ".\n";
  return 0;
}

int passwd(const Args& args) {
  args.atMost(1);
  Directory dir;
  const std::string context = contextOption(args);
  std::string object = args.positional().empty() ? std::string() : args.positional()[0];
  if (object.empty()) {
    const std::string me = nwnds::ndsWhoAmI();
    if (me.empty()) throw CommandError("not logged in to a directory tree (use nw login --tree)");
    object = "." + me;  // complete, whatever the context
  }
  const std::string old = readPassword("Old password: ");
  const std::string fresh = readPassword("New password: ");
  if (readPassword("Retype new password: ") != fresh) throw CommandError("the new passwords differ; nothing changed");
  if (!nwnds::ndsChangePassword(context, object, fresh, old))
    throw CommandError("password of " + object + " not changed (" + loginFailure() + ")");
  std::cout << "The password of " << object << " has been changed.\n";
  return 0;
}

int trees(const Args& args) {
  args.atMost(0);
  Directory dir;
  auto list = nwnds::ndsGetTreeList();
  for (const auto& item : *list) std::cout << item.text << "\n";
  std::cout << "\nA total of " << list->Count() << " tree" << (list->Count() == 1 ? "" : "s") << " was found.\n";
  return 0;
}

Register createCmd({"create", "create a directory object",
                    "usage: nw create CLASS NAME [--context C] [--surname S] [--given G] [--fullname F]\n"
                    "                 [--queue-dir PATH] [--alias-of OBJECT] [--password]\n\n"
                    "Creates a directory object of CLASS (user, group, \"Organizational Unit\",\n"
                    "organization, \"Organizational Role\", printer, \"Print Server\", queue, alias,\n"
                    "\"AFP Server\") named NAME in context C (else the context CX set). A user needs\n"
                    "--surname; with --password its first password is read from the terminal\n"
                    "without echo (or one line of standard input), else it has none.\n",
                    {"context", "surname", "given", "fullname", "queue-dir", "alias-of"}, create, true});
Register removeCmd({"remove", "remove a directory object",
                    "usage: nw remove NAME [--context C]\n\n"
                    "Removes a leaf object, or a container that holds no objects.\n",
                    {"context"}, remove});
Register moveCmd({"move", "move a directory object to another container",
                  "usage: nw move NAME CONTAINER [--context C]\n\n"
                  "Moves the object below CONTAINER; it keeps its own name.\n",
                  {"context"}, move});
Register passwdCmd({"passwd", "change a directory password",
                    "usage: nw passwd [OBJECT] [--context C]\n\n"
                    "Changes the password of OBJECT (else of the directory login). The old password\n"
                    "and the new one twice are read from the terminal without echo, or as three\n"
                    "lines of standard input. An empty old password sets a first password, which\n"
                    "needs rights to the object.\n",
                    {"context"}, passwd, true});
Register treesCmd({"trees", "the directory trees on the network",
                   "usage: nw trees\n\nLists the trees the network's directory servers advertise, each once.\n", {},
                   trees});

} // namespace

bool isDirectoryClass(const std::string& word) {
  return word == "*" || nwnds::classNameToObjType(word) != nwnds::dsoUnknown;
}

int directoryNlist(const Args& args) {
  args.atMost(1);
  const std::string& cls = args.need(0, "class");
  const bool every = cls == "*";
  const nwnds::TNWDSObjType kind = nwnds::classNameToObjType(cls);
  if (!every && kind == nwnds::dsoUnknown) throw CommandError("unknown directory class '" + cls + "'");
  Directory dir;
  const std::string context = contextOption(args);
  dir.resetLastError();
  const bool subtree = args.flag("search") || args.flag("filter");
  std::vector<std::string> names;
  if (subtree) {
    std::string filter = every ? "Object Class" : "Object Class=" + cls;
    if (args.flag("filter")) {
      if (!nwnds::isSearchFilter(args.option("filter")))
        throw UsageError("malformed filter '" + args.option("filter") + "' (see nw nlist --help)");
      filter += "&(" + args.option("filter") + ")";
    }
    auto found = nwnds::ndsSearchFilter(context, filter);
    if (found->Empty() && nwnds::lasterror() != 0) throw CommandError("search failed (" + dsError() + ")");
    for (const auto& item : *found) names.push_back(item.text);
  } else {
    auto list = nwnds::ndsList(context, "");
    if (list->Empty() && nwnds::lasterror() != 0) throw CommandError("cannot list the context (" + dsError() + ")");
    for (const auto& item : *list)
      if (every || item.object == kind) names.push_back(item.text);
  }
  printNames(every ? "*" : cls, names, subtree);
  return 0;
}

int treeLogin(const Args& args) {
  args.atMost(1);
  const std::string tree = rtl::UpperCase(args.option("tree"));
  const std::string& user = args.need(0, "user name");
  if (tree.empty()) throw CommandError("--tree needs a tree name");
  Directory dir;
  if (nwnds::ndsGetTreeList()->IndexOf(tree) < 0) throw CommandError("tree " + tree + " not found on the network");
  nwnds::ndsSetPreferredTreeName(tree);
  const std::string password = readPassword("Password: ");
  if (!nwnds::ndsLogin("", user, password))
    throw CommandError("login of " + user + " to tree " + tree + " failed (" + loginFailure() + ")");
  std::cout << "Logged in to tree " << tree << " as " << nwnds::ndsWhoAmI() << ".\n";
  return 0;
}

int treeLogout(const Args& args) {
  args.atMost(0);
  Directory dir;
  if (!nwnds::ndsLogout()) throw CommandError("not logged in to a directory tree (" + dsError() + ")");
  std::cout << "Logged out of the directory tree.\n";
  return 0;
}

} // namespace nw
