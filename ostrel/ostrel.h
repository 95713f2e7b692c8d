#pragma once
// Unit Ostrel: the bottom layer of the library. Loads the NetWare client, keeps the primary
// connection and the unit error code, and answers questions about connections and servers.
//
// Operations never throw for a client failure: they return a soft value (false, 0, an empty
// string or list, "LOCAL", the local date or time) and leave the completion code in
// lasterror(). A connection handle of 0 means the primary connection unless an operation
// says otherwise.
#include <ostrel/callframe.h>
#include <rtl/datetime.h>
#include <rtl/exceptions.h>
#include <rtl/tstringlist.h>

#include <array>
#include <cstdint>
#include <memory>
#include <functional>
#include <string>

namespace ostrel {

namespace detail {
extern UnitState state;
}

/// Usage statistics of one station.
struct TNWConnectionStats {
  std::uint32_t bytesRead = 0;
  std::uint32_t bytesWritten = 0;
  std::uint32_t requestPackets = 0;
};

/// Who is on one station of a server.
struct TNWConnectInfo {
  /// The connection the question was asked on (0 already replaced by the primary one).
  NWCONN_HANDLE connHandle = 0;
  /// Login date plus login time of the station.
  rtl::TDateTime loginTime = 0;
  /// Directory tree of the connection, every "_" of the client's padding turned into " ".
  std::string treeName;
  /// Network number (4 bytes) and node address (6 bytes) as 20 upper-case hex digits.
  std::string netAddress;
  std::uint16_t connNumber = 0;
  std::string userName;
  /// Bindery object type in the client's byte order (0x0100 for a user).
  std::uint16_t objectType = 0;
  /// Server of the connection; the tree name when the client reports no server name.
  std::string serverName;
};

/// The client's connection information record of level 1.
using TNWCCConnInfo = NWCCConnInfo;
using pTNWCCConnInfo = TNWCCConnInfo*;
using TNWCCVersion = NWCCVersion;

/// The unit object. Constructing it loads "CALWIN32.DLL" and "CLXWIN32.DLL", initialises the
/// calls library and remembers the primary connection; each construction resets the unit
/// state. Freeing it leaves the libraries loaded.
class TOstrel : public UnitObject<detail::state> {
public:
  TOstrel();
};

/// Exported for applications; the library itself never raises it.
class ExOstrel : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// ---- Unit state ------------------------------------------------------------------------

/// Handle of the calls library ("CALWIN32.DLL"); null when not loaded.
platform::ModuleHandle hNWCalls();
/// Handle of the client connection library ("CLXWIN32.DLL"); null when not loaded.
platform::ModuleHandle hNWClx();
/// The directory fallback switch.
bool isNDS();
/// The unit error code: the last non-zero completion code of the unit.
std::int32_t lasterror();

// ---- Client binding --------------------------------------------------------------------

/// True when both client libraries are loaded and a primary connection exists.
bool nwInit();
/// Sets the directory fallback switch.
void setAutoNDS(bool on);
/// The library's version text.
std::string getOstrelVersion();
/// The primary connection: the cached one when set, otherwise asked from the client (not
/// cached); 0 on failure, with the code (-1 when no call was possible) in lasterror().
NWCONN_HANDLE getPrimaryServerID();
/// The argument with its four bytes reversed, by the client; 0 without the calls library.
std::int32_t longSwap(std::int32_t value);

// ---- Connections and servers -----------------------------------------------------------

/// The caller's station number on the connection's server; 0 on failure.
std::uint16_t getConnectID(NWCONN_HANDLE conn);
/// The object logged in on the caller's own station; empty on failure.
std::string whoAmI(NWCONN_HANDLE conn);
/// The server's name; "LOCAL" on any failure.
std::string getServerName(NWCONN_HANDLE conn);
/// The server's date at midnight; the local date when the server cannot tell.
rtl::TDateTime getServerDate(NWCONN_HANDLE conn);
/// The server's time of day; the local time when the server cannot tell.
rtl::TDateTime getServerTime(NWCONN_HANDLE conn);
/// The number of connections the client supports; 0 without the client.
std::uint16_t maxConns();
/// Usage statistics of a station; `stats` is left untouched on failure.
bool getConnUsageStats(NWCONN_HANDLE conn, std::uint16_t connNumber, TNWConnectionStats& stats);
/// Who is on a station and since when; `info` is left untouched on failure.
bool getConnectInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, TNWConnectInfo& info);
/// Connection information of a connection reference (0 is not replaced).
bool getAllConnectRefInfo(NWCONN_REF connRef, TNWCCConnInfo& info);
/// Connection information of a connection handle (0 is not replaced). An older client fills
/// only the connection number and the server name.
bool getAllConnectInfo(NWCONN_HANDLE conn, TNWCCConnInfo& info);
/// The servers the workstation is attached to, in the client's order, each with a number as
/// its object: the station number, or with an older client the connection handle.
std::unique_ptr<rtl::TStringList> getConnectedServerList();
/// True when a user object of that name (sent as given, not upper-cased) has a station on
/// the server.
bool isLoggedIn(NWCONN_HANDLE conn, const std::string& objectName);

