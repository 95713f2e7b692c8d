#pragma once
// The directory schema: attribute and class definitions, the base schema every tree starts
// with, and the questions writes ask of it (which syntax, single-valued, allowed for a
// class, mandatory, where a class may be created).
#include "store.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace nwsim {

struct AttrDef {
  std::string name;
  std::uint32_t syntax = 0;
  std::uint32_t flags = 0;
  std::int32_t lower = 0, upper = 0;
  bool base = false;
  bool singleValued() const { return flags & 0x01; }
  bool readOnly() const { return flags & 0x08; }
};

struct ClassDef {
  std::string name;
  std::uint32_t flags = 0;
  bool base = false;
  // Items as defined (not inherited): super classes, containment, naming, mandatory, optional.
  std::vector<std::string> items[5];
  bool container() const { return flags & 0x01; }
  bool effective() const { return flags & 0x02; }
};

class DirectorySchema {
public:
  explicit DirectorySchema(Store& db) : db_(db) {}

  /// Writes the base schema into a new tree's store.
  static void install(Store& db);

  std::optional<AttrDef> attr(const std::string& name);
  std::optional<ClassDef> cls(const std::string& name);
  std::vector<AttrDef> attrs();
  std::vector<ClassDef> classes();

  /// The class and every super class up to "Top", the class itself first.
  std::vector<std::string> chain(const std::string& cls);
  /// Inherited item lists (kind 1 containment, 2 naming, 3 mandatory, 4 optional), in
  /// upper case.
  std::set<std::string> items(const std::string& cls, int kind);
  bool allows(const std::string& cls, const std::string& attr);
  bool mayContain(const std::string& parentClass, const std::string& childClass);
  /// The naming attribute type of a class for "CN=" style names ("CN", "OU", "O", "C", "L").
  std::string namingType(const std::string& cls);

  void defineAttr(const AttrDef& def);
  void removeAttr(const std::string& name);
  void defineClass(const ClassDef& def);

  /// Value forms shared by several syntaxes: text, integer.
  static bool compatible(std::uint32_t wanted, std::uint32_t defined);

private:
  Store& db_;
};

} // namespace nwsim
