#include "directory_login.h"

#include "password_hash.h"

namespace nwsim {

namespace {

// What a container that detects intruders uses when it does not say otherwise.
constexpr std::int64_t kDefaultIntruderLimit = 7;
constexpr std::int64_t kDefaultAttemptResetSeconds = 30 * 60;
constexpr std::int64_t kDefaultLockoutSeconds = 15 * 60;

} // namespace

void DirectoryLogin::setPassword(std::int64_t object, const std::string& password) {
  tree_.db().prepare("INSERT OR REPLACE INTO ds_passwords(object_id, password) VALUES(?,?)")
      .with(object, hashPassword(password)).run();
}

bool DirectoryLogin::passwordMatches(std::int64_t object, const std::string& password) {
  std::optional<std::string> stored;
  tree_.db().prepare("SELECT password FROM ds_passwords WHERE object_id=?").with(object).first([&](Stmt& q) {
    stored = q.text(0);
  });
  if (!stored) return password.empty();
  return verifyPassword(*stored, password);
}

std::optional<DsValue> DirectoryLogin::first(std::int64_t object, const std::string& attr) {
  auto values = tree_.values(object, attr);
  if (values.empty()) return std::nullopt;
  return values.front().value;
}

void DirectoryLogin::put(std::int64_t object, const std::string& attr, std::uint32_t syntax, std::int64_t num) {
  tree_.deleteValues(object, attr);
  DsValue v;
  v.syntax = syntax;
  v.num = num;
  tree_.addValue(object, attr, v);
}

std::int64_t DirectoryLogin::detectingContainer(std::int64_t object) {
  auto path = tree_.path(object);
  for (std::size_t i = 1; i < path.size(); ++i)
    if (auto on = first(path[i].id, "Detect Intruder")) return on->num == 1 ? path[i].id : 0;
  return 0;
}

void DirectoryLogin::countAttempt(std::int64_t object, std::int64_t container, std::int64_t now) {
  const auto limit = first(container, "Login Intruder Limit");
  const auto resetAfter = first(container, "Intruder Attempt Reset Interval");
  const auto lockFor = first(container, "Intruder Lockout Reset Interval");
  const auto lockout = first(container, "Lockout After Detection");
  // Attempts count within a window that starts with the first failed one.
  std::int64_t attempts = 0;
  const auto windowEnd = first(object, "Login Intruder Reset Time");
  if (windowEnd && windowEnd->num > now)
    if (auto a = first(object, "Login Intruder Attempts")) attempts = a->num;
  if (attempts == 0)
    put(object, "Login Intruder Reset Time", NWDS_SYN_TIME,
        now + (resetAfter ? resetAfter->num : kDefaultAttemptResetSeconds));
  put(object, "Login Intruder Attempts", NWDS_SYN_COUNTER, ++attempts);
  if (attempts >= (limit && limit->num > 0 ? limit->num : kDefaultIntruderLimit) && (!lockout || lockout->num == 1)) {
    put(object, "Locked By Intruder", NWDS_SYN_BOOLEAN, 1);
    put(object, "Login Intruder Reset Time", NWDS_SYN_TIME, now + (lockFor ? lockFor->num : kDefaultLockoutSeconds));
  }
}

NWCCODE DirectoryLogin::check(std::int64_t object, const std::string& password, std::int64_t now) {
  if (auto disabled = first(object, "Login Disabled"); disabled && disabled->num == 1) return NWDSE_ACCOUNT_DISABLED;
  if (auto expires = first(object, "Login Expiration Time"); expires && expires->num > 0 && expires->num <= now)
    return NWDSE_ACCOUNT_DISABLED;
  if (auto locked = first(object, "Locked By Intruder"); locked && locked->num == 1) {
    auto until = first(object, "Login Intruder Reset Time");
    if (until && until->num > now) return NWDSE_INTRUDER_LOCKOUT;
    // The lockout has run out: the object starts afresh.
    put(object, "Locked By Intruder", NWDS_SYN_BOOLEAN, 0);
    tree_.deleteValues(object, "Login Intruder Attempts");
  }
  if (!passwordMatches(object, password)) {
    if (std::int64_t container = detectingContainer(object)) countAttempt(object, container, now);
    return NWDSE_FAILED_AUTHENTICATION;
  }
  tree_.deleteValues(object, "Login Intruder Attempts");
  return 0;
}

} // namespace nwsim
