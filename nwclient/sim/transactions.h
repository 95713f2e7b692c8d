#pragma once
// The Transaction Tracking System of the servers: a connection's transaction keeps each file
// of the server as it was before the transaction first reached it through the redirector, so
// that aborting can put every one back (and remove the files the transaction created).
#include "redirector.h"

#include <cstdint>
#include <filesystem>

namespace nwsim {

class Transactions {
public:
  explicit Transactions(Session& s) : s_(s) {}

  bool enabled(std::int64_t serverId);
  void setEnabled(std::int64_t serverId, bool on);
  /// NWE_TTS_DISABLED; NWE_FAILURE when one is running on the connection already.
  NWCCODE begin(const Connection& c);
  /// Keeps the changes; the transaction's number. NWE_NO_TRANSACTION.
  NWCCODE end(const Connection& c, std::uint32_t& number);
  /// Restores the files. NWE_NO_TRANSACTION.
  NWCCODE abort(const Connection& c);
  /// A program is about to reach the file `local` at `at`: its contents are kept the first
  /// time within a transaction of the connection.
  void reaching(const Location& at, const std::filesystem::path& local);

private:
  bool running(const Connection& c);
  void forget(const Connection& c);
  Session& s_;
};

} // namespace nwsim
