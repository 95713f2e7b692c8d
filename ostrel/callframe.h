#pragma once
// The call frame every function unit uses to reach the NetWare client, written once.
//
// Each unit keeps one table of ClientFunction entries (name, library, cached address) and
// one UnitState (its error code and last completion code). A wrapper:
//
//   auto& c = client;                                      // the unit's entry-point table
//   if (!c.NWGetFileServerName.bind()) return "LOCAL";     // missing: soft failure
//   conn = primaryIfZero(conn);                            // 0 means the primary connection
//   char name[48] = {};
//   if (c.NWGetFileServerName(conn, name) != 0) return "LOCAL";  // code recorded
//
// Calling an entry records its completion code in the unit's last completion code and, when
// non-zero, in the unit error code. Entry points are resolved on first use from the module
// the entry was declared with (a function returning the module handle, so that a unit can
// bind from another unit's libraries); an address that was not found stays 0 and is looked
// up again next time, so binding succeeds once the library has been loaded.
#include <nwclient/nwclient.h>
#include <platform/module.h>

#include <cstdint>
#include <string>
#include <utility>

namespace ostrel {

/// The error state of one function unit.
struct UnitState {
  /// The unit error code: the last non-zero completion code, 0xFFFF after a failed library
  /// load, -1 when no entry point could be reached. Successful calls never clear it.
  std::int32_t lasterror = 0;
  /// Completion code of the unit's last client call, 0 included.
  std::int32_t lastCode = 0;

  /// Stores a completion code; a non-zero one also becomes the unit error code.
  /// True when the code is 0.
  bool record(std::int32_t code) {
    lastCode = code;
    if (code != 0) lasterror = code;
    return code == 0;
  }
};

/// How an entry's result is treated: a completion code to record, or a plain value.
enum class Returns { CompletionCode, Value };

/// Where an entry point is looked up: a function giving the module handle at bind time.
using ModuleSource = platform::ModuleHandle (*)();

template <typename Fn, Returns Kind = Returns::CompletionCode>
class ClientFunction;

/// One client entry point of a unit: its exported name, the module it is resolved from,
/// and its cached address.
template <typename R, typename... A, Returns Kind>
class ClientFunction<R(A...), Kind> {
public:
  using Pointer = R (*)(A...);

  constexpr ClientFunction(const char* name, ModuleSource module, UnitState* unit)
      : name_(name), module_(module), unit_(unit) {}

  /// Resolves the entry point if it is not cached yet; true when it exists.
  bool bind() { return address_ != nullptr || resolve(); }
  bool bound() const { return address_ != nullptr; }
  Pointer address() const { return address_; }
  const char* name() const { return name_; }

  /// Calls the bound function; bind() must have returned true. A completion code is
  /// recorded in the unit's state.
  R operator()(A... args) {
    R result = address_(std::forward<A>(args)...);
    if constexpr (Kind == Returns::CompletionCode) unit_->record(static_cast<std::int32_t>(result));
    return result;
  }

  /// Calls the bound function without recording anything, for the few calls whose
  /// completion code the library deliberately ignores.
  R unrecorded(A... args) { return address_(std::forward<A>(args)...); }

  /// Forgets the cached address.
  void reset() { address_ = nullptr; }

private:
  // Out of line, so that the cached path of every wrapper stays a load and a test.
  [[gnu::noinline, gnu::cold]] bool resolve() {
    address_ = reinterpret_cast<Pointer>(platform::getProcAddress(module_(), name_));
    return address_ != nullptr;
  }

  const char* name_;
  ModuleSource module_;
  UnitState* unit_;
  Pointer address_ = nullptr;
};

/// Declares a table entry for the client function `fn` of the header, resolved from the
/// module that `moduleSource()` returns and recording into the unit state `state`.
#define NW_ENTRY(fn, moduleSource, state) \
  ::ostrel::ClientFunction<decltype(::fn)> fn{#fn, &(moduleSource), &(state)};
#define NW_VALUE_ENTRY(fn, moduleSource, state) \
  ::ostrel::ClientFunction<decltype(::fn), ::ostrel::Returns::Value> fn{#fn, &(moduleSource), &(state)};

/// The primary connection (0 on failure); every unit turns a connection of 0 into it.
NWCONN_HANDLE getPrimaryServerID();
/// A connection handle with 0 replaced by the primary connection.
inline NWCONN_HANDLE primaryIfZero(NWCONN_HANDLE conn) { return conn ? conn : getPrimaryServerID(); }

/// A unit error code as upper-case hexadecimal, at least four digits (-1 gives FFFFFFFF).
std::string formatLastError(std::int32_t code);

/// The two methods every function unit's object class carries. They touch only the unit's
/// process-wide state, so they work the same on any instance.
template <UnitState& State>
class UnitObject {
public:
  /// The unit error code as upper-case hexadecimal, at least four digits.
  std::string getLastError() const { return formatLastError(State.lasterror); }
  /// Clears the unit error code.
  void resetLastError() const { State.lasterror = 0; }
};

} // namespace ostrel
