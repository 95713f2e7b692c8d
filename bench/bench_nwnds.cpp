// Directory attribute reads: one string attribute through the library against the same read
// written directly against the client, and multi-valued reads of 10,000 and 100,000 values,
// whose time and memory per value must not grow with the count.
#include "generated_networks.h"

#include <benchmark/benchmark.h>
#include <nwclient/nwclient.h>
#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/module.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

namespace {

// A tree whose user CN=U<count> holds `count` telephone numbers (none for count 0).
std::filesystem::path benchNetwork(int count) {
  return bench::generatedNetwork("nds", count, [&](const std::filesystem::path& d) {
    std::ostringstream seed;
    seed << R"({ "servers": [ { "name": "NDS1", "kind": "directory", "tree": "BENCH",
                 "objects": [ { "name": "ADMIN", "type": "user", "id": "3C000031" } ] } ],
               "directory": { "tree": "BENCH",
                 "acl": [ { "subject": "[Root]", "attribute": "[Entry Rights]", "rights": "B" },
                          { "subject": "[Root]", "attribute": "[All Attributes Rights]", "rights": "CR" } ],
                 "objects": [ { "name": "O=BENCH", "class": "Organization", "objects": [
                   { "name": "CN=ADMIN", "class": "User", "id": "3C000031", "attributes": { "Surname": "Admin" } })";
    if (count > 0) {
      seed << R"(, { "name": "CN=U)" << count << R"(", "class": "User", "attributes": { "Surname": "Bench", "Telephone Number": [)";
      for (int i = 0; i < count; ++i) seed << (i ? "," : "") << "\"555-" << (1000000 + i) << "\"";
      seed << "] } }";
    }
    seed << R"( ] } ] },
               "netcfg": { "preferredServer": "NDS1", "preferredTree": "BENCH", "loginName": "ADMIN" },
               "workstations": [ { "name": "WS-BENCH", "connections": [
                 { "server": "NDS1", "station": 1, "login": "ADMIN", "primary": true } ] } ] })";
    nwsim::createNetworkFromText(d, seed.str(), "generated");
  });
}

// The units loaded on the network for `count`, once per network.
bool ready(int count) { return bench::loadDirectoryUnits(benchNetwork(count)); }

const std::string kUser = "CN=ADMIN.O=BENCH";

void BM_LibraryStringRead(benchmark::State& state) {
  if (!ready(0)) return state.SkipWithError("no directory client (set NWCLIENT_PATH)");
  std::string surname;
  for (auto _ : state) {
    if (!nwnds::ndsGetStringAttr("", kUser, nwnds::dsaSurname, surname)) return state.SkipWithError("read failed");
    benchmark::DoNotOptimize(surname);
  }
}
BENCHMARK(BM_LibraryStringRead);

template <typename Fn>
Fn* entry(const char* name) {
  return reinterpret_cast<Fn*>(platform::getProcAddress(platform::loadLibrary("NETWIN32.DLL"), name));
}

// The same read written straight against the client: with `workingContext`, the same calls
// the library makes (a copy of a context per read, as the library's context rule asks);
// without, on one context kept for all reads.
void directStringRead(benchmark::State& state, bool workingContext) {
  if (!ready(0)) return state.SkipWithError("no directory client (set NWCLIENT_PATH)");
  auto createContext = entry<decltype(NWDSCreateContext)>("NWDSCreateContext");
  auto duplicateContext = entry<decltype(NWDSDuplicateContext)>("NWDSDuplicateContext");
  auto freeContext = entry<decltype(NWDSFreeContext)>("NWDSFreeContext");
  auto allocBuf = entry<decltype(NWDSAllocBuf)>("NWDSAllocBuf");
  auto initBuf = entry<decltype(NWDSInitBuf)>("NWDSInitBuf");
  auto freeBuf = entry<decltype(NWDSFreeBuf)>("NWDSFreeBuf");
  auto putAttrName = entry<decltype(NWDSPutAttrName)>("NWDSPutAttrName");
  auto read = entry<decltype(NWDSRead)>("NWDSRead");
  auto getAttrCount = entry<decltype(NWDSGetAttrCount)>("NWDSGetAttrCount");
  auto getAttrName = entry<decltype(NWDSGetAttrName)>("NWDSGetAttrName");
  auto computeSize = entry<decltype(NWDSComputeAttrValSize)>("NWDSComputeAttrValSize");
  auto getAttrVal = entry<decltype(NWDSGetAttrVal)>("NWDSGetAttrVal");
  const NWDSContextHandle kept = createContext();
  std::string surname;
  for (auto _ : state) {
    const NWDSContextHandle context = workingContext ? duplicateContext(kept) : kept;
    Buf_T* request = nullptr;
    Buf_T* result = nullptr;
    allocBuf(NWDS_DEFAULT_BUFFER_SIZE, &request);
    allocBuf(NWDS_DEFAULT_BUFFER_SIZE, &result);
    initBuf(context, DSV_READ, request);
    putAttrName(context, request, "Surname");
    nint32 iteration = NWDS_NO_MORE_ITERATIONS;
    nuint32 count = 0, values = 0, syntax = 0, size = 0;
    char name[NWDS_MAX_SCHEMA_NAME_BYTES + 1];
    char value[NWDS_MAX_DN_BYTES];
    if (read(context, kUser.c_str(), DS_ATTRIBUTE_VALUES, 0, request, &iteration, result) != 0 ||
        getAttrCount(context, result, &count) != 0 || getAttrName(context, result, name, &values, &syntax) != 0 ||
        computeSize(context, result, syntax, &size) != 0 || size > sizeof value ||
        getAttrVal(context, result, syntax, value) != 0)
      return state.SkipWithError("read failed");
    surname = value;
    benchmark::DoNotOptimize(surname);
    freeBuf(request);
    freeBuf(result);
    if (workingContext) freeContext(context);
  }
  freeContext(kept);
}

void BM_DirectStringRead(benchmark::State& state) { directStringRead(state, true); }
BENCHMARK(BM_DirectStringRead);
void BM_DirectStringReadKeptContext(benchmark::State& state) { directStringRead(state, false); }
BENCHMARK(BM_DirectStringReadKeptContext);

// Every value of a multi-valued attribute; reports time and bytes per value.
void BM_MultiAttr(benchmark::State& state) {
  const auto count = state.range(0);
  if (!ready(static_cast<int>(count))) return state.SkipWithError("no directory client (set NWCLIENT_PATH)");
  const std::string user = "CN=U" + std::to_string(count) + ".O=BENCH";
  double bytes = 0;
  for (auto _ : state) {
    rtl::TList values;
    if (!nwnds::ndsGetMultiAttr("", user, nwnds::dsaTelephoneNumber, values) || values.Count() != count)
      return state.SkipWithError("read failed");
    state.PauseTiming();
    bytes = 0;
    for (int i = 0; i < values.Count(); ++i) {
      bytes += static_cast<double>(malloc_usable_size(values[i]));
      nwnds::ndsFreeAttrBlock(values[i]);
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["time_per_value"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count), benchmark::Counter::kIsRate |
                                                                           benchmark::Counter::kInvert);
  state.counters["bytes_per_value"] = bytes / static_cast<double>(count);
}
BENCHMARK(BM_MultiAttr)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
