#pragma once
// The exception classes of the runtime: the base class every library exception derives
// from, and the conversion and input-output errors the date and file helpers raise.
#include <stdexcept>
#include <string>

namespace rtl {

/// Base class of every exception the library defines.
class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

/// A value could not be converted (an invalid date part, a malformed number or date text).
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

/// A file operation failed.
class EInOutError : public Exception {
public:
  using Exception::Exception;
};

} // namespace rtl
