// The redirector: whatever path a program names, with links planted in the volume that lead
// out of it (to a folder outside, to /etc, up the tree, to a file), what it resolves or opens
// is inside a volume's folder.
#include "fuzz_check.h"

#include "redirector.h"

#include <nwsim/nwsim.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path volumes;

bool inside(const fs::path& p) {
  const std::string text = fs::weakly_canonical(p).string(), root = volumes.string() + "/";
  return text.compare(0, root.size(), root) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const fs::path base = fs::temp_directory_path() / ("nwsim-fuzz-redirector-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "outside");
  nwsim::createNetwork(base / "net");  // the sample network
  const fs::path sys = base / "net" / "volumes" / "ACME-FS1" / "SYS";
  fs::create_directories(sys / "PUBLIC");
  fs::create_directory_symlink(base / "outside", sys / "OUT");
  fs::create_directory_symlink("/etc", sys / "PUBLIC" / "ETC");
  fs::create_directory_symlink("../../..", sys / "PUBLIC" / "UP");
  fs::create_symlink("/etc/passwd", sys / "PUBLIC" / "PASSWD");
  fs::create_directory_symlink("PUBLIC", sys / "IN");
  volumes = fs::canonical(base / "net" / "volumes");
  nwsim::useNetwork(base / "net", "WS-FUZZ");  // logged in as SUPERVISOR: every right
  // Paths are redirected for programs that loaded a client library.
  if (!::dlopen(NWCLIENT_CALLS_LIBRARY, RTLD_NOW | RTLD_GLOBAL)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  char local[PATH_MAX + 1] = {};
  if (nwsimRedirect(path.c_str(), local, sizeof local)) FUZZ_REQUIRE(inside(local));
  const int fd = nwsimOpenFile(path.c_str(), O_RDONLY, 0);
  if (fd >= 0) {
    const fs::path opened = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
    ::close(fd);
    FUZZ_REQUIRE(inside(opened));
  }
  return 0;
}
