#pragma once
// Files over POSIX, in the style of the old Windows file calls the units were written
// against. Paths may be local ("/tmp/x", "relative/x") or NetWare paths ("FS1/SYS:PUBLIC\X",
// "SYS:PUBLIC\X") or drive-letter paths on mapped drives ("G:\PUBLIC\X"); the latter two
// are resolved by the client's redirector to the file on disk, and fail when no client is
// present or the path is not mapped. Handles are small positive integers; -1 is failure.
#include <cstdint>
#include <string>

namespace platform {

constexpr int HFILE_ERROR = -1;

// _lopen modes: access in the low bits, sharing in 0x10..0x40.
constexpr int OF_READ = 0x00;
constexpr int OF_WRITE = 0x01;
constexpr int OF_READWRITE = 0x02;
constexpr int OF_SHARE_DENY_NONE = 0x40;

/// Opens an existing file; HFILE_ERROR on failure.
int lopen(const std::string& path, int mode);
/// Creates (or truncates) a file for writing; HFILE_ERROR on failure.
int lcreat(const std::string& path);
/// Bytes read, 0 at the end of file, -1 on error.
long lread(int handle, void* buffer, long count);
/// Bytes written, -1 on error.
long lwrite(int handle, const void* buffer, long count);
/// origin 0 = start, 1 = current, 2 = end; the new position or -1.
std::int64_t llseek(int handle, std::int64_t offset, int origin);
/// Cuts the file at its current position.
bool ltruncate(int handle);
int lclose(int handle);

bool deleteFile(const std::string& path);
/// Renames `from` over `to` in one step, replacing `to` when it exists: how a copy's finished
/// temporary, written beside the destination, takes its name. False when refused.
bool replaceFile(const std::string& from, const std::string& to);
bool fileExists(const std::string& path);
/// Creates a file only when none of that name exists (exclusive); HFILE_ERROR otherwise.
int fileCreateExclusive(const std::string& path);
/// The short 8.3 form of a path; empty when the system has none (as on Linux).
std::string getShortPathName(const std::string& path);
/// The local file a path refers to after redirection; empty when it cannot be resolved.
std::string resolvePath(const std::string& path);
/// True for the paths that go through the redirector: NetWare paths ("SERVER/VOL:...",
/// "VOL:...") and drive-letter paths ("G:\\..."). Other paths are local and used as they are.
bool isRedirectedPath(const std::string& path);

/// The redirector the client installs: turns a NetWare or drive-letter path into a local
/// path (false when it cannot). Without one, the simulated client's own is used when its
/// library is loaded (it is also told which handles are opened and closed on such paths,
/// for the station's open files); otherwise such paths do not resolve.
using Redirector = bool (*)(const char* path, char* localPath, std::size_t size);
void setRedirector(Redirector r);

} // namespace platform
