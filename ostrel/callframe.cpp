#include "ostrel/callframe.h"

#include <rtl/sysutils.h>

namespace ostrel {

std::string formatLastError(std::int32_t code) { return rtl::IntToHex(code, 4); }

} // namespace ostrel
