#pragma once
// Bindery and directory passwords are kept only as the system's password hashes (yescrypt,
// through libcrypt). Like a NetWare client, the store upper-cases a password before hashing
// it, so passwords compare without regard to case.
#include <string>

namespace nwsim {

/// A fresh salt and the hash of the password under it, in crypt's "$y$..." form.
std::string hashPassword(const std::string& password);
/// True when `password` hashes to `stored` (made by hashPassword); false for anything else.
bool verifyPassword(const std::string& stored, const std::string& password);
/// Whether a stored hash is of the form hashPassword makes; networks made by versions of
/// the simulator before it kept another form, which this one no longer reads.
bool isCurrentPasswordHash(const std::string& stored);

} // namespace nwsim
