#include "volumes.h"

#include <nwclient/paths.h>

#include <sys/stat.h>

#include <cctype>

namespace nwsim {

namespace fs = std::filesystem;

namespace {

Volumes::Volume readVolume(Stmt& q) {
  return Volumes::Volume{q.int64(0), q.integer(1), q.text(2), q.integer(3) != 0};
}

bool within(const fs::path& p, const fs::path& root) {
  const std::string s = p.string(), r = root.string();
  return s == r || (s.size() > r.size() && s.compare(0, r.size(), r) == 0 && s[r.size()] == '/');
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

} // namespace

std::optional<Volumes::Volume> Volumes::byName(std::int64_t serverId, const std::string& name) {
  std::string n = name;
  if (!n.empty() && n.back() == ':') n.pop_back();
  for (auto& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::optional<Volume> v;
  db_.prepare("SELECT server_id, number, name, mounted FROM volumes WHERE server_id=? AND name=?")
      .with(serverId, n).first([&](Stmt& q) { v = readVolume(q); });
  return v;
}

std::optional<Volumes::Volume> Volumes::byNumber(std::int64_t serverId, int number) {
  std::optional<Volume> v;
  db_.prepare("SELECT server_id, number, name, mounted FROM volumes WHERE server_id=? AND number=?")
      .with(serverId, number).first([&](Stmt& q) { v = readVolume(q); });
  return v;
}

std::vector<Volumes::Volume> Volumes::all(std::int64_t serverId) {
  std::vector<Volume> out;
  db_.prepare("SELECT server_id, number, name, mounted FROM volumes WHERE server_id=? ORDER BY number")
      .with(serverId).each([&](Stmt& q) { out.push_back(readVolume(q)); });
  return out;
}

fs::path Volumes::root(const std::string& serverName, const std::string& volumeName) const {
  return dir_ / "volumes" / serverName / volumeName;
}

Volumes::Volume Volumes::create(std::int64_t serverId, const std::string& serverName, const std::string& name) {
  int number = 0;
  db_.prepare("SELECT COALESCE(MAX(number) + 1, 0) FROM volumes WHERE server_id=?")
      .with(serverId).first([&](Stmt& q) { number = q.integer(0); });
  db_.prepare("INSERT INTO volumes(server_id, number, name, mounted) VALUES(?,?,?,1)").with(serverId, number, name).run();
  fs::create_directories(root(serverName, name));
  return Volume{serverId, number, name, true};
}

void Volumes::setMounted(const Volume& v, bool mounted) {
  db_.prepare("UPDATE volumes SET mounted=? WHERE server_id=? AND number=?").with(mounted ? 1 : 0, v.serverId, v.number).run();
}

NWCCODE Volumes::localPath(const std::string& serverName, const Volume& v, const std::vector<std::string>& parts,
                           fs::path& out) const {
  std::error_code ec;
  const fs::path realRoot = fs::canonical(root(serverName, v.name), ec);
  if (ec) return NWE_VOLUME_DOES_NOT_EXIST;
  fs::path cur = realRoot;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    fs::path next = cur / parts[i];
    struct stat st{};
    if (::lstat(next.c_str(), &st) != 0) {
      // Files put on the volume from outside may not be in upper case.
      bool found = false;
      for (const auto& e : fs::directory_iterator(cur, ec)) {
        if (sameIgnoringCase(e.path().filename().string(), parts[i])) {
          next = e.path();
          found = ::lstat(next.c_str(), &st) == 0;
          break;
        }
      }
      if (!found) {
        // The rest does not exist yet (a file to create); nothing there can be a link.
        for (std::size_t j = i; j < parts.size(); ++j) cur /= parts[j];
        out = cur;
        return NWE_OK;
      }
    }
    if (S_ISLNK(st.st_mode)) {
      fs::path target = fs::canonical(next, ec);
      if (ec || !within(target, realRoot)) return NWE_INVALID_PATH;
      next = target;
    }
    cur = next;
  }
  out = cur;
  return NWE_OK;
}

} // namespace nwsim
