// nw sema and tts: server semaphores and transactions. Semaphore opens belong to the program
// that made them, so each command opens the semaphore by name, acts and closes it again;
// "open --hold" keeps it open for a while, for other programs to use.
#include "cli.h"

#include <nwserver/nwserver.h>
#include <ostrel/ostrel.h>
#include <rtl/sysutils.h>

#include <chrono>
#include <iostream>
#include <thread>

namespace nw {
namespace {

std::string serverError() { return failure(nwserver::lasterror()); }

unsigned long number(const std::string& text, const std::string& what, unsigned long max) {
  std::size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(text, &used);
  } catch (const std::exception&) {
  }
  if (text.empty() || used != text.size() || value > max) throw CommandError("'" + text + "' is not " + what);
  return value;
}

/// A semaphore opened by name for the life of one command.
class OpenSemaphore {
public:
  OpenSemaphore(const std::string& name, std::uint16_t value) : name_(rtl::UpperCase(name)) {
    handle_ = nwserver::createSemaphore(0, name_, value);
    if (!handle_) throw CommandError("cannot open semaphore " + name_ + " (" + serverError() + ")");
  }
  ~OpenSemaphore() { nwserver::freeSemaphore(0, handle_); }
  OpenSemaphore(const OpenSemaphore&) = delete;
  OpenSemaphore& operator=(const OpenSemaphore&) = delete;
  std::uint32_t handle() const { return handle_; }
  void show() const {
    std::int16_t value = 0;
    const std::uint16_t opens = nwserver::querySemaphore(0, handle_, value);
    if (!opens) throw CommandError("cannot examine semaphore " + name_ + " (" + serverError() + ")");
    std::cout << "Semaphore " << name_ << ": value " << value << ", open count " << opens << ".\n";
  }
  const std::string& name() const { return name_; }

private:
  std::string name_;
  std::uint32_t handle_ = 0;
};

int sema(const Args& args) {
  const std::string action = rtl::UpperCase(args.need(0, "semaphore command"));
  const std::string& name = args.need(1, "semaphore name");
  requireClient();
  if (action == "OPEN") {
    args.atMost(3);
    const auto value = args.positional().size() > 2 ? number(args.positional()[2], "a value (0-32767)", 32767) : 0;
    const auto hold = number(args.option("hold", "0"), "a number of seconds", 86400);
    OpenSemaphore s(name, static_cast<std::uint16_t>(value));
    s.show();
    std::cout.flush();
    std::this_thread::sleep_for(std::chrono::seconds(hold));
    return 0;
  }
  args.atMost(2);
  OpenSemaphore s(name, 0);
  if (action == "EXAMINE") {
    s.show();
  } else if (action == "WAIT") {
    // The unit takes a unit without waiting; waiting is trying again until the time is up.
    const auto timeout = std::chrono::milliseconds(number(args.option("timeout", "0"), "a number of seconds", 3600) * 1000);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!nwserver::decSemaValue(0, s.handle(), 1)) {
      if (std::chrono::steady_clock::now() >= deadline)
        throw CommandError("semaphore " + s.name() + " was not signalled in time (" + serverError() + ")");
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::cout << "Semaphore " << s.name() << " taken.\n";
  } else if (action == "SIGNAL") {
    if (!nwserver::incSemaValue(0, s.handle(), 1))
      throw CommandError("cannot signal semaphore " + s.name() + " (" + serverError() + ")");
    std::cout << "Semaphore " << s.name() << " signalled.\n";
  } else if (action == "CLOSE") {
    s.show();
    std::cout << "Semaphore " << s.name() << " closed.\n";
  } else {
    throw CommandError("unknown semaphore command '" + args.positional()[0] + "' (see --help)");
  }
  return 0;
}

int tts(const Args& args) {
  args.atMost(1);
  const std::string action = rtl::UpperCase(args.need(0, "begin, end or abort"));
  requireClient();
  if (action == "BEGIN") {
    if (!nwserver::TTSBeginTransaction(0))
      throw CommandError("cannot begin a transaction (TTS is disabled, or one is running)");
    std::cout << "Transaction begun on " << ostrel::getServerName(0) << ".\n";
  } else if (action == "END") {
    const std::uint32_t number = nwserver::TTSEndTransaction(0);
    if (!number) throw CommandError("no transaction is running");
    std::cout << "Transaction " << number << " ended; its changes are kept.\n";
  } else if (action == "ABORT") {
    if (!nwserver::TTSAbortTransaction(0)) throw CommandError("no transaction is running");
    std::cout << "Transaction aborted; its files are as they were before it.\n";
  } else if (action == "ON" || action == "OFF") {
    if (!(action == "ON" ? nwserver::TTSEnable(0) : nwserver::TTSDisable(0)))
      throw CommandError("cannot switch TTS " + rtl::LowerCase(action) + " (console operators only)");
    std::cout << "TTS is " << (action == "ON" ? "enabled" : "disabled") << " on " << ostrel::getServerName(0) << ".\n";
  } else {
    throw CommandError("unknown tts command '" + args.positional()[0] + "' (see --help)");
  }
  return 0;
}

Register semaCmd({"sema", "open, examine, wait on, signal or close a server semaphore",
                  "usage: nw sema open NAME [VALUE] [--hold SECONDS]\n"
                  "       nw sema examine|wait|signal|close NAME [--timeout SECONDS]\n\n"
                  "Semaphores live on the primary server while a program holds them open; each\n"
                  "command opens NAME (creating it), acts and closes it. open shows the value and\n"
                  "open count and keeps it open for SECONDS; wait takes one unit, waiting up to\n"
                  "SECONDS for another program to signal; signal adds one.\n",
                  {"hold", "timeout"}, sema});
Register ttsCmd({"tts", "begin, end or abort a transaction",
                 "usage: nw tts begin|end|abort|on|off\n\n"
                 "A transaction of this workstation's primary connection: files reached through\n"
                 "NetWare paths after begin are restored by abort (also by another program of\n"
                 "the workstation); end keeps them. on and off switch TTS on the server.\n",
                 {}, tts});

} // namespace
} // namespace nw
