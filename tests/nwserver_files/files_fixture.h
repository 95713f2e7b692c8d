#pragma once
// The server fixture on this folder's seed, with ways to look at the volumes behind the client.
#include "nwserver/server_fixture.h"

#include <file_entries.h>
#include <simulator.h>
#include <trustees.h>
#include <platform/files.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace filestest {

class FilesTest : public servertest::ServerTest {
protected:
  /// The folder of a volume on disk.
  std::filesystem::path volume(const std::string& server, const std::string& name) const {
    return netDir() / "volumes" / server / name;
  }
  std::filesystem::path salvageArea(const std::string& server, const std::string& name) const {
    return netDir() / "salvage" / server / name;
  }
  /// A second handle on the network's store, for what the client offers no call for.
  nwsim::Store& store() {
    if (!network_) network_ = std::make_unique<nwsim::Network>(netDir());
    return network_->store();
  }
  static std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), {}};
  }
  /// Writes `bytes` bytes through the platform's files at a NetWare path; the bytes written,
  /// -1 when the write failed.
  static long writeThroughClient(const std::string& path, long bytes, bool append = false) {
    const int h = append ? platform::lopen(path, platform::OF_READWRITE) : platform::lcreat(path);
    if (h == platform::HFILE_ERROR) return -2;
    if (append) platform::llseek(h, 0, 2);
    const std::string data(static_cast<std::size_t>(bytes), 'x');
    const long n = platform::lwrite(h, data.data(), bytes);
    platform::lclose(h);
    return n;
  }

private:
  std::unique_ptr<nwsim::Network> network_;
};

inline std::size_t filesIn(const std::filesystem::path& dir) {
  std::error_code ec;
  std::size_t n = 0;
  for (auto it = std::filesystem::directory_iterator(dir, ec); !ec && it != std::filesystem::directory_iterator(); ++it)
    ++n;
  return n;
}

} // namespace filestest
