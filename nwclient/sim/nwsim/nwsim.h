#pragma once
// The simulated NetWare network, as programs other than the client libraries see it: the
// `nwsim` tool, the tests and the benchmarks. The client libraries and this API share one
// instance per process (libnwsim.so), so a test can pick the network and workstation, inject
// faults and read call counters while the units talk to the client libraries.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace nwsim {

/// A network could not be created or opened, or a seed is bad. The message says which
/// file (and, for seeds, which line) and why.
class SimError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

/// Creates a network folder from a JSON seed (the built-in sample seed when `seed` is
/// empty). The folder must not hold a network yet. Nothing is left behind on failure.
void createNetwork(const std::filesystem::path& dir, const std::filesystem::path& seed = {});
/// The same from seed text already in memory; `seedName` names it in error messages.
void createNetworkFromText(const std::filesystem::path& dir, const std::string& seedText,
                           const std::string& seedName);
/// The built-in sample seed's text.
const std::string& sampleSeed();

/// The folder of the per-user default network (created on first use by the client).
std::filesystem::path defaultNetworkDir();
/// The network the client of this process uses: the one chosen with useNetwork, else
/// NWSIM_NETWORK, else the per-user default.
std::filesystem::path currentNetworkDir();

/// Makes this process's client use another network folder (closing the one in use) and,
/// when `workstation` is not empty, that workstation name. An empty folder goes back to
/// NWSIM_NETWORK or the per-user default.
void useNetwork(const std::filesystem::path& dir, const std::string& workstation = {});
/// Makes this process's client act as another workstation of the same network.
void useWorkstation(const std::string& name);
/// The workstation name in force.
std::string currentWorkstation();
/// Opens the network in force now, so that errors show here rather than as completion
/// codes. Throws SimError with a clear message.
void openNetwork();
/// Why the network in force could not be opened (empty when it is open or not tried).
std::string lastOpenError();

/// Makes the next `count` calls (-1: every call) of the named client function fail with
/// `code`, for every process using the network. Codes are the header's NWE_... values.
/// Throws SimError for a name no client library exports, which could never fail.
void injectFault(const std::string& function, std::int32_t code, int count = 1);
/// Whether one of the four client libraries exports a function of this name.
bool isClientFunction(const std::string& function);
void clearFaults();

/// How often this process called each client function (by exported name).
std::uint64_t callCount(const std::string& function);
/// How many client calls this process made in all.
std::uint64_t totalCallCount();
void resetCallCounts();

/// Directory contexts and client buffers (search-filter cursors included) this process holds
/// open (made and not yet freed), so tests can prove that operations release what they obtain.
std::size_t openDirectoryContexts();
std::size_t openDirectoryBuffers();

/// The name context of the workstation in force (its current directory context, as the
/// CX command shows it; new workstations start from net.cfg's NAME CONTEXT), and setting
/// it, kept in the store so later programs on the workstation start from it.
std::string workstationNameContext();
void setWorkstationNameContext(const std::string& context);

/// A summary of the network for `nwsim show` and tests.
struct ServerInfo {
  std::string name;
  std::string kind;        // "bindery" or "directory"
  std::string tree;        // tree of a directory server
  int versionMajor = 0, versionMinor = 0, revision = 0;
  int maxConnections = 0;
  bool up = true;
};
struct StationInfo {
  std::string server;
  int connNumber = 0;
  std::string workstation;
  std::string objectName;  // empty when nobody is logged in
  std::uint16_t objectType = 0;
  std::string loginTime;   // "yyyy-mm-dd hh:mm:ss", empty when not logged in
  std::uint32_t handle = 0;
};
std::vector<ServerInfo> servers();
std::vector<StationInfo> stations();

/// For benchmarks on large networks: adds `count` users named <prefix>000001, <prefix>000002,
/// ... to the bindery of a server, in one transaction. Throws SimError for an unknown server
/// or a name that exists.
void addGeneratedUsers(const std::string& server, int count, const std::string& prefix = "USER");
/// For benchmarks on large trees: adds `count` directory users CN=<prefix>000001, ... (each
/// with a surname of its number) below a container given by its complete typed name
/// ("OU=SALES.O=TESTORG"). Throws SimError for an unknown container or a taken name.
void addGeneratedDirectoryUsers(const std::string& container, int count, const std::string& prefix = "USER");
/// Creates (or replaces) a file of `size` bytes at `path` ("DIR\\FILE") on a volume of a
/// server. Throws SimError for an unknown server or volume or a path that is not allowed.
void createVolumeFile(const std::string& server, const std::string& volume, const std::string& path,
                      std::uint64_t size);
/// Adds `directories` directories to a volume of a server, two levels deep (Gnnnn\Dnnnnnn, a
/// hundred to a group folder), and `trustees` assignments spread evenly over them, given in
/// turn to each of the named objects (rights read, file scan, and write on every other one).
/// Throws SimError for an unknown server, volume or object.
void addGeneratedDirectories(const std::string& server, const std::string& volume, int directories, int trustees,
                             const std::vector<std::string>& objects);

/// What stations wrote to a server's console, oldest first, one line each:
/// "yyyy-mm-dd hh:mm:ss  station N: text". Throws SimError for an unknown server.
std::vector<std::string> consoleMessages(const std::string& server);

} // namespace nwsim
