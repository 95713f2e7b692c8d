#include "cli.h"

#include <nwsim/completion_codes.h>
#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/module.h>
#include <rtl/sysutils.h>

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <iterator>
#include <iostream>
#include <map>
#include <memory>

namespace nw {

namespace {
std::map<std::string, Command>& registry() {
  static std::map<std::string, Command> all;
  return all;
}
} // namespace

Register::Register(Command c) { registry()[c.name] = std::move(c); }

const std::map<std::string, Command>& commands() { return registry(); }

std::vector<std::string> Command::options() const {
  std::vector<std::string> names = valueOptions;
  for (std::size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
    std::size_t end = at + 2;
    while (end < help.size() && (std::isalnum(static_cast<unsigned char>(help[end])) || help[end] == '-')) ++end;
    if (end > at + 2 && (at == 0 || !std::isalnum(static_cast<unsigned char>(help[at - 1]))))
      names.push_back(help.substr(at + 2, end - at - 2));
  }
  return names;
}

Args::Args(std::vector<std::string> words, const Command& command)
    : known_(command.options()), secret_(command.readsPassword) {
  const auto& valueOptions = command.valueOptions;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
      std::string name = w.substr(2), value = "1";
      const auto eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
      if (std::find(known_.begin(), known_.end(), name) == known_.end())
        throw UsageError(secret_ ? "unknown option (see --help)" : "unknown option --" + name + " (see --help)");
      if (eq == std::string::npos && std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end()) {
        if (i + 1 >= words.size()) throw UsageError("--" + name + " needs a value");
        value = words[++i];
      }
      options_[name] = value;
    } else {
      positional_.push_back(w);
    }
  }
}

void Args::requireKnown(const std::string& name) const {
  // A command asking for an option its help does not name is a mistake in nw itself.
  if (std::find(known_.begin(), known_.end(), name) == known_.end())
    throw std::logic_error("option --" + name + " is not in the command's help");
}

bool Args::flag(const std::string& name) const {
  requireKnown(name);
  return options_.count(name) != 0;
}

std::string Args::option(const std::string& name, const std::string& def) const {
  requireKnown(name);
  auto it = options_.find(name);
  return it == options_.end() ? def : it->second;
}

const std::string& Args::need(std::size_t i, const std::string& what) const {
  if (i >= positional_.size()) throw UsageError("missing " + what + " (see --help)");
  return positional_[i];
}

void Args::atMost(std::size_t n) const {
  if (positional_.size() <= n) return;
  // A password typed on the command line by mistake must not be shown again.
  if (secret_) throw UsageError("too many arguments (see --help)");
  throw UsageError("unexpected argument '" + positional_[n] + "' (see --help)");
}

const std::map<std::string, std::uint16_t>& typeNames() {
  static const std::map<std::string, std::uint16_t> names = {
      {"USER", 0x0100},        {"GROUP", 0x0200},         {"QUEUE", 0x0300},         {"PRINTQUEUE", 0x0300},
      {"SERVER", 0x0400},      {"FILESERVER", 0x0400},    {"JOBSERVER", 0x0500},     {"GATEWAY", 0x0600},
      {"PRINTSERVER", 0x0700}, {"ARCHIVEQUEUE", 0x0800},  {"ARCHIVESERVER", 0x0900}, {"JOBQUEUE", 0x0A00},
      {"ADMINISTRATION", 0x0B00}};
  return names;
}

/// A type given by name ("user", "group", ...) or as a number in the client's byte order
/// ("0x0100").
std::uint16_t parseType(const std::string& text) {
  const std::string upper = rtl::UpperCase(text);
  if (auto it = typeNames().find(upper); it != typeNames().end()) return it->second;
  std::size_t used = 0;
  try {
    const unsigned long value = std::stoul(text, &used, 0);
    if (used == text.size() && value <= 0xFFFF) return static_cast<std::uint16_t>(value);
  } catch (const std::exception&) {
  }
  throw CommandError("unknown object type '" + text + "' (see --help)");
}

namespace {
// The terminal's settings while a password prompt has echo off, for the signal handler.
termios promptSaved{};
volatile std::sig_atomic_t promptQuiet = 0;
constexpr int kPromptSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// An interrupted prompt puts echo back before the signal takes its usual course, so the
// shell is not left typing blind.
extern "C" void restoreTerminalAndRaise(int sig) {
  if (promptQuiet) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &promptSaved);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

/// Echo off on the terminal for one scope, put back however the scope ends, and by the
/// signals that end the program meanwhile.
class SilentTerminal {
public:
  SilentTerminal() {
    if (::tcgetattr(STDIN_FILENO, &promptSaved) != 0) return;
    struct sigaction act{};
    act.sa_handler = restoreTerminalAndRaise;
    sigemptyset(&act.sa_mask);
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i) ::sigaction(kPromptSignals[i], &act, &previous_[i]);
    promptQuiet = 1;
    termios silent = promptSaved;
    silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    active_ = true;
  }
  ~SilentTerminal() {
    if (!active_) return;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &promptSaved);
    promptQuiet = 0;
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i) ::sigaction(kPromptSignals[i], &previous_[i], nullptr);
  }
  SilentTerminal(const SilentTerminal&) = delete;
  SilentTerminal& operator=(const SilentTerminal&) = delete;

private:
  bool active_ = false;
  struct sigaction previous_[std::size(kPromptSignals)]{};
};
} // namespace

std::string readPassword(const std::string& prompt) {
  std::string password;
  if (::isatty(STDIN_FILENO)) {
    {
      SilentTerminal silent;
      std::cerr << prompt << std::flush;
      std::getline(std::cin, password);
    }
    std::cerr << "\n";
  } else {
    std::getline(std::cin, password);
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password;
}

void requireClient() {
  // Constructing the unit object loads the client libraries and finds the primary
  // connection; the state it sets up is the unit's, so the object itself can go.
  ostrel::TOstrel ostrel;
  if (!ostrel::hNWCalls() || !ostrel::hNWClx())
    throw CommandError("the NetWare client is not available (" + platform::lastLoadError() + ")");
  if (!ostrel::nwInit()) {
    std::string why = nwsim::lastOpenError();
    if (!why.empty()) throw CommandError(why);
    throw CommandError("no connection to a NetWare server (" + failure(ostrel::lasterror()) + ")");
  }
}

std::string failure(std::int32_t code) {
  return code == 0 ? std::string("the client gave no reason") : nwsim::describeCode(code);
}

} // namespace nw
