#pragma once
// Private to unit Ostrel: the directory lookups the bindery operations fall back to while
// the directory fallback switch is on. Kept in one place so that the bindery code does not
// depend on the directory unit's headers.
#include <nwclient/nwclient.h>
#include <rtl/tstringlist.h>

#include <cstdint>
#include <memory>
#include <string>

namespace ostrel::detail {

/// The directory name of an object ID; empty when the directory does not know it.
std::string directoryObjectName(NWCONN_HANDLE conn, std::int32_t objectID);
/// The directory object number of a name; 0 when not found.
std::uint32_t directoryObjectNumber(const std::string& name);
/// The directory's displayed ID of a name; "" or "0" when not found.
std::string directoryObjectID(NWCONN_HANDLE conn, const std::string& name);
/// The directory groups the object is a member of.
std::unique_ptr<rtl::TStringList> directoryGroups(const std::string& name);
/// The object's "Full Name" attribute; false when the directory yields none.
bool directoryFullName(const std::string& name, std::string& text);

} // namespace ostrel::detail
