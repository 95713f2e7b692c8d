// Connection lookups in the simulated client must not grow with the number of stations on
// the network: the same calls on a network with 1 and with 1,000 other stations.
#include <benchmark/benchmark.h>
#include <nwclient/nwclient.h>
#include <nwsim/nwsim.h>
#include <platform/module.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace {

std::filesystem::path makeNetwork(int stations) {
  auto dir = std::filesystem::temp_directory_path() /
             ("nwbench-conn-" + std::to_string(::getpid()) + "-" + std::to_string(stations));
  std::filesystem::remove_all(dir);
  std::ostringstream seed;
  seed << R"({ "servers": [ { "name": "FS1", "maxConnections": 2000, "objects": [ { "name": "SUPERVISOR", "type": "user", "id": "1" } ] } ],
             "netcfg": { "preferredServer": "FS1", "loginName": "SUPERVISOR" }, "workstations": [)";
  for (int i = 0; i < stations; ++i)
    seed << (i ? "," : "") << R"({ "name": "WS)" << i << R"(", "connections": [ { "server": "FS1", "login": "SUPERVISOR" } ] })";
  seed << "] }";
  nwsim::createNetworkFromText(dir, seed.str(), "generated");
  return dir;
}

template <typename Fn>
Fn* bind(const char* lib, const char* name) {
  return reinterpret_cast<Fn*>(platform::getProcAddress(platform::loadLibrary(lib), name));
}

void BM_ConnectionLookup(benchmark::State& state) {
  int others = static_cast<int>(state.range(0));
  auto dir = makeNetwork(others);
  nwsim::useNetwork(dir, "WS-BENCH");
  auto getPrimary = bind<decltype(NWGetPrimaryConnectionID)>("CALWIN32.DLL", "NWGetPrimaryConnectionID");
  auto connNumber = bind<decltype(NWGetConnectionNumber)>("CALWIN32.DLL", "NWGetConnectionNumber");
  auto info = bind<decltype(NWGetConnectionInformation)>("CALWIN32.DLL", "NWGetConnectionInformation");
  if (!getPrimary || !connNumber || !info) {
    state.SkipWithError("client not found (set NWCLIENT_PATH)");
    return;
  }
  NWCONN_HANDLE h = 0;
  if (getPrimary(&h) != 0) {
    state.SkipWithError("no primary connection");
    return;
  }
  for (auto _ : state) {
    nuint16 station = 0;
    char name[48];
    nuint16 type;
    nuint32 id;
    nuint8 t[7];
    if (connNumber(h, &station) != 0 || info(h, station, name, &type, &id, t) != 0) {
      state.SkipWithError("a lookup failed");
      break;
    }
  }
  state.counters["stations"] = others + 1;
  nwsim::useNetwork(dir / "closed");
  std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_ConnectionLookup)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
