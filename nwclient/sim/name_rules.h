#pragma once
// NetWare's rules for the names that become part of the network: servers, volumes, bindery
// objects (queues included) and module files. Seeds, the nwsim tool and the generators are
// input from outside, and a server or volume name is also a folder of the network, so each
// name is checked before anything is written. Each function returns why a name breaks the
// rule, or an empty string when it keeps it.
#include <string>

namespace nwsim::names {

/// 2 to 47 characters; no spaces, periods, control characters or / \ : ; , * ?
std::string serverNameProblem(const std::string& name);
/// 1 to 47 characters; no spaces, control characters or / \ : ; , * ?
std::string objectNameProblem(const std::string& name);
/// 2 to 15 letters, digits and _ ! - @ # $ % ^ & ( )
std::string volumeNameProblem(const std::string& name);
/// One name of a file on a volume: 1 to 255 characters, not "." or "..", no control
/// characters or / \ : * ?
std::string fileNameProblem(const std::string& name);

} // namespace nwsim::names
