#include "json.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace nwsim::json {

namespace {
const char* kindName(Value::Kind k) {
  switch (k) {
    case Value::Kind::Null: return "null";
    case Value::Kind::Bool: return "a boolean";
    case Value::Kind::Number: return "a number";
    case Value::Kind::String: return "a string";
    case Value::Kind::Array: return "an array";
    case Value::Kind::Object: return "an object";
  }
  return "a value";
}
} // namespace

class Parser {
public:
  explicit Parser(const std::string& text) : s_(text) {}

  Value document() {
    Value v = value();
    skipSpace();
    if (pos_ != s_.size()) fail("unexpected text after the end of the document");
    return v;
  }

private:
  const std::string& s_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;

  [[noreturn]] void fail(const std::string& what) { throw ParseError(line_, what); }

  void skipSpace() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') { ++line_; ++pos_; }
      else if (c == ' ' || c == '\t' || c == '\r') ++pos_;
      else break;
    }
  }

  char peek() {
    skipSpace();
    if (pos_ >= s_.size()) fail("unexpected end of the document");
    return s_[pos_];
  }

  void expect(char c) {
    if (peek() != c) fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  bool literal(const char* word) {
    std::size_t n = std::char_traits<char>::length(word);
    if (s_.compare(pos_, n, word) == 0) { pos_ += n; return true; }
    return false;
  }

  Value value() {
    if (++depth_ > 200) fail("values nested too deeply");
    char c = peek();
    Value v;
    v.line_ = line_;
    if (c == '{') object(v);
    else if (c == '[') array(v);
    else if (c == '"') { v.kind_ = Value::Kind::String; v.string_ = string(); }
    else if (c == '-' || (c >= '0' && c <= '9')) number(v);
    else if (literal("true")) { v.kind_ = Value::Kind::Bool; v.bool_ = true; }
    else if (literal("false")) { v.kind_ = Value::Kind::Bool; v.bool_ = false; }
    else if (literal("null")) { v.kind_ = Value::Kind::Null; }
    else fail(std::string("unexpected character '") + c + "'");
    --depth_;
    return v;
  }

  void object(Value& v) {
    v.kind_ = Value::Kind::Object;
    ++pos_;
    if (peek() == '}') { ++pos_; return; }
    for (;;) {
      if (peek() != '"') fail("expected a member name in double quotes");
      std::string key = string();
      expect(':');
      Value member = value();
      if (v.index_.count(key)) fail("member \"" + key + "\" appears twice");
      v.index_[key] = v.array_.size();
      v.keys_.push_back(key);
      v.array_.push_back(std::move(member));
      char c = peek();
      ++pos_;
      if (c == '}') return;
      if (c != ',') fail("expected ',' or '}' in an object");
    }
  }

  void array(Value& v) {
    v.kind_ = Value::Kind::Array;
    ++pos_;
    if (peek() == ']') { ++pos_; return; }
    for (;;) {
      v.array_.push_back(value());
      char c = peek();
      ++pos_;
      if (c == ']') return;
      if (c != ',') fail("expected ',' or ']' in an array");
    }
  }

  static void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) out += static_cast<char>(cp);
    else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  unsigned hex4() {
    if (pos_ + 4 > s_.size()) fail("incomplete \\u escape");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
      char c = s_[pos_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= unsigned(c - '0');
      else if (c >= 'a' && c <= 'f') v |= unsigned(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= unsigned(c - 'A' + 10);
      else fail("bad \\u escape");
    }
    return v;
  }

  std::string string() {
    ++pos_;  // opening quote
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) fail("unterminated string");
      char c = s_[pos_++];
      if (c == '"') return out;
      if (c == '\n') fail("line break inside a string");
      if (static_cast<unsigned char>(c) < 0x20) fail("control character inside a string");
      if (c != '\\') { out += c; continue; }
      if (pos_ >= s_.size()) fail("unterminated string");
      char e = s_[pos_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned cp = hex4();
          if (cp >= 0xD800 && cp < 0xDC00 && s_.compare(pos_, 2, "\\u") == 0) {
            pos_ += 2;
            unsigned lo = hex4();
            if (lo < 0xDC00 || lo > 0xDFFF) fail("bad surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
          }
          appendUtf8(out, cp);
          break;
        }
        default: fail(std::string("bad escape '\\") + e + "'");
      }
    }
  }

  void number(Value& v) {
    std::size_t start = pos_;
    if (s_[pos_] == '-') ++pos_;
    bool integral = true;
    auto digits = [&] {
      std::size_t d = pos_;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
      if (pos_ == d) fail("malformed number");
    };
    digits();
    if (pos_ < s_.size() && s_[pos_] == '.') { ++pos_; integral = false; digits(); }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      ++pos_;
      integral = false;
      if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
      digits();
    }
    std::string text = s_.substr(start, pos_ - start);
    v.kind_ = Value::Kind::Number;
    v.number_ = std::strtod(text.c_str(), nullptr);
    v.integral_ = integral;
    if (integral) {
      errno = 0;
      long long n = std::strtoll(text.c_str(), nullptr, 10);
      if (errno == ERANGE) fail("number out of range");
      v.integer_ = n;
    }
  }
};

Value Value::parse(const std::string& text) { return Parser(text).document(); }

const std::string& Value::asString(const char* what) const {
  if (kind_ != Kind::String) throw ParseError(line_, std::string(what) + " must be a string, not " + kindName(kind_));
  return string_;
}

double Value::asNumber(const char* what) const {
  if (kind_ != Kind::Number) throw ParseError(line_, std::string(what) + " must be a number, not " + kindName(kind_));
  return number_;
}

std::int64_t Value::asInteger(const char* what) const {
  if (kind_ != Kind::Number || !integral_)
    throw ParseError(line_, std::string(what) + " must be a whole number");
  return integer_;
}

bool Value::asBool(const char* what) const {
  if (kind_ != Kind::Bool) throw ParseError(line_, std::string(what) + " must be true or false, not " + kindName(kind_));
  return bool_;
}

const std::vector<Value>& Value::asArray(const char* what) const {
  if (kind_ != Kind::Array) throw ParseError(line_, std::string(what) + " must be an array, not " + kindName(kind_));
  return array_;
}

const Value* Value::find(const std::string& key) const {
  if (kind_ != Kind::Object) return nullptr;
  auto it = index_.find(key);
  return it == index_.end() ? nullptr : &array_[it->second];
}

} // namespace nwsim::json
