// The effective rights of a user at a path must cost the same however large the volume is:
// the same queries on volumes of 1,000, 10,000 and 100,000 directories, each with 1,000
// trustee assignments given to the user and to a group of his. The user is no supervisor,
// so every query walks the path through trustees and inherited rights masks.
#include <benchmark/benchmark.h>
#include <nwprop/nwprop.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kTrustees = 1000;
constexpr int kQueriedPaths = 64;

constexpr const char* kSeed = R"({ "servers": [ { "name": "FS1", "objects": [
  { "name": "SUPERVISOR", "type": "user", "id": "1" },
  { "name": "BENCHUSER", "type": "user", "id": "1A000001" },
  { "name": "BENCHGRP", "type": "group", "id": "02000001", "members": ["BENCHUSER"] } ],
  "volumes": [ { "name": "SYS", "files": [ "PUBLIC\\" ] } ] } ],
  "netcfg": { "preferredServer": "FS1", "loginName": "BENCHUSER" },
  "workstations": [ { "name": "WS-BENCH", "connections": [ { "server": "FS1", "login": "BENCHUSER", "primary": true } ] } ] })";

/// One generated network per volume size, made on first use and removed by main.
class Networks {
public:
  void removeAll() {
    nwsim::useNetwork(base() / "closed");
    for (const auto& [size, dir] : dirs_) std::filesystem::remove_all(dir);
    dirs_.clear();
  }
  void use(int directories) {
    auto it = dirs_.find(directories);
    if (it == dirs_.end()) {
      const auto dir = base() / ("nwbench-trustees-" + std::to_string(::getpid()) + "-" + std::to_string(directories));
      std::filesystem::remove_all(dir);
      nwsim::createNetworkFromText(dir, kSeed, "generated");
      nwsim::useNetwork(dir, "WS-BENCH");
      nwsim::addGeneratedDirectories("FS1", "SYS", directories, kTrustees, {"BENCHUSER", "BENCHGRP"});
      it = dirs_.emplace(directories, dir).first;
    }
    nwsim::useNetwork(it->second, "WS-BENCH");
  }

private:
  static std::filesystem::path base() { return std::filesystem::temp_directory_path(); }
  std::map<int, std::filesystem::path> dirs_;
};

Networks networks;

void BM_EffectiveRights(benchmark::State& state) {
  const int directories = static_cast<int>(state.range(0));
  networks.use(directories);
  ostrel::TOstrel unit;
  if (!ostrel::nwInit()) {
    state.SkipWithError("no client or no primary connection (set NWCLIENT_PATH)");
    return;
  }
  // Paths spread over the whole volume, with and without an assignment of their own.
  std::vector<std::string> paths;
  for (int i = 0; i < kQueriedPaths; ++i) {
    const int d = static_cast<int>(static_cast<long long>(directories - 1) * i / (kQueriedPaths - 1));
    char path[64];
    std::snprintf(path, sizeof path, "FS1/SYS:G%04d\\D%06d", d / 100, d);
    paths.emplace_back(path);
  }
  std::size_t next = 0;
  for (auto _ : state) {
    nwprop::TNWRights rights;
    if (!nwprop::getEffectiveRights(0, paths[next], rights)) {
      state.SkipWithError("the rights could not be read");
      break;
    }
    benchmark::DoNotOptimize(rights);
    next = (next + 1) % paths.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetComplexityN(directories);
}

} // namespace

BENCHMARK(BM_EffectiveRights)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)->Complexity();

// The networks go before the simulator does, so they are removed here rather than at exit.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  networks.removeAll();
  return 0;
}
