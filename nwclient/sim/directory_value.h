#pragma once
// One attribute value as the directory stores it, and its conversion from and to the
// client's value forms (the records of <nwclient/directory.h>).
#include <nwclient/nwclient.h>

#include <cstdint>
#include <functional>
#include <string>

namespace nwsim {

/// A stored value. Which fields a syntax uses:
///   text forms: text;  integer, boolean, time: num;  octet string: data;
///   distinguished name: ref;  typed name: ref, num (level), num2 (interval);
///   object ACL: text (protected attribute), ref or text2 (subject), num (privileges);
///   e-mail address: num (type), text;  path: num (name space), ref (volume), text (path);
///   net address: num (type), data;  fax number: text, num (bits), data;
///   CI list, octet list, postal address: data (items separated by zero bytes);
///   timestamp: num (seconds), num2 (replica << 16 | event);  back link: ref, num;
///   hold: ref, num;  replica pointer: text (server), num (type), num2 (number).
struct DsValue {
  std::uint32_t syntax = 0;
  std::int64_t ref = 0;
  std::string text, text2;
  std::int64_t num = 0, num2 = 0;
  std::string data;
};

/// Looks up an object by a name the caller gave; 0 or an NWDSE_ code.
using NameToId = std::function<NWCCODE(const std::string& name, std::int64_t& id)>;
/// The name of an object as the client returns it.
using IdToName = std::function<std::string(std::int64_t id)>;

class DsValueForm {
public:
  /// Reads the caller's value of `syntax` at `p`; 0, NWDSE_BAD_SYNTAX, NWDSE_SYNTAX_VIOLATION
  /// or the lookup's code.
  static NWCCODE read(std::uint32_t syntax, const void* p, const NameToId& lookup, DsValue& out);
  /// Bytes the value needs in the client's form (record and data).
  static std::uint32_t size(const DsValue& v, const IdToName& names);
  /// Writes the value in the client's form: the record at `out`, its data after it.
  static void write(const DsValue& v, const IdToName& names, void* out);
  /// Whether two values of one attribute are the same value (duplicates, removal).
  static bool same(const DsValue& a, const DsValue& b);
  /// A text that two values of one attribute share exactly when they are the same value,
  /// for finding duplicates among many values without comparing each pair.
  static std::string identity(const DsValue& v);
  /// Whether `b` is the value that an overwrite with `a` replaces in a multi-valued
  /// attribute (same trustee and protected attribute, same object of a typed name, ...).
  /// False for syntaxes without such a key.
  static bool sameKey(const DsValue& a, const DsValue& b);
  static bool hasKey(std::uint32_t syntax);
  /// Whether the syntax is one this directory knows (1..27).
  static bool known(std::uint32_t syntax) { return syntax >= 1 && syntax <= 27; }
};

} // namespace nwsim
