// Test helper: another program on another workstation that holds a NetWare file open.
// usage: hold_file NETWORK WORKSTATION PATH SIGNALDIR
// Opens PATH, writes SIGNALDIR/ready, and keeps the file open until SIGNALDIR/stop appears
// (at most 60 seconds).
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/files.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const std::filesystem::path signals = argv[4];
  nwsim::useNetwork(argv[1], argv[2]);
  ostrel::TOstrel unit;
  const int handle = platform::lopen(argv[3], platform::OF_READ | platform::OF_SHARE_DENY_NONE);
  if (handle < 1) return 1;
  std::ofstream(signals / "ready") << handle << "\n";
  for (int i = 0; i < 600 && !std::filesystem::exists(signals / "stop"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  platform::lclose(handle);
  return 0;
}
