// nw cx, attr, rights, groups, equiv, schema: the directory tree, its objects and schema.
#include "cli.h"
#include "directory_client.h"
#include "file_rights.h"

#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <nwtools/nwtools.h>
#include <ostrel/ostrel.h>
#include <rtl/datetime.h>
#include <rtl/sysutils.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>

namespace nw {
namespace {

// A catalogued attribute by its directory name ("Surname", any case).
std::optional<nwnds::TNWDSAttrType> findAttribute(const std::string& name) {
  const std::string wanted = rtl::UpperCase(name);
  for (int i = 0; i < nwnds::kAttrTypeCount; ++i) {
    std::string known;
    nwnds::_ndsGetAttrName(static_cast<nwnds::TNWDSAttrType>(i), known);
    if (rtl::UpperCase(known) == wanted)
      return static_cast<nwnds::TNWDSAttrType>(i);
  }
  return std::nullopt;
}

nwnds::TNWDSAttrType needAttribute(const std::string& name) {
  auto attr = findAttribute(name);
  if (!attr) throw CommandError("unknown attribute '" + name + "'");
  return *attr;
}

std::string attrNameOf(nwnds::TNWDSAttrType attr) {
  std::string name;
  nwnds::_ndsGetAttrName(attr, name);
  return name;
}

// All values of an attribute whose blocks are the given record or text, freed on return.
template <typename Visit>
bool eachValue(const std::string& object, nwnds::TNWDSAttrType attr, Visit visit) {
  struct Blocks {
    rtl::TList list;
    ~Blocks() {
      for (int i = 0; i < list.Count(); ++i) nwnds::ndsFreeAttrBlock(list[i]);
    }
  } blocks;
  if (!nwnds::ndsGetMultiAttr("", object, attr, blocks.list)) return false;
  for (int i = 0; i < blocks.list.Count(); ++i) visit(blocks.list[i]);
  return true;
}

// The values of one attribute as lines of text; empty when the object has none that this
// tool can show.
std::vector<std::string> attributeValues(const std::string& object, nwnds::TNWDSAttrType attr) {
  using namespace nwnds;
  const TNWDSSynTypes syntax = _ndsGetSynType(attr);
  std::vector<std::string> lines;
  if (nwnds::isTextSyntax(syntax)) {
    eachValue(object, attr, [&](void* block) { lines.emplace_back(static_cast<const char*>(block)); });
  } else if (nwnds::isIntegerSyntax(syntax)) {
    std::int32_t n = 0;
    if (ndsGetIntegerAttr("", object, attr, n)) lines.push_back(std::to_string(n));
  } else if (syntax == SYN_BOOLEAN) {
    bool b = false;
    if (ndsGetBooleanAttr("", object, attr, b)) lines.emplace_back(b ? "Yes" : "No");
  } else if (syntax == SYN_TIME) {
    rtl::TDateTime t = 0;
    if (ndsGetDateTimeAttr("", object, attr, t)) lines.push_back(rtl::FormatDateTime("yyyy-mm-dd hh:nn:ss", t));
  } else if (syntax == SYN_PATH) {
    TNWDSPathInfo path;
    if (ndsGetPathAttr("", object, attr, path)) lines.push_back(path.VolumeName + ":" + path.Path);
  } else if (syntax == SYN_OCTET_STRING) {
    std::string text = ndsReadOctetAttr("", object, attrNameOf(attr));
    if (!text.empty()) lines.push_back(text);
  } else if (syntax == SYN_OBJECT_ACL) {
    eachValue(object, attr, [&](void* block) {
      const auto* acl = static_cast<const TNWDSObjectACL*>(block);
      lines.push_back(std::string(acl->SubjectName ? acl->SubjectName : "") + "  " +
                      (acl->ProtectedAttrName ? acl->ProtectedAttrName : "") + "  [" + decodeACLRights(*acl) + "]");
    });
  } else if (syntax == SYN_TYPED_NAME) {
    eachValue(object, attr, [&](void* block) {
      const auto* name = static_cast<const Typed_Name_T*>(block);
      if (name->objectName) lines.emplace_back(name->objectName);
    });
  } else if (syntax == SYN_EMAIL_ADDRESS) {
    eachValue(object, attr, [&](void* block) {
      const auto* mail = static_cast<const EMail_Address_T*>(block);
      if (mail->address) lines.emplace_back(mail->address);
    });
  }
  return lines;
}

void printAttribute(const std::string& name, nwnds::TNWDSSynTypes syntax, const std::vector<std::string>& values) {
  for (const auto& v : values) std::printf("%-30s %-18s %s\n", name.c_str(), nwnds::synTypeName(syntax).c_str(), v.c_str());
}

// ---- nw cx ----------------------------------------------------------------------------------

} // namespace

namespace {

// The kind of an object (complete name) as its container lists it: browsing, which needs
// no login, as CX needs none. Nothing when the container does not list it.
std::optional<nwnds::TNWDSObjType> listedKind(const std::string& complete) {
  std::size_t dot = 0;
  while (dot < complete.size() && complete[dot] != '.') dot += complete[dot] == '\\' ? 2 : 1;
  const std::string leaf = rtl::UpperCase(complete.substr(0, dot));
  const std::string parent = dot < complete.size() ? "." + complete.substr(dot + 1) : "[Root]";
  auto list = nwnds::ndsList("", parent);
  for (const auto& item : *list)
    if (rtl::UpperCase(item.text) == leaf) return static_cast<nwnds::TNWDSObjType>(item.object);
  return std::nullopt;
}

} // namespace

std::string containerName(const std::string& name) {
  const std::string complete = nwnds::ndsExpandName(name);
  if (complete.empty()) throw CommandError("'" + name + "' is no directory name (" + dsError() + ")");
  if (rtl::UpperCase(complete) == "[ROOT]") return complete;
  const auto kind = listedKind(complete);
  if (!kind) throw CommandError("no container " + complete + " in the tree");
  switch (*kind) {
    case nwnds::dsoCountry:
    case nwnds::dsoOrganization:
    case nwnds::dsoOrganizationalUnit:
    case nwnds::dsoLocality: return complete;
    default: throw CommandError(complete + " is no container");
  }
}

std::string contextOption(const Args& args) {
  return args.flag("context") ? containerName(args.option("context")) : std::string();
}

namespace {

int cx(const Args& args) {
  args.atMost(1);
  Directory dir;
  if (!args.positional().empty()) {
    const std::string& name = args.positional()[0];
    std::string complete;
    try {
      complete = containerName(name);
    } catch (const CommandError& e) {
      throw CommandError("cannot set the context to '" + name + "' (" + e.what() + ")");
    }
    if (!nwnds::ndsSetContext(complete))
      throw CommandError("cannot set the context to '" + name + "' (" + dsError() + ")");
  }
  const std::string context = nwnds::ndsGetContextName();
  if (context.empty()) throw CommandError("cannot read the name context (" + dsError() + ")");
  if (!args.positional().empty()) nwsim::setWorkstationNameContext(context);
  std::cout << context << "\n";
  return 0;
}

// ---- nw attr --------------------------------------------------------------------------------

int attrSet(const Args& args) {
  args.atMost(4);
  const std::string& object = args.need(1, "object name");
  const nwnds::TNWDSAttrType attr = needAttribute(args.need(2, "attribute name"));
  const std::string& value = args.need(3, "value");
  Directory dir;
  using namespace nwnds;
  const TNWDSSynTypes syntax = _ndsGetSynType(attr);
  bool ok = false;
  if (nwnds::isTextSyntax(syntax)) {
    ok = ndsModifyStringAttr("", object, attr, value);
  } else if (nwnds::isIntegerSyntax(syntax)) {
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0') throw CommandError("'" + value + "' is not a whole number");
    ok = ndsModifyIntegerAttr("", object, attr, static_cast<std::int32_t>(n));
  } else if (syntax == SYN_BOOLEAN) {
    const std::string v = rtl::UpperCase(value);
    const bool yes = v == "YES" || v == "TRUE" || v == "1" || v == "ON";
    if (!yes && v != "NO" && v != "FALSE" && v != "0" && v != "OFF")
      throw CommandError("'" + value + "' is not yes or no");
    ok = ndsModifyBooleanAttr("", object, attr, yes);
  } else if (syntax == SYN_TIME) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    rtl::TDateTime date = 0, time = 0;
    const int n = std::sscanf(value.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    if ((n != 3 && n != 6) || !rtl::TryEncodeDate(y, mo, d, date) || !rtl::TryEncodeTime(h, mi, s, 0, time))
      throw CommandError("'" + value + "' is not a date (yyyy-mm-dd [hh:mm:ss])");
    ok = ndsModifyDateTimeAttr("", object, attr, date + time);
  } else if (syntax == SYN_PATH) {
    const auto colon = value.find(':');
    if (colon == std::string::npos) throw CommandError("'" + value + "' is not VOLUME:PATH");
    TNWDSPathInfo path;
    path.VolumeName = value.substr(0, colon);
    path.Path = value.substr(colon + 1);
    ok = ndsModifyPathAttr("", object, attr, path);
  } else if (syntax == SYN_OCTET_STRING) {
    ok = ndsWriteOctetAttr("", object, attrNameOf(attr), value);
  } else {
    throw CommandError("values of " + synTypeName(syntax) + " cannot be set with this command");
  }
  if (!ok) throw CommandError("cannot set " + attrNameOf(attr) + " of " + object + " (" + dsError() + ")");
  std::cout << attrNameOf(attr) << " of " << object << " set.\n";
  return 0;
}

int attr(const Args& args) {
  if (!args.positional().empty() && args.positional()[0] == "set") return attrSet(args);
  args.atMost(2);
  const std::string& object = args.need(0, "object name");
  std::optional<nwnds::TNWDSAttrType> only;
  if (args.positional().size() > 1) only = needAttribute(args.positional()[1]);
  Directory dir;
  int shown = 0;
  std::vector<std::string> done;
  for (int i = 0; i < nwnds::kAttrTypeCount; ++i) {
    const auto a = static_cast<nwnds::TNWDSAttrType>(i);
    if (only && a != *only) continue;
    const std::string name = attrNameOf(a);
    // Two catalogue entries share a directory name; show it once.
    if (std::find(done.begin(), done.end(), name) != done.end()) continue;
    done.push_back(name);
    const auto values = attributeValues(object, a);
    printAttribute(name, nwnds::_ndsGetSynType(a), values);
    shown += static_cast<int>(values.size());
  }
  if (shown == 0) {
    if (only) throw CommandError(object + " has no value of " + attrNameOf(*only) + " (" + dsError() + ")");
    throw CommandError("cannot read the attributes of " + object + " (" + dsError() + ")");
  }
  return 0;
}

// ---- nw rights ------------------------------------------------------------------------------

int rights(const Args& args) {
  if (!args.positional().empty() && isVolumePath(args.positional()[0])) return fileRights(args);
  args.atMost(2);
  const std::string& object = args.need(0, "object name");
  Directory dir;
  std::string subject = args.option("as");
  if (subject.empty()) subject = nwnds::ndsWhoAmI();
  if (subject.empty()) subject = "[Public]";
  std::vector<std::string> which;
  if (args.positional().size() > 1)
    which.push_back(args.positional()[1]);
  else
    which = {"[Entry Rights]", "[All Attributes Rights]"};
  std::vector<std::string> shown;
  for (const auto& protectedAttr : which) {
    std::uint32_t bits = 0;
    if (!nwnds::ndsGetEffectiveRights(subject, object, protectedAttr, bits))
      throw CommandError("cannot read the rights to " + object + " (" + dsError() + ")");
    std::string attr = protectedAttr;
    nwnds::TNWDSObjectACL acl{attr.data(), nullptr, bits};
    char line[128];
    std::snprintf(line, sizeof line, "  %-26s [%s]", protectedAttr.c_str(), nwnds::decodeACLRights(acl).c_str());
    shown.emplace_back(line);
  }
  std::cout << "Effective rights of " << subject << " to " << object << ":\n";
  for (const auto& line : shown) std::cout << line << "\n";
  return 0;
}

// ---- nw groups, nw equiv ----------------------------------------------------------------------

// Prints the names of a distinguished-name attribute; an object without it has none.
int listNames(const Directory& dir, const std::string& object, nwnds::TNWDSAttrType attr,
              const std::string& heading) {
  dir.resetLastError();
  std::vector<std::string> names;
  const bool read = eachValue(object, attr, [&](void* block) { names.emplace_back(static_cast<const char*>(block)); });
  if (!read && nwnds::lasterror() != 0 && nwnds::lasterror() != NWDSE_NO_SUCH_ATTRIBUTE)
    throw CommandError("cannot read " + attrNameOf(attr) + " of " + object + " (" + dsError() + ")");
  rtl::TStringList sorted;
  for (const auto& n : names) sorted.Add(n);
  sorted.Sort();
  std::cout << heading << " " << object << ":\n";
  if (sorted.Empty()) std::cout << "  (none)\n";
  for (int i = 0; i < sorted.Count(); ++i) std::cout << "  " << sorted[i] << "\n";
  return 0;
}

int groups(const Args& args) {
  args.atMost(1);
  const std::string& object = args.need(0, "object name");
  Directory dir;
  return listNames(dir, object, nwnds::dsaGroupMembership, "Groups of");
}

int equiv(const Args& args) {
  args.atMost(1);
  const std::string& object = args.need(0, "object name");
  Directory dir;
  return listNames(dir, object, nwnds::dsaSecurityEquals, "Security equivalences of");
}

// ---- nw schema ----------------------------------------------------------------------------

int schema(const Args& args) {
  args.atMost(1);
  Directory dir;
  if (!args.positional().empty()) {
    const std::string& cls = args.positional()[0];
    const nwnds::TNWDSObjType kind = nwnds::classNameToObjType(cls);
    if (kind == nwnds::dsoUnknown) throw CommandError("'" + cls + "' is no class this library knows");
    const std::string created = nwnds::objTypeCreateClass(kind);
    std::cout << "Class " << cls << ": object kind " << static_cast<int>(kind)
              << (created.empty() ? std::string(", not created by the library") : ", created as \"" + created + "\"")
              << "\n";
    return 0;
  }
  auto list = nwnds::ndsGetObjAttrList("", "");
  if (list->Empty()) throw CommandError("cannot read the schema (" + dsError() + ")");
  list->Sort();
  for (int i = 0; i < list->Count(); ++i)
    std::printf("%-34s %s\n", (*list)[i].c_str(),
                nwnds::synTypeName(static_cast<nwnds::TNWDSSynTypes>(list->Objects(i))).c_str());
  return 0;
}

Register cxCmd({"cx", "show or set the directory name context",
                "usage: nw cx [CONTEXT]\n\nWithout an argument shows the name context; with one, sets it (typed or\n"
                "typeless, e.g. OU=SALES.O=ACME or SALES.ACME; relative to the current one unless\n"
                "it starts with \".\") and shows it. The workstation keeps the context: later\n"
                "directory commands on it take names relative to it.\n",
                {}, cx});
Register attrCmd({"attr", "an object's attributes, or set one",
                  "usage: nw attr OBJECT [ATTRIBUTE]\n       nw attr set OBJECT ATTRIBUTE VALUE\n\n"
                  "Shows the object's attributes that the library knows, one value a line, with\n"
                  "their syntax; or only ATTRIBUTE (its directory name, e.g. \"Full Name\").\n"
                  "'set' overwrites a value: text, a whole number, yes/no, a date yyyy-mm-dd\n"
                  "[hh:mm:ss] or VOLUME:PATH, as the attribute's syntax asks.\n",
                  {}, attr});
Register rightsCmd({"rights", "effective rights to a directory object or a path",
                    "usage: nw rights OBJECT [ATTRIBUTE] [--as SUBJECT]\n"
                    "       nw rights PATH [USER]\n\n"
                    "For a NetWare path (VOL:DIR, SERVER/VOL:DIR or G:\\DIR), shows your effective\n"
                    "rights to it, or with USER the rights of USER's own trustee assignment there\n"
                    "or nearest above.\n\n"
                    "Shows the effective entry and all-attributes rights of the logged-in object\n"
                    "(or SUBJECT) to OBJECT, as rights text (BADRS, CRWAS); with ATTRIBUTE only\n"
                    "the rights to that attribute (or \"[SMS Rights]\").\n",
                    {"as"}, rights});
Register groupsCmd({"groups", "the groups a directory object belongs to",
                    "usage: nw groups OBJECT\n\nLists the groups of OBJECT (its \"Group Membership\"), sorted.\n", {},
                    groups});
Register equivCmd({"equiv", "the security equivalences of a directory object",
                   "usage: nw equiv OBJECT\n\nLists the objects OBJECT is security equivalent to (its \"Security "
                   "Equals\").\n",
                   {}, equiv});
Register schemaCmd({"schema", "the attribute definitions of the directory schema",
                    "usage: nw schema [CLASS]\n\nLists every attribute definition of the schema with its syntax; with\n"
                    "CLASS, shows the object kind the library gives that class.\n",
                    {}, schema});

} // namespace
} // namespace nw
