#include "rtl/thandlestream.h"

#include "platform/files.h"

namespace rtl {

long THandleStream::Read(void* buffer, long count) { return platform::lread(handle_, buffer, count); }

long THandleStream::Write(const void* buffer, long count) { return platform::lwrite(handle_, buffer, count); }

std::int64_t THandleStream::Seek(std::int64_t offset, Origin origin) {
  return platform::llseek(handle_, offset, static_cast<int>(origin));
}

std::int64_t THandleStream::Size() {
  const std::int64_t position = Seek(0, soCurrent);
  if (position < 0) return -1;
  const std::int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

bool THandleStream::Truncate() { return platform::ltruncate(handle_); }

std::string THandleStream::ReadAll() {
  std::string result;
  char chunk[8192];
  for (;;) {
    const long n = Read(chunk, static_cast<long>(sizeof chunk));
    if (n <= 0) break;
    result.append(chunk, static_cast<std::size_t>(n));
  }
  return result;
}

} // namespace rtl
