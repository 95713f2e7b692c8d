#pragma once
// The workstation configuration kept in the network folder as "net.cfg": section names at
// the start of a line, "KEY = VALUE" settings indented below them, ";" comments:
//
//   NetWare DOS Requester
//       PREFERRED SERVER = FS1
//       PREFERRED TREE = ACME
//       NAME CONTEXT = "OU=SALES.O=ACME"
//   Workstation
//       LOGIN NAME = JSMITH
//
// Environment variables override it: NWSIM_PREFERRED_SERVER, NWSIM_PREFERRED_TREE,
// NWSIM_NAME_CONTEXT, NWSIM_LOGIN_NAME, and NWSIM_WORKSTATION for the workstation name.
#include <filesystem>
#include <map>
#include <string>

namespace nwsim {

struct NetCfg {
  std::string workstation;      // Workstation / NAME
  std::string preferredServer;  // NetWare DOS Requester / PREFERRED SERVER
  std::string preferredTree;    // NetWare DOS Requester / PREFERRED TREE
  std::string nameContext;      // NetWare DOS Requester / NAME CONTEXT
  std::string loginName;        // Workstation / LOGIN NAME

  /// Reads a file; a missing file gives empty settings. Throws SimError (with the line) on
  /// a line that is neither a section, a setting nor a comment.
  static NetCfg read(const std::filesystem::path& file);
  /// The file's settings with the environment's overrides applied.
  static NetCfg effective(const std::filesystem::path& file);
  std::string text() const;
};

} // namespace nwsim
