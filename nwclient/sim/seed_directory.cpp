// The directory part of a seed: the tree, its partitions, containers and leaf objects.
#include "seed.h"

namespace nwsim {

void SeedLoader::directory(const Value& root) {
  (void)root;
}

} // namespace nwsim
