#pragma once
// A stream over a platform file handle: reads, writes, seeks and truncation go straight to
// the handle. The stream does not own the handle; whoever opened it closes it.
#include <cstdint>
#include <string>

namespace rtl {

class THandleStream {
public:
  explicit THandleStream(int handle) : handle_(handle) {}
  int Handle() const { return handle_; }
  /// Bytes read (0 at the end, -1 on error).
  long Read(void* buffer, long count);
  /// Bytes written (-1 on error).
  long Write(const void* buffer, long count);
  enum Origin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
  /// The new position, -1 on error.
  std::int64_t Seek(std::int64_t offset, Origin origin);
  std::int64_t Position() { return Seek(0, soCurrent); }
  std::int64_t Size();
  /// Cuts the file at the current position; false on error.
  bool Truncate();
  /// Reads everything from the current position on.
  std::string ReadAll();
  bool WriteString(const std::string& s) { return Write(s.data(), static_cast<long>(s.size())) == static_cast<long>(s.size()); }

private:
  int handle_;
};

} // namespace rtl
