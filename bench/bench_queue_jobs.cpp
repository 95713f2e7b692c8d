// The summary list of a print queue (getQueueJobList): time per listing and the client calls
// it makes, for a full queue of 250 jobs and for a queue of 10, whose 240 empty slots must
// cost no call.
#include <benchmark/benchmark.h>
#include <nwprint/nwprint.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

std::string seed(int jobs) {
  std::string list;
  for (int i = 0; i < jobs; ++i) {
    if (i) list += ",";
    list += R"({ "owner": "USER)" + std::to_string(i % 5) + R"(", "station": )" + std::to_string(2 + i % 5) +
            R"(, "description": "Report )" + std::to_string(i) + R"(", "content": "page" })";
  }
  std::string users;
  for (int i = 0; i < 5; ++i) users += R"(, { "name": "USER)" + std::to_string(i) + R"(", "type": "user" })";
  return R"({ "servers": [ { "name": "FS1", "objects": [ { "name": "SUPERVISOR", "type": "user", "id": "1" })" + users +
         R"( ], "volumes": [ { "name": "SYS", "files": [ "SYSTEM\\" ] } ],
           "queues": [ { "name": "LASER", "users": ["SUPERVISOR"], "jobs": [ )" + list + R"( ] } ] } ],
  "netcfg": { "preferredServer": "FS1", "loginName": "SUPERVISOR" },
  "workstations": [ { "name": "WS-BENCH", "connections": [ { "server": "FS1", "login": "SUPERVISOR", "primary": true } ] } ] })";
}

std::filesystem::path makeNetwork(int jobs) {
  auto dir = std::filesystem::temp_directory_path() /
             ("nwbench-queue-" + std::to_string(::getpid()) + "-" + std::to_string(jobs));
  std::filesystem::remove_all(dir);
  nwsim::createNetworkFromText(dir, seed(jobs), "generated");
  nwsim::useNetwork(dir, "WS-BENCH");
  return dir;
}

std::uint64_t clientCalls() {
  std::uint64_t n = 0;
  for (const char* f : {"NWGetQueueJobList2", "NWReadQueueJobEntry2", "NWGetObjectID", "NWGetObjectName"})
    n += nwsim::callCount(f);
  return n;
}

void BM_GetQueueJobList(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const auto dir = makeNetwork(jobs);
  ostrel::TOstrel unit;
  if (!ostrel::nwInit()) {
    state.SkipWithError("no client or no primary connection (set NWCLIENT_PATH)");
    return;
  }
  rtl::TStringList list;
  nwsim::resetCallCounts();
  std::uint64_t reads = 0;
  for (auto _ : state) {
    if (!nwprint::getQueueJobList(0, "LASER", list) || list.Count() != jobs) {
      state.SkipWithError("the listing is incomplete");
      break;
    }
    benchmark::DoNotOptimize(list);
  }
  reads = nwsim::callCount("NWReadQueueJobEntry2");
  const double runs = static_cast<double>(state.iterations());
  state.counters["calls_per_list"] = static_cast<double>(clientCalls()) / runs;
  state.counters["entry_reads_per_list"] = static_cast<double>(reads) / runs;
  state.SetItemsProcessed(state.iterations() * jobs);
  nwsim::useNetwork(dir / "closed");
  std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_GetQueueJobList)->Arg(250)->Arg(10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
