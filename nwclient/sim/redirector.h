#pragma once
// The client's redirector: a NetWare path ("SERVER/VOL:DIR\FILE", "VOL:DIR\FILE"), a path on
// a mapped drive ("G:\DIR\FILE") or a path relative to a directory handle, located on a
// volume of a server the workstation is connected to, and turned into the local file below
// the volume's root, never outside it.
//
// The platform layer finds the C functions at the end of this header in the loaded
// simulator library by itself (nwsimRedirect, nwsimFileOpened, nwsimFileClosed), so the
// client libraries export only NetWare names.
#include "netware_path.h"
#include "simulator.h"
#include "volumes.h"

#include <filesystem>

namespace nwsim {

struct Location {
  Connection conn;
  Server server;
  Volumes::Volume volume;
  std::vector<std::string> parts;
  /// "DIR\\FILE" below the volume's root.
  std::string path() const { return NetWarePath::join(parts); }
  /// "VOL:DIR\\FILE".
  std::string volumePath() const { return volume.name + ":" + path(); }
};

class Redirector {
public:
  explicit Redirector(Session& s) : s_(s) {}
  Volumes volumes() { return Volumes(s_.db(), s_.network().dir()); }

  /// Locates a path. `conn` serves paths that name no server (0: the primary connection);
  /// `dirHandle` (of that connection) paths without a volume. Codes: NWE_INVALID_PATH,
  /// NWE_SERVER_NOT_FOUND, NWE_INVALID_CONNECTION, NWE_INVALID_DRIVE, NWE_BAD_DIRECTORY_HANDLE,
  /// NWE_VOLUME_DOES_NOT_EXIST, NWE_SERVER_DOWN.
  NWCCODE locate(const std::string& path, std::uint32_t conn, int dirHandle, Location& out);
  /// Locates `path` relative to the directory handle of a connection (0: `path` is a
  /// complete NetWare path); an empty path is the handle's own directory.
  NWCCODE locateBelow(std::uint32_t conn, int dirHandle, const std::string& path, Location& out);
  /// The local file of a location (see Volumes::localPath).
  NWCCODE localPath(const Location& at, std::filesystem::path& out);
  /// The location held for use below its volume's root (see Volumes::place).
  NWCCODE place(const Location& at, Placed& out);
  /// Opens the file of a location for the station, with open(2)'s flags: held to the station's
  /// effective rights (read, write, create in the folder) and never outside the volume.
  /// The descriptor, or -1 with `code` set (NWE_NO_READ_PRIVILEGE, NWE_ACCESS_DENIED for
  /// writing, NWE_NO_CREATE_PRIVILEGE, NWE_FILE_NOT_FOUND, NWE_INVALID_PATH).
  int open(const Location& at, int flags, mode_t mode, NWCCODE& code);
  /// Puts the file of `from` in the place of `to`, beside it in the same folder, in one
  /// rename: a copy's finished temporary taking the destination's name. Held to the rights
  /// of writing `to` when it exists (and not over a read-only file), else of creating it;
  /// an existing destination keeps its owner and trustees.
  NWCCODE replace(const Location& from, const Location& to);
  /// Removes a copy's unfinished temporary for good: it was never an entry, so nothing of
  /// it is kept for salvage.
  NWCCODE discardTemporary(const Location& at);

private:
  Session& s_;
};

} // namespace nwsim

extern "C" {
/// Writes the local path of a NetWare or drive-letter path (at most `size` bytes, always
/// terminated); false when it does not resolve, and in a program that has not loaded a
/// client library.
bool nwsimRedirect(const char* path, char* localPath, std::size_t size);
/// Opens a NetWare or drive-letter path for the platform (see Redirector::open): the
/// descriptor, or -1 with errno set (EACCES when the station lacks the rights, ENOENT, EINVAL
/// for a path that does not resolve); -2 in a program that has not loaded a client library.
int nwsimOpenFile(const char* path, int flags, int mode);
/// The platform opened `path` (a redirected path) as `handle`: access 1 read, 2 write, 3 both.
void nwsimFileOpened(int handle, const char* path, int access);
/// The platform closed a handle it reported as opened.
void nwsimFileClosed(int handle);
/// The platform created a new file on a redirected path: the creating station's object
/// becomes its owner.
void nwsimFileCreated(const char* path);
/// The platform is about to write on a handle it reported as opened, up to byte `end` of the
/// file: 0 when that is allowed, else the completion code (a space limit or restriction).
int nwsimFileWriting(int handle, long long end);
/// The platform deletes a file on a redirected path: 1 when it was deleted (kept for
/// salvage unless it is to be purged at once), 0 when it was not, -1 in a program that has
/// not loaded a client library.
int nwsimDeleteFile(const char* path);
/// The platform renames a copy's temporary over its destination (see Redirector::replace):
/// 1 when done, 0 when refused, -1 in a program that has not loaded a client library.
int nwsimReplaceFile(const char* from, const char* to);
}
