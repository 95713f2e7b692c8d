#pragma once
// The network provider over the NetWare client: drive connections are the client's drive
// mappings, printer connections its captures of LPT1 to LPT9, the network user the name
// logged in on the primary connection. Remote names are NetWare paths ("FS1/SYS:PUBLIC",
// "FS1/LASER_Q") or the same in UNC form ("\\FS1\SYS\PUBLIC", "\\FS1\LASER_Q").
#include <framework/rudodor4_export.h>
#include <platform/network.h>

namespace nwbase {

class RUDODOR4_EXPORT ClientNetworkProvider : public platform::NetworkProvider {
public:
  std::uint32_t addConnection2(const platform::NetResource& resource, const std::string& password,
                               const std::string& userName, std::uint32_t flags) override;
  /// A disk connection; a password is checked as the network user's.
  std::uint32_t addConnection(const std::string& remoteName, const std::string& password,
                              const std::string& localName) override;
  std::uint32_t cancelConnection2(const std::string& name, std::uint32_t flags, bool force) override;
  std::uint32_t getUser(std::string& userName) override;
  std::vector<platform::NetConnection> connections(std::uint32_t type) override;

  /// A remote name as a NetWare path: UNC names are turned round, others kept.
  static std::string netwarePath(const std::string& remoteName);
};

/// Installs the provider unless a program or test installed one of its own.
void installClientNetworkProvider();

} // namespace nwbase
