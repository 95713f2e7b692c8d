#include "name_rules.h"

#include <cctype>
#include <cstring>

namespace nwsim::names {

namespace {

std::string printable(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) {
      static const char hex[] = "0123456789ABCDEF";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string check(const std::string& name, const char* what, std::size_t least, std::size_t most,
                  const char* forbidden) {
  if (name.size() < least || name.size() > most)
    return std::string(what) + " \"" + printable(name) + "\" must have " + std::to_string(least) + " to " +
           std::to_string(most) + " characters";
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return std::string(what) + " \"" + printable(name) + "\" holds a control character";
    if (std::strchr(forbidden, static_cast<char>(c)))
      return std::string(what) + " \"" + printable(name) + "\" may not hold '" + static_cast<char>(c) + "'";
  }
  return {};
}

} // namespace

std::string serverNameProblem(const std::string& name) { return check(name, "the server name", 2, 47, " ./\\:;,*?"); }

std::string objectNameProblem(const std::string& name) { return check(name, "the object name", 1, 47, " /\\:;,*?"); }

std::string volumeNameProblem(const std::string& name) {
  if (std::string why = check(name, "the volume name", 2, 15, ""); !why.empty()) return why;
  for (unsigned char c : name)
    if (!std::isalnum(c) && !std::strchr("_!-@#$%^&()", c))
      return "the volume name \"" + name + "\" may hold only letters, digits and _ ! - @ # $ % ^ & ( )";
  return {};
}

std::string fileNameProblem(const std::string& name) {
  if (name == "." || name == "..") return "a file name may not be \"" + name + "\"";
  return check(name, "the file name", 1, 255, "/\\:*?");
}

} // namespace nwsim::names
