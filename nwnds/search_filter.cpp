#include "nwnds/search_filter.h"

#include <nwtools/nwtools.h>

namespace nwnds::detail {

namespace {

bool special(char ch) {
  return ch == '&' || ch == '|' || ch == '!' || ch == '(' || ch == ')' || ch == '=';
}

// Recursive descent over the text; tokens are appended as the grammar is recognised, which
// is the infix order the client takes.
class FilterParser {
public:
  FilterParser(const std::string& text, std::vector<FilterToken>& out) : text_(text), out_(out) {}

  bool run() {
    if (!orExpr()) return false;
    skipBlanks();
    if (pos_ != text_.size()) return false;
    out_.push_back({FTOK_END, {}});
    return true;
  }

private:
  void skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool take(char ch) {
    skipBlanks();
    if (pos_ < text_.size() && text_[pos_] == ch) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool orExpr() {
    if (!andExpr()) return false;
    while (take('|')) {
      out_.push_back({FTOK_OR, {}});
      if (!andExpr()) return false;
    }
    return true;
  }
  bool andExpr() {
    if (!unary()) return false;
    while (take('&')) {
      out_.push_back({FTOK_AND, {}});
      if (!unary()) return false;
    }
    return true;
  }
  bool unary() {
    if (++depth_ > kMaxDepth) return false;
    bool ok;
    if (take('!')) {
      out_.push_back({FTOK_NOT, {}});
      ok = unary();
    } else if (take('(')) {
      out_.push_back({FTOK_LPAREN, {}});
      ok = orExpr() && take(')');
      if (ok) out_.push_back({FTOK_RPAREN, {}});
    } else {
      ok = relation();
    }
    --depth_;
    return ok;
  }
  // Text up to the next operator; "\" keeps the character after it (values only).
  std::string word(bool escapes) {
    std::string w;
    while (pos_ < text_.size() && !special(text_[pos_])) {
      if (escapes && text_[pos_] == '\\' && pos_ + 1 < text_.size()) ++pos_;
      w += text_[pos_++];
    }
    return nwtools::allTrim(w);
  }
  bool relation() {
    skipBlanks();
    std::string attr = word(false);
    if (attr.empty()) return false;
    if (!take('=')) {
      out_.push_back({FTOK_PRESENT, {}});
      out_.push_back({FTOK_ANAME, attr});
      return true;
    }
    std::string value = word(true);
    if (value.empty()) return false;
    out_.push_back({FTOK_ANAME, attr});
    out_.push_back({FTOK_EQ, {}});
    out_.push_back({FTOK_AVAL, value});
    return true;
  }

  static constexpr int kMaxDepth = 32;
  const std::string& text_;
  std::vector<FilterToken>& out_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

} // namespace

std::vector<FilterToken> everyCommonNameFilter() {
  return {{FTOK_ANAME, "CN"}, {FTOK_EQ, {}}, {FTOK_AVAL, "*"}, {FTOK_END, {}}};
}

bool parseSearchFilter(const std::string& text, std::vector<FilterToken>& tokens) {
  std::vector<FilterToken> out;
  if (!FilterParser(text, out).run()) return false;
  tokens = std::move(out);
  return true;
}

} // namespace nwnds::detail
