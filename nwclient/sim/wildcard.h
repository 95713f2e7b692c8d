#pragma once
// NetWare wildcard matching of names: "*" any run of characters, "?" any one character,
// letters compared without regard to case.
#include <string_view>

namespace nwsim {

bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace nwsim
