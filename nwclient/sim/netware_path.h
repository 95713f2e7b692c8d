#pragma once
// The text of a NetWare path taken apart: "SERVER/VOLUME:DIR\FILE", "VOLUME:DIR\FILE",
// "G:\DIR\FILE" (a drive letter) or "DIR\FILE" (relative to a directory handle). Components
// are upper case; ".", "..", wildcards, control characters and a second colon are refused,
// so a parsed path can never climb out of the directory it is taken below.
#include <optional>
#include <string>
#include <vector>

namespace nwsim {

class NetWarePath {
public:
  enum class Kind { ServerVolume, Volume, Drive, Relative };

  /// nullopt for text that is not a well-formed path.
  static std::optional<NetWarePath> parse(const std::string& text);
  /// The components of a directory part ("PUBLIC\\X" or "/PUBLIC/X"); nullopt when one is
  /// not allowed.
  static std::optional<std::vector<std::string>> components(const std::string& rest);
  /// "A\\B\\C".
  static std::string join(const std::vector<std::string>& parts);

  Kind kind = Kind::Relative;
  std::string server;  // ServerVolume
  std::string volume;  // ServerVolume, Volume
  char drive = 0;      // Drive: 'A'..'Z'
  std::vector<std::string> parts;
};

} // namespace nwsim
