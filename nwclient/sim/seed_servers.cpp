// What a server entry of a seed holds besides its bindery: volumes with their files,
// loaded modules, console settings.
#include "seed.h"

namespace nwsim {

void SeedLoader::serverContent(std::int64_t serverId, const std::string& serverName, const Value& server) {
  (void)serverId;
  (void)serverName;
  (void)server;
}

} // namespace nwsim
