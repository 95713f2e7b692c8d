// Directory lists and searches on generated trees: ndsList of a container of 40,000 objects
// (time, heap held by the list, peak memory) against the same list written straight against
// the client, and ndsSearchFilter over trees of 10,000 to 100,000 objects, whose time per
// object searched must not grow with the tree.
#include "floors.h"
#include "generated_networks.h"

#include <benchmark/benchmark.h>
#include <nwclient/nwclient.h>
#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/module.h>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

const std::string kContainer = "OU=BIG.O=BENCH";

// A tree whose container OU=BIG.O=BENCH holds `count` users with surnames of their number.
std::filesystem::path benchTree(int count) {
  return bench::generatedNetwork("dirobj", count, [&](const std::filesystem::path& d) {
    nwsim::createNetworkFromText(d, R"({
      "servers": [ { "name": "NDS1", "kind": "directory", "tree": "BIGTREE",
                     "objects": [ { "name": "ADMIN", "type": "user", "id": "3C000031" } ] } ],
      "directory": { "tree": "BIGTREE",
        "acl": [ { "subject": "[Root]", "attribute": "[Entry Rights]", "rights": "B" },
                 { "subject": "[Root]", "attribute": "[All Attributes Rights]", "rights": "CR" } ],
        "objects": [ { "name": "O=BENCH", "class": "Organization", "objects": [
          { "name": "CN=ADMIN", "class": "User", "id": "3C000031", "attributes": { "Surname": "Admin" } },
          { "name": "OU=BIG", "class": "Organizational Unit" } ] } ] },
      "netcfg": { "preferredServer": "NDS1", "preferredTree": "BIGTREE", "loginName": "ADMIN" },
      "workstations": [ { "name": "WS-BENCH", "connections": [
        { "server": "NDS1", "station": 1, "login": "ADMIN", "primary": true } ] } ] })",
                                 "generated");
    nwsim::useNetwork(d, "WS-BENCH");
    nwsim::addGeneratedDirectoryUsers(kContainer, count, "U");
  });
}

// The units loaded on the tree of `count` objects, once per tree.
bool ready(int count) { return bench::loadDirectoryUnits(benchTree(count)); }

double peakRssMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_LibraryList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  if (!ready(count)) return state.SkipWithError("no directory client (set NWCLIENT_PATH)");
  double heldMB = 0;
  for (auto _ : state) {
    const auto before = mallinfo2().uordblks;
    auto list = nwnds::ndsList("", kContainer);
    heldMB = static_cast<double>(mallinfo2().uordblks - before) / (1024.0 * 1024.0);
    if (list->Count() != count) return state.SkipWithError("list incomplete");
    benchmark::DoNotOptimize(list);
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["list_heap_MB"] = heldMB;
  state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_LibraryList)->Arg(40000)->Unit(benchmark::kMillisecond);

template <typename Fn>
Fn* entry(const char* name) {
  return reinterpret_cast<Fn*>(platform::getProcAddress(platform::loadLibrary("NETWIN32.DLL"), name));
}

// The same list written straight against the client, on one context and one buffer: what the
// client itself costs.
void BM_DirectList(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  if (!ready(count)) return state.SkipWithError("no directory client (set NWCLIENT_PATH)");
  auto createContext = entry<decltype(NWDSCreateContext)>("NWDSCreateContext");
  auto freeContext = entry<decltype(NWDSFreeContext)>("NWDSFreeContext");
  auto allocBuf = entry<decltype(NWDSAllocBuf)>("NWDSAllocBuf");
  auto freeBuf = entry<decltype(NWDSFreeBuf)>("NWDSFreeBuf");
  auto list = entry<decltype(NWDSList)>("NWDSList");
  auto getObjectCount = entry<decltype(NWDSGetObjectCount)>("NWDSGetObjectCount");
  auto getObjectName = entry<decltype(NWDSGetObjectName)>("NWDSGetObjectName");
  const NWDSContextHandle context = createContext();
  Buf_T* buffer = nullptr;
  allocBuf(NWDS_DEFAULT_BUFFER_SIZE, &buffer);
  for (auto _ : state) {
    nint32 iteration = NWDS_NO_MORE_ITERATIONS;
    int listed = 0;
    do {
      nuint32 objects = 0;
      if (list(context, kContainer.c_str(), &iteration, buffer) != 0 || getObjectCount(context, buffer, &objects) != 0)
        return state.SkipWithError("list failed");
      for (nuint32 i = 0; i < objects; ++i) {
        char name[NWDS_MAX_DN_BYTES];
        Object_Info_T info;
        nuint32 attrs = 0;
        if (getObjectName(context, buffer, name, &attrs, &info) == 0) ++listed;
      }
    } while (iteration != NWDS_NO_MORE_ITERATIONS);
    if (listed != count) return state.SkipWithError("list incomplete");
  }
  freeBuf(buffer);
  freeContext(context);
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_DirectList)->Arg(40000)->Unit(benchmark::kMillisecond);

// The floor: the store's own query of the container's children in name order.
void BM_List_StoreFloor(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  bench::storeFloor(state, benchTree(count),
                    "SELECT c.rdn, c.class, c.modified FROM ds_objects c JOIN ds_objects p ON c.parent = p.id "
                    "WHERE p.rdn_key = 'BIG' ORDER BY c.rdn_key");
}
BENCHMARK(BM_List_StoreFloor)->Arg(40000)->Unit(benchmark::kMillisecond);

// A filter that one object in ten matches, over the whole tree.
void BM_SearchFilter(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  if (!ready(count)) return state.SkipWithError("no directory client (set NWCLIENT_PATH)");
  for (auto _ : state) {
    auto found = nwnds::ndsSearchFilter("O=BENCH", "Surname=*5&Object Class=User");
    if (found->Count() != count / 10) return state.SkipWithError("search incomplete");
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["time_per_object"] = benchmark::Counter(static_cast<double>(state.iterations() * count),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SearchFilter)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
