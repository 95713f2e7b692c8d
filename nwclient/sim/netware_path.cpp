#include "netware_path.h"

#include <cctype>

namespace nwsim {

namespace {

constexpr std::size_t kMaxPath = 255;

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool isName(const std::string& s, std::size_t maxLength) {
  if (s.empty() || s.size() > maxLength || s == "." || s == "..") return false;
  for (unsigned char c : s)
    if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?') return false;
  return true;
}

} // namespace

std::optional<std::vector<std::string>> NetWarePath::components(const std::string& rest) {
  std::vector<std::string> parts;
  std::string cur;
  auto flush = [&]() -> bool {
    if (cur.empty()) return true;  // a doubled or leading separator
    if (!isName(cur, kMaxPath)) return false;
    parts.push_back(upper(cur));
    cur.clear();
    return true;
  };
  for (char c : rest) {
    if (c == '\\' || c == '/') {
      if (!flush()) return std::nullopt;
    } else {
      cur.push_back(c);
    }
  }
  if (!flush()) return std::nullopt;
  return parts;
}

std::string NetWarePath::join(const std::vector<std::string>& parts) {
  std::string s;
  for (const auto& p : parts) {
    if (!s.empty()) s += '\\';
    s += p;
  }
  return s;
}

std::optional<NetWarePath> NetWarePath::parse(const std::string& text) {
  if (text.empty() || text.size() > kMaxPath) return std::nullopt;
  NetWarePath p;
  const auto colon = text.find(':');
  std::string rest = text;
  if (colon != std::string::npos) {
    const std::string prefix = text.substr(0, colon);
    rest = text.substr(colon + 1);
    const auto sep = prefix.find_first_of("/\\");
    if (sep != std::string::npos) {
      p.kind = Kind::ServerVolume;
      p.server = upper(prefix.substr(0, sep));
      p.volume = upper(prefix.substr(sep + 1));
      if (!isName(p.server, 47) || !isName(p.volume, 15)) return std::nullopt;
    } else if (prefix.size() == 1 && std::isalpha(static_cast<unsigned char>(prefix[0]))) {
      p.kind = Kind::Drive;
      p.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(prefix[0])));
    } else {
      p.kind = Kind::Volume;
      p.volume = upper(prefix);
      if (!isName(p.volume, 15)) return std::nullopt;
    }
  }
  auto parts = components(rest);
  if (!parts) return std::nullopt;
  p.parts = std::move(*parts);
  return p;
}

} // namespace nwsim
