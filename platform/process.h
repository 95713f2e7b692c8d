#pragma once
// Starting programs and reading the tick count.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

/// Milliseconds since the machine started, as a wrapping 32-bit count.
std::uint32_t getTickCount();

/// Splits a command line by the Windows rules (blanks separate, double quotes group,
/// backslashes before a quote escape it).
std::vector<std::string> splitCommandLine(const std::string& commandLine);

/// Starts a program from a command line without a shell and does not wait for it.
/// Returns a value above 31 on success, as WinExec does; 2 when the program is not found.
/// Tests replace the launcher to record commands instead of running them.
unsigned winExec(const std::string& commandLine, unsigned showMode);
using ProgramLauncher = std::function<unsigned(const std::vector<std::string>& argv, unsigned showMode)>;
/// Installs a launcher (an empty one restores the real one); returns the previous one.
ProgramLauncher setProgramLauncher(ProgramLauncher launcher);

} // namespace platform
