// The NetWare path parser: whatever the text, a parsed path has only plain components, so it
// can never climb out of the folder it is taken below, and its joined form parses back to it.
#include "fuzz_check.h"

#include "netware_path.h"

#include <cstddef>
#include <cstdint>
#include <string>

using nwsim::NetWarePath;

namespace {

bool plain(const std::string& part) {
  if (part.empty() || part == "." || part == "..") return false;
  for (unsigned char c : part)
    if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?') return false;
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto path = NetWarePath::parse(text);
  if (path) {
    for (const auto& part : path->parts) FUZZ_REQUIRE(plain(part));
    if (path->kind == NetWarePath::Kind::Drive) FUZZ_REQUIRE(path->drive >= 'A' && path->drive <= 'Z');
    if (!path->parts.empty()) {
      const auto again = NetWarePath::components(NetWarePath::join(path->parts));
      FUZZ_REQUIRE(again && *again == path->parts);
    }
  }
  if (const auto parts = NetWarePath::components(text))
    for (const auto& part : *parts) FUZZ_REQUIRE(plain(part));
  return 0;
}
