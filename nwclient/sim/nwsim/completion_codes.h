#pragma once
// The completion codes and directory services errors the simulated client returns, with
// their standard meanings in words: one table for the client's own messages and for the
// programs that report a failed call to a user.
#include <cstdint>
#include <string>

namespace nwsim {

/// The meaning of a completion code (0x88xx requester, 0x89xx server) or a directory
/// services error (negative), for example "wrong password" for 0x89FA; empty for 0 and for
/// a code the client never returns.
std::string codeMeaning(std::int32_t code);
/// The code as NetWare's utilities write it: four hexadecimal digits ("89FA") for a
/// completion code, the negative number ("-601") for a directory services error.
std::string codeNumber(std::int32_t code);
/// Meaning and number together, "wrong password, code 89FA"; the number alone ("code FFFF")
/// for a code without a meaning.
std::string describeCode(std::int32_t code);

} // namespace nwsim
