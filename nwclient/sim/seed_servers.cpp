// What a server entry of a seed holds besides its bindery: passwords and item properties of
// its objects, console operators, volumes with their files, loaded modules, console settings.
//
//   "operators": ["JSMITH"]                  names in "OPERATORS" of the file-server object
//   "managers": ["MJONES"]                   names in "MANAGERS" of SUPERVISOR
//   objects: "password": "text", "properties": { "NAME": "item value" }
//   "volumes": [ { "name": "SYS",
//                  "files": [ "PUBLIC\\", "PUBLIC\\LOGIN.EXE", { "path": "X\\Y.TXT", "content": "..." } ],
//                  "tree": { "PUBLIC": { "MAP.EXE": "", "NOTES": {} } } } ]
//     (a path ending in "\\" and an object in "tree" are folders; a string in "tree" is a file's content)
//   "nlms": [ "CLIB.NLM", { "file": "MONITOR.NLM", "name": "...", "version": "1.75.0",
//             "date": "1994-06-06", "notice": "..." } ]   (a module's file is put in SYS:SYSTEM)
//   "settings": { "CACHE BUFFER SIZE": 8192, "TIME ZONE": "EST5EDT" }
//   "equivalences": { "MJONES": ["JSMITH"] }  objects in "SECURITY_EQUALS" of an object
//   volume "trustees": [ { "path": "PUBLIC", "object": "EVERYONE", "rights": "RF" } ] ("" the root)
//   volume "masks": { "HOME": "F" }            inherited rights masks
//     (rights letters: S supervisory, R read, W write, O open, C create, E erase, M modify,
//      F file scan, A access control)
#include "seed.h"

#include "bindery.h"
#include "file_entries.h"
#include "netware_path.h"
#include "server_console.h"
#include "trustees.h"
#include "volumes.h"

#include <cctype>
#include <fstream>
#include <functional>
#include <optional>

