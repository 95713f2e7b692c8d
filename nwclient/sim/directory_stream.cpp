#include "directory_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace nwsim {

std::filesystem::path DirectoryStreams::dir() { return tree_.networkDir() / "streams"; }

std::optional<std::filesystem::path> DirectoryStreams::file(std::int64_t object, const std::string& attr) {
  std::optional<std::filesystem::path> f;
  tree_.db().prepare("SELECT file FROM ds_streams WHERE object_id=? AND attr=?").with(object, attr).first([&](Stmt& q) {
    f = dir() / q.text(0);
  });
  return f;
}

bool DirectoryStreams::has(std::int64_t object, const std::string& attr) { return file(object, attr).has_value(); }

std::filesystem::path DirectoryStreams::create(std::int64_t object, const std::string& attr) {
  if (auto f = file(object, attr)) return *f;
  std::filesystem::create_directories(dir());
  char name[64];
  for (int n = 0;; ++n) {
    std::snprintf(name, sizeof name, "%08llX-%d.stm", static_cast<unsigned long long>(object), n);
    if (!std::filesystem::exists(dir() / name)) break;
  }
  std::ofstream(dir() / name, std::ios::binary).flush();
  tree_.db().prepare("INSERT INTO ds_streams(object_id, attr, file) VALUES(?,?,?)").with(object, attr, std::string(name)).run();
  tree_.touch(object);
  return dir() / name;
}

int DirectoryStreams::open(const std::filesystem::path& file, std::uint32_t flags) {
  int mode = flags == DS_READ_STREAM ? O_RDONLY : flags == DS_WRITE_STREAM ? O_WRONLY : O_RDWR;
  return ::open(file.c_str(), mode | O_CLOEXEC);
}

std::string DirectoryStreams::contents(std::int64_t object, const std::string& attr) {
  auto f = file(object, attr);
  if (!f) return {};
  std::ifstream in(*f, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void DirectoryStreams::write(std::int64_t object, const std::string& attr, const std::string& text) {
  std::ofstream(create(object, attr), std::ios::binary | std::ios::trunc) << text;
}

bool DirectoryStreams::remove(std::int64_t object, const std::string& attr) {
  auto f = file(object, attr);
  if (!f) return false;
  tree_.db().prepare("DELETE FROM ds_streams WHERE object_id=? AND attr=?").with(object, attr).run();
  std::error_code ec;
  std::filesystem::remove(*f, ec);
  tree_.touch(object);
  return true;
}

void DirectoryStreams::removeAll(std::int64_t object) {
  std::vector<std::string> attrs;
  tree_.db().prepare("SELECT attr FROM ds_streams WHERE object_id=?").with(object).each([&](Stmt& q) { attrs.push_back(q.text(0)); });
  for (auto& a : attrs) remove(object, a);
}

} // namespace nwsim
