#include "platform/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace platform {
namespace {

std::string& loadError() {
  static std::string error;
  return error;
}

std::string executableDir() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  buf[n] = '\0';
  return std::filesystem::path(buf).parent_path().string();
}

// The folder of this library: programs that live elsewhere (an installed application, a
// designer loading a plugin) find the client installed beside the library.
std::string libraryDir() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&executableDir), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  auto path = std::filesystem::canonical(info.dli_fname, ec);
  return ec ? std::string() : path.parent_path().string();
}

void* tryOpen(const std::string& file) {
  // RTLD_LOCAL keeps one library's exports out of the others' lookups, so each library
  // answers only for the entry points it exports itself.
  return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

} // namespace

std::string moduleFileName(const std::string& logicalName) {
  std::string base = logicalName;
  auto slash = base.find_last_of("/\\");
  if (slash != std::string::npos) base = base.substr(slash + 1);
  auto dot = base.rfind('.');
  if (dot != std::string::npos) {
    std::string ext = base.substr(dot);
    for (auto& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext == ".DLL") base = base.substr(0, dot);
  }
  for (auto& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return "lib" + base + ".so";
}

ModuleHandle loadLibrary(const std::string& logicalName) {
  const std::string file = moduleFileName(logicalName);
  std::string errors;
  auto attempt = [&](const std::string& path) -> void* {
    void* h = tryOpen(path);
    if (!h) {
      const char* e = ::dlerror();
      if (!errors.empty()) errors += "; ";
      errors += e ? e : path;
    }
    return h;
  };

  // A folder named by NWCLIENT_PATH is the one place searched: it chooses the client, and
  // a folder without a library means that library is not there.
  if (const char* dir = std::getenv("NWCLIENT_PATH"); dir && *dir) {
    std::filesystem::path p = std::filesystem::path(dir) / file;
    void* h = std::filesystem::exists(p) ? attempt(p.string()) : nullptr;
    if (h) { loadError().clear(); return h; }
    loadError() = "cannot load " + logicalName + ": " + (errors.empty() ? p.string() + " does not exist" : errors);
    return nullptr;
  }
  for (const std::string& dir : {executableDir(), libraryDir()}) {
    if (dir.empty()) continue;
    std::filesystem::path p = std::filesystem::path(dir) / file;
    if (std::filesystem::exists(p))
      if (void* h = attempt(p.string())) { loadError().clear(); return h; }
  }
  if (void* h = attempt(file)) { loadError().clear(); return h; }
  loadError() = "cannot load " + logicalName + " (" + file + "): " + errors;
  return nullptr;
}

void* getProcAddress(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return ::dlsym(module, name);
}

std::string lastLoadError() { return loadError(); }

} // namespace platform
