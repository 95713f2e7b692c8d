// Small file helpers: openable, size, and a new file of a unique name.
#include "nwtools/nwtools.h"

#include "platform/files.h"
#include "platform/process.h"

#include <chrono>
#include <thread>

namespace nwtools {

bool canOpen(const std::string& fileName) {
  const int handle = platform::lopen(fileName, platform::OF_READ | platform::OF_SHARE_DENY_NONE);
  if (handle == platform::HFILE_ERROR) return false;
  platform::lclose(handle);
  return true;
}

std::int64_t sizeofFile(const std::string& fileName) {
  const int handle = platform::lopen(fileName, platform::OF_READ);
  if (handle == platform::HFILE_ERROR) return 0;
  const std::int64_t size = platform::llseek(handle, 0, 2);
  platform::lclose(handle);
  return size < 0 ? 0 : size;
}

namespace {
// How long fUnique waits for the tick count to give a name that is not taken. Digits 2 to 8
// of the count change every 1 to 100 ms depending on how long the machine has been up.
constexpr auto UniqueNameTimeout = std::chrono::seconds(5);

// NetWare and drive-letter folders take the library's form, upper case with a backslash;
// a local folder keeps its case and gets a slash, as the file system needs.
std::string folderPrefix(const std::string& folder) {
  if (platform::isRedirectedPath(folder)) return setPath(folder);
  std::string prefix = allTrim(folder);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  return prefix;
}
} // namespace

std::string fUnique(const std::string& folder) {
  const std::string prefix = folderPrefix(folder);
  const auto deadline = std::chrono::steady_clock::now() + UniqueNameTimeout;
  for (;;) {
    const std::string ticks = std::to_string(platform::getTickCount());
    const std::string candidate = prefix + ticks.substr(1, 7) + "1";
    const int handle = platform::fileCreateExclusive(candidate);
    if (handle != platform::HFILE_ERROR) {
      platform::lclose(handle);
      return candidate;
    }
    // Only a name that is taken is worth another try; a folder that cannot be written is not.
    if (!platform::fileExists(candidate) || std::chrono::steady_clock::now() >= deadline) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

} // namespace nwtools
