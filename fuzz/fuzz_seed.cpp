// The seed reader and loader: any text either makes a network or is refused with a message
// (SimError), and nothing is ever written outside the folder the network is made in.
#include "fuzz_check.h"

#include <nwsim/nwsim.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// base/ holds only work/, and work/ only the network folder the input made, if any.
const fs::path& base() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("nwsim-fuzz-seed-" + std::to_string(::getpid()));
    fs::remove_all(d);
    fs::create_directories(d / "work");
    return d;
  }();
  return dir;
}

std::size_t entries(const fs::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path net = base() / "work" / "net";
  try {
    nwsim::createNetworkFromText(net, std::string(reinterpret_cast<const char*>(data), size), "fuzz.json");
  } catch (const nwsim::SimError&) {
    FUZZ_REQUIRE(!fs::exists(net));  // a refused seed leaves nothing behind
  }
  FUZZ_REQUIRE(entries(base()) == 1);
  FUZZ_REQUIRE(entries(base() / "work") <= 1);
  fs::remove_all(net);
  return 0;
}