// ---- Bindery objects, identity and membership -------------------------------------------
// Object IDs are in client form (as "NWGetObjectID" returns them); object types in the
// client's byte order (0x0100 user, 0x0200 group, ...). With the directory fallback switch
// on, the name, number, ID, group and full-name lookups also ask directory services.

/// The name of the object with that ID; empty on failure.
std::string getObjName(NWCONN_HANDLE conn, std::int32_t objectID);
/// The ID of the object of that name and type, 0 when not found. A `conn` of 0 is replaced
/// by the primary connection in the caller's variable.
std::uint32_t getObjNumber(NWCONN_HANDLE& conn, const std::string& name, std::uint16_t type);
/// The object's displayed ID (byte-reversed, hexadecimal, no leading zeros); "0" on failure.
std::string getObjID(NWCONN_HANDLE conn, const std::string& name, std::uint16_t type);
/// The type of the first well-known type under which the name exists; 0 when none.
std::uint16_t getObjType(NWCONN_HANDLE conn, const std::string& name);
/// True when the password is the object's; name and password are trimmed and upper-cased.
bool nwPassCheck(NWCONN_HANDLE conn, const std::string& name, const std::string& password);
/// True when the caller is a console operator of the server.
bool isConsoleOperator(NWCONN_HANDLE conn);
/// True when the caller is a manager on the server.
bool isNWManager(NWCONN_HANDLE conn);
/// The names of the objects of a type, in the client's order, each with its ID as object.
std::unique_ptr<rtl::TStringList> getBinderyList(NWCONN_HANDLE conn, std::uint16_t type);
/// The members of a bindery group; the caller is left out unless `includeSelf`.
std::unique_ptr<rtl::TStringList> getMemberList(NWCONN_HANDLE conn, const std::string& group,
                                                bool includeSelf);
/// The groups a user is in.
std::unique_ptr<rtl::TStringList> getMyGroups(NWCONN_HANDLE conn, const std::string& name);
/// True when the object is security-equivalent to the other (or is the other).
bool secureEquiv(NWCONN_HANDLE conn, const std::string& name, const std::string& other);
/// True when the user is a member of the bindery group; nothing is recorded.
bool isMember(NWCONN_HANDLE conn, const std::string& member, const std::string& group);
/// True when the caller is named in the comma-separated list of user and group names or is
/// a member of a group named there.
bool isInList(NWCONN_HANDLE conn, const std::string& list);
/// The object's full name; the name trimmed and upper-cased when it has none.
std::string fullName(NWCONN_HANDLE conn, const std::string& name);

// ---- NetWare paths, drive mappings, file copy and open files -----------------------------

/// A NetWare path taken apart by parseNetwarePath.
struct TNWPathInfo {
  NWCONN_HANDLE connHandle = 0;
  std::string serverName;
  std::uint16_t volNumber = 0;
  /// The volume as the server spells it, followed by ":".
  std::string volName;
  std::uint8_t dirHandle = 0;
  /// The directory after the volume's colon: upper case, one trailing backslash.
  std::string path;
  /// "VOLUME:DIR" as the client returns it.
  std::string fullPath;
};

/// A path split by getPathInfo; the names are cut to their capacities.
struct TNWParsedPath {
  static constexpr std::size_t kServerNameMax = 40;
  static constexpr std::size_t kVolNameMax = 128;
  static constexpr std::size_t kDirPathMax = 128;
  NWCONN_HANDLE connHandle = 0;
  std::string serverName;
  std::string volName;
  std::string dirPath;
};

/// A network drive's mapping (getMapInfo); the texts are cut to their capacities.
struct TNWMapInfo {
  static constexpr std::size_t kServerNameMax = 40;
  static constexpr std::size_t kPathMax = 128;
  NWCONN_HANDLE connHandle = 0;
  std::string serverName;
  std::string path;
  std::uint16_t status = 0;
};

