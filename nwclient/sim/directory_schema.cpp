// The base schema and the schema lookups.
#include "directory_schema.h"

#include <algorithm>
#include <cctype>

namespace nwsim {

namespace {

struct BaseAttr {
  const char* name;
  std::uint32_t syntax;
  std::uint32_t flags;
};

// The attributes every tree knows: syntax and flags (0x01 single-valued, 0x04
// non-removable, 0x08 read-only, 0x10 hidden, 0x20 naming).
const BaseAttr kBaseAttrs[] = {
    {"Account Balance", 22, 1},
    {"ACL", 17, 0},
    {"Aliased Object Name", 1, 1},
    {"Allow Unlimited Credit", 7, 1},
    {"Authority Revocation", 9, 1},
    {"Back Link", 23, 8},
    {"Bindery Object Restriction", 8, 1},
    {"Bindery Property", 9, 0},
    {"Bindery Type", 5, 1},
    {"C", 3, 33},
    {"CA Private Key", 9, 17},
    {"CA Public Key", 9, 1},
    {"Cartridge", 3, 0},
    {"Certificate Revocation", 9, 1},
    {"Certificate Validity Interval", 27, 1},
    {"CN", 3, 32},
    {"Convergence", 8, 1},
    {"Cross Certificate Pair", 9, 0},
    {"Default Queue", 1, 1},
    {"Description", 3, 0},
    {"Detect Intruder", 7, 1},
    {"Device", 1, 0},
    {"EMail Address", 14, 0},
    {"External Name", 9, 1},
    {"Equivalent To Me", 1, 0},
    {"External Synchronizer", 9, 0},
    {"Facsimile Telephone Number", 11, 0},
    {"Full Name", 3, 0},
    {"Generational Qualifier", 3, 1},
    {"GID", 8, 1},
    {"Given Name", 3, 1},
    {"Group Membership", 1, 0},
    {"High Convergence Sync Interval", 27, 1},
    {"Higher Privileges", 1, 0},
    {"Home Directory", 15, 1},
    {"Host Device", 1, 1},
    {"Host Resource Name", 3, 1},
    {"Host Server", 1, 1},
    {"Inherited ACL", 17, 0},
    {"Initials", 3, 1},
    {"Intruder Attempt Reset Interval", 27, 1},
    {"Intruder Lockout Reset Interval", 27, 1},
    {"L", 3, 32},
    {"Language", 3, 1},
    {"Last Login Time", 24, 1},
    {"Last Referenced Time", 19, 9},
    {"Locked By Intruder", 7, 1},
    {"Lockout After Detection", 7, 1},
    {"Login Allowed Time Map", 9, 1},
    {"Login Disabled", 7, 1},
    {"Login Expiration Time", 24, 1},
    {"Login Grace Limit", 8, 1},
    {"Login Grace Remaining", 22, 1},
    {"Login Intruder Address", 12, 1},
    {"Login Intruder Attempts", 22, 1},
    {"Login Intruder Limit", 8, 1},
    {"Login Intruder Reset Time", 24, 1},
    {"Login Maximum Simultaneous", 8, 1},
    {"Login Script", 21, 1},
    {"Login Time", 24, 1},
    {"Low Convergence Reset Time", 24, 1},
    {"Low Convergence Sync Interval", 27, 1},
    {"Mailbox ID", 3, 1},
    {"Mailbox Location", 1, 1},
    {"Member", 1, 0},
    {"Memory", 8, 1},
    {"Message Routing Group", 1, 0},
    {"Message Server", 1, 1},
    {"Messaging Database Location", 15, 1},
    {"Messaging Server", 1, 0},
    {"Messaging Server Type", 3, 1},
    {"Minimum Account Balance", 8, 1},
    {"Network Address", 12, 0},
    {"Network Access Restriction", 12, 0},
    {"NNS Domain", 3, 0},
    {"Notify", 25, 0},
    {"O", 3, 32},
    {"Obituary", 9, 8},
    {"Object Class", 20, 4},
    {"Operator", 1, 0},
    {"OU", 3, 32},
    {"Owner", 1, 0},
    {"Page Description Language", 4, 0},
    {"Partition Control", 25, 0},
    {"Partition Creation Time", 19, 9},
    {"Password Allow Change", 7, 1},
    {"Password Expiration Interval", 27, 1},
    {"Password Expiration Time", 24, 1},
    {"Password Minimum Length", 8, 1},
    {"Password Required", 7, 1},
    {"Password Unique Required", 7, 1},
    {"Passwords Used", 9, 16},
    {"Path", 15, 0},
    {"Physical Delivery Office Name", 3, 0},
    {"Postal Address", 18, 0},
    {"Postal Code", 3, 0},
    {"Postal Office Box", 3, 0},
    {"Postmaster", 1, 0},
    {"Print Job Configuration", 21, 1},
    {"Print Server", 25, 1},
    {"Printer", 25, 0},
    {"Printer Configuration", 9, 1},
    {"Printer Control", 21, 1},
    {"Private Key", 9, 17},
    {"Profile", 1, 1},
    {"Profile Membership", 1, 0},
    {"Public Key", 9, 1},
    {"Queue", 25, 0},
    {"Queue Directory", 3, 1},
    {"Received Up To", 19, 8},
    {"Reference", 1, 0},
    {"Replica", 16, 0},
    {"Replica Up To", 9, 9},
    {"Resource", 1, 0},
    {"Revision", 22, 1},
    {"Role Occupant", 1, 0},
    {"S", 3, 32},
    {"SA", 3, 32},
    {"SAP Name", 3, 1},
    {"Security Equals", 1, 0},
    {"Security Flags", 8, 1},
    {"See Also", 1, 0},
    {"Serial Number", 4, 0},
    {"Server", 1, 0},
    {"Server Holds", 26, 0},
    {"Status", 8, 1},
    {"Supported Connections", 8, 1},
    {"Supported Gateway", 3, 0},
    {"Supported Services", 3, 0},
    {"Supported Typefaces", 3, 0},
    {"Surname", 3, 0},
    {"Synchronizes Up To", 19, 8},
    {"Telephone Number", 10, 0},
    {"Title", 3, 0},
    {"Type Creator Map", 21, 1},
    {"UID", 8, 1},
    {"Unknown", 0, 0},
    {"Unknown Base Class", 3, 1},
    {"User", 1, 0},
    {"Version", 3, 1},
    {"Volume", 1, 1},
};

struct BaseClass {
  const char* name;
  std::uint32_t flags;  // 0x01 container, 0x02 effective
  const char* items[5]; // "|"-separated: super classes, containment, naming, mandatory, optional
};

// Attributes most leaf classes carry besides their own.
#define LOCATION "Description|L|O|OU|S|SA|See Also|Telephone Number|EMail Address|Full Name"
#define INTRUDER "Detect Intruder|Intruder Attempt Reset Interval|Intruder Lockout Reset Interval|Lockout After Detection|Login Intruder Limit"
#define POSTAL "Facsimile Telephone Number|Physical Delivery Office Name|Postal Address|Postal Code|Postal Office Box|Telephone Number|EMail Address|See Also|Description|L|S|SA"

const BaseClass kBaseClasses[] = {
    {"Top", 0x04, {"", "", "", "Object Class",
                   "ACL|Inherited ACL|Back Link|Bindery Property|Obituary|Reference|Revision|Equivalent To Me|Last Referenced Time|Authority Revocation|Certificate Revocation|CA Public Key|Cross Certificate Pair|Unknown"}},
    {"Tree Root", 0x05, {"Top", "", "", "", ""}},
    {"Country", 0x07, {"Top", "Tree Root", "C", "C", "Description"}},
    {"Locality", 0x07, {"Top", "Country|Organization|Organizational Unit|Locality|Tree Root", "L|S", "", "L|S|SA|Description|See Also"}},
    {"Organization", 0x07, {"Top", "Tree Root|Country|Locality", "O", "O", "Login Script|Print Job Configuration|" POSTAL "|" INTRUDER}},
    {"Organizational Unit", 0x07, {"Top", "Organization|Organizational Unit|Locality", "OU", "OU", "Login Script|Print Job Configuration|" POSTAL "|" INTRUDER}},
    {"Person", 0x00, {"Top", "", "CN", "CN|Surname", "Description|See Also|Telephone Number|Full Name|Given Name|Initials|Generational Qualifier"}},
    {"Organizational Person", 0x00, {"Person", "Organization|Organizational Unit", "CN|OU", "",
                                     "Title|Mailbox ID|Mailbox Location|OU|" POSTAL}},
    {"User", 0x02, {"Organizational Person", "", "", "",
                    "Account Balance|Allow Unlimited Credit|Default Queue|Group Membership|Higher Privileges|Home Directory|Language|"
                    "Last Login Time|Locked By Intruder|Login Allowed Time Map|Login Disabled|Login Expiration Time|Login Grace Limit|"
                    "Login Grace Remaining|Login Intruder Address|Login Intruder Attempts|Login Intruder Reset Time|"
                    "Login Maximum Simultaneous|Login Script|Login Time|Message Server|Minimum Account Balance|Network Address|"
                    "Network Access Restriction|Password Allow Change|Password Expiration Interval|Password Expiration Time|"
                    "Password Minimum Length|Password Required|Password Unique Required|Passwords Used|Print Job Configuration|"
                    "Private Key|Profile|Profile Membership|Public Key|Security Equals|Security Flags|Server Holds|Type Creator Map|UID|GID"}},
    {"Group", 0x02, {"Top", "Organization|Organizational Unit", "CN", "CN", "Member|Owner|GID|Mailbox ID|Mailbox Location|" LOCATION}},
    {"Message Routing Group", 0x02, {"Group", "", "", "", "Postmaster|Messaging Server"}},
    {"List", 0x02, {"Top", "Organization|Organizational Unit", "CN", "CN", "Member|Owner|Mailbox ID|Mailbox Location|" LOCATION}},
    {"Organizational Role", 0x02, {"Top", "Organization|Organizational Unit", "CN", "CN",
                                   "Role Occupant|Mailbox ID|Mailbox Location|" POSTAL}},
    {"Alias", 0x02, {"Top", "Tree Root|Country|Locality|Organization|Organizational Unit", "CN", "Aliased Object Name", "CN|OU|O|L|C"}},
    {"Bindery Object", 0x02, {"Top", "Organization|Organizational Unit", "CN|Bindery Type", "Bindery Object Restriction|Bindery Type|CN", ""}},
    {"External Entity", 0x02, {"Top", "Organization|Organizational Unit", "CN", "CN", "External Name|Mailbox ID|Mailbox Location|" LOCATION}},
    {"Profile", 0x02, {"Top", "Organization|Organizational Unit", "CN", "CN|Login Script", LOCATION}},
    {"Device", 0x00, {"Top", "Organization|Organizational Unit", "CN", "CN", "Network Address|Owner|Serial Number|Operator|Status|" LOCATION}},
    {"Computer", 0x02, {"Device", "", "", "", "Server"}},
    {"Printer", 0x02, {"Device", "", "", "",
                       "Cartridge|Default Queue|Host Device|Print Server|Printer|Memory|Network Access Restriction|Notify|"
                       "Page Description Language|Queue|Supported Typefaces|Printer Configuration|Printer Control"}},
    {"Resource", 0x00, {"Top", "Organization|Organizational Unit", "CN", "CN", "Host Resource Name|" LOCATION}},
    {"Queue", 0x02, {"Resource", "", "", "Queue Directory", "Device|Operator|Server|User|Network Address|Volume|Notify"}},
    {"Bindery Queue", 0x02, {"Queue", "", "CN|Bindery Type", "Bindery Type", ""}},
    {"Directory Map", 0x02, {"Resource", "", "", "Path", ""}},
    {"Volume", 0x02, {"Resource", "", "", "Host Server", "Status"}},
    {"Server", 0x00, {"Top", "Organization|Organizational Unit", "CN", "CN",
                      "Account Balance|Allow Unlimited Credit|Host Device|Minimum Account Balance|Network Address|Operator|Private Key|"
                      "Public Key|Resource|Security Equals|Security Flags|Status|User|Version|" LOCATION}},
    {"NCP Server", 0x02, {"Server", "", "", "", "Supported Services|Messaging Server|SAP Name"}},
    {"AFP Server", 0x02, {"Server", "", "", "", "Serial Number|Supported Connections"}},
    {"Print Server", 0x02, {"Server", "", "", "", "Printer|SAP Name|Operator|User"}},
    {"Messaging Server", 0x02, {"Server", "", "", "", "Messaging Database Location|Messaging Server Type|Postmaster|Supported Gateway"}},
};

std::vector<std::string> split(const char* text) {
  std::vector<std::string> out;
  std::string cur;
  for (const char* p = text; *p; ++p) {
    if (*p == '|') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += *p;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

AttrDef readAttr(Stmt& q) {
  AttrDef d;
  d.name = q.text(0);
  d.syntax = static_cast<std::uint32_t>(q.int64(1));
  d.flags = static_cast<std::uint32_t>(q.int64(2));
  d.lower = static_cast<std::int32_t>(q.int64(3));
  d.upper = static_cast<std::int32_t>(q.int64(4));
  d.base = q.int64(5) != 0;
  return d;
}

} // namespace

void DirectorySchema::install(Store& db) {
  for (const BaseAttr& a : kBaseAttrs)
    db.prepare("INSERT INTO ds_attr_defs(name, syntax, flags, base) VALUES(?,?,?,1)").with(a.name, a.syntax, a.flags).run();
  for (const BaseClass& c : kBaseClasses) {
    db.prepare("INSERT INTO ds_class_defs(name, flags, base) VALUES(?,?,1)").with(c.name, c.flags).run();
    for (int k = 0; k < 5; ++k) {
      int seq = 0;
      for (const std::string& item : split(c.items[k]))
        db.prepare("INSERT INTO ds_class_items(class, kind, seq, item) VALUES(?,?,?,?)").with(c.name, k, seq++, item).run();
    }
  }
}

std::optional<AttrDef> DirectorySchema::attr(const std::string& name) {
  std::optional<AttrDef> d;
  db_.prepare("SELECT name, syntax, flags, lower, upper, base FROM ds_attr_defs WHERE name=?")
      .with(name).first([&](Stmt& q) { d = readAttr(q); });
  return d;
}

std::vector<AttrDef> DirectorySchema::attrs() {
  std::vector<AttrDef> out;
  db_.prepare("SELECT name, syntax, flags, lower, upper, base FROM ds_attr_defs ORDER BY name")
      .each([&](Stmt& q) { out.push_back(readAttr(q)); });
  return out;
}

std::optional<ClassDef> DirectorySchema::cls(const std::string& name) {
  std::optional<ClassDef> d;
  db_.prepare("SELECT name, flags, base FROM ds_class_defs WHERE name=?").with(name).first([&](Stmt& q) {
    d = ClassDef{};
    d->name = q.text(0);
    d->flags = static_cast<std::uint32_t>(q.int64(1));
    d->base = q.int64(2) != 0;
  });
  if (d)
    db_.prepare("SELECT kind, item FROM ds_class_items WHERE class=? ORDER BY kind, seq").with(d->name).each([&](Stmt& q) {
      int k = q.integer(0);
      if (k >= 0 && k < 5) d->items[k].push_back(q.text(1));
    });
  return d;
}

std::vector<ClassDef> DirectorySchema::classes() {
  std::vector<std::string> names;
  db_.prepare("SELECT name FROM ds_class_defs ORDER BY name").each([&](Stmt& q) { names.push_back(q.text(0)); });
  std::vector<ClassDef> out;
  for (auto& n : names)
    if (auto c = cls(n)) out.push_back(*c);
  return out;
}

std::vector<std::string> DirectorySchema::chain(const std::string& name) {
  std::vector<std::string> out;
  std::vector<std::string> todo{name};
  while (!todo.empty() && out.size() < 32) {
    auto c = cls(todo.front());
    todo.erase(todo.begin());
    if (!c) continue;
    if (std::find(out.begin(), out.end(), c->name) != out.end()) continue;
    out.push_back(c->name);
    for (auto& s : c->items[0]) todo.push_back(s);
  }
  return out;
}

std::set<std::string> DirectorySchema::items(const std::string& name, int kind) {
  std::set<std::string> out;
  for (auto& c : chain(name))
    db_.prepare("SELECT item FROM ds_class_items WHERE class=? AND kind=?").with(c, kind).each([&](Stmt& q) {
      out.insert(upper(q.text(0)));
    });
  return out;
}

bool DirectorySchema::allows(const std::string& cls, const std::string& attr) {
  std::string a = upper(attr);
  for (int k = 2; k <= 4; ++k)
    if (items(cls, k).count(a)) return true;
  return false;
}

bool DirectorySchema::mayContain(const std::string& parentClass, const std::string& childClass) {
  auto containment = items(childClass, 1);
  for (auto& p : chain(parentClass))
    if (containment.count(upper(p))) return true;
  return false;
}

std::string DirectorySchema::namingType(const std::string& name) {
  for (auto& c : chain(name)) {
    auto d = cls(c);
    if (d && !d->items[2].empty()) {
      std::string n = upper(d->items[2].front());
      if (n == "CN" || n == "OU" || n == "O" || n == "C" || n == "L" || n == "S") return n;
      return "CN";
    }
  }
  return "CN";
}

void DirectorySchema::defineAttr(const AttrDef& d) {
  db_.prepare("INSERT INTO ds_attr_defs(name, syntax, flags, lower, upper, base) VALUES(?,?,?,?,?,0)")
      .with(d.name, d.syntax, d.flags, d.lower, d.upper).run();
}

void DirectorySchema::removeAttr(const std::string& name) {
  db_.prepare("DELETE FROM ds_attr_defs WHERE name=?").with(name).run();
}

void DirectorySchema::defineClass(const ClassDef& d) {
  db_.prepare("INSERT INTO ds_class_defs(name, flags, base) VALUES(?,?,0)").with(d.name, d.flags).run();
  for (int k = 0; k < 5; ++k)
    for (std::size_t i = 0; i < d.items[k].size(); ++i)
      db_.prepare("INSERT INTO ds_class_items(class, kind, seq, item) VALUES(?,?,?,?)")
          .with(d.name, k, static_cast<int>(i), d.items[k][i]).run();
}

bool DirectorySchema::compatible(std::uint32_t wanted, std::uint32_t defined) {
  if (wanted == defined) return true;
  auto textForm = [](std::uint32_t s) { return s == 2 || s == 3 || s == 4 || s == 5 || s == 20; };
  auto intForm = [](std::uint32_t s) { return s == 8 || s == 22 || s == 27; };
  return (textForm(wanted) && textForm(defined)) || (intForm(wanted) && intForm(defined));
}

} // namespace nwsim
