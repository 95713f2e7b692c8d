#pragma once
// The command framework of nw: each command registers itself with its name, a one-line
// summary, its help text and the function that runs it.
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace nw {

/// A runtime failure of a command; main prints "nw: <message>" and exits 1.
class CommandError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// A command line the command does not take (an unknown option, a missing or extra
/// argument); main prints "nw: <message>" and exits 2.
class UsageError : public CommandError {
public:
  using CommandError::CommandError;
};

struct Command;

/// The arguments of one command: positional words and "--name [value]" options. Only the
/// options the command's help names are taken; any other is refused.
class Args {
public:
  Args(std::vector<std::string> words, const Command& command);
  const std::vector<std::string>& positional() const { return positional_; }
  bool flag(const std::string& name) const;
  std::string option(const std::string& name, const std::string& def = {}) const;
  /// The positional word at index i; throws CommandError naming `what` when missing.
  const std::string& need(std::size_t i, const std::string& what) const;
  /// Throws CommandError when there are more than n positional words.
  void atMost(std::size_t n) const;

private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> options_;
  std::vector<std::string> known_;
  bool secret_ = false;
  void requireKnown(const std::string& name) const;
};

struct Command {
  std::string name;
  std::string summary;
  std::string help;                       // full help text, from "usage:" on
  std::vector<std::string> valueOptions;  // options that take a value
  std::function<int(const Args&)> run;
  bool readsPassword = false;             // its refusals never repeat what was typed
  /// Every option the help text names ("--name"), with or without a value.
  std::vector<std::string> options() const;
};

/// Registers a command at static initialisation; see the commands' source files.
struct Register {
  explicit Register(Command c);
};

const std::map<std::string, Command>& commands();

/// Loads the NetWare client and checks that it works; throws CommandError with a clear
/// message when it does not (no client libraries, or the network cannot be opened).
void requireClient();

/// Object types by name ("USER", "GROUP", "QUEUE", ...), in the client's byte order.
const std::map<std::string, std::uint16_t>& typeNames();
/// A type given by name ("user", "group", ...) or as a number in the client's byte order
/// ("0x0100"); throws CommandError for anything else.
std::uint16_t parseType(const std::string& text);

/// Why a call failed, in words, from the completion code or directory error it left:
/// "wrong password, code 89FA". A code of 0 says that the client gave no reason.
std::string failure(std::int32_t code);

/// Reads a password: from the terminal without echo, or one line of stdin when it is not
/// a terminal. Never from the command line, where other users could read it.
std::string readPassword(const std::string& prompt);

/// nw login --tree and nw logout --tree: the directory's login (directory_objects.cpp).
int treeLogin(const Args& args);
int treeLogout(const Args& args);
/// nw nlist for the directory (directory_objects.cpp), and whether a word names a
/// directory class ("Organizational Unit", any case, or "*" for all).
int directoryNlist(const Args& args);
bool isDirectoryClass(const std::string& word);

} // namespace nw
