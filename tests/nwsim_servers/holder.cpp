// Opens a file through the platform's file calls as another program would and keeps it
// open until killed:  holder <path>  prints "ready <handle>" (or "error").
// NWSIM_NETWORK and NWSIM_WORKSTATION choose the network and workstation.
#include <nwclient/nwclient.h>
#include <platform/files.h>
#include <platform/module.h>

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  // Loading the client brings in its redirector.
  auto primary = reinterpret_cast<decltype(&NWGetPrimaryConnectionID)>(
      platform::getProcAddress(platform::loadLibrary("CALWIN32.DLL"), "NWGetPrimaryConnectionID"));
  NWCONN_HANDLE h = 0;
  if (!primary || primary(&h) != 0) {
    std::printf("error client\n");
    return 1;
  }
  const int fd = platform::lopen(argv[1], platform::OF_READ | platform::OF_SHARE_DENY_NONE);
  if (fd < 1) {
    std::printf("error open\n");
    return 1;
  }
  std::printf("ready %d\n", fd);
  std::fflush(stdout);
  for (;;) ::pause();
}
