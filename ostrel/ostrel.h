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

#include <cstdint>
#include <memory>
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

} // namespace ostrel
