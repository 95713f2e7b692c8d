// The directory search filter parser: any text is taken or refused without harm, and a
// filter that is taken stays a filter when grouped, negated or joined with itself.
#include "fuzz_check.h"

#include <nwnds/nwnds.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!nwnds::isSearchFilter(text)) return 0;
  // A "\" at the very end is a character of the value; whatever is written after it, it
  // would take literally, so such a text cannot be grouped as it stands.
  if (text.back() == '\\') return 0;
  // The parser takes 32 levels: one for each "!" and "(" on the way down and one for the
  // relation itself; grouping and negating add two, so a text that may already be near the
  // limit is left out (counting every "(" and "!", even inside values, can only
  // overestimate its depth).
  if (std::count(text.begin(), text.end(), '(') + std::count(text.begin(), text.end(), '!') > 29) return 0;
  const std::string grouped = "(" + text + ")";
  FUZZ_REQUIRE(nwnds::isSearchFilter(grouped));
  FUZZ_REQUIRE(nwnds::isSearchFilter("!" + grouped));
  FUZZ_REQUIRE(nwnds::isSearchFilter(grouped + "&" + grouped));
  FUZZ_REQUIRE(nwnds::isSearchFilter(grouped + "|" + grouped));
  return 0;
}
