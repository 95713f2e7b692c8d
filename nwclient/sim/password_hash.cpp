#include "password_hash.h"

#include "nwsim/nwsim.h"

#include <crypt.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace nwsim {
namespace {

constexpr const char* kMethod = "$y$";  // yescrypt
// yescrypt's lowest cost: every simulated login hashes once, and a test run logs in thousands
// of times; still salted and memory-hard, so a copied store gives nothing away cheaply.
constexpr unsigned long kCost = 1;

std::string upper(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

/// crypt_rn of the upper-cased password under `setting`; empty when libcrypt refuses it.
std::string hashUnder(const std::string& setting, const std::string& password) {
  auto data = std::make_unique<crypt_data>();
  std::memset(data.get(), 0, sizeof *data);
  const char* hash = ::crypt_rn(upper(password).c_str(), setting.c_str(), data.get(), sizeof *data);
  // A failed crypt_rn gives NULL or a text starting with '*'.
  if (!hash || hash[0] != '$') return {};
  return hash;
}

} // namespace

std::string hashPassword(const std::string& password) {
  char* setting = ::crypt_gensalt_ra(kMethod, kCost, nullptr, 0);
  if (!setting) throw SimError("cannot make a password salt (libcrypt has no yescrypt)");
  const std::string made = hashUnder(setting, password);
  std::free(setting);
  if (made.empty()) throw SimError("cannot hash a password (libcrypt refused it)");
  return made;
}

bool isCurrentPasswordHash(const std::string& stored) { return stored.rfind(kMethod, 0) == 0; }

bool verifyPassword(const std::string& stored, const std::string& password) {
  if (!isCurrentPasswordHash(stored)) return false;
  const std::string again = hashUnder(stored, password);
  if (again.size() != stored.size()) return false;
  unsigned diff = 0;  // the same time whatever the first differing byte
  for (std::size_t i = 0; i < again.size(); ++i) diff |= unsigned(again[i] ^ stored[i]);
  return diff == 0;
}

} // namespace nwsim
