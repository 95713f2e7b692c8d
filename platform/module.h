#pragma once
// Loading the NetWare client libraries by their logical names and looking up entry points.
//
// A logical name such as "CALWIN32.DLL" maps to the file "libcalwin32.so". When
// NWCLIENT_PATH names a directory, the file is looked for there only; otherwise in the
// directory of the running executable, then in the directory of this library, then on the
// system's search path. Libraries are never unloaded; every successful load of the same
// file returns the same handle.
#include <string>

namespace platform {

/// A loaded module; nullptr when not loaded.
using ModuleHandle = void*;

/// The file name a logical library name maps to ("CALWIN32.DLL" -> "libcalwin32.so").
std::string moduleFileName(const std::string& logicalName);
/// Loads a module by logical name; nullptr when it cannot be found or loaded.
ModuleHandle loadLibrary(const std::string& logicalName);
/// The address of an exported function; nullptr when the module is null or lacks it.
void* getProcAddress(ModuleHandle module, const char* name);
/// Why the last loadLibrary failed (empty after a success).
std::string lastLoadError();

} // namespace platform
