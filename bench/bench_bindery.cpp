// Listing the users of a bindery (getBinderyList) must grow linearly with the number of
// objects: the same listing over 1,000, 10,000 and 100,000 users. The fitted complexity is
// printed at the end; the growth exponent is log10 of the ratio of neighbouring times.
#include "floors.h"

#include <benchmark/benchmark.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <unistd.h>

#include <filesystem>

namespace {

constexpr const char* kSeed = R"({ "servers": [ { "name": "FS1", "objects": [
  { "name": "SUPERVISOR", "type": "user", "id": "1" } ] } ],
  "netcfg": { "preferredServer": "FS1", "loginName": "SUPERVISOR" },
  "workstations": [ { "name": "WS-BENCH", "connections": [ { "server": "FS1", "login": "SUPERVISOR", "primary": true } ] } ] })";

std::filesystem::path makeNetwork(int users) {
  auto dir = std::filesystem::temp_directory_path() /
             ("nwbench-bindery-" + std::to_string(::getpid()) + "-" + std::to_string(users));
  std::filesystem::remove_all(dir);
  nwsim::createNetworkFromText(dir, kSeed, "generated");
  nwsim::useNetwork(dir, "WS-BENCH");
  nwsim::addGeneratedUsers("FS1", users);
  return dir;
}

void BM_GetBinderyList(benchmark::State& state) {
  const int users = static_cast<int>(state.range(0));
  const auto dir = makeNetwork(users);
  ostrel::TOstrel unit;
  if (!ostrel::nwInit()) {
    state.SkipWithError("no client or no primary connection (set NWCLIENT_PATH)");
    return;
  }
  for (auto _ : state) {
    auto list = ostrel::getBinderyList(0, 0x0100);
    if (list->Count() != users + 1) {
      state.SkipWithError("the listing is incomplete");
      break;
    }
    benchmark::DoNotOptimize(list);
  }
  state.SetItemsProcessed(state.iterations() * (users + 1));
  state.SetComplexityN(users);
  nwsim::useNetwork(dir / "closed");
  std::filesystem::remove_all(dir);
}

// The floor: the store's own query of the same users, in the listing's order.
void BM_GetBinderyList_StoreFloor(benchmark::State& state) {
  const int users = static_cast<int>(state.range(0));
  const auto dir = makeNetwork(users);
  bench::storeFloor(state, dir, "SELECT object_id, name, type, flags, security FROM bindery_objects WHERE type=256 ORDER BY object_id");
  nwsim::useNetwork(dir / "closed");
  std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_GetBinderyList_StoreFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetBinderyList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

BENCHMARK_MAIN();
