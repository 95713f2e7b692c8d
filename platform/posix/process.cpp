#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <cerrno>
#include <mutex>
#include <thread>

extern char** environ;

namespace platform {
namespace {

// WinExec's results.
constexpr unsigned ExecStarted = 33;
constexpr unsigned ExecOutOfResources = 0;
constexpr unsigned ExecFileNotFound = 2;
constexpr unsigned ExecPathNotFound = 3;
constexpr unsigned ExecBadFormat = 11;

std::mutex launcherMutex;
ProgramLauncher& installedLauncher() {
  static ProgramLauncher launcher;
  return launcher;
}

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

unsigned spawnProgram(const std::vector<std::string>& args, unsigned /*showMode: no windows here*/) {
  if (args.empty()) return ExecFileNotFound;
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  switch (rc) {
    case 0: break;
    case ENOENT: return ExecFileNotFound;
    case ENOTDIR: return ExecPathNotFound;
    case ENOMEM:
    case EAGAIN: return ExecOutOfResources;
    default: return ExecBadFormat;
  }
  // The caller does not wait for the program; reap it when it ends so it leaves no zombie.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return ExecStarted;
}

} // namespace

std::uint32_t getTickCount() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  std::size_t i = 0;
  const std::size_t n = commandLine.size();
  while (i < n && isSeparator(commandLine[i])) ++i;
  if (i == n) return args;

  // The program name: quotes group, backslashes are plain characters.
  {
    std::string program;
    bool quoted = false;
    while (i < n && (quoted || !isSeparator(commandLine[i]))) {
      if (commandLine[i] == '"') quoted = !quoted;
      else program += commandLine[i];
      ++i;
    }
    args.push_back(program);
  }

  // The arguments: 2n backslashes before a quote give n backslashes and the quote groups;
  // 2n+1 give n backslashes and a literal quote; "" inside quotes is a literal quote.
  for (;;) {
    while (i < n && isSeparator(commandLine[i])) ++i;
    if (i == n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !isSeparator(commandLine[i]))) {
      if (commandLine[i] == '\\') {
        std::size_t slashes = 0;
        while (i < n && commandLine[i] == '\\') { ++slashes; ++i; }
        if (i < n && commandLine[i] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(slashes, '\\');
        }
      } else if (commandLine[i] == '"') {
        if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += commandLine[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

unsigned winExec(const std::string& commandLine, unsigned showMode) {
  const auto args = splitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return ExecFileNotFound;
  ProgramLauncher launcher;
  {
    std::lock_guard<std::mutex> lock(launcherMutex);
    launcher = installedLauncher();
  }
  return launcher ? launcher(args, showMode) : spawnProgram(args, showMode);
}

ProgramLauncher setProgramLauncher(ProgramLauncher launcher) {
  std::lock_guard<std::mutex> lock(launcherMutex);
  ProgramLauncher previous = std::move(installedLauncher());
  installedLauncher() = std::move(launcher);
  return previous;
}

} // namespace platform
