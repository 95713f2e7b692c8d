// Directory listings and the salvage listing at scale: getVolFileList of one directory of N
// empty files (N = 100,000, 500,000 and 2,000,000, the whole volume being that directory),
// getVolDirList of a directory of 100,000 subdirectories, getDeletedFileList of 10,000
// deleted files, and one file's information in a directory of 100,000. The per-entry time
// should stay flat as N grows; "rss_MB" is the process's peak resident memory after the run
// (the runs go from small to large).
#include "floors.h"

#include <benchmark/benchmark.h>
#include <nwserver/nwserver.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/files.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kDeleted = 10000;

constexpr const char* kSeed = R"({ "servers": [ { "name": "FS1", "objects": [
  { "name": "SUPERVISOR", "type": "user", "id": "1" } ],
  "volumes": [ { "name": "SYS", "files": [ "PUBLIC\\" ] }, { "name": "TRASH", "files": [ "BIN\\" ] },
               { "name": "V100K", "size": 1048576 }, { "name": "V500K", "size": 1048576 },
               { "name": "V2M", "size": 1048576 }, { "name": "DIRS", "files": [ "MANY\\" ] } ] } ],
  "netcfg": { "preferredServer": "FS1", "loginName": "SUPERVISOR" },
  "workstations": [ { "name": "WS-BENCH", "connections": [ { "server": "FS1", "login": "SUPERVISOR", "primary": true } ] } ] })";

struct Network {
  fs::path dir = fs::temp_directory_path() / ("nwbench-volumes-" + std::to_string(::getpid()));
  Network() {
    fs::remove_all(dir);
    fs::create_directories(dir);
    nwsim::createNetworkFromText(dir / "net", kSeed, "generated");
    nwsim::useNetwork(dir / "net", "WS-BENCH");
  }
  ~Network() {
    nwsim::useNetwork(dir / "closed");
    fs::remove_all(dir);
  }
  fs::path volume(const std::string& name) const { return dir / "net" / "volumes" / "FS1" / name; }
};

Network& network() {
  static Network net;
  return net;
}

bool ready(benchmark::State& state) {
  network();  // the generated network before the unit finds its primary connection
  static ostrel::TOstrel unit;
  if (ostrel::nwInit()) return true;
  state.SkipWithError("no client or no primary connection (set NWCLIENT_PATH)");
  return false;
}

// Empty files F0000000.DAT ... made straight on disk: the listing, not the making, is measured.
void makeFiles(const fs::path& dir, long count) {
  fs::create_directories(dir);
  char name[32];
  for (long i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "F%07ld.DAT", i);
    const int fd = ::open((dir / name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0) ::close(fd);
  }
}

double peakRssMB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void report(benchmark::State& state, long entries) {
  state.counters["entries"] = static_cast<double>(entries);
  state.counters["us_per_entry"] = benchmark::Counter(static_cast<double>(entries) * state.iterations() / 1e6,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["rss_MB"] = peakRssMB();
}

void BM_VolFileList(benchmark::State& state) {
  if (!ready(state)) return;
  const long n = state.range(0);
  const std::string volume = n == 100000 ? "V100K" : n == 500000 ? "V500K" : "V2M";
  const fs::path dir = network().volume(volume) / "BIG";
  if (!fs::exists(dir)) makeFiles(dir, n);
  long listed = 0;
  for (auto _ : state) {
    auto list = nwserver::getVolFileList(volume + ":BIG\\*.*");
    listed = list->Count();
  }
  if (listed != n) state.SkipWithError(("listed " + std::to_string(listed)).c_str());
  report(state, listed);
}

// The floor: readdir and stat of the same directory.
void BM_VolFileList_DirectoryFloor(benchmark::State& state) {
  const long n = state.range(0);
  const std::string volume = n == 100000 ? "V100K" : n == 500000 ? "V500K" : "V2M";
  const fs::path dir = network().volume(volume) / "BIG";
  if (!fs::exists(dir)) makeFiles(dir, n);
  bench::directoryFloor(state, dir);
}

// One file's information in the directory of 100,000: found by name, not by reading through.
void BM_FileInfoIn100k(benchmark::State& state) {
  if (!ready(state)) return;
  const fs::path dir = network().volume("V100K") / "BIG";
  if (!fs::exists(dir)) makeFiles(dir, 100000);
  nwserver::TNWFileInfo info;
  long i = 0;
  char name[64];
  for (auto _ : state) {
    std::snprintf(name, sizeof name, "V100K:BIG\\F%07ld.DAT", (i++ * 7919) % 100000);
    if (!nwserver::getFileInfo(name, info)) {
      state.SkipWithError(name);
      break;
    }
  }
  state.counters["rss_MB"] = peakRssMB();
}

void BM_VolDirList(benchmark::State& state) {
  if (!ready(state)) return;
  const long n = state.range(0);
  const fs::path dir = network().volume("DIRS") / "MANY";
  if (fs::is_empty(dir)) {
    char name[32];
    for (long i = 0; i < n; ++i) {
      std::snprintf(name, sizeof name, "D%07ld", i);
      ::mkdir((dir / name).c_str(), 0755);
    }
  }
  long listed = 0;
  for (auto _ : state) listed = nwserver::getVolDirList("DIRS:MANY\\*.*")->Count();
  if (listed != n) state.SkipWithError(("listed " + std::to_string(listed)).c_str());
  report(state, listed);
}

void BM_DeletedFileList(benchmark::State& state) {
  if (!ready(state)) return;
  static bool made = false;
  if (!made) {
    makeFiles(network().volume("TRASH") / "BIN", kDeleted);
    char name[64];
    for (int i = 0; i < kDeleted; ++i) {
      std::snprintf(name, sizeof name, "TRASH:BIN\\F%07d.DAT", i);
      platform::deleteFile(name);
    }
    made = true;
  }
  long listed = 0;
  for (auto _ : state) listed = nwserver::getDeletedFileList(0, "TRASH:BIN")->Count();
  if (listed != kDeleted) state.SkipWithError(("listed " + std::to_string(listed)).c_str());
  report(state, listed);
}

} // namespace

BENCHMARK(BM_VolFileList_DirectoryFloor)->Arg(100000)->Arg(500000)->Arg(2000000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_VolFileList)->Arg(100000)->Arg(500000)->Arg(2000000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_FileInfoIn100k)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_VolDirList)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_DeletedFileList)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