/// Parses a NetWare or drive-letter path on the connection's server.
bool parseNetwarePath(NWCONN_HANDLE conn, const std::string& path, TNWPathInfo& info);
/// Splits a NetWare path into server, volume and directory; `parsed` is cleared first.
bool getPathInfo(const std::string& path, TNWParsedPath& parsed);
/// Maps a drive letter (A-Z, either case) to a NetWare directory, replacing any mapping.
bool map(char letter, const std::string& path);
/// Removes the mapping of the drive named by the first character.
bool mapDelete(const std::string& drive);
/// The letter of the first network drive; '\0' on failure.
char getFirstNetDrive();
/// The first free drive at or after the first network drive; '\0' when none.
char getNextNetDrive();
/// The mapping of a network drive; false (record untouched) for a local or free drive.
bool getMapInfo(char letter, TNWMapInfo& info);
/// The drive table, one line per drive.
std::unique_ptr<rtl::TStringList> mapShow();
/// The NetWare handle (low 16 bits) of a file opened through the platform's file calls.
std::uint16_t convertLocalFileHandle(std::uint16_t localHandle);
/// Copies a file on the server; both ends must be NetWare files of one server.
bool _nwCopy(const std::string& source, const std::string& destination);
/// Copies a file, on the server when possible, otherwise through the workstation, keeping
/// the source's date. False when the copy is incomplete or the two paths name one file.
/// The copy is written beside the destination under a temporary name and takes the
/// destination's name only when complete: a failed or killed copy leaves the destination as
/// it was. A copy refused for want of space leaves NWE_INSUFFICIENT_SPACE in lasterror().
bool nCopy(const std::string& source, const std::string& destination);
/// Called as copies go on with the bytes copied so far and the file's size (from 0 to the
/// size); an empty function (the default) for none. For a program's progress display.
void setCopyProgress(std::function<void(std::int64_t done, std::int64_t total)> progress);
/// The files a station has open, each with its lock type as object.
std::unique_ptr<rtl::TStringList> getConnOpenFiles(NWCONN_HANDLE conn, std::uint16_t connNumber);
/// The stations that have a file open, "[n]   NAME" each with the user's ID as object;
/// "[0]  None" when nobody has.
std::unique_ptr<rtl::TStringList> getOpenFileUsers(NWCONN_HANDLE conn, const std::string& path);

// ---- Broadcast messages and shell error mode ------------------------------------------------

/// The workstation's broadcast mode (0 on, 1 server only, 2 off, 3 stored); 0 on failure.
std::uint16_t getBroadcastMode(NWCONN_HANDLE conn);
bool setBroadcastMode(NWCONN_HANDLE conn, std::uint16_t mode);
bool castOn(NWCONN_HANDLE conn);
bool castOff(NWCONN_HANDLE conn);
/// The next stored broadcast message; empty when there is none or on failure.
std::string getBroadcastMessage(NWCONN_HANDLE conn);
/// Writes a message (cut to 127 characters) to the server's console.
bool broadcastToConsole(NWCONN_HANDLE conn, const std::string& message);
/// Sends a message to one station; true when the station accepted it. A refusal is not
/// recorded, a failed call is.
bool broadcastToConn(NWCONN_HANDLE conn, std::uint16_t connNumber, const std::string& message);
/// Sends a message to every station (at most 50) the user is logged in on; true when at
/// least one accepted it. Nothing is recorded.
bool sendLineMessage(NWCONN_HANDLE conn, const std::string& userName, const std::string& message);
/// Sets how the client reports its own errors; the mode in force before, 0 on failure.
std::uint8_t setShellErrorMode(std::uint8_t mode);

// ---- Preferred server and station lists ------------------------------------------------

/// The file servers the primary server knows.
std::unique_ptr<rtl::TStringList> sList();
/// Makes the server the preferred (primary) server; `handle` receives its connection (0 when
/// the server cannot be reached), which becomes the remembered primary connection.
bool setPreferredServer(const std::string& serverName, NWCONN_HANDLE& handle);
/// The stations an object is logged in on: at most 50 numbers in `list`, their count in
/// `count`. True when there is at least one. Nothing is recorded.
bool getUserConnList(NWCONN_HANDLE conn, const std::string& objectName, std::int32_t& count,
                     std::array<std::uint16_t, 50>& list);
/// One line per station of the server with the station number as object: the name of the
/// object logged in, or "Not Logged In" for attached stations when `all`.
std::unique_ptr<rtl::TStringList> getUserList(NWCONN_HANDLE conn, bool all);

} // namespace ostrel
