#include "package/package.h"

#include <nwbase/unit_objects.h>

#include <map>

namespace rudodor4 {
namespace {

struct Counters {
  int counter = 0;
  int initializations = 0;
  int finalizations = 0;
};

// Never destroyed: the designer plugin may unload the package after the program's own
// statics are gone.
std::map<std::string, Counters>& counters() {
  static auto* all = new std::map<std::string, Counters>;
  return *all;
}

void finalizeNwbase() { nwbase::detail::releaseServerRecord(); }

} // namespace

const std::vector<PackageUnit>& packageUnits() {
  static const auto* units = new std::vector<PackageUnit>{
      {"Nwtools", nullptr, nullptr},  {"Nwnds", nullptr, nullptr},    {"Ostrel", nullptr, nullptr},
      {"Nwserver", nullptr, nullptr}, {"Nwprint", nullptr, nullptr},  {"Nwprop", nullptr, nullptr},
      {"Nwbase", nullptr, &finalizeNwbase},
      {"Nwtreevw", nullptr, nullptr}, {"Dbtreevw", nullptr, nullptr}, {"Nwout", nullptr, nullptr},
      {"Dbout", nullptr, nullptr},    {"Nwcombo", nullptr, nullptr},  {"Dbcombox", nullptr, nullptr},
      {"Nwlist", nullptr, nullptr},   {"Dblist", nullptr, nullptr},   {"Nwatedit", nullptr, nullptr},
      {"Nwipedit", nullptr, nullptr}, {"Nwlogmem", nullptr, nullptr}, {"Nwqlist", nullptr, nullptr},
      {"Nwreg32", nullptr, nullptr},  {"Rudodor4", nullptr, nullptr},
  };
  return *units;
}

void Initialize() {
  for (const PackageUnit& unit : packageUnits()) {
    Counters& c = counters()[unit.name];
    // The body runs when the counter was 0 before.
    if (c.counter-- == 0) {
      ++c.initializations;
      if (unit.initialization) unit.initialization();
    }
  }
}

void Finalize() {
  const auto& units = packageUnits();
  for (auto it = units.rbegin(); it != units.rend(); ++it) {
    Counters& c = counters()[it->name];
    if (c.counter == 0) continue;  // not loaded: nothing to undo
    // The body runs when the counter was -1 before.
    if (c.counter++ == -1) {
      ++c.finalizations;
      if (it->finalization) it->finalization();
    }
  }
}

int unitCounter(const std::string& unit) {
  auto it = counters().find(unit);
  return it == counters().end() ? 0 : it->second.counter;
}

int sectionRuns(const std::string& unit, bool initialization) {
  auto it = counters().find(unit);
  if (it == counters().end()) return 0;
  return initialization ? it->second.initializations : it->second.finalizations;
}

} // namespace rudodor4
