#pragma once
// What the directory commands of nw share: the directory client loaded for one command.
#include "cli.h"

#include <nwnds/nwnds.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>

#include <string>

namespace nw {

inline std::string dsError() { return failure(nwnds::lasterror()); }

/// The directory client for one command: the unit loaded and the Unicode tables ready for
/// the command's lifetime.
class Directory {
public:
  Directory() {
    requireClient();
    if (!nwnds::hNWNet() || !nwnds::hNWLoc())
      throw CommandError("directory services are not available in this NetWare client");
    if (!nwnds::ndsInit()) throw CommandError("cannot start directory services (" + dsError() + ")");
    // Names are relative to the workstation's context, as CX left it; a context that no
    // longer exists leaves [Root].
    const std::string context = nwsim::workstationNameContext();
    if (!context.empty()) nwnds::ndsSetContext(context);
  }
  ~Directory() { nwnds::ndsClose(); }
  void resetLastError() const { unit_.resetLastError(); }
  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;

private:
  nwnds::TNWNDS unit_;
};

/// A container named as CX names one: relative to the name context unless it starts with
/// "." or is "[Root]"; trailing dots, or dots alone, go up. Its complete name; CommandError
/// when it names nothing, or an object that is no container.
std::string containerName(const std::string& name);
/// The --context option as a complete container name; empty when it is not given.
std::string contextOption(const Args& args);

} // namespace nw
