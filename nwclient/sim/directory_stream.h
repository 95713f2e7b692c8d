#pragma once
// Stream values ("Login Script", ...): each one a file in the network folder, so that a file
// descriptor handed to the client reads and writes the stored value itself.
#include "directory_tree.h"

#include <filesystem>
#include <optional>
#include <string>

namespace nwsim {

class DirectoryStreams {
public:
  explicit DirectoryStreams(DirectoryTree& tree) : tree_(tree) {}

  bool has(std::int64_t object, const std::string& attr);
  /// The stored file of the value; nullopt when the object has none.
  std::optional<std::filesystem::path> file(std::int64_t object, const std::string& attr);
  /// Makes an empty value when there is none; returns its file.
  std::filesystem::path create(std::int64_t object, const std::string& attr);
  /// Opens the value: read (1), write (2) or both (3). A POSIX descriptor, or -1.
  int open(const std::filesystem::path& file, std::uint32_t flags);
  std::string contents(std::int64_t object, const std::string& attr);
  void write(std::int64_t object, const std::string& attr, const std::string& text);
  bool remove(std::int64_t object, const std::string& attr);
  void removeAll(std::int64_t object);

private:
  std::filesystem::path dir();
  DirectoryTree& tree_;
};

} // namespace nwsim
