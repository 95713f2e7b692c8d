#include "volumes.h"

#include <nwclient/paths.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

namespace nwsim {

namespace fs = std::filesystem;

namespace {

Volumes::Volume readVolume(Stmt& q) {
  return Volumes::Volume{q.int64(0), q.integer(1), q.text(2), q.integer(3) != 0};
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
  Placed p;
  if (NWCCODE rc = place(serverName, v, parts, p)) return rc;
  // The name as the disk resolves it: links inside the volume followed.
  std::error_code ec;
  out = fs::weakly_canonical(p.local, ec);
  if (ec) out = p.local;
  return NWE_OK;
}

NWCCODE Volumes::place(const std::string& serverName, const Volume& v, const std::vector<std::string>& parts,
                       Placed& out) const {
  std::error_code ec;
  const fs::path realRoot = fs::canonical(root(serverName, v.name), ec);
  if (ec) return NWE_VOLUME_DOES_NOT_EXIST;
  out.root = FileDescriptor(::open(realRoot.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!out.root.valid()) return NWE_VOLUME_DOES_NOT_EXIST;
  out.relative.clear();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    // Each folder on the way is opened from the root, so a link met is followed only inside it.
    FileDescriptor dir(out.open(O_RDONLY | O_DIRECTORY));
    if (!dir.valid()) {
      if (errno == EXDEV || errno == ELOOP) return NWE_INVALID_PATH;
      // The rest does not exist yet (a file to create), or lies below a file.
      for (std::size_t j = i; j < parts.size(); ++j) out.relative = out.child(parts[j]);
      break;
    }
    std::string name = parts[i];
    struct stat st{};
    if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      // Files put on the volume from outside may not be in upper case.
      if (DIR* d = ::fdopendir(::dup(dir.get()))) {
        while (const dirent* e = ::readdir(d)) {
          if (sameIgnoringCase(e->d_name, parts[i])) {
            name = e->d_name;
            break;
          }
        }
        ::closedir(d);
      }
    }
    out.relative = out.child(name);
  }
  // A link at the end that leads out is refused here already; using the place checks again.
  if (!parts.empty()) {
    FileDescriptor probe(out.open(O_PATH));
    if (!probe.valid() && (errno == EXDEV || errno == ELOOP)) return NWE_INVALID_PATH;
  }
  out.local = out.relative.empty() ? realRoot : realRoot / out.relative;
  return NWE_OK;
}

int Placed::openParent(std::string& leaf) const {
  const auto slash = relative.rfind('/');
  leaf = slash == std::string::npos ? relative : relative.substr(slash + 1);
  return openBeneath(root.get(), slash == std::string::npos ? std::string() : relative.substr(0, slash),
                     O_PATH | O_DIRECTORY);
}

bool Placed::statusOf(const std::string& name, struct stat& st) const { return statusAt(child(name), st); }

bool Placed::statusAt(const std::string& rel, struct stat& st) const {
  FileDescriptor fd(openBeneath(root.get(), rel, O_PATH));
  return fd.valid() && ::fstat(fd.get(), &st) == 0;
}

} // namespace nwsim
