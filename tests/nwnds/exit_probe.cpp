// A program that lists a container with unit objects that live until the program ends, as
// static objects do: whatever order the statics die in, it must exit with status 0.
// NWSIM_NETWORK and NWSIM_WORKSTATION choose the network; the argument is the container.
#include <nwnds/nwnds.h>
#include <ostrel/ostrel.h>

#include <cstdio>
#include <memory>

namespace {
std::unique_ptr<ostrel::TOstrel> ostrelUnit;
std::unique_ptr<nwnds::TNWNDS> ndsUnit;
} // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  ostrelUnit = std::make_unique<ostrel::TOstrel>();
  ndsUnit = std::make_unique<nwnds::TNWNDS>();
  if (!nwnds::ndsInit()) return 3;
  auto list = nwnds::ndsList("", argv[1]);
  std::printf("%d\n", list->Count());
  return 0;
}
