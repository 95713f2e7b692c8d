#include "cli.h"

#include <nwsim/nwsim.h>
#include <ostrel/ostrel.h>
#include <platform/module.h>

#include <termios.h>
#include <unistd.h>

#include <iostream>
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

Args::Args(std::vector<std::string> words, const std::vector<std::string>& valueOptions) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
      std::string name = w.substr(2), value = "1";
      if (auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      } else if (std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end()) {
        if (i + 1 >= words.size()) throw CommandError("--" + name + " needs a value");
        value = words[++i];
      }
      options_[name] = value;
    } else {
      positional_.push_back(w);
    }
  }
}

bool Args::flag(const std::string& name) const { return options_.count(name) != 0; }

std::string Args::option(const std::string& name, const std::string& def) const {
  auto it = options_.find(name);
  return it == options_.end() ? def : it->second;
}

const std::string& Args::need(std::size_t i, const std::string& what) const {
  if (i >= positional_.size()) throw CommandError("missing " + what + " (see --help)");
  return positional_[i];
}

void Args::atMost(std::size_t n) const {
  if (positional_.size() > n) throw CommandError("unexpected argument '" + positional_[n] + "' (see --help)");
}

std::string readPassword(const std::string& prompt) {
  std::string password;
  if (::isatty(STDIN_FILENO)) {
    std::cerr << prompt << std::flush;
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
      termios silent = saved;
      silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
      ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::getline(std::cin, password);
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
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
    throw CommandError("no connection to a NetWare server (error " + ostrel.getLastError() + ")");
  }
}

} // namespace nw
