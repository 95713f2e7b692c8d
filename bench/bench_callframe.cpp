// Cost of the call frame: an operation of unit Ostrel against a direct call of the same
// client function through a pointer looked up once.
//
// Run with NWCLIENT_PATH pointing at the full client profile.
#include <benchmark/benchmark.h>
#include <nwclient/nwclient.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/module.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

/// A fresh network from the test fixture seed, as workstation WS-TEST, removed at the end.
class BenchNetwork {
public:
  BenchNetwork() {
    dir_ = fs::temp_directory_path() / ("rudodor4-bench-callframe-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    const fs::path seed = fs::path(__FILE__).parent_path().parent_path() / "tests" / "fixtures" / "small.json";
    nwsim::createNetwork(dir_, seed);
    nwsim::useNetwork(dir_, "WS-TEST");
    nwsim::openNetwork();
  }
  ~BenchNetwork() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

private:
  fs::path dir_;
};

template <typename Fn>
Fn directEntry(const char* library, const char* name) {
  return reinterpret_cast<Fn>(platform::getProcAddress(platform::loadLibrary(library), name));
}

void BM_LongSwap_Unit(benchmark::State& st) {
  std::int32_t value = 0x12345678;
  for (auto _ : st) {
    value = ostrel::longSwap(value);
    benchmark::DoNotOptimize(value);
  }
}

void BM_LongSwap_Direct(benchmark::State& st) {
  const auto swap = directEntry<decltype(&NWLongSwap)>("CALWIN32.DLL", "NWLongSwap");
  if (!swap) return st.SkipWithError("NWLongSwap not found");
  std::int32_t value = 0x12345678;
  for (auto _ : st) {
    value = swap(value);
    benchmark::DoNotOptimize(value);
  }
}

void BM_GetConnectID_Unit(benchmark::State& st) {
  const NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  for (auto _ : st) {
    std::uint16_t station = ostrel::getConnectID(conn);
    benchmark::DoNotOptimize(station);
  }
  if (ostrel::getConnectID(conn) == 0) st.SkipWithError("getConnectID failed");
}

void BM_GetConnectID_Direct(benchmark::State& st) {
  const auto info = directEntry<decltype(&NWCCGetConnInfo)>("CLXWIN32.DLL", "NWCCGetConnInfo");
  if (!info) return st.SkipWithError("NWCCGetConnInfo not found");
  const NWCONN_HANDLE conn = ostrel::getPrimaryServerID();
  for (auto _ : st) {
    nuint32 number = 0;
    NWCCODE code = info(conn, NWCC_INFO_CONN_NUMBER, sizeof number, &number);
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(number);
  }
}

BENCHMARK(BM_LongSwap_Unit);
BENCHMARK(BM_LongSwap_Direct);
BENCHMARK(BM_GetConnectID_Unit);
BENCHMARK(BM_GetConnectID_Direct);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  BenchNetwork network;
  ostrel::TOstrel unit;
  if (!ostrel::nwInit()) {
    std::fprintf(stderr, "no client (set NWCLIENT_PATH to the full profile): %s\n", unit.getLastError().c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
