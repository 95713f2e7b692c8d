// The base component: constructing a TNWBase on the sample network (client load, directory
// start-up, context reset, flags, login name) alone and beside another one, and one server
// switch on a form of 200 widgets, each with the client calls it makes.
#include <benchmark/benchmark.h>
#include <nwbase/nwbase.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

// The sample network, with a workstation whose primary server is the directory server.
const std::filesystem::path& sampleNetwork() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("nwbench-base-" + std::to_string(::getpid()));
    std::filesystem::remove_all(d);
    nwsim::createNetwork(d);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(sampleNetwork(), ec);
    });
    return d;
  }();
  return dir;
}

void useWorkstation(const char* name) { nwsim::useNetwork(sampleNetwork(), name); }

void report(benchmark::State& state, std::uint64_t calls) {
  state.counters["client_calls"] = benchmark::Counter(static_cast<double>(calls), benchmark::Counter::kAvgIterations);
}

// Every construction loads the unit objects anew, as the first base component of a program.
void BM_ConstructFirstBase(benchmark::State& state) {
  useWorkstation(state.range(0) ? "WS-DEV1" : "WS-SALES1");
  if (state.range(0)) {
    // The directory server as primary: the context is reset and the flags added.
    ostrel::TOstrel unit;
    NWCONN_HANDLE handle = 0;
    if (!ostrel::setPreferredServer("ACME-NDS1", handle)) state.SkipWithError("ACME-NDS1 cannot be the primary server");
  }
  nwsim::resetCallCounts();
  for (auto _ : state) {
    nwbase::TNWBase base;
    benchmark::DoNotOptimize(base.netAvailable());
  }
  report(state, nwsim::totalCallCount());
  state.SetLabel(state.range(0) ? "primary ACME-NDS1 (directory)" : "primary ACME-FS1 (bindery)");
}
BENCHMARK(BM_ConstructFirstBase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A second base component shares the unit objects of the first.
void BM_ConstructSecondBase(benchmark::State& state) {
  useWorkstation("WS-DEV1");
  nwbase::TNWBase first;
  nwsim::resetCallCounts();
  for (auto _ : state) {
    nwbase::TNWBase base;
    benchmark::DoNotOptimize(base.netAvailable());
  }
  report(state, nwsim::totalCallCount());
}
BENCHMARK(BM_ConstructSecondBase)->Unit(benchmark::kMillisecond);

// One write of ServerName: the connection by name, then the notification of every widget
// of the form (200 here), then OnServerChange.
void BM_ServerSwitchOnForm(benchmark::State& state) {
  useWorkstation("WS-ACCT1");
  QWidget form;
  for (int i = 0; i < state.range(0); ++i) {
    switch (i % 3) {
      case 0: new QLineEdit(&form); break;
      case 1: new QLabel(QStringLiteral("label"), &form); break;
      default: new QPushButton(QStringLiteral("button"), &form); break;
    }
  }
  auto* base = new nwbase::TNWBase(&form);
  int changes = 0;
  QObject::connect(base, &nwbase::TNWBase::OnServerChange, [&] { ++changes; });
  const QString servers[2] = {QStringLiteral("ACME-FS2"), QStringLiteral("ACME-FS1")};
  int n = 0;
  nwsim::resetCallCounts();
  for (auto _ : state) base->_setServerName(servers[n++ & 1]);
  report(state, nwsim::totalCallCount());
  if (changes != n) state.SkipWithError("not every switch fired OnServerChange");
}
BENCHMARK(BM_ServerSwitchOnForm)->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
