#pragma once
// The package Rudodor4: its units in start order, the entry points that start and stop
// them, and its version. Each unit's start and stop are guarded by a counter of the unit, so
// that loading the package several times runs each body once: on the first load and on the
// last unload. None of them loads the client; the unit objects do that.
#include <framework/rudodor4_export.h>

#include <string>
#include <vector>

namespace rudodor4 {

/// The package's file version.
inline constexpr const char* PackageVersion = "4.5.2.3";

/// One unit of the package.
struct PackageUnit {
  const char* name;
  /// The unit's initialisation and finalisation bodies; null when the section only keeps
  /// the counter.
  void (*initialization)();
  void (*finalization)();
};

/// The units in the order they start (they stop in the reverse order): Nwtools, Nwnds,
/// Ostrel, Nwserver, Nwprint, Nwprop, Nwbase, the controls, Nwreg32, and the package's own
/// unit Rudodor4.
RUDODOR4_EXPORT const std::vector<PackageUnit>& packageUnits();

/// Starts the units, in order. Loading twice runs each body once.
RUDODOR4_EXPORT void Initialize();
/// Stops the units, in reverse order; the bodies run when the last load is undone.
RUDODOR4_EXPORT void Finalize();

/// A unit's counter: 0 when the package is not loaded, -n when it is loaded n times.
RUDODOR4_EXPORT int unitCounter(const std::string& unit);
/// How often a unit's initialisation (or finalisation) section let its body run.
RUDODOR4_EXPORT int sectionRuns(const std::string& unit, bool initialization);

} // namespace rudodor4
