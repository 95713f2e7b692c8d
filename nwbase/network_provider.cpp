#include "nwbase/network_provider.h"

#include <nwprint/nwprint.h>
#include <nwserver/nwserver.h>
#include <rtl/sysutils.h>
#include <ostrel/ostrel.h>

#include <cctype>
#include <optional>

namespace nwbase {
namespace {

// "G:" (or "g", "G:\") gives 'G'.
std::optional<char> driveOf(const std::string& local) {
  if (local.empty() || !std::isalpha(static_cast<unsigned char>(local[0]))) return std::nullopt;
  if (local.size() > 1 && local[1] != ':') return std::nullopt;
  if (local.size() > 3 || (local.size() == 3 && local[2] != '\\')) return std::nullopt;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(local[0])));
}

// "LPT1:" (or "lpt1") gives 1; ports 1 to 9.
std::optional<std::uint8_t> portOf(const std::string& local) {
  const std::string name = rtl::UpperCase(local);
  if (name.size() < 4 || name.compare(0, 3, "LPT") != 0) return std::nullopt;
  if (name.size() > 5 || (name.size() == 5 && name[4] != ':')) return std::nullopt;
  if (name[3] < '1' || name[3] > '9') return std::nullopt;
  return static_cast<std::uint8_t>(name[3] - '0');
}

// The server of a NetWare path ("FS1/SYS:..." or "FS1\SYS:..."); empty when it names none.
std::string serverOf(const std::string& path) {
  const std::size_t colon = path.find(':');
  const std::size_t slash = path.find_first_of("/\\");
  if (slash == std::string::npos || (colon != std::string::npos && slash > colon)) return {};
  return path.substr(0, slash);
}

} // namespace

std::string ClientNetworkProvider::netwarePath(const std::string& remoteName) {
  if (remoteName.size() < 3 || remoteName[0] != '\\' || remoteName[1] != '\\') return remoteName;
  // \\SERVER\VOLUME\DIR\SUB -> SERVER/VOLUME:DIR\SUB; \\SERVER\QUEUE -> SERVER/QUEUE
  const std::string rest = remoteName.substr(2);
  const std::size_t first = rest.find('\\');
  if (first == std::string::npos) return rest;
  const std::string server = rest.substr(0, first);
  const std::string tail = rest.substr(first + 1);
  const std::size_t second = tail.find('\\');
  if (second == std::string::npos) return server + "/" + tail;
  return server + "/" + tail.substr(0, second) + ":" + tail.substr(second + 1);
}

std::uint32_t ClientNetworkProvider::addConnection2(const platform::NetResource& resource, const std::string& password,
                                                    const std::string& userName, std::uint32_t) {
  const std::string path = netwarePath(resource.remoteName);
  if (path.empty()) return platform::ERROR_BAD_NET_NAME;
  const std::string server = serverOf(path);
  // Credentials given: log in to the server first, as the named user.
  if (!userName.empty()) {
    if (server.empty()) return platform::ERROR_BAD_NETPATH;
    if (!nwserver::NWLogin(server, userName, password, 0)) return platform::ERROR_INVALID_PASSWORD;
  }
  if (resource.localName.empty()) {
    // A connection without a local device: being attached to the server is all it takes.
    if (server.empty() || nwserver::getServerHandle(server) == 0) return platform::ERROR_BAD_NETPATH;
    return platform::NO_ERROR;
  }
  switch (resource.type) {
    case platform::RESOURCETYPE_DISK: {
      const auto drive = driveOf(resource.localName);
      if (!drive) return platform::ERROR_BAD_DEVICE;
      ostrel::TNWMapInfo existing;
      if (ostrel::getMapInfo(*drive, existing)) return platform::ERROR_ALREADY_ASSIGNED;
      // "\\FS1\SYS" names the volume's root.
      const std::string directory = path.find(':') == std::string::npos ? path + ":" : path;
      return ostrel::map(*drive, directory) ? platform::NO_ERROR : platform::ERROR_BAD_NET_NAME;
    }
    case platform::RESOURCETYPE_PRINT: {
      const auto port = portOf(resource.localName);
      if (!port) return platform::ERROR_BAD_DEVICE;
      if (nwprint::isCaptured(*port)) return platform::ERROR_ALREADY_ASSIGNED;
      const std::size_t slash = path.find_first_of("/\\");
      if (server.empty() || slash == std::string::npos) return platform::ERROR_BAD_NETPATH;
      const NWCONN_HANDLE conn = nwserver::getServerHandle(server);
      if (conn == 0) return platform::ERROR_BAD_NETPATH;
      nwprint::TNWCaptureFlags flags;
      return nwprint::capture(conn, path.substr(slash + 1), *port, flags) ? platform::NO_ERROR
                                                                           : platform::ERROR_BAD_NET_NAME;
    }
    default:
      return platform::ERROR_BAD_DEVICE;
  }
}

