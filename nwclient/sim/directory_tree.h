#pragma once
// The directory tree in the store: objects and their IDs, names both ways, attribute values,
// and who the calling workstation is in the directory.
#include "directory_context.h"
#include "directory_name.h"
#include "directory_schema.h"
#include "directory_value.h"
#include "simulator.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

struct DsObject {
  std::int64_t id = 0;
  std::int64_t parent = 0;  // 0 for [Root]
  std::string rdnType, rdn, cls;
  bool partitionRoot = false;
  std::int64_t modified = 0;
};

struct StoredValue {
  int seq = 0;
  DsValue value;
};

class DirectoryTree {
public:
  explicit DirectoryTree(Session& s) : db_(s.db()), dir_(s.network().dir()), s_(&s), schema_(s.db()) {}
  /// A tree without a calling workstation (seeding): nobody is the caller.
  DirectoryTree(Store& db, std::filesystem::path networkDir) : db_(db), dir_(std::move(networkDir)), schema_(db) {}
  Store& db() { return db_; }
  /// The network folder (stream values live below it).
  const std::filesystem::path& networkDir() const { return dir_; }
  DirectorySchema& schema() { return schema_; }

  /// False when the network has no directory.
  bool exists();
  std::string treeName();
  std::int64_t rootId();
  /// A fresh object ID.
  std::int64_t newId();

  std::optional<DsObject> object(std::int64_t id);
  std::optional<DsObject> child(std::int64_t parent, const std::string& value);
  std::vector<DsObject> children(std::int64_t parent);
  /// How many objects are directly below the object.
  std::size_t childCount(std::int64_t parent);
  /// The object and its containers up to (without) [Root], the object first.
  std::vector<DsObject> path(std::int64_t id);
  /// The object's complete name as typed components, the object first.
  std::vector<Rdn> rdnsOf(std::int64_t id);
  /// The complete name the client returns under the context's flags.
  std::string nameOf(std::int64_t id, const DsContext& c);
  bool isA(const DsObject& o, const std::string& cls);

  struct Resolved {
    NWCCODE code = 0;
    std::int64_t id = 0;        // 0 when the object does not exist
    std::vector<Rdn> rdns;      // complete and typed
  };
  /// Resolves a name given by a caller against the context. With mustExist the code is
  /// NWDSE_NO_SUCH_ENTRY for a name that names no object.
  Resolved resolve(const DsContext& c, const std::string& name, bool mustExist = true);
  /// A lookup for value conversion under a context.
  NameToId lookup(const DsContext& c);
  IdToName namer(const DsContext& c);

  std::vector<StoredValue> values(std::int64_t id, const std::string& attr);
  /// Names (as defined) of the attributes the object holds, stream attributes included.
  std::vector<std::string> attributes(std::int64_t id);
  void addValue(std::int64_t id, const std::string& attr, const DsValue& v);
  void deleteValue(std::int64_t id, const std::string& attr, int seq);
  void deleteValues(std::int64_t id, const std::string& attr);
  void touch(std::int64_t id);

  /// The object the calling workstation acts as: its directory login, else the object of
  /// its login on a directory server of this tree; nullopt for nobody ([Public]).
  std::optional<std::int64_t> caller();

private:
  Store& db_;
  std::filesystem::path dir_;
  Session* s_ = nullptr;
  DirectorySchema schema_;
};

} // namespace nwsim
