#pragma once
// Private to the unit: bindery names in their fixed client buffers.
#include <nwtools/nwtools.h>
#include <rtl/sysutils.h>

#include <cstddef>
#include <string>

namespace nwprop::detail {

constexpr std::size_t kNameBuffer = 48;
constexpr std::size_t kSegment = 128;

/// A name as the bindery takes it: trimmed and in upper case.
inline std::string binderyName(const std::string& name) { return rtl::UpperCase(nwtools::allTrim(name)); }

/// A name in its 48-byte client buffer; false when it does not fit, since a cut name could
/// address another object.
inline bool toNameBuffer(char (&buffer)[kNameBuffer], const std::string& name) {
  if (name.size() >= kNameBuffer) return false;
  rtl::copyToBuffer(buffer, kNameBuffer, name);
  return true;
}

/// Two names into their buffers; false when either does not fit.
inline bool toNameBuffers(char (&a)[kNameBuffer], const std::string& first, char (&b)[kNameBuffer],
                          const std::string& second) {
  return toNameBuffer(a, first) && toNameBuffer(b, second);
}

} // namespace nwprop::detail
