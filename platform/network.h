#pragma once
// The operating system's network-provider calls (connect a drive or a printer port to a
// network resource, disconnect it, the network user name, the connect and disconnect
// dialogs), in the style of the Windows calls the units were written against. The work is
// done by a pluggable provider: the library installs one over the NetWare client's drive
// table and printer captures; tests install their own. Without one there is no network.
// The dialogs go through the dialog service (platform/dialogs.h).
#include <platform/dialogs.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Resource types, connection flags and result codes of the network calls.
constexpr std::uint32_t RESOURCETYPE_ANY = 0;
constexpr std::uint32_t RESOURCETYPE_DISK = 1;
constexpr std::uint32_t RESOURCETYPE_PRINT = 2;
constexpr std::uint32_t CONNECT_UPDATE_PROFILE = 1;

constexpr std::uint32_t NO_ERROR = 0;
constexpr std::uint32_t ERROR_BAD_NETPATH = 53;
constexpr std::uint32_t ERROR_BAD_NET_NAME = 67;
constexpr std::uint32_t ERROR_ALREADY_ASSIGNED = 85;
constexpr std::uint32_t ERROR_INVALID_PASSWORD = 86;
constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr std::uint32_t ERROR_MORE_DATA = 234;
constexpr std::uint32_t ERROR_BAD_DEVICE = 1200;
constexpr std::uint32_t ERROR_NO_NET_OR_BAD_PATH = 1203;
constexpr std::uint32_t ERROR_NO_NETWORK = 1222;
constexpr std::uint32_t ERROR_CANCELLED = 1223;
constexpr std::uint32_t ERROR_NOT_CONNECTED = 2250;
/// What the connect and disconnect dialogs return when the user cancels.
constexpr std::uint32_t DIALOG_CANCELLED = 0xFFFFFFFF;

/// A network resource record.
struct NetResource {
  std::uint32_t scope = 0;
  std::uint32_t type = RESOURCETYPE_DISK;
  std::uint32_t displayType = 0;
  std::uint32_t usage = 0;
  std::string localName;   // "G:", "LPT1:"
  std::string remoteName;  // "FS1/SYS:PUBLIC", "\\FS1\SYS\PUBLIC", "FS1/LASER_Q"
  std::string comment;
  std::string provider;
};

/// One connection of a local name to a remote resource.
struct NetConnection {
  std::string localName;
  std::string remoteName;
};

/// Does the work of the network calls. Results are the codes above.
class NetworkProvider {
public:
  virtual ~NetworkProvider() = default;
  /// Connects the record's local name to its remote name.
  virtual std::uint32_t addConnection2(const NetResource& resource, const std::string& password,
                                       const std::string& userName, std::uint32_t flags) = 0;
  /// The older form: a disk connection without a record.
  virtual std::uint32_t addConnection(const std::string& remoteName, const std::string& password,
                                      const std::string& localName) = 0;
  /// Removes the connection of a local name (or of every local name of a remote name).
  virtual std::uint32_t cancelConnection2(const std::string& name, std::uint32_t flags, bool force) = 0;
  /// The user name the network knows the workstation by.
  virtual std::uint32_t getUser(std::string& userName) = 0;
  /// The connections of one type, in order of their local names.
  virtual std::vector<NetConnection> connections(std::uint32_t type) = 0;
};

/// The provider in force; null when there is none (every call then gives ERROR_NO_NETWORK).
std::shared_ptr<NetworkProvider> networkProvider();
/// Installs a provider (nullptr: none); returns the previous one.
std::shared_ptr<NetworkProvider> setNetworkProvider(std::shared_ptr<NetworkProvider> provider);

std::uint32_t wnetAddConnection2(const NetResource& resource, const char* password, const char* userName,
                                 std::uint32_t flags);
std::uint32_t wnetAddConnection(const char* remoteName, const char* password, const char* localName);
std::uint32_t wnetCancelConnection2(const char* name, std::uint32_t flags, bool force);
/// The user name into `buffer` of `length` bytes (zero-terminated); `name` names a local
/// device or is null for the default network. ERROR_MORE_DATA, with the size needed in
/// `length`, when the buffer is too small.
std::uint32_t wnetGetUser(const char* name, char* buffer, std::uint32_t* length);
/// The connect dialog for a type; NO_ERROR after a connection was made, DIALOG_CANCELLED
/// when the user cancelled, otherwise the provider's code.
std::uint32_t wnetConnectionDialog(void* owner, std::uint32_t type);
/// The disconnect dialog for a type, with the same results.
std::uint32_t wnetDisconnectDialog(void* owner, std::uint32_t type);

} // namespace platform
