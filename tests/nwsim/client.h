#pragma once
// Direct access to the simulated client's entry points, bound from the profile under test,
// for the simulator's own tests (the units have their own call frame).
#include <gtest/gtest.h>
#include <nwclient/nwclient.h>
#include <platform/module.h>

namespace nwtest {

template <typename Fn>
Fn* entry(const char* library, const char* name) {
  platform::ModuleHandle h = platform::loadLibrary(library);
  return reinterpret_cast<Fn*>(platform::getProcAddress(h, name));
}

#define CLIENT_FN(lib, fn) ::nwtest::entry<decltype(::fn)>(lib, #fn)
#define CALLS(fn) CLIENT_FN("CALWIN32.DLL", fn)
#define CLX(fn) CLIENT_FN("CLXWIN32.DLL", fn)

} // namespace nwtest
