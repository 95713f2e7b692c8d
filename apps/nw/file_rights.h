#pragma once
// File-system rights for nw rights, which also answers for directory objects.
#include "cli.h"

#include <string>

namespace nw {

/// Whether a name is a NetWare or drive-letter path ("SYS:PUBLIC", "FS1/SYS:", "G:\X")
/// rather than a directory object.
bool isVolumePath(const std::string& name);
/// nw rights PATH [USER].
int fileRights(const Args& args);

} // namespace nw
