#pragma once
// The bindery of one server: objects, properties with their 128-byte segments, set
// membership, passwords and the privileges that follow from them.
#include "store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class Bindery {
public:
  struct Object {
    std::uint32_t id = 0;  // display form
    std::string name;
    std::uint16_t type = 0;
    int flags = 0;
    int security = 0;
  };

  Bindery(Store& db, std::int64_t serverId) : db_(db), server_(serverId) {}

  /// "*" any run of characters, "?" one character; case is ignored.
  static bool matches(const std::string& pattern, const std::string& name);
  static bool hasWildcards(const std::string& name);
  static std::string upper(std::string s);

  std::optional<Object> find(const std::string& name, std::uint16_t type);
  std::optional<Object> byId(std::uint32_t id);
  /// The first object after `afterId` (display form; nullopt = from the start) whose type is
  /// `type` (0xFFFF any) and whose name matches `pattern`, in the order of IDs.
  std::optional<Object> next(const std::string& pattern, std::uint16_t type, std::optional<std::uint32_t> afterId);
  bool hasProperties(std::uint32_t id);

  /// The property's flags; nullopt when the object has no such property.
  std::optional<int> propertyFlags(std::uint32_t id, const std::string& property);
  /// Segment `segment` (from 1); nullopt when missing. `more` tells whether a later one exists.
  std::optional<std::vector<std::uint8_t>> segment(std::uint32_t id, const std::string& property, int segment, bool& more);
  /// The object IDs (display form) of a set property, in segment order.
  std::vector<std::uint32_t> setMembers(std::uint32_t id, const std::string& property);
  bool inSet(std::uint32_t id, const std::string& property, std::uint32_t member);

  void setPassword(std::uint32_t id, const std::string& password);
  bool checkPassword(std::uint32_t id, const std::string& password);

  /// SUPERVISOR or security-equivalent to it.
  bool isSupervisor(std::uint32_t id);
  /// Supervisor, or named (itself or a group it is in) in "OPERATORS" of the file-server
  /// object of the server.
  bool isConsoleOperator(std::uint32_t id, const std::string& serverName);
  /// Supervisor, or named (itself or a group it is in) in "MANAGERS" of SUPERVISOR.
  bool isManager(std::uint32_t id);

  /// Adds an object with the next free ID at or above 0x10000001; returns its ID.
  std::uint32_t addObject(const std::string& name, std::uint16_t type);
  void addToSet(std::uint32_t id, const std::string& property, std::uint32_t member);
  /// Removes the member from the set property; false when it was not in it.
  bool removeFromSet(std::uint32_t id, const std::string& property, std::uint32_t member);
  /// Stores the members of a set property, 32 to a segment; segments no longer needed go.
  void writeSet(std::uint32_t id, const std::string& property, const std::vector<std::uint32_t>& members);

  /// Whether the object, or a group it is in, is a member of the holder's set property.
  bool namedIn(std::uint32_t id, std::uint32_t holder, const std::string& property);

private:
  Store& db_;
  std::int64_t server_;
};

} // namespace nwsim
