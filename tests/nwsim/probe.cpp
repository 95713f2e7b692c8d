// A small program that uses the simulated client as another process would, for the tests
// of several programs and workstations on one network.
//   probe primary          prints "<server> <station> <handle>" of the primary connection
//   probe stations         prints "<server> <station> <user>" for every station it can see
//   probe hang             sets up the workstation, prints "ready" and waits to be killed
//   probe fault FUNCTION   arms one failure 8801 of the client function
//   probe clear STATION    clears the station of the primary connection's server
//   probe down             brings the primary connection's server down
//   probe count N          makes N requests on the primary connection, prints its station
// NWSIM_NETWORK and NWSIM_WORKSTATION choose the network and workstation.
#include <nwclient/nwclient.h>
#include <nwsim/nwsim.h>
#include <platform/module.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

template <typename Fn>
Fn* bind(const char* lib, const char* name) {
  return reinterpret_cast<Fn*>(platform::getProcAddress(platform::loadLibrary(lib), name));
}
#define CALLS(fn) bind<decltype(::fn)>("CALWIN32.DLL", #fn)
#define CLX(fn) bind<decltype(::fn)>("CLXWIN32.DLL", #fn)

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string action = argv[1];
  const std::string arg = argc > 2 ? argv[2] : "";
  NWCONN_HANDLE h = 0;
  if (NWCCODE rc = CALLS(NWGetPrimaryConnectionID)(&h)) {
    std::printf("error %X\n", static_cast<unsigned>(rc));
    return 1;
  }
  NWCCConnInfo info;
  if (CLX(NWCCGetAllConnInfo)(h, 1, &info) != 0) return 1;
  if (action == "primary") {
    std::printf("%s %u %u\n", info.serverName, info.connNum, h);
  } else if (action == "stations") {
    for (nuint16 st = 1; st <= 20; ++st) {
      char name[48] = {};
      nuint16 type = 0;
      nuint32 id = 0;
      nuint8 t[7];
      if (CALLS(NWGetConnectionInformation)(h, st, name, &type, &id, t) == 0 && name[0])
        std::printf("%s %u %s\n", info.serverName, st, name);
    }
  } else if (action == "hang") {
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) ::pause();
  } else if (action == "fault") {
    nwsim::injectFault(arg, 0x8801);
  } else if (action == "clear") {
    return CALLS(NWClearConnectionNumber)(h, static_cast<nuint16>(std::stoi(arg))) == 0 ? 0 : 1;
  } else if (action == "down") {
    return CALLS(NWDownFileServer)(h, 1) == 0 ? 0 : 1;
  } else if (action == "count") {
    nuint16 station = 0;
    for (int i = 0; i < std::stoi(arg); ++i)
      if (CALLS(NWGetConnectionNumber)(h, &station) != 0) return 1;
    std::printf("%u\n", station);
  } else {
    return 2;
  }
  return 0;
}
