#pragma once
// Bindery passwords are kept only as salted, iterated SHA-256 hashes ("salt:hash" in hex).
// Like a NetWare client, the bindery upper-cases a password before hashing it, so passwords
// compare without regard to case.
#include <string>

namespace nwsim {

/// A fresh salt and the hash of the password under it.
std::string hashPassword(const std::string& password);
/// True when `password` hashes to `stored` (made by hashPassword).
bool verifyPassword(const std::string& stored, const std::string& password);

} // namespace nwsim
