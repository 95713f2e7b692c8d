#pragma once
// The drive table of a workstation: drives 1 (A) to 26 (Z). A to E are the workstation's
// own; network drives start at the first network drive (F, or net.cfg's
// "FIRST NETWORK DRIVE"). Mappings live in the store, so every program of the workstation
// sees them.
#include "store.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace nwsim {

class DriveTable {
public:
  struct Mapping {
    std::uint32_t connId = 0;
    int volume = 0;
    std::string path;  // below the volume's root, "DIR\\SUB"
  };

  DriveTable(Store& db, std::string workstation) : db_(db), ws_(std::move(workstation)) {}

  /// The status bits of a local drive (A to E), 0 for the others.
  static std::uint16_t localStatus(int drive);
  /// From the network folder's net.cfg: "FIRST NETWORK DRIVE = G" (default F = 6).
  static int firstNetworkDrive(const std::filesystem::path& netCfg);

  /// The mapping of a drive whose connection still exists.
  std::optional<Mapping> find(int drive);
  void set(int drive, const Mapping& m);
  bool remove(int drive);
  void dropConnection(std::uint32_t connId);

private:
  Store& db_;
  std::string ws_;
};

} // namespace nwsim
