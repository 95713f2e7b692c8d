// nCopy of a 100 MB file: between two volumes of one server (the server copies it) and to a
// local file (through the workstation), against a plain copy of the same file on disk. The
// ratio is each nCopy's bytes per second over the plain copy's.
#include <benchmark/benchmark.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <unistd.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSize = 100ull << 20;

constexpr const char* kSeed = R"({ "servers": [ { "name": "FS1", "objects": [
  { "name": "SUPERVISOR", "type": "user", "id": "1" } ],
  "volumes": [ { "name": "SYS", "files": [ "PUBLIC\\" ] }, { "name": "DATA", "files": [ "SHARED\\" ] } ] } ],
  "netcfg": { "preferredServer": "FS1", "loginName": "SUPERVISOR" },
  "workstations": [ { "name": "WS-BENCH", "connections": [ { "server": "FS1", "login": "SUPERVISOR", "primary": true } ] } ] })";

/// One network with the 100 MB file on DATA for the whole program.
struct Network {
  fs::path dir = fs::temp_directory_path() / ("nwbench-ncopy-" + std::to_string(::getpid()));
  Network() {
    fs::remove_all(dir);
    fs::create_directories(dir);
    nwsim::createNetworkFromText(dir / "net", kSeed, "generated");
    nwsim::useNetwork(dir / "net", "WS-BENCH");
    nwsim::createVolumeFile("FS1", "DATA", "SHARED\\BIG.BIN", kSize);
    fs::create_directories(dir / "local");
  }
  ~Network() {
    nwsim::useNetwork(dir / "closed");
    fs::remove_all(dir);
  }
  fs::path source() const { return dir / "net" / "volumes" / "FS1" / "DATA" / "SHARED" / "BIG.BIN"; }
};

Network& network() {
  static Network net;
  return net;
}

bool ready(benchmark::State& state) {
  // The network first: the unit remembers the primary connection of the network in force.
  network();
  static ostrel::TOstrel unit;
  if (ostrel::nwInit() && fs::exists(network().source())) return true;
  state.SkipWithError("no client, no primary connection or no source file (set NWCLIENT_PATH)");
  return false;
}

void BM_NCopyBetweenVolumes(benchmark::State& state) {
  if (!ready(state)) return;
  for (auto _ : state)
    if (!ostrel::nCopy("FS1/DATA:SHARED\\BIG.BIN", "FS1/SYS:PUBLIC\\BIG.BIN")) {
      state.SkipWithError("the copy failed");
      break;
    }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kSize));
}

void BM_NCopyToLocalFile(benchmark::State& state) {
  if (!ready(state)) return;
  const std::string target = (network().dir / "local" / "BIG.BIN").string();
  for (auto _ : state)
    if (!ostrel::nCopy("FS1/DATA:SHARED\\BIG.BIN", target)) {
      state.SkipWithError("the copy failed");
      break;
    }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kSize));
}

void BM_PlainCopyFile(benchmark::State& state) {
  if (!ready(state)) return;
  const fs::path target = network().dir / "local" / "PLAIN.BIN";
  for (auto _ : state) fs::copy_file(network().source(), target, fs::copy_options::overwrite_existing);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kSize));
}

} // namespace

BENCHMARK(BM_PlainCopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NCopyBetweenVolumes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NCopyToLocalFile)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
