#pragma once
// Private to the unit: search filters as the client's filter tokens, and the small text
// form ndsSearchFilter reads.
#include <nwclient/directory.h>

#include <cstdint>
#include <string>
#include <vector>

namespace nwnds::detail {

/// One filter token: its FTOK_ code and, for attribute names and values, its text.
struct FilterToken {
  std::uint16_t tok = FTOK_END;
  std::string text;
};

/// The filter every search of ndsSearch runs: "CN" equal to "*", i.e. every object that has
/// a common name.
std::vector<FilterToken> everyCommonNameFilter();

/// Reads a filter text into tokens ending with FTOK_END; false for a malformed text.
///
///   filter   := or
///   or       := and { "|" and }
///   and      := unary { "&" unary }
///   unary    := "!" unary | "(" or ")" | relation
///   relation := attribute [ "=" value ]
///
/// An attribute alone tests that the object has a value of it. Attribute names may hold
/// blanks ("Object Class"); names and values are trimmed; a value may use "*" for any run of
/// characters and "\" to take the next character as it is (for "&", "|", "!", "(", ")",
/// "=" and "\"). Comparisons are without regard to case.
bool parseSearchFilter(const std::string& text, std::vector<FilterToken>& tokens);

} // namespace nwnds::detail
