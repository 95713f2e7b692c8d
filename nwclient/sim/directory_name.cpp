#include "directory_name.h"

#include <cctype>

namespace nwsim {

std::string DirectoryName::key(const std::string& s) {
  std::string k = s;
  for (auto& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return k;
}

std::optional<DirectoryName> DirectoryName::parse(const std::string& text) {
  DirectoryName n;
  std::string t = text;
  while (!t.empty() && t.front() == ' ') t.erase(t.begin());
  while (!t.empty() && t.back() == ' ' && (t.size() < 2 || t[t.size() - 2] != '\\')) t.pop_back();
  if (t.empty()) return std::nullopt;
  if (key(t) == "[ROOT]") {
    n.root = true;
    return n;
  }
  // Dots alone go up from the name context, one level each: "." is its parent.
  if (t.find_first_not_of('.') == std::string::npos) {
    n.up = static_cast<int>(t.size());
    return n;
  }
  if (t.front() == '.') {
    n.absolute = true;
    t.erase(t.begin());
  }
  // Trailing unescaped dots go up one level each.
  while (!t.empty() && t.back() == '.' && (t.size() < 2 || t[t.size() - 2] != '\\')) {
    ++n.up;
    t.pop_back();
  }
  if (n.absolute && n.up) return std::nullopt;
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (c == '\\' && i + 1 < t.size()) {
      parts.back() += c;
      parts.back() += t[++i];
    } else if (c == '.') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  for (const std::string& p : parts) {
    Rdn r;
    std::size_t eq = std::string::npos;
    for (std::size_t i = 0; i < p.size(); ++i) {
      if (p[i] == '\\') { ++i; continue; }
      if (p[i] == '=') { eq = i; break; }
    }
    std::string value = eq == std::string::npos ? p : p.substr(eq + 1);
    if (eq != std::string::npos) {
      r.type = key(p.substr(0, eq));
      if (r.type.empty()) return std::nullopt;
      if (r.type != "CN" && r.type != "OU" && r.type != "O" && r.type != "C" && r.type != "L" && r.type != "S")
        return std::nullopt;
    }
    // Unescape.
    std::string v;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      v += value[i];
    }
    if (v.empty()) return std::nullopt;
    if (r.type == "C" && v.size() > 2) return std::nullopt;
    r.value = v;
    n.rdns.push_back(r);
  }
  return n;
}

std::string DirectoryName::format(const std::vector<Rdn>& rdns, bool typeless) {
  if (rdns.empty()) return "[Root]";
  std::string out;
  for (std::size_t i = 0; i < rdns.size(); ++i) {
    if (i) out += '.';
    if (!typeless && !rdns[i].type.empty()) out += rdns[i].type + "=";
    for (char c : rdns[i].value) {
      if (c == '.' || c == '=' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

} // namespace nwsim
