#include "platform/network.h"

#include <cstring>
#include <mutex>

namespace platform {
namespace {

std::mutex providerMutex;
std::shared_ptr<NetworkProvider>& providerSlot() {
  static std::shared_ptr<NetworkProvider> provider;
  return provider;
}

std::string text(const char* s) { return s ? std::string(s) : std::string(); }

NetResourceKind kindOf(std::uint32_t type) {
  return type == RESOURCETYPE_PRINT ? NetResourceKind::Print : NetResourceKind::Disk;
}

} // namespace

std::shared_ptr<NetworkProvider> networkProvider() {
  std::lock_guard lock(providerMutex);
  return providerSlot();
}

std::shared_ptr<NetworkProvider> setNetworkProvider(std::shared_ptr<NetworkProvider> provider) {
  std::lock_guard lock(providerMutex);
  auto previous = std::move(providerSlot());
  providerSlot() = std::move(provider);
  return previous;
}

std::uint32_t wnetAddConnection2(const NetResource& resource, const char* password, const char* userName,
                                 std::uint32_t flags) {
  const auto provider = networkProvider();
  if (!provider) return ERROR_NO_NETWORK;
  return provider->addConnection2(resource, text(password), text(userName), flags);
}

std::uint32_t wnetAddConnection(const char* remoteName, const char* password, const char* localName) {
  const auto provider = networkProvider();
  if (!provider) return ERROR_NO_NETWORK;
  return provider->addConnection(text(remoteName), text(password), text(localName));
}

std::uint32_t wnetCancelConnection2(const char* name, std::uint32_t flags, bool force) {
  const auto provider = networkProvider();
  if (!provider) return ERROR_NO_NETWORK;
  if (!name || !*name) return ERROR_INVALID_PARAMETER;
  return provider->cancelConnection2(name, flags, force);
}

std::uint32_t wnetGetUser(const char*, char* buffer, std::uint32_t* length) {
  if (!buffer || !length) return ERROR_INVALID_PARAMETER;
  const auto provider = networkProvider();
  if (!provider) return ERROR_NO_NETWORK;
  std::string user;
  if (const std::uint32_t code = provider->getUser(user); code != NO_ERROR) return code;
  const std::uint32_t needed = static_cast<std::uint32_t>(user.size() + 1);
  if (*length < needed) {
    *length = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, user.c_str(), needed);
  return NO_ERROR;
}

std::uint32_t wnetConnectionDialog(void* owner, std::uint32_t type) {
  const auto provider = networkProvider();
  if (!provider) return ERROR_NO_NETWORK;
  std::string local, remote;
  if (!dialogs().connectDialog(owner, kindOf(type), local, remote)) return DIALOG_CANCELLED;
  NetResource resource;
  resource.type = type == RESOURCETYPE_PRINT ? RESOURCETYPE_PRINT : RESOURCETYPE_DISK;
  resource.localName = local;
  resource.remoteName = remote;
  return provider->addConnection2(resource, {}, {}, 0);
}

std::uint32_t wnetDisconnectDialog(void* owner, std::uint32_t type) {
  const auto provider = networkProvider();
  if (!provider) return ERROR_NO_NETWORK;
  std::vector<std::pair<std::string, std::string>> offered;
  for (const NetConnection& c : provider->connections(type)) offered.emplace_back(c.localName, c.remoteName);
  std::string chosen;
  if (!dialogs().disconnectDialog(owner, kindOf(type), offered, chosen)) return DIALOG_CANCELLED;
  return provider->cancelConnection2(chosen, 0, false);
}

} // namespace platform
