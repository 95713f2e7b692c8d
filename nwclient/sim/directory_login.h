#pragma once
// Directory passwords and the checks of a login: passwords are kept only as salted hashes
// (compared without regard to case, like a NetWare client upper-casing them), login
// restrictions ("Login Disabled", "Login Expiration Time") and intruder detection, which a
// container switches on with "Detect Intruder" for the objects below it.
#include "directory_tree.h"

#include <cstdint>
#include <string>

namespace nwsim {

class DirectoryLogin {
public:
  explicit DirectoryLogin(DirectoryTree& tree) : tree_(tree) {}

  /// Replaces the object's password.
  void setPassword(std::int64_t object, const std::string& password);
  /// True when the password is the object's; an object without one has the empty password.
  bool passwordMatches(std::int64_t object, const std::string& password);
  /// Checks a login of the object with the password at the network's time `now`: 0, or
  /// NWDSE_ACCOUNT_DISABLED, NWDSE_INTRUDER_LOCKOUT, NWDSE_FAILED_AUTHENTICATION. A wrong
  /// password counts as an intruder attempt where detection is on; enough of them within
  /// the reset interval lock the object for the lockout interval.
  NWCCODE check(std::int64_t object, const std::string& password, std::int64_t now);

private:
  std::optional<DsValue> first(std::int64_t object, const std::string& attr);
  void put(std::int64_t object, const std::string& attr, std::uint32_t syntax, std::int64_t num);
  /// The nearest container above the object with "Detect Intruder" on; 0 for none.
  std::int64_t detectingContainer(std::int64_t object);
  void countAttempt(std::int64_t object, std::int64_t container, std::int64_t now);
  DirectoryTree& tree_;
};

} // namespace nwsim