namespace nwsim {

namespace {

// The modules of a server that the seed gives none for.
const char* const kDefaultModules[][2] = {
    {"CLIB.NLM", "NetWare C Library"},          {"STREAMS.NLM", "NetWare STREAMS"},
    {"TLI.NLM", "NetWare Transport Level Interface"}, {"IPXS.NLM", "NetWare STREAMS IPX Protocol"},
    {"SPXS.NLM", "NetWare STREAMS SPX Protocol"}, {"NWSNUT.NLM", "NetWare NLM Utility User Interface"},
    {"MONITOR.NLM", "NetWare Console Monitor"},   {"INSTALL.NLM", "NetWare Installation Utility"},
};

// A rights mask from its letters; nullopt for a letter that is none.
std::optional<std::uint16_t> rightsFromText(const std::string& text) {
  static const std::string letters = "RWOCEAFMS";
  std::uint16_t mask = 0;
  for (char c : text) {
    const auto bit = letters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (bit == std::string::npos) return std::nullopt;
    mask |= static_cast<std::uint16_t>(1u << bit);
  }
  return mask;
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw SimError("cannot write " + file.string());
}

} // namespace

void SeedLoader::serverContent(std::int64_t serverId, const std::string& serverName, const Value& server) {
  ServerConsole::addDefaults(db_, serverId);
  Bindery bindery(db_, serverId);

  if (const Value* objects = server.find("objects")) {
    for (const Value& o : objects->asArray("\"objects\"")) {
      auto obj = bindery.find(upper(o.find("name")->asString("name")), objectType(*o.find("type")));
      if (const Value* pw = o.find("password")) {
        const std::string& text = pw->asString("\"password\"");
        if (text.size() > 127) fail(*pw, "a password has at most 127 characters");
        bindery.setPassword(obj->id, text);
      }
      if (const Value* props = o.find("properties")) {
        if (!props->isObject()) fail(*props, "\"properties\" maps property names to item values");
        for (const auto& key : props->keys()) {
          const std::string name = upper(key);
          if (name.empty() || name.size() > 15) fail(*props, "a property name has 1 to 15 characters");
          const std::string& text = props->find(key)->asString("a property value");
          if (text.size() > 127) fail(*props->find(key), "an item value has at most 127 characters");
          std::vector<std::uint8_t> seg(128, 0);
          std::copy(text.begin(), text.end(), seg.begin());
          property(serverId, obj->id, name, 0x00, 0x31);
          segment(serverId, obj->id, name, 1, seg);
        }
      }
    }
  }

  auto privileged = [&](const char* key, std::uint32_t holder, const char* property) {
    const Value* names = server.find(key);
    if (!names) return;
    for (const Value& n : names->asArray(key)) {
      const std::string name = objectName(n, "an operator name");
      auto id = lookup(serverId, name);
      if (!id) fail(n, name + " is not an object of " + serverName);
      bindery.addToSet(holder, property, *id);
    }
  };
  if (server.find("operators")) {
    auto fs = bindery.find(serverName, 0x0400);
    std::uint32_t holder = fs ? fs->id : bindery.addObject(serverName, 0x0400);
    privileged("operators", holder, "OPERATORS");
  }
  if (server.find("managers")) {
    if (!bindery.byId(1)) fail(*server.find("managers"), "managers need SUPERVISOR (ID 00000001)");
    privileged("managers", 1, "MANAGERS");
  }
  if (const Value* equivalences = server.find("equivalences")) {
    if (!equivalences->isObject()) fail(*equivalences, "\"equivalences\" maps object names to lists of names");
    for (const auto& key : equivalences->keys()) {
      auto id = lookup(serverId, upper(key));
      if (!id) fail(*equivalences, key + " is not an object of " + serverName);
      for (const Value& n : equivalences->find(key)->asArray("security equivalences")) {
        const std::string name = objectName(n, "an object name");
        auto other = lookup(serverId, name);
        if (!other) fail(n, name + " is not an object of " + serverName);
        bindery.addToSet(*id, "SECURITY_EQUALS", *other);
      }
    }
  }

  // The network folder is being built beside its final place; volumes go with the store.
  const std::filesystem::path networkDir = std::filesystem::path(sqlite3_db_filename(db_.handle(), "main")).parent_path();
  Volumes volumes(db_, networkDir);
  if (const Value* vols = server.find("volumes")) {
    for (const Value& v : vols->asArray("\"volumes\"")) {
      if (!v.isObject()) fail(v, "a volume must be an object");
      const std::string name = checkedName(required(v, "name", "a volume"), "a volume", names::volumeNameProblem);
      if (volumes.byName(serverId, name)) fail(v, "volume " + name + " appears twice on " + serverName);
      const int number = volumes.create(serverId, serverName, name).number;
      const auto root = volumes.root(serverName, name);
      auto place = [&](const Value& where, const std::string& path, bool folder, const std::string& content) {
        auto parts = NetWarePath::components(path);
        if (!parts || parts->empty()) fail(where, "\"" + path + "\" is not a path on a volume");
        std::filesystem::path local = root;
        for (const auto& p : *parts) local /= p;
        if (folder) std::filesystem::create_directories(local);
        else writeFile(local, content);
      };
      if (const Value* files = v.find("files")) {
        for (const Value& f : files->asArray("\"files\"")) {
          if (f.isString()) {
            const std::string& p = f.asString("a file");
            place(f, p, !p.empty() && (p.back() == '\\' || p.back() == '/'), {});
          } else {
            place(f, required(f, "path", "a file").asString("\"path\""), false, str(f, "content"));
          }
        }
      }
      if (const Value* tree = v.find("tree")) {
        std::function<void(const Value&, const std::string&)> walk = [&](const Value& dir, const std::string& prefix) {
          if (!dir.isObject()) fail(dir, "a folder of \"tree\" must be an object");
          for (const auto& key : dir.keys()) {
            const Value& entry = *dir.find(key);
            const std::string path = prefix.empty() ? key : prefix + "\\" + key;
            if (entry.isObject()) {
              place(entry, path, true, {});
              walk(entry, path);
            } else {
              place(entry, path, false, entry.asString("a file's content"));
            }
          }
        };
        walk(*tree, {});
      }
      volumeUse(serverId, serverName, number, v, networkDir);
      auto rightsOf = [&](const Value& r) {
        auto mask = rightsFromText(r.asString("rights"));
        if (!mask) fail(r, "rights are letters of SRWOCEMFA");
        return *mask;
      };
      const int volume = volumes.byName(serverId, name)->number;
      if (const Value* trustees = v.find("trustees")) {
        for (const Value& t : trustees->asArray("\"trustees\"")) {
          const std::string who = objectName(required(t, "object", "a trustee"), "a trustee name");
          auto id = lookup(serverId, who);
          if (!id) fail(t, who + " is not an object of " + serverName);
          Trustees(db_).set(serverId, volume, required(t, "path", "a trustee").asString("\"path\""), *id,
                            rightsOf(required(t, "rights", "a trustee")));
        }
      }
      if (const Value* masks = v.find("masks")) {
        if (!masks->isObject()) fail(*masks, "\"masks\" maps paths to rights");
        FileEntries entries(db_);
        for (const auto& key : masks->keys()) {
          EntryInfo info = entries.get(serverId, volume, key);
          info.inheritedMask = rightsOf(*masks->find(key));
          entries.put(serverId, volume, key, info);
        }
      }
    }
  }

  // Modules: as the seed lists them, else the usual ones of a running server.
  std::vector<ServerConsole::Module> modules;
  if (const Value* nlms = server.find("nlms")) {
    for (const Value& n : nlms->asArray("\"nlms\"")) {
      ServerConsole::Module mod;
      if (n.isString()) {
        mod.fileName = upper(n.asString("a module"));
      } else {
        mod.fileName = upper(required(n, "file", "a module").asString("\"file\""));
        mod.name = str(n, "name");
        mod.notice = str(n, "notice");
        if (const Value* ver = n.find("version"))
          if (std::sscanf(ver->asString("\"version\"").c_str(), "%d.%d.%d", &mod.major, &mod.minor, &mod.revision) < 2)
            fail(*ver, "a module version looks like \"1.75.0\"");
        if (const Value* date = n.find("date")) {
          if (std::sscanf(date->asString("\"date\"").c_str(), "%d-%d-%d", &mod.year, &mod.month, &mod.day) != 3)
            fail(*date, "a module date is \"yyyy-mm-dd\"");
        }
      }
      if (mod.fileName.size() > 12 || !names::fileNameProblem(mod.fileName).empty())
        fail(n, "a module file name has 1 to 12 characters (8.3) and no separators");
      if (mod.fileName.find('.') == std::string::npos) mod.fileName += ".NLM";
      modules.push_back(mod);
    }
  } else {
    for (const auto& d : kDefaultModules) {
      ServerConsole::Module mod;
      mod.fileName = d[0];
      mod.name = d[1];
      mod.notice = "(C) Copyright 1983-1995 Novell, Inc. All Rights Reserved.";
      mod.major = 4;
      mod.minor = 1;
      mod.year = 1995;
      mod.month = 6;
      mod.day = 20;
      modules.push_back(mod);
    }
  }
  auto sys = volumes.byName(serverId, "SYS");
  for (auto& mod : modules) {
    if (mod.name.empty()) mod.name = mod.fileName.substr(0, mod.fileName.find('.'));
    if (db_.prepare("SELECT 1 FROM nlms WHERE server_id=? AND file_name=?").with(serverId, mod.fileName).first([](Stmt&) {}))
      fail(server, "module " + mod.fileName + " is listed twice on " + serverName);
    ServerConsole::addModule(db_, serverId, mod);
    // The module's file, so that it can be unloaded and loaded again.
    if (sys) writeFile(volumes.root(serverName, "SYS") / "SYSTEM" / mod.fileName, mod.name + "\n");
  }

  printQueues(serverId, serverName, server);

  if (const Value* settings = server.find("settings")) {
    if (!settings->isObject()) fail(*settings, "\"settings\" maps parameter names to values");
    for (const auto& key : settings->keys()) {
      const Value& v = *settings->find(key);
      std::optional<bool> isString;
      db_.prepare("SELECT is_string FROM server_settings WHERE server_id=? AND name=?").with(serverId, upper(key))
          .first([&](Stmt& q) { isString = q.integer(0) != 0; });
      if (!isString) fail(v, "unknown server parameter \"" + key + "\"");
      if (*isString)
        db_.prepare("UPDATE server_settings SET str_value=? WHERE server_id=? AND name=?")
            .with(upper(v.asString("a parameter value")), serverId, upper(key)).run();
      else
        db_.prepare("UPDATE server_settings SET int_value=? WHERE server_id=? AND name=? AND ? BETWEEN min_value AND max_value")
            .with(v.asInteger("a parameter value"), serverId, upper(key), v.asInteger("a parameter value")).run();
      if (!*isString && db_.changes() == 0) fail(v, "the value of \"" + key + "\" is out of its range");
    }
  }
}

void SeedLoader::advertisedServers() {
  std::vector<std::string> advertising;
  db_.prepare("SELECT name FROM servers WHERE up=1 ORDER BY name").each([&](Stmt& q) { advertising.push_back(q.text(0)); });
  for (const auto& [name, id] : serverIds_) {
    Bindery bindery(db_, id);
    for (const auto& other : advertising) {
      if (bindery.find(other, 0x0400)) continue;
      const std::uint32_t object = bindery.addObject(other, 0x0400);
      // Dynamic, and readable by anyone: SLIST runs before a login.
      db_.prepare("UPDATE bindery_objects SET flags=1, security=64 WHERE server_id=? AND object_id=?")
          .with(id, static_cast<std::int64_t>(object)).run();
    }
  }
}

} // namespace nwsim
