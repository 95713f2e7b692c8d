// Large networks for benchmarks: many bindery users, big files on volumes.
#include "bindery.h"
#include "directory_update.h"
#include "file_entries.h"
#include "name_rules.h"
#include "netware_path.h"
#include "nwsim/nwsim.h"
#include "simulator.h"
#include "trustees.h"
#include "volumes.h"

#include <cstdio>
#include <fstream>

namespace nwsim {

namespace {

// A server and one of its volumes by name, for the generators.
std::pair<Server, Volumes::Volume> volumeOf(Session& s, const std::string& server, const std::string& volume) {
  auto sv = s.serverByName(Bindery::upper(server));
  if (!sv) throw SimError("no server " + server + " on the network");
  auto v = Volumes(s.db(), s.network().dir()).byName(sv->id, volume);
  if (!v) throw SimError("no volume " + volume + " on " + sv->name);
  return {*sv, *v};
}

} // namespace

void addGeneratedUsers(const std::string& server, int count, const std::string& prefix) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  auto sv = s.serverByName(Bindery::upper(server));
  if (!sv) throw SimError("no server " + server + " on the network");
  if (count < 0 || prefix.empty() || prefix.size() > 40) throw SimError("bad count or name prefix for generated users");
  if (std::string why = names::objectNameProblem(Bindery::upper(prefix) + "000001"); !why.empty()) throw SimError(why);
  Transaction t(s.db());
  Bindery b(s.db(), sv->id);
  for (int i = 1; i <= count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%06d", i);
    const std::string name = Bindery::upper(prefix) + number;
    if (b.find(name, 0x0100)) throw SimError("user " + name + " exists on " + sv->name);
    b.addObject(name, 0x0100);
  }
  t.commit();
}

void addGeneratedDirectoryUsers(const std::string& container, int count, const std::string& prefix) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  if (count < 0 || prefix.empty() || prefix.size() > 40) throw SimError("bad count or name prefix for generated users");
  DirectoryTree tree(s.db(), s.network().dir());
  auto parent = DirectoryName::parse(container);
  if (!tree.exists() || !parent || parent->rdns.empty()) throw SimError("no container " + container + " in the tree");
  DirectoryUpdate update(tree);
  update.setUnchecked(true);
  Transaction t(s.db());
  for (int i = 1; i <= count; ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%06d", i);
    std::vector<Rdn> name{{"CN", Bindery::upper(prefix) + number}};
    name.insert(name.end(), parent->rdns.begin(), parent->rdns.end());
    DsValue cls, surname;
    cls.syntax = NWDS_SYN_CLASS_NAME;
    cls.text = "User";
    surname.syntax = NWDS_SYN_CI_STRING;
    surname.text = number;
    std::int64_t id = 0;
    if (NWCCODE rc = update.add(name, {{"Object Class", {cls}}, {"Surname", {surname}}}, id))
      throw SimError("cannot add " + name.front().value + " below " + container + " (code " + std::to_string(rc) + ")");
  }
  t.commit();
}

void createVolumeFile(const std::string& server, const std::string& volume, const std::string& path,
                      std::uint64_t size) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  const auto [sv, v] = volumeOf(s, server, volume);
  Volumes vols(s.db(), s.network().dir());
  auto parts = NetWarePath::components(path);
  if (!parts || parts->empty()) throw SimError("\"" + path + "\" is not a path on a volume");
  std::filesystem::path local;
  if (vols.localPath(sv.name, v, *parts, local)) throw SimError("\"" + path + "\" leaves the volume");
  std::filesystem::create_directories(local.parent_path());
  std::ofstream out(local, std::ios::binary | std::ios::trunc);
  std::string block(1 << 20, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('A' + i % 26);
  for (std::uint64_t left = size; left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    out.write(block.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
  if (!out) throw SimError("cannot write " + local.string());
}

void addGeneratedDirectories(const std::string& server, const std::string& volume, int directories, int trustees,
                             const std::vector<std::string>& objects) {
  auto& sim = Simulator::instance();
  std::lock_guard lock(sim.mutex());
  Session s = sim.adminSession();
  const auto [sv, v] = volumeOf(s, server, volume);
  Volumes vols(s.db(), s.network().dir());
  if (directories < 1 || trustees < 0 || trustees > directories || (trustees > 0 && objects.empty()))
    throw SimError("bad numbers of directories or trustees");
  Bindery b(s.db(), sv.id);
  std::vector<std::uint32_t> ids;
  for (const auto& name : objects) {
    std::optional<Bindery::Object> o;
    for (std::uint16_t type : {std::uint16_t{0x0100}, std::uint16_t{0x0200}})
      if (!o) o = b.find(Bindery::upper(name), type);
    if (!o) throw SimError("no user or group " + name + " on " + sv.name);
    ids.push_back(o->id);
  }
  const std::filesystem::path root = vols.root(sv.name, v.name);
  const int every = trustees > 0 ? directories / trustees : 0;
  Transaction t(s.db());
  Trustees assignments(s.db());
  int given = 0;
  for (int i = 0; i < directories; ++i) {
    char group[16], dir[16];
    std::snprintf(group, sizeof group, "G%04d", i / 100);
    std::snprintf(dir, sizeof dir, "D%06d", i);
    std::filesystem::create_directories(root / group / dir);
    if (every > 0 && i % every == 0 && given < trustees) {
      const std::uint16_t rights = given % 2 ? (NWR_READ | NWR_FILE_SCAN | NWR_WRITE) : (NWR_READ | NWR_FILE_SCAN);
      assignments.set(sv.id, v.number, std::string(group) + "\\" + dir, ids[given % ids.size()], rights);
      ++given;
    }
  }
  t.commit();
}

} // namespace nwsim
