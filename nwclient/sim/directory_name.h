#pragma once
// Distinguished names as text: parsing into components, writing them typed or typeless.
// Resolution against the tree and a context lives in DirectoryTree.
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

/// One component of a name: "OU=SALES" has type "OU" and value "SALES"; a typeless
/// component has an empty type.
struct Rdn {
  std::string type;
  std::string value;
};

/// A name as written: components from the object up, and how it relates to the context.
struct DirectoryName {
  bool root = false;      // "[Root]"
  bool absolute = false;  // leading "."
  int up = 0;             // trailing dots: levels to go up from the name context
  std::vector<Rdn> rdns;

  /// Parses a name; nullopt for text that is no name (empty components, "=" without a
  /// type or value, a country value longer than two characters).
  static std::optional<DirectoryName> parse(const std::string& text);
  /// Writes components, escaping dots inside values; "[Root]" for none.
  static std::string format(const std::vector<Rdn>& rdns, bool typeless);
  /// Upper case, the form names are compared in.
  static std::string key(const std::string& s);
};

} // namespace nwsim