std::uint32_t ClientNetworkProvider::addConnection(const std::string& remoteName, const std::string& password,
                                                   const std::string& localName) {
  platform::NetResource resource;
  resource.type = platform::RESOURCETYPE_DISK;
  resource.localName = localName;
  resource.remoteName = remoteName;
  // A password without a user name is the network user's, as the system's call takes it.
  std::string user;
  if (!password.empty() && getUser(user) != platform::NO_ERROR) return platform::ERROR_NOT_CONNECTED;
  return addConnection2(resource, password, user, 0);
}

std::uint32_t ClientNetworkProvider::cancelConnection2(const std::string& name, std::uint32_t, bool) {
  if (const auto drive = driveOf(name)) {
    ostrel::TNWMapInfo info;
    if (!ostrel::getMapInfo(*drive, info)) return platform::ERROR_NOT_CONNECTED;
    return ostrel::mapDelete(std::string(1, *drive)) ? platform::NO_ERROR : platform::ERROR_NOT_CONNECTED;
  }
  if (const auto port = portOf(name)) {
    if (!nwprint::isCaptured(*port)) return platform::ERROR_NOT_CONNECTED;
    return nwprint::endCap(*port) ? platform::NO_ERROR : platform::ERROR_NOT_CONNECTED;
  }
  // A remote name: every local name connected to it.
  const std::string path = rtl::UpperCase(netwarePath(name));
  bool found = false;
  for (std::uint32_t type : {platform::RESOURCETYPE_DISK, platform::RESOURCETYPE_PRINT})
    for (const platform::NetConnection& c : connections(type))
      if (rtl::UpperCase(c.remoteName) == path && cancelConnection2(c.localName, 0, false) == platform::NO_ERROR)
        found = true;
  return found ? platform::NO_ERROR : platform::ERROR_NOT_CONNECTED;
}

std::uint32_t ClientNetworkProvider::getUser(std::string& userName) {
  userName = ostrel::whoAmI(0);
  return userName.empty() ? platform::ERROR_NOT_CONNECTED : platform::NO_ERROR;
}

std::vector<platform::NetConnection> ClientNetworkProvider::connections(std::uint32_t type) {
  std::vector<platform::NetConnection> out;
  if (type == platform::RESOURCETYPE_PRINT) {
    for (std::uint8_t port = 1; port <= 9; ++port) {
      if (!nwprint::isCaptured(port)) continue;
      nwprint::TNWCaptureFlags flags;
      nwprint::getCaptureFlags(port, flags);
      out.push_back({"LPT" + std::to_string(port) + ":",
                     ostrel::getServerName(flags.connection) + "/" + flags.queueName});
    }
    return out;
  }
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    ostrel::TNWMapInfo info;
    if (ostrel::getMapInfo(letter, info)) out.push_back({std::string(1, letter) + ":", info.serverName + "/" + info.path});
  }
  return out;
}

void installClientNetworkProvider() {
  if (!platform::networkProvider()) platform::setNetworkProvider(std::make_shared<ClientNetworkProvider>());
}

} // namespace nwbase
