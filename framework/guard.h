#pragma once
// Work done on Qt's behalf (an event handler, a slot, a property read) runs in a guard: an
// exception never leaves it into Qt. It is reported as a warning, and the work counts as
// not done.
#include <QtGlobal>

#include <exception>
#include <utility>

namespace framework {

/// Runs `work`; false (and a warning naming `where`) when it threw.
template <class Work>
bool guarded(const char* where, Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (const std::exception& e) {
    qWarning("%s: %s", where, e.what());
  } catch (...) {
    qWarning("%s: unknown exception", where);
  }
  return false;
}

/// The value `work` gives; `fallback` (and a warning) when it threw.
template <class T, class Work>
T guardedValue(const char* where, T fallback, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (const std::exception& e) {
    qWarning("%s: %s", where, e.what());
  } catch (...) {
    qWarning("%s: unknown exception", where);
  }
  return fallback;
}

} // namespace framework
