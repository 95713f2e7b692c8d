#pragma once
// A small JSON reader for network seeds. Every value remembers the line it starts on, so
// errors in a seed can name the line, also for values that parse but make no sense.
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace nwsim::json {

class ParseError : public std::runtime_error {
public:
  ParseError(int line, const std::string& what)
      : std::runtime_error(what), line_(line) {}
  int line() const { return line_; }
private:
  int line_;
};

class Value {
public:
  enum class Kind { Null, Bool, Number, String, Array, Object };

  Kind kind() const { return kind_; }
  int line() const { return line_; }
  bool isNull() const { return kind_ == Kind::Null; }
  bool isObject() const { return kind_ == Kind::Object; }
  bool isArray() const { return kind_ == Kind::Array; }
  bool isString() const { return kind_ == Kind::String; }
  bool isNumber() const { return kind_ == Kind::Number; }
  bool isBool() const { return kind_ == Kind::Bool; }

  // Typed access; a value of another kind raises ParseError naming this value's line.
  const std::string& asString(const char* what) const;
  double asNumber(const char* what) const;
  std::int64_t asInteger(const char* what) const;
  bool asBool(const char* what) const;
  const std::vector<Value>& asArray(const char* what) const;

  /// A member of an object, nullptr when absent (or when this is not an object).
  const Value* find(const std::string& key) const;
  /// The member names of an object in their order in the text.
  const std::vector<std::string>& keys() const { return keys_; }

  static Value parse(const std::string& text);

private:
  friend class Parser;
  Kind kind_ = Kind::Null;
  int line_ = 1;
  bool bool_ = false;
  double number_ = 0;
  bool integral_ = false;
  std::int64_t integer_ = 0;
  std::string string_;
  std::vector<Value> array_;
  std::vector<std::string> keys_;
  std::map<std::string, std::size_t> index_;  // key -> position in array_ (members)
};

} // namespace nwsim::json
